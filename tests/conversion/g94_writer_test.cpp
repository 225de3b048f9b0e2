#include "conversion/g94_writer.h"
#include "conversion/gaussian_output_reader.h"

#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(G94AtomLine, Columns) {
    EXPECT_EQ(g94_atom_line(1, {"6", " 0.000000", " 0.000000", " 0.000000"}),
              "    1           6           0.000000    0.000000    0.000000\n");
    const std::string line = g94_atom_line(42, {"17", "-1.234567", " 2.000000", "-3.500000"});
    EXPECT_EQ(line.substr(3, 2), "42");
    EXPECT_EQ(line.substr(15, 2), "17");
    EXPECT_EQ(line.substr(27, 9), "-1.234567");
    EXPECT_EQ(line.substr(39, 9), " 2.000000");
    EXPECT_EQ(line.substr(51, 9), "-3.500000");
}

TEST(G94AtomLine, CentreNumberEndsInColumn5) {
    const atom_row row{"1", " 0.000000", " 0.000000", " 0.000000"};
    EXPECT_EQ(g94_atom_line(99, row).substr(0, 6), "   99 ");
    EXPECT_EQ(g94_atom_line(100, row).substr(0, 6), "  100 ");
    EXPECT_EQ(g94_atom_line(1000, row).substr(0, 6), " 1000 ");
    EXPECT_EQ(g94_atom_line(1, {"103", "x", "y", "z"}).substr(0, 17), "    1         103");
    // A wider coordinate pushes the rest of the line right instead of being cut.
    EXPECT_EQ(g94_atom_line(1, {"6", "-10.500000", " 0.000000", " 0.000000"}).substr(27),
              "-10.500000    0.000000    0.000000\n");
}

struct g94_output : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
};

TEST_F(g94_output, EveryTableGetsTheFinalCoordinatesAndLinesGainABlank) {
    const std::vector<test::test_atom> start = {{8, 1, 1, 1}, {1, 2, 2, 2}, {1, 3, 3, 3}};
    // The first table has an extra atom: the whole input table is still replaced.
    std::vector<test::test_atom> bigger = start;
    bigger.push_back({6, 9, 9, 9});
    const std::string input = test::gaussian_output(
        test::g98_banner, test::g98_table(bigger) + " Step\n" + test::g98_table(start) +
                              test::g98_table(test::water));
    test::write_file(dir / "opt.out", input);
    structure_record record;
    ASSERT_EQ(g98_extract(dir / "opt.out", record, ui), result_flag::success);
    ASSERT_EQ(g98_in_g94_out(dir / "opt.out", dir / "opt.g94", record, ui), result_flag::success);

    const auto out = test::lines_of(test::read_file(dir / "opt.g94"));
    EXPECT_EQ(out[0], "  Entering Gaussian System, Link 0=g98");
    EXPECT_EQ(out[7], test::g94_banner);
    EXPECT_EQ(std::count(out.begin(), out.end(), test::g94_header), 3);
    EXPECT_EQ(std::count(out.begin(), out.end(), "  Step"), 1);
    EXPECT_EQ(out.back(), "  Normal termination.");

    // Read back as a Gaussian 94 file: three tables, each the final water geometry.
    conversion_settings s{dir / "opt.g94", dir / "w.xyz",    "w.xyz",
                          input_type::g94, output_type::xyz, true};
    ASSERT_EQ(g94_multiple_extract(s, ui), result_flag::success);
    const std::string water_xyz = " O      0.000000      0.000000      0.119262\n"
                                  " H      0.000000      0.763239     -0.477047\n"
                                  " H      0.000000     -0.763239     -0.477047\n";
    for (const char* name : {"1 - w.xyz", "2 - w.xyz", "3 - w.xyz"})
        EXPECT_EQ(test::read_file(dir / name), water_xyz) << name;
}

TEST_F(g94_output, InputTableCutShortIsAnErrorReport) {
    const std::string table = test::g98_table(test::water);
    test::write_file(dir / "cut.out", test::gaussian_output(test::g98_banner, "") +
                                          table.substr(0, table.size() - 72));
    const structure_record record{{{"8", " 0.000000", " 0.000000", " 0.119262"}}};
    EXPECT_EQ(g98_in_g94_out(dir / "cut.out", dir / "cut.g94", record, ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(
        ui.messages[0].text,
        "Error (Input past end of file) in (g98_in_g94_out) routine.\n\rReturning to main menu");
}

TEST_F(g94_output, NeverWritesOverItsInput) {
    const std::string input = test::gaussian_output(test::g98_banner, test::g98_table(test::water));
    test::write_file(dir / "job.out", input);
    EXPECT_EQ(g98_in_g94_out(dir / "job.out", dir / "job.out", {}, ui), result_flag::reported);
    EXPECT_EQ(test::read_file(dir / "job.out"), input);
}

} // namespace
} // namespace qm
