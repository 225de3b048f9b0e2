#include "conversion/conversion_job.h"

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
