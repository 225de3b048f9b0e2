#include "amber/amber_netcdf.h"

#include "platform/run_error.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cstring>

namespace qm {
namespace {

netcdf_frame frame_of(std::uint64_t atoms, int number) {
    netcdf_frame f;
    for (std::uint64_t v = 0; v < 3 * atoms; ++v)
        f.coordinates.push_back(static_cast<float>(v) * 1.25f - static_cast<float>(number));
    f.time = 0.5f * static_cast<float>(number);
    f.lengths = {40.5, 41.25, 42.0 + number};
    f.angles = {109.4712190, 109.4712190, 90.0};
    return f;
}

std::vector<std::string> files_in(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string global_text(int id, const char* name) {
    std::size_t length = 0;
    nc_inq_attlen(id, NC_GLOBAL, name, &length);
    std::string text(length, '\0');
    nc_get_att_text(id, NC_GLOBAL, name, text.data());
    return text;
}

// Written, then read back whole and in runs; the file carries the convention's attributes and
// dimensions, and the output's name appears only once the writer commits.
TEST(AmberNetcdf, WritesTheConventionAndReadsBackEveryFrameAndRun) {
    test::temp_dir dir;
    const auto path = dir / "out.nc";
    {
        netcdf_trajectory_writer out(path, {4, true, true, "a title"});
        out.write(frame_of(4, 1));
        out.write(frame_of(4, 2));
        EXPECT_FALSE(std::filesystem::exists(path));
        out.commit();
    }
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"out.nc"});
    EXPECT_TRUE(is_netcdf_file(path));
    int id = -1;
    ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR);
    EXPECT_EQ(global_text(id, "Conventions") + "|" + global_text(id, "ConventionVersion") + "|" +
                  global_text(id, "program") + "|" + global_text(id, "title"),
              "AMBER|1.0|quillmark|a title");
    int format = 0;
    nc_inq_format(id, &format);
    EXPECT_EQ(format, NC_FORMAT_64BIT_OFFSET);
    nc_close(id);

    netcdf_trajectory_reader in(path);
    EXPECT_EQ(in.atoms(), 4u);
    EXPECT_EQ(in.frames(), 2u);
    EXPECT_TRUE(in.has_time() && in.has_box());
    EXPECT_EQ(in.title(), "a title");
    netcdf_frame f;
    in.read(1, {{0, 4}}, f);
    const netcdf_frame expected = frame_of(4, 2);
    EXPECT_EQ(f.coordinates, expected.coordinates);
    EXPECT_EQ(f.time, expected.time);
    EXPECT_EQ(f.lengths, expected.lengths);
    EXPECT_EQ(f.angles, expected.angles);
    in.read(0, {{0, 1}, {2, 2}}, f);
    std::vector<float> kept = frame_of(4, 1).coordinates;
    kept.erase(kept.begin() + 3, kept.begin() + 6);
    EXPECT_EQ(f.coordinates, kept);
}

TEST(AmberNetcdf, aWriterThatFailsOrIsNotCommittedLeavesTheOutputAsItWas) {
    test::temp_dir dir;
    test::write_file(dir / "out.nc", "the user's own file\n");
    {
        netcdf_trajectory_writer out(dir / "out.nc", {2, false, false, ""});
        out.write(frame_of(2, 1));
    }
    EXPECT_EQ(files_in(dir.path()), std::vector<std::string>{"out.nc"});
    EXPECT_EQ(test::read_file(dir / "out.nc"), "the user's own file\n");
    try {
        netcdf_trajectory_writer out(dir / "missing" / "out.nc", {2, false, false, ""});
        ADD_FAILURE() << "created in a missing folder";
    } catch (const run_error& e) {
        EXPECT_EQ(e.number, err::path_not_found);
        EXPECT_EQ(e.file, dir / "missing" / "out.nc");
    }
}

// A trajectory as another program writes it: the file format, and the convention broken in
// one way at a time.
void write_trajectory(const std::filesystem::path& path, int mode, const char* conventions,
                      const char* atom_dimension, bool coordinates_by_atom_first) {
    int id = -1, frame = -1, spatial = -1, atom = -1, v = -1;
    ASSERT_EQ(nc_create(path.c_str(), NC_CLOBBER | mode, &id), NC_NOERR);
    if (conventions != nullptr)
        nc_put_att_text(id, NC_GLOBAL, "Conventions", std::strlen(conventions), conventions);
    nc_def_dim(id, "frame", NC_UNLIMITED, &frame);
    nc_def_dim(id, "spatial", 3, &spatial);
    nc_def_dim(id, atom_dimension, 2, &atom);
    const int dims[] = {frame, atom, spatial};
    const int swapped[] = {atom, frame, spatial};
    nc_def_var(id, "coordinates", NC_FLOAT, 3, coordinates_by_atom_first ? swapped : dims, &v);
    nc_enddef(id);
    const float values[] = {1, 2, 3, 4, 5, 6};
    const std::size_t start[] = {0, 0, 0}, count[] = {1, 2, 3};
    const std::size_t swapped_count[] = {2, 1, 3};
    nc_put_vara_float(id, v, start, coordinates_by_atom_first ? swapped_count : count, values);
    ASSERT_EQ(nc_close(id), NC_NOERR);
}

TEST(AmberNetcdf, ReadsEveryFileFormatAndRefusesWhatIsNoAmberTrajectory) {
    test::temp_dir dir;
    const struct {
        const char* name;
        int mode;
        const char* conventions;
        const char* atom = "atom";
        bool swapped = false;
        const char* refusal = nullptr;
    } cases[] = {
        {"classic", 0, "AMBER"},
        {"64-bit offsets", NC_64BIT_OFFSET, "AMBER"},
        {"NetCDF-4 as recent cpptraj writes it", NC_NETCDF4, "AMBER"},
        {"in a list of conventions", NC_NETCDF4, "CF-1.7 AMBER"},
        {"no convention", 0, nullptr, "atom", false, "it has no Conventions attribute"},
        {"a restart file", 0, "AMBERRESTART", "atom", false,
         "its Conventions are \"AMBERRESTART\" (a restart file holds one frame)"},
        {"no atom dimension", 0, "AMBER", "atoms", false, "it has no atom dimension"},
        {"coordinates by atom first", NC_NETCDF4, "AMBER", "atom", true,
         "its coordinates variable has other dimensions than (frame, atom, spatial)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / "t.nc";
        write_trajectory(path, c.mode, c.conventions, c.atom, c.swapped);
        EXPECT_TRUE(is_netcdf_file(path));
        try {
            netcdf_trajectory_reader in(path);
            EXPECT_EQ(c.refusal, nullptr);
            netcdf_frame f;
            in.read(0, {{1, 1}}, f);
            EXPECT_EQ(f.coordinates, (std::vector<float>{4, 5, 6}));
            EXPECT_FALSE(in.has_time() || in.has_box());
        } catch (const run_error& e) {
            ASSERT_NE(c.refusal, nullptr) << e.description;
            EXPECT_EQ(e.description,
                      std::string("A NetCDF file, but not an Amber trajectory: ") + c.refusal);
            EXPECT_EQ(e.file, path);
        }
    }
    test::write_file(dir / "t.crd", "CDF\n   1.000");
    EXPECT_FALSE(is_netcdf_file(dir / "t.crd"));
}

} // namespace
} // namespace qm
