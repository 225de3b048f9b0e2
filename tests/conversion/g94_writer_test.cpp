// The Gaussian 94 style output: what it writes from a Gaussian 98 output and how it reads back.
#include "conversion/g94_writer.h"
#include "conversion/gaussian_output_reader.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct g94_output : test::conversion_files {};

// Every table, even one with an atom more, gets the final coordinates, every line a leading
// blank, the banner Gaussian 94's: read back, three tables of the final water geometry.
TEST_F(g94_output, EveryTableGetsTheFinalCoordinatesAndLinesGainABlank) {
    std::vector<test::test_atom> bigger = {{8, 1, 1, 1}, {1, 2, 2, 2}, {1, 3, 3, 3}, {6, 9, 9, 9}};
    const auto out = test::lines_of(
        convert(file(test::gaussian_output(test::g98_banner,
                                           test::g98_table(bigger) + " Step\n" +
                                               test::g98_table({bigger.begin(), bigger.end() - 1}) +
                                               test::g98_table(test::water))),
                in::g98, out::g94));
    EXPECT_EQ(out[0] + "|" + out[7] + "|" + out.back(), "  Entering Gaussian System, Link 0=g98|" +
                                                            test::g94_banner +
                                                            "|  Normal termination.");
    EXPECT_EQ(std::count(out.begin(), out.end(), test::g94_header), 3);
    EXPECT_EQ(std::count(out.begin(), out.end(), "  Step"), 1);
    std::filesystem::rename(dir / "out", dir / "o.g94");
    convert(dir / "o.g94", in::g94, out::xyz, true);
    const std::string water_xyz = " O      0.000000      0.000000      0.119262\n"
                                  " H      0.000000      0.763239     -0.477047\n"
                                  " H      0.000000     -0.763239     -0.477047\n";
    for (const char* name : {"1 - out", "2 - out", "3 - out"})
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
        const auto input = file(test::gaussian_output(banner, table + " Step 2\n" + table));
        const std::string direct = convert(input, in::g98, out::pdb);
        EXPECT_EQ(direct.substr(0, 54), "ATOM      1  C           1      -12.85  99.980  -105.5");
        convert(input, in::g98, out::g94);
        std::filesystem::rename(dir / "out", dir / "wide.g94");
        EXPECT_EQ(convert(dir / "wide.g94", in::g94, out::pdb), direct);
    }
}

// A file that ends inside a table, and an output that is the input itself, end in the
// routine's report; the input is never written over.
TEST_F(g94_output, InputTableCutShortOrChosenAsOutputIsAReport) {
    const std::string table = test::g98_table(test::water);
    const std::string cut =
        test::gaussian_output(test::g98_banner, "") + table.substr(0, table.size() - 72);
    file(cut, "cut.out");
    const structure_record record{{{"8", " 0.000000", " 0.000000", " 0.119262"}}};
    for (const char* output : {"cut.g94", "cut.out"})
        EXPECT_EQ(g98_in_g94_out(dir / "cut.out", dir / output, record,
                                 g98_test(dir / "cut.out", ui), orientation::standard, ui),
                  result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(
        ui.messages[0].text,
        "Error (Input past end of file) in (g98_in_g94_out) routine.\n\rReturning to main menu");
    EXPECT_EQ(test::read_file(dir / "cut.out"), cut);
}

} // namespace
} // namespace qm
