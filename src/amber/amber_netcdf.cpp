#include "amber/amber_netcdf.h"

#include "platform/run_error.h"

#include <netcdf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

// The library's I/O buffer: a frame moves in a few system calls, and the buffer still stays in
// the processor's cache (4 MB and more measured slower on 1 GB trajectories).
constexpr std::size_t io_buffer_bytes = std::size_t{1} << 20;
constexpr const char* amber_convention = "AMBER";

// A status of the library as a run error: its own text, and "Disk full" when the system said so.
void check(int status, const std::filesystem::path& path) {
    if (status == NC_NOERR)
        return;
    // A positive status is the system's errno; the library's own are negative.
    const int number = status > 0 ? file_failure(path, status, file_step::open).number
                       : status == NC_ENOTNC ? err::bad_record_length
                                             : err::path_file_access;
    if (number == err::disk_full)
        throw run_error::from_number(number).in_file(path);
    throw run_error(number, std::string("NetCDF: ") + nc_strerror(status)).in_file(path);
}

run_error not_amber(const std::string& what) {
    return run_error(err::bad_record_length, "A NetCDF file, but not an Amber trajectory: " + what);
}

std::string text_attribute(int id, const char* name) {
    nc_type type = NC_NAT;
    std::size_t length = 0;
    if (nc_inq_att(id, NC_GLOBAL, name, &type, &length) != NC_NOERR || type != NC_CHAR)
        return {};
    std::string text(length, '\0');
    if (nc_get_att_text(id, NC_GLOBAL, name, text.data()) != NC_NOERR)
        return {};
    // Some writers count the C string's terminating zero.
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

bool lists_amber(std::string_view conventions) {
    std::size_t at = 0;
    while (at < conventions.size()) {
        const std::size_t end = std::min(conventions.find_first_of(" ,", at), conventions.size());
        if (conventions.substr(at, end - at) == amber_convention)
            return true;
        at = end + 1;
    }
    return false;
}

// The variable's dimension names, or none when it is missing.
std::vector<std::string> dimensions_of(int id, int variable) {
    int count = 0;
    if (nc_inq_varndims(id, variable, &count) != NC_NOERR || count > NC_MAX_VAR_DIMS)
        return {};
    int ids[NC_MAX_VAR_DIMS];
    nc_inq_vardimid(id, variable, ids);
    std::vector<std::string> names;
    for (int d = 0; d < count; ++d) {
        char name[NC_MAX_NAME + 1] = {};
        nc_inq_dimname(id, ids[d], name);
        names.emplace_back(name);
    }
    return names;
}

// The variable of that name with exactly those dimensions; -1 when there is none.
int variable(int id, const char* name, const std::vector<std::string>& dimensions) {
    int v = -1;
    if (nc_inq_varid(id, name, &v) != NC_NOERR)
        return -1;
    if (dimensions_of(id, v) != dimensions)
        throw not_amber(std::string("its ") + name + " variable has other dimensions than (" + [&] {
            std::string list;
            for (const auto& d : dimensions)
                list += (list.empty() ? "" : ", ") + d;
            return list;
        }() + ")");
    return v;
}

std::uint64_t dimension(int id, const char* name) {
    int d = -1;
    std::size_t length = 0;
    if (nc_inq_dimid(id, name, &d) != NC_NOERR || nc_inq_dimlen(id, d, &length) != NC_NOERR)
        throw not_amber(std::string("it has no ") + name + " dimension");
    return length;
}

} // namespace

bool is_netcdf_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    const std::string_view bytes(head, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() >= 4 && bytes.starts_with("CDF") &&
        (bytes[3] == '\x01' || bytes[3] == '\x02' || bytes[3] == '\x05'))
        return true;
    return bytes == std::string_view("\x89HDF\r\n\x1a\n", 8);
}

netcdf_trajectory_reader::netcdf_trajectory_reader(const std::filesystem::path& path)
    : path_(path) {
    try {
        std::size_t buffer = io_buffer_bytes;
        check(nc__open(path.c_str(), NC_NOWRITE, &buffer, &id_), path);
        const std::string conventions = text_attribute(id_, "Conventions");
        if (!lists_amber(conventions))
            throw not_amber(conventions.empty() ? "it has no Conventions attribute"
                                                : "its Conventions are \"" + conventions + "\"" +
                                                      (conventions == "AMBERRESTART"
                                                           ? " (a restart file holds one frame)"
                                                           : ""));
        title_ = text_attribute(id_, "title");
        atoms_ = dimension(id_, "atom");
        if (dimension(id_, "spatial") != 3)
            throw not_amber("its spatial dimension is not 3");
        frames_ = dimension(id_, "frame");
        coordinates_ = variable(id_, "coordinates", {"frame", "atom", "spatial"});
        if (coordinates_ < 0)
            throw not_amber("it has no coordinates variable");
        double scale = 1;
        if (nc_get_att_double(id_, coordinates_, "scale_factor", &scale) == NC_NOERR && scale != 1)
            throw not_amber("its coordinates carry a scale_factor, which this reader leaves alone");
        time_ = variable(id_, "time", {"frame"});
        lengths_ = variable(id_, "cell_lengths", {"frame", "cell_spatial"});
        angles_ = variable(id_, "cell_angles", {"frame", "cell_angular"});
        if ((lengths_ < 0) != (angles_ < 0))
            throw not_amber("it has cell_lengths or cell_angles without the other");
        if (lengths_ >= 0 &&
            (dimension(id_, "cell_spatial") != 3 || dimension(id_, "cell_angular") != 3))
            throw not_amber("its cell dimensions are not 3");
    } catch (run_error& e) {
        if (id_ >= 0)
            nc_close(id_);
        throw e.in_file(path);
    }
}

netcdf_trajectory_reader::~netcdf_trajectory_reader() {
    nc_close(id_);
}

void netcdf_trajectory_reader::read(std::uint64_t frame, const std::vector<atom_run>& runs,
                                    netcdf_frame& into) {
    const std::uint64_t low = runs.front().first;
    const std::uint64_t high = runs.back().first + runs.back().count;
    const std::size_t start[] = {frame, low, 0};
    const std::size_t count[] = {1, high - low, 3};
    // The frame's record holds its time, coordinates and box in that order: read in that order,
    // the library's buffer moves forward only.
    if (has_time())
        check(nc_get_var1_float(id_, time_, start, &into.time), path_);
    const bool one_run = runs.size() == 1;
    std::vector<float>& span = one_run ? into.coordinates : span_;
    span.resize(3 * (high - low));
    check(nc_get_vara_float(id_, coordinates_, start, count, span.data()), path_);
    if (!one_run) {
        into.coordinates.resize(3 * atoms_in(runs));
        float* to = into.coordinates.data();
        for (const atom_run& r : runs) {
            std::memcpy(to, span.data() + 3 * (r.first - low), 3 * r.count * sizeof(float));
            to += 3 * r.count;
        }
    }
    if (has_box()) {
        const std::size_t cell_start[] = {frame, 0};
        const std::size_t cell_count[] = {1, 3};
        check(nc_get_vara_double(id_, lengths_, cell_start, cell_count, into.lengths.data()),
              path_);
        check(nc_get_vara_double(id_, angles_, cell_start, cell_count, into.angles.data()), path_);
    }
}

namespace {

// The permission bits a file created under that name would get: the existing output's, or what
// the user's file creation mask allows.
mode_t new_file_mode(const std::filesystem::path& output) {
    struct stat existing {};
    if (::stat(output.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void put_text(int id, int variable, const char* text, const std::filesystem::path& path) {
    check(nc_put_var_text(id, variable, text), path);
}

} // namespace

netcdf_trajectory_writer::netcdf_trajectory_writer(const std::filesystem::path& output,
                                                   const netcdf_trajectory_shape& shape)
    : output_(output), shape_(shape) {
    // mkstemps only ever creates a name that did not exist, so no user's file is hit.
    std::string name = output.string() + ".XXXXXX.tmp";
    errno = 0;
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0)
        throw file_failure(output, errno, file_step::create);
    ::close(fd);
    temporary_ = name;
    try {
        std::size_t buffer = io_buffer_bytes;
        check(nc__create(name.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, 0, &buffer, &id_), output);
        int old_fill = 0;
        // Every value is written, so the library need not fill the records first.
        check(nc_set_fill(id_, NC_NOFILL, &old_fill), output);
        const auto attribute = [&](const char* key, const std::string& value) {
            check(nc_put_att_text(id_, NC_GLOBAL, key, value.size(), value.data()), output);
        };
        attribute("title", shape.title);
        attribute("application", "AMBER");
        attribute("program", "quillmark");
        attribute("programVersion", QUILLMARK_VERSION);
        attribute("Conventions", amber_convention);
        attribute("ConventionVersion", "1.0");
        int frame = -1, spatial = -1, atom = -1, cell_spatial = -1, cell_angular = -1, label = -1;
        check(nc_def_dim(id_, "frame", NC_UNLIMITED, &frame), output);
        check(nc_def_dim(id_, "spatial", 3, &spatial), output);
        check(nc_def_dim(id_, "atom", shape.atoms, &atom), output);
        int spatial_names = -1, cell_spatial_names = -1, cell_angular_names = -1;
        check(nc_def_var(id_, "spatial", NC_CHAR, 1, &spatial, &spatial_names), output);
        const auto units = [&](int variable, const char* text) {
            check(nc_put_att_text(id_, variable, "units", std::strlen(text), text), output);
        };
        if (shape.time) {
            check(nc_def_var(id_, "time", NC_FLOAT, 1, &frame, &time_), output);
            units(time_, "picosecond");
        }
        const int coordinate_dims[] = {frame, atom, spatial};
        check(nc_def_var(id_, "coordinates", NC_FLOAT, 3, coordinate_dims, &coordinates_), output);
        units(coordinates_, "angstrom");
        if (shape.box) {
            check(nc_def_dim(id_, "cell_spatial", 3, &cell_spatial), output);
            check(nc_def_dim(id_, "cell_angular", 3, &cell_angular), output);
            check(nc_def_dim(id_, "label", 5, &label), output);
            check(nc_def_var(id_, "cell_spatial", NC_CHAR, 1, &cell_spatial, &cell_spatial_names),
                  output);
            const int angular_dims[] = {cell_angular, label};
            check(nc_def_var(id_, "cell_angular", NC_CHAR, 2, angular_dims, &cell_angular_names),
                  output);
            const int length_dims[] = {frame, cell_spatial};
            check(nc_def_var(id_, "cell_lengths", NC_DOUBLE, 2, length_dims, &lengths_), output);
            units(lengths_, "angstrom");
            const int angle_dims[] = {frame, cell_angular};
            check(nc_def_var(id_, "cell_angles", NC_DOUBLE, 2, angle_dims, &angles_), output);
            units(angles_, "degree");
        }
        check(nc_enddef(id_), output);
        put_text(id_, spatial_names, "xyz", output);
        if (shape.box) {
            put_text(id_, cell_spatial_names, "abc", output);
            put_text(id_, cell_angular_names, "alphabeta gamma", output);
        }
    } catch (...) {
        if (id_ >= 0)
            nc_abort(id_);
        id_ = -1;
        std::remove(temporary_.c_str());
        throw;
    }
}

netcdf_trajectory_writer::~netcdf_trajectory_writer() {
    if (temporary_.empty())
        return; // committed
    if (id_ >= 0)
        nc_abort(id_);
    std::remove(temporary_.c_str());
}

void netcdf_trajectory_writer::write(const netcdf_frame& frame) {
    const std::size_t start[] = {frames_, 0, 0};
    const std::size_t count[] = {1, shape_.atoms, 3};
    // In the record's order, as the reader does.
    if (shape_.time)
        check(nc_put_var1_float(id_, time_, start, &frame.time), output_);
    check(nc_put_vara_float(id_, coordinates_, start, count, frame.coordinates.data()), output_);
    if (shape_.box) {
        const std::size_t cell_count[] = {1, 3};
        check(nc_put_vara_double(id_, lengths_, start, cell_count, frame.lengths.data()), output_);
        check(nc_put_vara_double(id_, angles_, start, cell_count, frame.angles.data()), output_);
    }
    ++frames_;
}

void netcdf_trajectory_writer::commit() {
    const int id = id_;
    id_ = -1;
    check(nc_close(id), output_);
    if (::chmod(temporary_.c_str(), new_file_mode(output_)) != 0 ||
        ::rename(temporary_.c_str(), output_.c_str()) != 0)
        throw file_failure(output_, errno, file_step::create);
    temporary_.clear();
}

} // namespace qm
