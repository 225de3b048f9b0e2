#include "conversion/xyz_reader.h"
#include "platform/run_error.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct xyz_file : test::conversion_files {
    structure_record record;
};

TEST_F(xyz_file, TestLooksOnlyAtTheSecondLine) {
    // The first line may hold anything; the second decides.
    EXPECT_EQ(xyz_input_test(file("3\nC 0.0 0.0 0.0\n"), ui), result_flag::success);
    EXPECT_EQ(ui.statuses.back(), "File Format is Valid");
    // A standard XYZ file: count, then a comment without exactly three full stops.
    for (const char* text :
         {"2\nwater. optimised.\nO 0.0 0.0 0.0\n", "2\na.b.c.d.e\n", "only one line\n", ""})
        EXPECT_EQ(xyz_input_test(file(text), ui), result_flag::not_found) << text;
    EXPECT_TRUE(ui.messages.empty());
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
    record.atoms.push_back({"old", "1", "2", "3"}); // a previous job's geometry is replaced
    ASSERT_EQ(xyz_extract(file("header\n6 0.000 1.500 -2.250\nH  1.0   2.0 3.0\nbreak\n"
                               "O 9.0 9.0 9.0\n"),
                          record, ui),
              result_flag::success);
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(test::fields(record.atoms[0]), "6|0.000|1.500|-2.250");
    EXPECT_EQ(test::fields(record.atoms[1]), "H|1.0|2.0|3.0");
    EXPECT_EQ(ui.statuses.front(), "Searching File for Cartesian Geometry - Lines Scanned = 0");
    EXPECT_EQ(ui.statuses.back(), "Searching File for Cartesian Geometry - Lines Scanned = 4");
    EXPECT_EQ(ui.progress_max, 1); // 66 bytes: (66 / 128) + 1

    // A geometry may run to the end of the file; a carriage return stays in the z text.
    ASSERT_EQ(xyz_extract(file("C 0.0 0.0 0.0\nC 1.5 0.0 1.5\r\n"), record, ui),
              result_flag::success);
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(record.atoms[1].z, "1.5\r");
    EXPECT_EQ(ui.statuses.back(), "Reading Cartesian Geometry - Line Number = 2");

    EXPECT_EQ(xyz_extract(file("a\nb.c\n\n"), record, ui), result_flag::not_found);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(xyz_file, UnterminatedLastLineIsAnErrorReportNotAHang) {
    EXPECT_EQ(xyz_extract(file("C 0.0 0.0 0.0\nC 1.0 1.0 1.0"), record, ui), result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error (Input past end of file) in (xyz_extract) routine.\n\rReturning to main menu");
}

// Only blanks separate the fields (a tab is part of one); fewer than four is a run error.
TEST(XyzFields, OnlyBlanksSeparate) {
    EXPECT_EQ(test::fields(cut_xyz_fields("  C\t1   0.5  0.25 0.125  trailing")),
              "C\t1|0.5|0.25|0.125");
    for (const char* line : {"C 0.0.0", "C 0.0 0.0.", "   ", "C\t0.0\t0.0\t0.0"})
        EXPECT_THROW(cut_xyz_fields(line), run_error) << line;
}

} // namespace
} // namespace qm
