#include "platform/run_error.h"
#include "transformation/transformation_routines.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qm {
namespace {

TEST(TdmAngle, parallelToRoundingGivesExactlyZeroOr180NotE06) {
    EXPECT_NEAR(tdm_angle_degrees({1, 0, 0}, {0, 2, 0}), 90, 1e-12);
    EXPECT_EQ(tdm_angle_degrees({0.3, -0.7, 0.1}, {0.3, -0.7, 0.1}), 0);
    // Their cosine rounds to 1 - 2.2E-16: 1.2E-06 and 179.999998 degrees by the formula.
    EXPECT_EQ(tdm_angle_degrees({0.3, 0.4, 0.5}, {0.6, 0.8, 1.0}), 0);
    EXPECT_EQ(tdm_angle_degrees({0.3, 0.4, 0.5}, {-0.6, -0.8, -1.0}), 180);
    EXPECT_EQ(tdm_angle_degrees({0.1, 0.2, 0.3}, {0.3, 0.6, 0.9}), 0);
    EXPECT_EQ(tdm_angle_degrees({0.1, 0.2, 0.3}, {-0.2, -0.4, -0.6}), 180);
    EXPECT_GT(tdm_angle_degrees({1, 0, 0}, {1, 1e-4, 0}), 0.005); // small, but no rounding
    EXPECT_TRUE(std::isnan(tdm_angle_degrees({0, 0, 0}, {1, 0, 0})));
    EXPECT_TRUE(std::isnan(tdm_angle_degrees({0, 0, 0}, {0, 0, 0})));
}

TEST(AmberCoordinates, EvenAndOddAtomCounts) {
    const structure_atom a{"C", "0.", "-1.16929", "12.5"};
    EXPECT_EQ(amber_coordinates({a, a}), "\n    2\n   0.0000000  -1.1692900  12.5000000"
                                         "   0.0000000  -1.1692900  12.5000000\n");
    const std::string odd = amber_coordinates({a, a, a});
    EXPECT_EQ(odd.substr(0, 8), "\n    3\n ");
    EXPECT_EQ(std::count(odd.begin(), odd.end(), '\n'), 4); // the last line holds one atom
    EXPECT_EQ(odd.substr(odd.size() - 37), "   0.0000000  -1.1692900  12.5000000\n");
}

TEST(FittingProgramFiles, ControlInputAndMatrix) {
    EXPECT_EQ(rmsfit_control(),
              "# Run anal to rms fit coords to 1st set\n1 0 0 0 0 1\n0 0 0 0 0\n"
              "1 0 0 0 0 1\n9 2.0 1.2 1.0\n0   \nRMS\n0 0.01 0 0 0\nEND\n\nSTOP\n");
    const std::string matrix = "  0.00000000 -1.00000000  0.00000000\n"
                               "  1.00000000  0.00000000  0.00000000\n"
                               "  0.00000000  0.00000000  1.00000000\n";
    const auto m = read_rotation(matrix);
    ASSERT_TRUE(m);
    EXPECT_EQ(*m, (std::array<vector3, 3>{{{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}}));
    // Half a matrix, as a reader may see it while the file is written, is no matrix.
    EXPECT_FALSE(read_rotation(matrix.substr(0, 80)));
    EXPECT_FALSE(read_rotation(""));
}

TEST(FittingProgramFiles, matrixRowThatIsNotThreeNumbersIsATypeMismatchNotAZeroMatrix) {
    const std::string good = "  1.00000000  0.00000000  0.00000000\n";
    for (const std::string bad :
         {"  1.00000000  abc         0.00000000\n", "  1.00000000  0.00000000\n",
          "  1.00000000  0.00000000  0.00000000  1.00000000\n", "1.0 0.0 0.0\n", "\n"}) {
        try {
            read_rotation(good + bad + good, "fort.55 of file 3");
            ADD_FAILURE() << bad;
        } catch (const run_error& e) {
            EXPECT_EQ(e.number, 13);
            EXPECT_EQ(e.description,
                      "Type mismatch (fort.55 of file 3, row 2 is not three numbers)");
        }
    }
    EXPECT_TRUE(read_rotation(good + good + "  1.00000000  0.00000000  0.00000000  \r\n"));
}

// A table of K roots over N files with one state per root.
struct tdm_series : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    status_log log;
    ev_settings settings;
    file_series series;

    tdm_series() { settings.texts.time_step = "1"; }
    ev_series_table table(int roots, long long files, long long interval = 1) {
        series.file_count = files;
        series.slot_interval = interval;
        return ev_series_table(roots, 1, roots, files, interval);
    }
    tdm_context context(const ev_series_table& t, std::filesystem::path program = "/bin/false") {
        return {t,
                settings,
                series,
                log,
                ui,
                dir.path(),
                std::move(program),
                std::chrono::milliseconds(3000)};
    }
    std::string out(const std::string& name) { return test::read_file(dir / name); }
    // A fitting program that runs `commands` in its folder.
    std::filesystem::path program(const std::string& commands) {
        const auto path = dir / "fake-rmsfit";
        test::write_file(path, "#!/bin/sh\n" + commands + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    // Two files of three atoms, ready for a fit.
    ev_series_table two_structures() {
        auto t = table(1, 2);
        t.root_map(1, 1) = t.root_map(1, 2) = 1;
        t.tdm_xyz(1, 1) = t.tdm_xyz(1, 2) = {1, 0, 0};
        t.coords(1) = t.coords(2) = {
            {"C", "0.", "0.", "0."}, {"O", "1.2", "0.", "0."}, {"H", "0.", "1.", "0."}};
        t.atom_count = 3;
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
    settings.texts.no_roots = "3";
    measure_tdm_angles1(context(t));
    EXPECT_EQ(ui.messages.back().title, "Incorrect root count for angle extraction");
    EXPECT_FALSE(std::filesystem::exists(dir / "vector_angles_before fit.dat"));

    settings.texts.no_roots = "2.0";
    // The report writes the error number right after the description: "file 1" and error 11
    // must not read as "file 111".
    const auto description = [&] {
        try {
            measure_tdm_angles1(context(t));
        } catch (const run_error& e) {
            return e.description;
        }
        return std::string("no error");
    };
    t.root_map(1, 1) = 1; // root 2 recorded no state in file 1
    EXPECT_EQ(description(), "Subscript out of range - no state recorded (root 2, file 1)");
    t.root_map(2, 1) = 2;
    EXPECT_EQ(description(), "Division by zero - TDM of zero length (file 1)");
    t.tdm_xyz(1, 1) = {0, 1, 0};
    t.tdm_xyz(2, 1) = {0, 0, 3};
    measure_tdm_angles1(context(t));
    EXPECT_EQ(out("vector_angles_before fit.dat"), " 1     90.0000000000001 \r\n");
}

TEST_F(tdm_series, AlignmentFailuresEndWithTheirMessages) {
    const auto t = two_structures();
    EXPECT_EQ(transform_tdms(context(t)), transform_outcome::error_report);
    EXPECT_EQ(ui.messages.back().text,
              "Error (File not found53) in (frm_ev_extract: transform_tdms) routine. - prmtop "
              "file missing!\n\rReturning to main menu");

    test::write_file(dir / "prmtop", "topology\n");
    test::write_file(dir / "inpcrd", "the user's own\n");
    EXPECT_EQ(transform_tdms(context(t, dir / "no-such-program")), transform_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "External Program Error");
    EXPECT_EQ(ui.messages.back().text, "External Program Execution Failed - rmsfit.exe");

    EXPECT_EQ(transform_tdms(context(t, "/bin/true")), transform_outcome::stopped);
    EXPECT_EQ(ui.messages.back().text,
              "rmsfit.exe ended without writing its rotation matrix for file 2");
    EXPECT_EQ(out("inpcrd"), "the user's own\n"); // fits never touch the user's files

    settings.choices.align_only = true;
    EXPECT_EQ(transform_tdms(context(t)), transform_outcome::done);
    EXPECT_EQ(ui.messages.back().text, "TDM only alignment not currently implemented");
    EXPECT_EQ(out("transformed_tdm.1.dat"), "");
}

TEST_F(tdm_series, fittingProgramsOwnMessageIsShownNotThrownAway) {
    test::write_file(dir / "prmtop", "topology\n");
    auto t = two_structures();
    t.coords(1).pop_back();
    t.coords(2).pop_back();
    t.atom_count = 2;
    EXPECT_EQ(transform_tdms(context(t, RMSFIT_PATH)), transform_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "External Program Error");
    EXPECT_EQ(ui.messages.back().text,
              "rmsfit.exe ended without writing its rotation matrix for file 2\n\r"
              "rmsfit: inpcrd: line 2: 2 atoms; at least 3 are needed for a fit");
}

TEST_F(tdm_series, matrixFieldsThatAreNotNumbersEndTheAlignmentNotZeroTdms) {
    test::write_file(dir / "prmtop", "topology\n");
    const auto bad = program("printf '  1.00000000  0.00000000  0.00000000\\n"
                             "  x.xxxxxxxx  y.yyyyyyyy  z.zzzzzzzz\\n"
                             "  0.00000000  0.00000000  1.00000000\\n' > fort.55");
    EXPECT_EQ(transform_tdms(context(two_structures(), bad)), transform_outcome::error_report);
    EXPECT_EQ(ui.messages.back().text,
              "Error (Type mismatch (fort.55 of file 2, row 2 is not three numbers)13) in "
              "(frm_ev_extract: transform_tdms) routine.\n\rReturning to main menu");
}

// Coordinates too wide for the fitting program are refused before anything is written; one
// file needs no fit and is written unchanged.
TEST_F(tdm_series, OneFileIsWrittenUnchangedButCoordinatesTooWideAreRefusedFirst) {
    test::write_file(dir / "prmtop", "topology\n");
    auto t = table(1, 1);
    t.root_map(1, 1) = 1;
    t.tdm_xyz(1, 1) = {0.5, -0.25, 0};
    t.atom_count = 1;
    t.coords(1) = {{"C", "1000.5", "0.", "0."}};
    EXPECT_EQ(transform_tdms(context(t)), transform_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Data Expected!");
    EXPECT_FALSE(std::filesystem::exists(dir / "transformed_tdm.1.dat"));
    t.coords(1) = {{"C", "999.5", "0.", "0."}};
    EXPECT_EQ(transform_tdms(context(t)), transform_outcome::done);
    EXPECT_EQ(out("transformed_tdm.1.dat"), " 0.5  -0.25   0  \r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "inpcrd"));
}

} // namespace
} // namespace qm
