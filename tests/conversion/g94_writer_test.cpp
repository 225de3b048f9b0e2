#include "conversion/conversion_job.h"
#include "conversion/g94_writer.h"
#include "conversion/gaussian_output_reader.h"
#include "platform/run_error.h"

#include "conversion_files.h"
#include "support/gaussian_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Centre number in columns 1-5, atomic number in 12-17, each coordinate right-aligned in its
// 12-column field (25-36, 37-48, 49-60): a wider text grows left inside its own field, so the
// later fields stay where the reader looks for them; one that cannot is refused.
TEST(G94AtomLine, EveryFieldInItsOwnColumns) {
    const atom_row zero{"1", " 0.000000", " 0.000000", " 0.000000"};
    EXPECT_EQ(g94_atom_line(42, {"17", "-1.234567", " 2.000000", "-3.500000"}),
              "   42          17          -1.234567    2.000000   -3.500000\n");
    EXPECT_EQ(g94_atom_line(1, {"6", "-12.850000", "99.980000", "-105.500000"}),
              "    1           6         -12.850000   99.980000 -105.500000\n");
    EXPECT_EQ(g94_atom_line(10000, zero),
              "10000           1           0.000000    0.000000    0.000000\n");
    // A sixth centre digit would stand where the atomic number is read.
    EXPECT_THROW(g94_atom_line(100000, zero), run_error);
    EXPECT_THROW(g94_atom_line(1, {"6", "-1234567.1234", " 0.000000", " 0.000000"}), run_error);
}

struct g94_output : test::conversion_files {};

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
    ASSERT_EQ(
        g98_in_g94_out(dir / "opt.out", dir / "opt.g94", record, g98_test(dir / "opt.out", ui), ui),
        result_flag::success);

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

// Converted to Gaussian 94 and read back, a molecule wider than 20 Angstrom (from a Gaussian 98
// or a two-line-banner Gaussian 16 output) gives the PDB file of the original.
TEST_F(g94_output, WideMoleculeRoundTripsThroughTheGaussian94Layout) {
    const std::vector<test::test_atom> wide = {
        {6, -12.85, 99.98, -105.5}, {8, 1.25, -10.0, 0.5}, {1, 123.456789, 0.0, -9.999999}};
    const std::string g16_banner = test::g16_banner_start + "\n" + test::g16_banner_end;
    for (const auto& [banner, from_g09] :
         {std::pair{test::g98_banner, false}, std::pair{g16_banner, true}}) {
        const std::string table = test::g98_table(wide, test::g98_header, from_g09);
        test::write_file(dir / "wide.out",
                         test::gaussian_output(banner, table + " Step 2\n" + table));
        auto convert = [&](const std::filesystem::path& in, input_type from, output_type to,
                           const std::string& out) {
            const conversion_settings s{in, dir / out, out, from, to, false};
            EXPECT_TRUE(run_conversion(s, ui)) << ui.messages.back().text;
            return test::read_file(dir / out);
        };
        const std::string direct =
            convert(dir / "wide.out", input_type::g98, output_type::pdb, "a");
        convert(dir / "wide.out", input_type::g98, output_type::g94, "wide.g94");
        EXPECT_EQ(convert(dir / "wide.g94", input_type::g94, output_type::pdb, "b"), direct);
        EXPECT_EQ(direct.substr(0, 54), "ATOM      1  C           1      -12.85  99.980  -105.5");
    }
}

// A file that ends inside a table, and an output that is the input itself, end in the
// routine's report; the input is never written over.
TEST_F(g94_output, InputTableCutShortOrChosenAsOutputIsAReport) {
    const std::string table = test::g98_table(test::water);
    const std::string cut =
        test::gaussian_output(test::g98_banner, "") + table.substr(0, table.size() - 72);
    test::write_file(dir / "cut.out", cut);
    const structure_record record{{{"8", " 0.000000", " 0.000000", " 0.119262"}}};
    for (const char* output : {"cut.g94", "cut.out"})
        EXPECT_EQ(g98_in_g94_out(dir / "cut.out", dir / output, record,
                                 g98_test(dir / "cut.out", ui), ui),
                  result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(
        ui.messages[0].text,
        "Error (Input past end of file) in (g98_in_g94_out) routine.\n\rReturning to main menu");
    EXPECT_EQ(test::read_file(dir / "cut.out"), cut);
}

} // namespace
} // namespace qm
