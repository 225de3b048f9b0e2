#include "conversion/xyz_reader.h"
#include "platform/run_error.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

using test::recording_ui;

struct xyz_file : ::testing::Test {
    test::temp_dir dir;
    recording_ui ui;
    std::filesystem::path file(const std::string& text) {
        const auto path = dir / "in.xyz";
        test::write_file(path, text);
        return path;
    }
};

TEST_F(xyz_file, TestLooksOnlyAtTheSecondLine) {
    // The first line may hold anything; the second decides.
    EXPECT_EQ(xyz_input_test(file("3\nC 0.0 0.0 0.0\n"), ui), result_flag::success);
    EXPECT_EQ(ui.statuses.back(), "File Format is Valid");
    // A standard XYZ file: count, then a comment without exactly three full stops.
    EXPECT_EQ(xyz_input_test(file("2\nwater. optimised.\nO 0.0 0.0 0.0\n"), ui),
              result_flag::not_found);
    EXPECT_EQ(xyz_input_test(file("only one line\n"), ui), result_flag::not_found);
    EXPECT_EQ(xyz_input_test(file(""), ui), result_flag::not_found);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(xyz_file, TestReportsAMissingFileAndAnUnterminatedLine) {
    EXPECT_EQ(xyz_input_test(dir / "missing.xyz", ui), result_flag::reported);
    EXPECT_EQ(xyz_input_test(file("x\nC 0.0 0.0 0.0"), ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].title, "Fatal - Error");
    EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
    EXPECT_EQ(ui.messages[0].text,
              "Error (File not found) in (xyz_input_test) routine.\n\rReturning to main menu");
    EXPECT_EQ(ui.messages[1].text, "Error (Input past end of file) in (xyz_input_test) "
                                   "routine.\n\rReturning to main menu");
}

TEST_F(xyz_file, ExtractTakesTheFirstRunOfAtomLines) {
    structure_record record;
    const auto path = file("header\n6 0.000 1.500 -2.250\nH  1.0   2.0 3.0\nbreak\n"
                           "O 9.0 9.0 9.0\n");
    ASSERT_EQ(xyz_extract(path, record, ui), result_flag::success);
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(record.atoms[0].label, "6");
    EXPECT_EQ(record.atoms[0].z, "-2.250");
    EXPECT_EQ(record.atoms[1].label, "H");
    EXPECT_EQ(record.atoms[1].y, "2.0");
    EXPECT_EQ(ui.statuses.front(), "Searching File for Cartesian Geometry - Lines Scanned = 0");
    EXPECT_EQ(ui.statuses.back(), "Searching File for Cartesian Geometry - Lines Scanned = 4");
    EXPECT_EQ(ui.progress_max, 1); // 66 bytes: (66 / 128) + 1
}

TEST_F(xyz_file, GeometryRunningToTheEndOfTheFile) {
    structure_record record;
    record.atoms.push_back({"old", "1", "2", "3"}); // a previous job's geometry is replaced
    ASSERT_EQ(xyz_extract(file("C 0.0 0.0 0.0\nC 1.5 0.0 0.0\n"), record, ui),
              result_flag::success);
    EXPECT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(ui.statuses.back(), "Reading Cartesian Geometry - Line Number = 2");
}

TEST_F(xyz_file, CarriageReturnStaysInTheZText) {
    structure_record record;
    ASSERT_EQ(xyz_extract(file("C 0.0 0.0 1.5\r\n\r\n"), record, ui), result_flag::success);
    EXPECT_EQ(record.atoms.at(0).z, "1.5\r");
}

TEST_F(xyz_file, NoAtomLineIsNotFound) {
    structure_record record;
    EXPECT_EQ(xyz_extract(file("a\nb.c\n\n"), record, ui), result_flag::not_found);
    EXPECT_TRUE(record.atoms.empty());
}

TEST_F(xyz_file, UnterminatedLastLineIsAnErrorReportNotAHang) {
    structure_record record;
    EXPECT_EQ(xyz_extract(file("C 0.0 0.0 0.0\nC 1.0 1.0 1.0"), record, ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error (Input past end of file) in (xyz_extract) routine.\n\rReturning to main menu");
}

TEST(XyzFields, OnlyBlanksSeparate) {
    const atom_row row = cut_xyz_fields("  C\t1   0.5  0.25 0.125  trailing");
    EXPECT_EQ(row.label, "C\t1"); // a tab is part of the field
    EXPECT_EQ(row.x, "0.5");
    EXPECT_EQ(row.y, "0.25");
    EXPECT_EQ(row.z, "0.125");
}

TEST(XyzFields, FewerThanFourFieldsIsARunError) {
    for (const char* line : {"C 0.0.0", "C 0.0 0.0.", "   ", "C\t0.0\t0.0\t0.0"})
        EXPECT_THROW(cut_xyz_fields(line), run_error) << line;
}

} // namespace
} // namespace qm
