// The XYZ reader: its format test and the atoms it takes.
#include "conversion/xyz_reader.h"

#include "input_file.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The first line may hold anything; the second decides. A standard XYZ file has a count, then
// a comment without exactly three full stops. No reader waits for a line feed that never comes.
TEST_F(input_file, XyzTestLooksOnlyAtTheSecondLine) {
    const auto check = [&](const char* text) { return after(xyz_input_test(file(text), ui)); };
    EXPECT_EQ(test::each(check, {"3\nC 0.0 0.0 0.0\n", "2\nwater. optimised.\nO 0.0 0.0 0.0\n",
                                 "2\na.b.c.d.e\n", "only one line\n", "", "x\nC 0.0 0.0 0.0"}),
              valid + no + no + no + no + "reported  " + past_end + "xyz_input_test" + report_end +
                  "|");
    EXPECT_EQ(after(xyz_input_test(dir / "missing.xyz", ui)),
              "reported  Error (File not found) in (xyz_input_test" + report_end);
    // XyzExtractTakesTheFirstRunOfAtomLines, replacing the last geometry; it may end the file,
    // and a CR stays in z.
    record.atoms.push_back({"old", "1", "2", "3"});
    for (const auto& [text, outcome] : std::vector<std::pair<std::string, std::string>>{
             {"header\n6 0.000 1.500 -2.250\nH  1.0   2.0 3.0\nbreak\nO 9.0 9.0 9.0\n",
              "found 6|0.000|1.500|-2.250;H|1.0|2.0|3.0; "
              "Searching File for Cartesian Geometry - Lines Scanned = 4"},
             {"C 0.0 0.0 0.0\nC 1.5 0.0 1.5\r\n",
              "found C|0.0|0.0|0.0;C|1.5|0.0|1.5\r; Reading Cartesian Geometry - Line Number = 2"},
             {"a\nb.c\n\n", "not found  Searching File for Cartesian Geometry - Lines Scanned = 3"},
             // UnterminatedLastLineIsAnErrorReportNotAHang
             {"C 0.0 0.0 0.0\nC 1.0 1.0 1.0",
              "reported  " + past_end + "xyz_extract" + report_end}})
        EXPECT_EQ(after(xyz_extract(file(text), record, ui)), outcome) << text;
}

} // namespace
} // namespace qm
