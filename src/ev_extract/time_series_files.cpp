#include "ev_extract/time_series_files.h"

#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

constexpr std::string_view gap = "    ";
constexpr std::string_view crlf = "\r\n";
// What stands between B and "." k in each file's name.
constexpr std::string_view ev_part = "EV";
constexpr std::string_view scf_hartrees_part = "_SCF-Hartrees";
constexpr std::string_view scf_ev_part = "_SCF-EV";
constexpr std::string_view scf_rads_part = "_SCF-rads-1";
constexpr std::string_view scf_cycles_part = "_SCF-Cycles";
constexpr std::string_view tdm_ev_part = "_TDM+EV";

// Calls visit(t) for every slot of root k's series, in order.
template <class Visit>
void for_each_written_slot(const file_series& series, const root_series& values, Visit&& visit) {
    for (long long t = 1; t <= series.file_count; t += series.slot_interval)
        if (values.written[series.used_index(t)] != 0)
            visit(t);
}

// The line counts m of the angular-frequency files: points, 2 points, ... (each rounded) until
// one holds every one of the `visited` slots.
std::vector<long long> rad_file_lengths(double points, long long visited) {
    std::vector<long long> lengths;
    for (long long m = 0; m < visited;) {
        const double next = round_half_even(static_cast<double>(m) + points);
        // A count beyond a 64-bit integer would convert to nonsense (and never end the loop).
        if (!(next < 9.2e18))
            throw run_error::from_number(err::overflow);
        m = static_cast<long long>(next);
        lengths.push_back(m);
    }
    return lengths;
}

std::string rad_file_name(const std::string& base, std::string_view part, long long m, int k) {
    return base + std::string(part) + std::to_string(m) + "." + std::to_string(k);
}

// The bytes of `path`, a file this job has just written, added to `out`: read back in blocks,
// so no file is held whole. Only a regular file can be read back (a FIFO or a device in the
// output's place would hold nothing or never end).
void append_file(output_file& out, const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw file_failure(path, errno, file_step::open);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw run_error::from_number(err::path_file_access).in_file(path);
    }
    constexpr std::size_t block_size = std::size_t{1} << 16;
    const auto block = std::make_unique_for_overwrite<char[]>(block_size);
    // Each round reads a block or ends: bounded by the file's length.
    for (;;) {
        const ssize_t n = ::read(fd, block.get(), block_size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw file_failure(path, error, file_step::open);
        }
        if (n == 0)
            break;
        out.write(std::string_view(block.get(), static_cast<std::size_t>(n)));
    }
    ::close(fd);
}

void write_rad_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                     int k, const root_series& values, status_log& log, JobUi& ui,
                     const std::string& base) {
    ui.status("Writing Rads Per Second Data Files");
    log.line("Writing Rads Per Second Data Files");
    log.line("   Files to write = " +
             text_form(std::fabs(static_cast<double>(series.file_count) / s.points)));
    const bool tdm = s.choices.tdm_data;
    const bool separate = tdm && s.choices.tdm_separate;
    const auto visited =
        static_cast<long long>(std::count(values.written.begin(), values.written.end(), 1));
    const std::vector<long long> lengths = rad_file_lengths(s.points, visited);
    if (lengths.empty())
        return;
    // Each file m holds the first m visited slots (the last one holds them all): each slot's
    // line is formatted once, and each file starts as a copy of the file before it.
    std::unique_ptr<output_file> rads, tdms;
    std::string rads_before, tdms_before; // the names of the files before
    std::size_t file = 0;
    auto open_file = [&] {
        const std::string rads_name = rad_file_name(base, "", lengths[file], k);
        rads = std::make_unique<output_file>(rads_name);
        if (!rads_before.empty())
            append_file(*rads, rads_before);
        rads_before = rads_name;
        if (separate) {
            const std::string tdms_name = rad_file_name(base, "TDM", lengths[file], k);
            tdms = std::make_unique<output_file>(tdms_name);
            if (!tdms_before.empty())
                append_file(*tdms, tdms_before);
            tdms_before = tdms_name;
        }
    };
    auto close_file = [&] {
        rads->close();
        if (separate)
            tdms->close();
        log.line("   Wrote File " + std::to_string(lengths[file]));
        ++file;
    };
    open_file();
    long long lines = 0;
    std::string line, length_line;
    for_each_written_slot(series, values, [&](long long t) {
        const double rad = table.energy(k, t) * ev_to_rad_per_s;
        const double length = table.chosen_tdm_length(k, t);
        if (separate) {
            line = print_form(rad);
            length_line = print_form(length);
            length_line += crlf;
            tdms->write(length_line);
        } else if (tdm) {
            line = text_form(rad);
            line += gap;
            line += text_form(length);
        } else {
            line = print_form(rad);
        }
        line += crlf;
        rads->write(line);
        if (++lines == lengths[file]) {
            close_file();
            if (file < lengths.size())
                open_file();
        }
    });
    if (file < lengths.size())
        close_file(); // the last file, longer than the series: every line
}

} // namespace

std::string output_base(const ev_settings& s, const file_series& series) {
    return trim_blanks(s.output_folder.empty() ? series.data_path : s.output_folder) +
           s.output_prefix;
}

std::string root_file_name(const ev_settings& s, const file_series& series, std::string_view part,
                           int k) {
    return output_base(s, series) + std::string(part) + "." + std::to_string(k);
}

std::vector<std::string> root_file_names(const ev_settings& s, const file_series& series, int k) {
    std::vector<std::string> names;
    if (s.choices.orbitals)
        names.push_back(root_file_name(s, series, orbitals_part, k));
    names.push_back(root_file_name(s, series, ev_part, k));
    if (s.choices.scf_energies)
        for (const std::string_view part : {scf_hartrees_part, scf_ev_part, scf_rads_part})
            names.push_back(root_file_name(s, series, part, k));
    if (s.choices.scf_cycles)
        names.push_back(root_file_name(s, series, scf_cycles_part, k));
    if (s.choices.tdm_data)
        names.push_back(root_file_name(s, series, tdm_ev_part, k));
    const std::string base = output_base(s, series);
    for (const long long m : rad_file_lengths(s.points, series.used_slots())) {
        names.push_back(rad_file_name(base, "", m, k));
        if (s.choices.tdm_data && s.choices.tdm_separate)
            names.push_back(rad_file_name(base, "TDM", m, k));
    }
    return names;
}

void slot_texts::go_to(long long t) {
    if (t == slot_)
        return;
    slot_ = t;
    time_.clear();
    for (std::string& line : scf_lines_)
        line.clear();
}

const std::string& slot_texts::time(long long t) {
    go_to(t);
    if (time_.empty())
        time_ = print_form(slot_time(s_, t));
    return time_;
}

const std::string& slot_texts::scf_line(scf_column column, long long t) {
    go_to(t);
    std::string& line = scf_lines_[static_cast<std::size_t>(column)];
    if (!line.empty())
        return line;
    const double scf = table_.scf_energy(t);
    double value = 0;
    switch (column) {
    case scf_column::hartrees:
        value = scf;
        break;
    case scf_column::ev:
        value = scf * hartree_to_ev;
        break;
    case scf_column::rads:
        value = scf * hartree_to_ev * ev_to_rad_per_s;
        break;
    case scf_column::cycles:
        value = static_cast<double>(table_.scf_cycles(t));
        break;
    }
    line = time(t);
    line += gap;
    line += print_form(value);
    line += crlf;
    return line;
}

root_series_files::root_series_files(const ev_settings& s, const file_series& series,
                                     const ev_series_table& table, int k, slot_texts& shared)
    : table_(table), shared_(shared), k_(k) {
    const std::string base = output_base(s, series);
    auto add = [&](column values, std::string_view part, std::string_view what) {
        files_.push_back({values, what, base + std::string(part) + "." + std::to_string(k), {}});
    };
    add(column::energy, ev_part, "EV");
    if (s.choices.scf_energies) {
        add(column::scf_hartrees, scf_hartrees_part, "SCF Data (Hartrees)");
        add(column::scf_ev, scf_ev_part, "SCF Data (eV)");
        add(column::scf_rads, scf_rads_part, "SCF Data (rad/s)");
    }
    if (s.choices.scf_cycles)
        add(column::scf_cycles, scf_cycles_part, "SCF Convergence Cycles");
    if (s.choices.tdm_data)
        add(column::energy_tdm, tdm_ev_part, "EV & TDM");
    failed_file_ = files_.size();
    for (std::size_t i = 0; i < files_.size(); ++i) {
        try {
            files_[i].out = std::make_unique<output_file>(files_[i].name);
        } catch (const std::exception&) {
            keep_failure(i);
            return;
        }
    }
}

void root_series_files::keep_failure(std::size_t file) {
    failure_ = std::current_exception();
    failed_file_ = file;
}

const std::string& root_series_files::line(column values, long long t) {
    switch (values) {
    case column::energy:
        line_ = shared_.time(t);
        line_ += gap;
        line_ += print_form(table_.energy(k_, t));
        break;
    case column::scf_hartrees:
        return shared_.scf_line(slot_texts::scf_column::hartrees, t);
    case column::scf_ev:
        return shared_.scf_line(slot_texts::scf_column::ev, t);
    case column::scf_rads:
        return shared_.scf_line(slot_texts::scf_column::rads, t);
    case column::scf_cycles:
        return shared_.scf_line(slot_texts::scf_column::cycles, t);
    case column::energy_tdm:
        line_ = text_form(table_.energy(k_, t));
        line_ += gap;
        line_ += text_form(table_.chosen_tdm_length(k_, t));
        break;
    }
    line_ += crlf;
    return line_;
}

void root_series_files::add(long long t) {
    // Files past a failure are never put in place: nothing more is written to them.
    for (std::size_t i = 0; i < failed_file_; ++i) {
        try {
            files_[i].out->write(line(files_[i].values, t));
        } catch (const std::exception&) {
            keep_failure(i);
            return;
        }
    }
}

void root_series_files::finish(status_log& log, JobUi& ui) {
    for (std::size_t i = 0; i < files_.size(); ++i) {
        series_file& file = files_[i];
        log.line("Writing " + std::string(file.what) + " against Time Data File - " + file.name);
        ui.status("Writing " + std::string(file.what) + " against Time Data File");
        if (i == failed_file_)
            std::rethrow_exception(failure_);
        file.out->close();
    }
}

void write_root_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, const root_series& values, status_log& log, JobUi& ui,
                      root_series_files* streamed) {
    std::optional<slot_texts> shared;
    std::optional<root_series_files> files;
    if (streamed == nullptr) {
        shared.emplace(s, table);
        files.emplace(s, series, table, k, *shared);
        for_each_written_slot(series, values, [&](long long t) { files->add(t); });
        streamed = &*files;
    }
    streamed->finish(log, ui);
    write_rad_files(s, series, table, k, values, log, ui, output_base(s, series));
}

void add_root_curves(ev_charts& charts, const ev_settings& s, const file_series& series,
                     const ev_series_table& table, int k, const root_series& values) {
    const std::string name = "Root " + std::to_string(k);
    chart_line energies{name, {}}, lengths{name, {}};
    for_each_written_slot(series, values, [&](long long t) {
        const double time = static_cast<double>(t) * s.time_step;
        energies.points.push_back({time, table.energy(k, t)});
        if (s.choices.tdm_data)
            lengths.points.push_back({time, table.chosen_tdm_length(k, t)});
    });
    charts.energy.lines.push_back(std::move(energies));
    if (s.choices.tdm_data)
        charts.tdm.lines.push_back(std::move(lengths));
}

} // namespace qm
