#include "conversion/conversion_job.h"

#include "support/gaussian_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct xyz_route : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    conversion_settings settings(const std::string& xyz, output_type out = output_type::pdb) {
        test::write_file(dir / "in.xyz", xyz);
        return {dir / "in.xyz", dir / "out.pdb", "out.pdb", input_type::xyz, out, false};
    }
    std::string last_text() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

TEST_F(xyz_route, ConvertsToPdbAndCompletes) {
    const auto s = settings("water\n8 0.000 0.000 0.119\n1 0.000 0.763 -0.477\n");
    EXPECT_TRUE(run_conversion(s, ui));
    EXPECT_EQ(test::read_file(s.output), "ATOM      1  O           1      0.000  0.000  0.119\n"
                                         "ATOM      2  H           1      0.000  0.763  -0.477\n"
                                         "END\n");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::information);
    EXPECT_EQ(ui.messages[0].title, "Conversion Completed");
    EXPECT_EQ(ui.messages[0].text, "Conversion Complete");
    EXPECT_EQ(ui.progress, ui.progress_max);
    EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false})); // normal pointer at the end
}

TEST_F(xyz_route, NoOutputTypeWritesNothingAndStillCompletes) {
    const auto s = settings("x\nC 0.0 0.0 0.0\n", output_type::none);
    EXPECT_TRUE(run_conversion(s, ui));
    EXPECT_FALSE(std::filesystem::exists(s.output));
    EXPECT_EQ(last_text(), "Conversion Complete");
}

TEST_F(xyz_route, StandardXyzFileWithCommentLineIsInvalid) {
    EXPECT_FALSE(run_conversion(settings("2\ncomment\nC 0.0 0.0 0.0\n"), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Invalid File Format");
    EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
    EXPECT_EQ(last_text(), "File format is not valid - Returning to Main Menu");
}

TEST_F(xyz_route, UnknownElementNumberStopsWithoutCompletion) {
    const auto s = settings("x\n6 0.0 0.0 0.0\n104 1.0 1.0 1.0\n");
    EXPECT_FALSE(run_conversion(s, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(last_text(),
              "Error () in (number_element_to_letters) routine.\n\rReturning to main menu");
    EXPECT_FALSE(std::filesystem::exists(s.output));
    EXPECT_FALSE(ui.busy_now);
}

TEST_F(xyz_route, UnwritableDestinationIsTheExtractionReport) {
    auto s = settings("x\nC 0.0 0.0 0.0\n");
    s.output = dir / "no-folder" / "out.pdb";
    EXPECT_FALSE(run_conversion(s, ui));
    EXPECT_EQ(last_text(),
              "Error (Path not found) in (xyz_extract) routine.\n\rReturning to main menu");
}

TEST_F(xyz_route, InputChosenAsOutputIsNeverOverwritten) {
    const std::string xyz = "x\nC 0.0 0.0 0.0\n";
    auto s = settings(xyz);
    s.output = s.input;
    EXPECT_FALSE(run_conversion(s, ui));
    EXPECT_EQ(last_text(),
              "Error (File already open) in (xyz_extract) routine.\n\rReturning to main menu");
    EXPECT_EQ(test::read_file(s.input), xyz);
}

TEST(OutputChoices, FollowTheWindowsEnablingTable) {
    EXPECT_TRUE(output_allowed(input_type::xyz, output_type::pdb));
    EXPECT_FALSE(output_allowed(input_type::xyz, output_type::xyz));
    EXPECT_FALSE(output_allowed(input_type::gaussian_input, output_type::g94));
    EXPECT_TRUE(output_allowed(input_type::gaussian_input, output_type::xyz));
    EXPECT_FALSE(output_allowed(input_type::g94, output_type::freq));
    EXPECT_TRUE(output_allowed(input_type::g98, output_type::freq));
    EXPECT_TRUE(multiple_allowed(input_type::g94, output_type::pdb));
    EXPECT_FALSE(multiple_allowed(input_type::g98, output_type::g94));
    EXPECT_FALSE(multiple_allowed(input_type::xyz, output_type::pdb));
}

} // namespace
} // namespace qm

namespace qm {
namespace {

struct gaussian_routes : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    conversion_settings settings(input_type in, output_type out, const std::string& name,
                                 bool multiple = false) {
        return {dir / "job.out", dir / name, name, in, out, multiple};
    }
    void input(const std::string& text) { test::write_file(dir / "job.out", text); }
    const test::recorded_message& last() const { return ui.messages.back(); }
};

TEST_F(gaussian_routes, MessagesThatEndTheGaussian98Route) {
    input(test::gaussian_output(test::g98_banner, " no tables here\n"));
    EXPECT_FALSE(run_conversion(settings(input_type::g98, output_type::pdb, "a.pdb"), ui));
    EXPECT_EQ(last().title, "No Standard Orientation Found");
    EXPECT_EQ(last().text, "Standard Orientation not found in file - Possible error is NOSYMM "
                           "was specified in job preferences or calculation was a single point "
                           "energy minimisation.");
    EXPECT_FALSE(run_conversion(settings(input_type::g98, output_type::pdb, "a.pdb", true), ui));
    EXPECT_EQ(last().title, "No Standard Orientation Found");
    EXPECT_FALSE(run_conversion(settings(input_type::g98, output_type::freq, "a.txt"), ui));
    EXPECT_EQ(last().title, "No Frequencies Found");
    EXPECT_EQ(last().text,
              "Frequencies not found in file - are you sure this was a frequency job?");
    // A Gaussian 94 file without its banner.
    EXPECT_FALSE(run_conversion(settings(input_type::g94, output_type::pdb, "a.pdb"), ui));
    EXPECT_EQ(last().title, "Invalid File Format");
    EXPECT_FALSE(std::filesystem::exists(dir / "a.pdb"));
}

TEST_F(gaussian_routes, SecondJobsOfEitherKindInOneRun) {
    input(test::gaussian_output(test::g98_banner,
                                test::g98_table(test::water) + test::frequency_section({3}, 3)));
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::freq, "f.txt"), ui));
    EXPECT_EQ(last().title, "Frequency Extraction Completed");
    EXPECT_EQ(last().text, "Frequency Extraction Complete");
    EXPECT_EQ(ui.progress, ui.progress_max);
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::pdb, "w.pdb"), ui));
    EXPECT_EQ(last().text, "Conversion Complete");
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::freq, "g.txt"), ui));
    EXPECT_EQ(test::read_file(dir / "f.txt"), test::read_file(dir / "g.txt"));
    EXPECT_EQ(test::read_file(dir / "w.pdb"),
              "ATOM      1  O           1       0.000   0.000   0.119\n"
              "ATOM      2  H           1       0.000   0.763  -0.477\n"
              "ATOM      3  H           1       0.000  -0.763  -0.477\n"
              "END\n");
}

TEST_F(gaussian_routes, Gaussian94RouteIgnoresOutputsItDoesNotOffer) {
    input(test::gaussian_output(test::g94_banner, test::g94_table(test::water)));
    // Frequency tables and Gaussian 94 outputs come from Gaussian 98 files only: nothing is
    // written, as for any output type the route does not know.
    EXPECT_TRUE(run_conversion(settings(input_type::g94, output_type::freq, "f.txt"), ui));
    EXPECT_FALSE(std::filesystem::exists(dir / "f.txt"));
    EXPECT_TRUE(run_conversion(settings(input_type::g94, output_type::xyz, "w.xyz"), ui));
    EXPECT_EQ(test::read_file(dir / "w.xyz").substr(0, 2), " O");
}

TEST_F(gaussian_routes, GaussianInputToPdb) {
    test::write_file(dir / "job.out",
                     "#p\n\nt\n\n0 1\nC   0.000   -1.200   2.500\nCl 1.0 2.0 3.0\n\n");
    EXPECT_TRUE(
        run_conversion(settings(input_type::gaussian_input, output_type::pdb, "i.pdb"), ui));
    // The residue number stands in column 25 for one- and two-character labels alike.
    EXPECT_EQ(test::read_file(dir / "i.pdb"),
              "ATOM      1 C           1       0.000  -1.200   2.500\n"
              "ATOM      2 Cl          1       1.0   2.0   3.0\n"
              "END\n");
    EXPECT_TRUE(
        run_conversion(settings(input_type::gaussian_input, output_type::xyz, "i.xyz"), ui));
    EXPECT_EQ(test::read_file(dir / "i.xyz"), "C      0.000     -1.200      2.500\n"
                                              "Cl      1.0      2.0      3.0\n");
}

TEST_F(gaussian_routes, Gaussian94OutputFileFromTheRoute) {
    input(test::gaussian_output(test::g98_banner, test::g98_table(test::water)));
    EXPECT_TRUE(run_conversion(settings(input_type::g98, output_type::g94, "w.g94"), ui));
    const std::string out = test::read_file(dir / "w.g94");
    EXPECT_NE(out.find(test::g94_banner + "\n"), std::string::npos);
    EXPECT_NE(out.find("    2           1           0.000000    0.763239   -0.477047\n"),
              std::string::npos);
}

} // namespace
} // namespace qm
