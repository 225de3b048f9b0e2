#include "cli/commands.h"

#include "support/cli_support.h"
#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

using test::run_cli;

TEST(CliConvert, XyzToPdbEndToEnd) {
    test::temp_dir dir;
    test::write_file(dir / "mol.xyz", "t\n6 0.000 1.500 -2.250\n");
    const auto r =
        run_cli({"convert", "--input", (dir / "mol.xyz").string(), "--output",
                 (dir / "mol.pdb").string(), "--input-type", "xyz", "--output-type", "pdb"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Information: Conversion Completed: Conversion Complete\n");
    EXPECT_EQ(test::read_file(dir / "mol.pdb"),
              "ATOM      1  C           1      0.000  1.500  -2.250\nEND\n");
}

TEST(CliConvert, EveryGeometryAndFrequencyTable) {
    test::temp_dir dir;
    test::write_file(dir / "opt.out",
                     test::gaussian_output(test::g98_banner, test::g98_table(test::water) +
                                                                 test::g98_table(test::water) +
                                                                 test::frequency_section({3}, 3)));
    auto r = run_cli({"convert", "--input", (dir / "opt.out").string(), "--output",
                      (dir / "w.xyz").string(), "--input-type", "g98", "--output-type", "xyz",
                      "--multiple"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "2 - w.xyz"));
    r = run_cli({"convert", "--input", (dir / "opt.out").string(), "--output",
                 (dir / "f.txt").string(), "--input-type", "g98", "--output-type", "freq"});
    EXPECT_EQ(r.out,
              "Information: Frequency Extraction Completed: Frequency Extraction Complete\n");
    EXPECT_EQ(test::read_file(dir / "f.txt").substr(0, 32), " 100.1234     1.1000     0.5000\n");
}

TEST(CliConvert, StopsOnMessagesWithStatusOne) {
    test::temp_dir dir;
    const auto r = run_cli({"convert", "--input", (dir / "missing.xyz").string(), "--output",
                            (dir / "o.pdb").string(), "--input-type", "xyz"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Exclamation: Fatal - Error: Error (File not found) in (xyz_input_test) "
                     "routine.\n\rReturning to main menu\n");
}

TEST(CliConvert, RefusesWhatTheWindowWouldNotOffer) {
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--input-type", "xyz", "--output-type", "xyz"},
          {"--input-type", "xyz", "--multiple"},
          {"--input-type", "g98", "--output-type", "freq", "--multiple"},
          {"--input-type", "mol2"},
          {"--input-type", "g94", "--output-type", "freq"}}) {
        std::vector<std::string> args{"convert", "--input", "a", "--output", "b"};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto r = run_cli(args);
        EXPECT_EQ(r.status, 2) << extra[1];
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// The format tests look at a few lines: a file without line feeds is refused at 16 MB, never
// held whole.
TEST(CliConvert, refusesALineLessFileInTheFormatTestInsteadOfHoldingItWhole) {
    test::temp_dir dir;
    test::write_file(dir / "core", std::string((16 << 20) + 1, 'x'));
    for (const auto& [type, routine] : {std::pair{"g98", "g98_test"},
                                        {"gaussian-input", "gaussian_input_test"},
                                        {"xyz", "xyz_input_test"}}) {
        const auto r = run_cli({"convert", "--input", (dir / "core").string(), "--output",
                                (dir / "o.pdb").string(), "--input-type", type});
        EXPECT_EQ(r.status, 1) << type;
        EXPECT_EQ(r.out, std::string("Exclamation: Fatal - Error: Error (Out of string space - "
                                     "more than 16 MB in one line (not a text file?)) in (") +
                             routine + ") routine.\n\rReturning to main menu\n");
    }
}

TEST(CliHelp, ListsEverySubcommand) {
    const auto r = run_cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("convert"), std::string::npos);
}

} // namespace
} // namespace qm
