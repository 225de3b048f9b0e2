#include "platform/text.h"
#include "platform/val.h"
#include "transformation/transformation_routines.h"

#include "support/as_text.h"
#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qm {
namespace {

using namespace std::chrono_literals;

TEST(TdmAngle, parallelToRoundingGivesExactlyZeroOr180NotE06) {
    EXPECT_NEAR(tdm_angle_degrees({1, 0, 0}, {0, 2, 0}), 90, 1e-12);
    // Their cosine rounds to 1 - 2.2E-16: 1.2E-06 and 179.999998 degrees by the formula.
    EXPECT_EQ(tdm_angle_degrees({0.3, 0.4, 0.5}, {0.6, 0.8, 1.0}), 0);
    EXPECT_EQ(tdm_angle_degrees({0.3, 0.4, 0.5}, {-0.6, -0.8, -1.0}), 180);
    EXPECT_EQ(tdm_angle_degrees({0.1, 0.2, 0.3}, {0.3, 0.6, 0.9}), 0);
    EXPECT_EQ(tdm_angle_degrees({0.1, 0.2, 0.3}, {-0.2, -0.4, -0.6}), 180);
    EXPECT_GT(tdm_angle_degrees({1, 0, 0}, {1, 1e-4, 0}), 0.005); // small, but no rounding
    EXPECT_TRUE(std::isnan(tdm_angle_degrees({0, 0, 0}, {1, 0, 0})));
}

// The fitting program's files: its coordinates two atoms to a line, an odd last atom on a line
// of its own, its control input, and the matrix it writes. Half a matrix, as a reader may see it
// while the file is written, is no matrix yet.
TEST(FittingProgramFiles, CoordinatesControlAndMatrix) {
    const structure_atom a{"C", "0.", "-1.16929", "12.5"};
    const std::string xyz = "   0.0000000  -1.1692900  12.5000000";
    EXPECT_EQ(amber_coordinates({a, a}), "\n    2\n" + xyz + xyz + "\n");
    EXPECT_EQ(amber_coordinates({a, a, a}), "\n    3\n" + xyz + xyz + "\n" + xyz + "\n");
    EXPECT_EQ(rmsfit_control(),
              "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n0 0 0 0 0\n"
              "1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n0 0.01 0 0 0\nEND\n\nSTOP\n");
    const auto read = [](const std::string& text) {
        return read_rotation(text, "fort.55 of file 3");
    };
    const std::string one = "  1.00000000  0.00000000  0.00000000\n";
    const std::string turn =
        "  0.00000000 -1.00000000  0.00000000\n" + one + "  0.00000000  0.00000000  1.00000000\n";
    EXPECT_EQ(read(turn), (std::array<vector3, 3>{{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}}));
    EXPECT_TRUE(read(one + one + "  1.00000000  0.00000000  0.00000000  \r\n"));
    EXPECT_FALSE(read(turn.substr(0, 80)) || read(""));
    // matrixRowThatIsNotThreeNumbersIsATypeMismatchNotAZeroMatrix
    for (const char* bad :
         {"  1.00000000  abc         0.00000000\n", "  1.00000000  0.00000000\n",
          "  1.00000000  0.00000000  0.00000000  1.00000000\n", "1.0 0.0 0.0\n", "\n"})
        EXPECT_EQ(test::error_of([&] { read(one + bad + one); }),
                  "13 Type mismatch (fort.55 of file 3, row 2 is not three numbers)")
            << bad;
}

struct tdm_series : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    status_log log;
    ev_settings settings;
    file_series series;

    tdm_series() { settings.time_step = 1; }
    ev_series_table table(int roots, long long files, long long interval = 1) {
        series.file_count = files;
        series.slot_interval = interval;
        return ev_series_table(roots, 1, roots, files, interval);
    }
    tdm_context context(const ev_series_table& t, std::filesystem::path program = "/bin/false") {
        return {t, settings, series, log, ui, dir.path(), std::move(program), 3s};
    }
    std::string out(const std::string& name) { return test::read_file(dir / name); }
    // How an alignment ended ("done", "stopped" or "report"), with its message's title and text.
    std::string alignment(const ev_series_table& t, std::filesystem::path program = "/bin/false") {
        const transform_outcome ended = transform_tdms(context(t, std::move(program)));
        const char* const words[] = {"done ", "stopped ", "report "};
        std::string text = words[static_cast<int>(ended)];
        if (!ui.messages.empty())
            text += ui.messages.back().title + ": " + ui.messages.back().text;
        ui.messages.clear();
        return text;
    }
    ev_series_table two_structures(std::size_t atoms = 3) {
        auto t = table(1, 2);
        t.root_map(1, 1) = t.root_map(1, 2) = 1;
        t.tdm_xyz(1, 1) = t.tdm_xyz(1, 2) = {1, 0, 0};
        const std::vector<structure_atom> all = {
            {"C", "0.", "0.", "0."}, {"O", "1.2", "0.", "0."}, {"H", "0.", "1.", "0."}};
        t.coords(1) = t.coords(2) = {all.begin(), all.begin() + static_cast<long>(atoms)};
        t.atom_count = static_cast<long long>(atoms);
        return t;
    }
};

// Slots 1 and 6 of eight files: only the used slots, the last one closing the notebook's list.
TEST_F(tdm_series, RawTdmsAndAnglesToTheFirstOfTheUsedSlots) {
    auto t = table(1, 8, 5);
    t.root_map(1, 1) = t.root_map(1, 6) = 1;
    t.tdm_xyz(1, 1) = {1.5, 2.25, -3.5};
    t.tdm_xyz(1, 6) = {-2.25, 1.5, 0};
    output_raw_tdms(context(t));
    EXPECT_EQ(out("raw_tdm.1.dat"), " 1.5   2.25  -3.5  \r\n-2.25   1.5   0  \r\n");
    // 90 up to the rounding of the 2 pi the angle is divided by (6.28318530717958).
    EXPECT_EQ(out("raw_tdm_angles.dat.1"), " 1     0 \r\n 6     90.0000000000001 \r\n");
    EXPECT_NE(out("raw_tdm.1.nb")
                  .find("{{0,0,0},{ 1.5 , 2.25 ,-3.5 }},\r\n{{0,0,0},{-2.25 , 1.5 , 0 }}\r\n}"),
              std::string::npos);
}

TEST_F(tdm_series, StageOneNeedsTwoRootsAndATdmAndItsErrorsDoNotEndInAFileNumber) {
    auto t = table(2, 1);
    settings.no_roots = 3;
    measure_tdm_angles1(context(t));
    EXPECT_EQ(ui.messages.back().title, "Incorrect root count for angle extraction");
    EXPECT_FALSE(std::filesystem::exists(dir / "vector_angles_before fit.dat"));

    settings.no_roots = 2;
    // The report writes the error number right after the description: "file 1" and error 11
    // must not read as "file 111".
    const auto error = [&] { return test::error_of([&] { measure_tdm_angles1(context(t)); }); };
    t.root_map(1, 1) = 1; // root 2 recorded no state in file 1
    EXPECT_EQ(error(), "9 Subscript out of range - no state recorded (root 2, file 1)");
    t.root_map(2, 1) = 2;
    EXPECT_EQ(error(), "11 Division by zero - TDM of zero length (file 1)");
    t.tdm_xyz(1, 1) = {0, 1, 0};
    t.tdm_xyz(2, 1) = {0, 0, 3};
    measure_tdm_angles1(context(t));
    EXPECT_EQ(out("vector_angles_before fit.dat"), " 1     90.0000000000001 \r\n");
}

// Every early end of an alignment with its message; the fits never touch the user's files.
TEST_F(tdm_series, AlignmentFailuresEndWithTheirMessages) {
    const auto t = two_structures();
    const std::string no_matrix = "External Program Error: rmsfit.exe ended without writing its "
                                  "rotation matrix for file 2";
    const std::string report = "report Fatal - Error: Error (",
                      routine = ") in (frm_ev_extract: transform_tdms) routine.";
    test::write_file(dir / "inpcrd", "the user's own\n");
    EXPECT_EQ(alignment(t), report + "File not found53" + routine +
                                " - prmtop file missing!\n\rReturning to main menu");
    test::write_file(dir / "prmtop", "topology\n");
    EXPECT_EQ(alignment(t, dir / "no-such-program"),
              "stopped External Program Error: External Program Execution Failed - rmsfit.exe");
    EXPECT_EQ(alignment(t, "/bin/true"), "stopped " + no_matrix);
    // fittingProgramsOwnMessageIsShownNotThrownAway
    EXPECT_EQ(alignment(two_structures(2), RMSFIT_PATH),
              "stopped " + no_matrix +
                  "\n\rrmsfit: inpcrd: line 2: 2 atoms; at least 3 are needed for a fit");
    // matrixFieldsThatAreNotNumbersEndTheAlignmentNotZeroTdms
    const auto bad_matrix = dir / "fake-rmsfit";
    test::write_file(bad_matrix, "#!/bin/sh\nprintf '  1.00000000  0.00000000  0.00000000\\n"
                                 "  x.xxxxxxxx  y.yyyyyyyy  z.zzzzzzzz\\n"
                                 "  0.00000000  0.00000000  1.00000000\\n' > fort.55\n");
    std::filesystem::permissions(bad_matrix, std::filesystem::perms::owner_all);
    EXPECT_EQ(alignment(t, bad_matrix),
              report + "Type mismatch (fort.55 of file 2, row 2 is not three numbers)13" + routine +
                  "\n\rReturning to main menu");
    EXPECT_EQ(out("inpcrd"), "the user's own\n");

    settings.choices.align_only = true;
    EXPECT_EQ(alignment(t), "done Quillmark: TDM only alignment not currently implemented");
    EXPECT_EQ(out("transformed_tdm.1.dat"), "");
}

// Coordinates too wide for the fitting program are refused before anything is written; a
// single file needs no fit.
TEST_F(tdm_series, OneFileIsWrittenUnchangedButCoordinatesTooWideAreRefusedFirst) {
    test::write_file(dir / "prmtop", "topology\n");
    auto t = table(1, 1);
    t.root_map(1, 1) = 1;
    t.tdm_xyz(1, 1) = {0.5, -0.25, 0};
    t.atom_count = 1;
    t.coords(1) = {{"C", "1000.5", "0.", "0."}};
    EXPECT_EQ(alignment(t),
              "stopped Data Expected!: The coordinate 1000.5 of file 1 is too wide for the fitting "
              "program (from above -100 to below 1000 Angstrom).");
    EXPECT_FALSE(std::filesystem::exists(dir / "transformed_tdm.1.dat"));
    t.coords(1) = {{"C", "999.5", "0.", "0."}};
    EXPECT_EQ(alignment(t), "done ");
    EXPECT_EQ(out("transformed_tdm.1.dat"), " 0.5  -0.25   0  \r\n");
}

// v turned by `angle` about the axis k along (1, 2, 3): v cos + (k x v) sin + k (k.v)(1 - cos).
vector3 rotated(const vector3& v, double angle) {
    const double n = std::sqrt(14.0), k[] = {1 / n, 2 / n, 3 / n};
    const double c = std::cos(angle), s = std::sin(angle);
    const double kv = (k[0] * v[0] + k[1] * v[1] + k[2] * v[2]) * (1 - c);
    return {v[0] * c + (k[1] * v[2] - k[2] * v[1]) * s + k[0] * kv,
            v[1] * c + (k[2] * v[0] - k[0] * v[2]) * s + k[1] * kv,
            v[2] * c + (k[0] * v[1] - k[1] * v[0]) * s + k[2] * kv};
}

double number(const std::string& line, std::size_t field) {
    return val(split_fields(line, " \r").at(field));
}

// Rotated copies of one structure, with TDMs rotated alike, come back aligned onto the first file
// by our fitting program, run in a folder of its own; the two roots keep their angle.
TEST_F(tdm_series, RotatedCopiesComeBackOntoTheFirstFile) {
    const std::vector<vector3> atoms = {
        {0.0, 0.0, 0.0}, {1.52, 0.0, 0.0}, {-0.51, 1.43, 0.0}, {-0.5, -0.7, 1.2}, {2.1, 0.9, -0.8}};
    const vector3 tdm1{0.6769, 0.1, -0.658}, tdm2{0.05, 0.0751, 0.3};
    const int files = 6;
    auto t = table(2, files);
    t.atom_count = static_cast<long long>(atoms.size());
    for (int f = 1; f <= files; ++f) {
        for (const vector3& a : atoms) {
            const auto p = rotated(a, 0.45 * (f - 1));
            t.coords(f).push_back(
                {"C", test::fixed(p[0], 0, 6), test::fixed(p[1], 0, 6), test::fixed(p[2], 0, 6)});
        }
        t.root_map(1, f) = 1;
        t.root_map(2, f) = 2;
        t.tdm_xyz(1, f) = rotated(tdm1, 0.45 * (f - 1));
        t.tdm_xyz(2, f) = rotated(tdm2, 0.45 * (f - 1));
    }
    test::write_file(dir / "prmtop", "topology of the test molecule\n");
    settings.choices.tdm_angle = true;
    ASSERT_EQ(alignment(t, RMSFIT_PATH), "done ");
    // Every aligned TDM is the first file's, within the four decimals of the table.
    for (const char* name : {"transformed_tdm.1.dat", "transformed_tdm.2.dat"}) {
        const auto lines = test::lines_of(out(name));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(files)) << name;
        for (const auto& line : lines)
            for (std::size_t c = 0; c < 3; ++c)
                EXPECT_NEAR(number(line, c), number(lines[0], c), 2e-4) << name << ": " << line;
    }
    const auto angles = test::lines_of(out("vector_angles_after_fit.dat"));
    ASSERT_EQ(angles.size(), static_cast<std::size_t>(files));
    for (const auto& line : angles)
        EXPECT_NEAR(number(line, 1), tdm_angle_degrees(tdm1, tdm2), 0.02) << line;
    EXPECT_FALSE(std::filesystem::exists(dir / "inpcrd") ||
                 std::filesystem::exists(dir / "fort.55"));
}

} // namespace
} // namespace qm
