#include "support/cli_support.h"
#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(CliConvert, EveryGeometryAndFrequencyTable) {
    test::temp_dir dir;
    test::write_file(dir / "opt.out",
                     test::gaussian_output(test::g98_banner, test::g98_table(test::water) +
                                                                 test::g98_table(test::water) +
                                                                 test::frequency_section({3}, 3)));
    const std::string in = "convert --input-type g98 --input " + (dir / "opt.out").string();
    auto r =
        test::run_words(in + " --output-type xyz --multiple --output " + (dir / "w.xyz").string());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "2 - w.xyz"));
    r = test::run_words(in + " --output-type freq --output " + (dir / "f.txt").string());
    EXPECT_EQ(r.out,
              "Information: Frequency Extraction Completed: Frequency Extraction Complete\n");
    EXPECT_EQ(test::read_file(dir / "f.txt").substr(0, 32), " 100.1234     1.1000     0.5000\n");
}

// The format tests look at a few lines: a file without line feeds is refused at 16 MB, never
// held whole.
TEST(CliConvert, refusesALineLessFileInTheFormatTestInsteadOfHoldingItWhole) {
    test::temp_dir dir;
    test::write_file(dir / "core", std::string((16 << 20) + 1, 'x'));
    for (const auto& [type, routine] : {std::pair{"g98", "g98_test"},
                                        {"gaussian-input", "gaussian_input_test"},
                                        {"xyz", "xyz_input_test"}}) {
        const auto r = test::run_words("convert --input " + (dir / "core").string() + " --output " +
                                       (dir / "o.pdb").string() + " --input-type " + type);
        EXPECT_EQ(r.status, 1) << type;
        EXPECT_EQ(r.out, std::string("Exclamation: Fatal - Error: Error (Out of string space - "
                                     "more than 16 MB in one line (not a text file?)) in (") +
                             routine + ") routine.\n\rReturning to main menu\n");
    }
}

} // namespace
} // namespace qm
