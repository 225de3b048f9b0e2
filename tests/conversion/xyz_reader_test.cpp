// The XYZ reader: its format test and the atoms it takes.
#include "conversion/xyz_reader.h"

#include "input_file.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// A first line holding only an atom count makes a standard file, whatever follows; otherwise
// the second line decides. No reader waits for a line feed that never comes.
TEST_F(input_file, XyzTestLooksAtTheFirstTwoLines) {
    const auto check = [&](const char* text) { return after(xyz_input_test(file(text), ui)); };
    EXPECT_EQ(test::each(check, {"x\nC 0.0 0.0 0.0\n", " 2 \nwater, optimised\n", "2\r\n",
                                 "2 atoms\nwater\n", "only one line\n", "", "x\nC 0.0 0.0 0.0"}),
              valid + valid + valid + no + no + no + "reported  " + past_end + "xyz_input_test" +
                  report_end + "|");
    EXPECT_EQ(after(xyz_input_test(dir / "missing.xyz", ui)),
              "reported  Error (File not found) in (xyz_input_test" + report_end);
    // XyzExtractTakesTheFirstRunOfAtomLines, replacing the last geometry; it may end the file,
    // and a CR stays in z.
    record.atoms.push_back({"old", "1", "2", "3"});
    for (const auto& [text, outcome] : std::vector<std::pair<std::string, std::string>>{
             {"header\n6 0.000 1.500 -2.250\nH  1.0   2.0 3.0\nbreak\nO 9.0 9.0 9.0\n",
              "found 6|0.000|1.500|-2.250;H|1.0|2.0|3.0; "
              "Searching File for Cartesian Geometry - Lines Scanned = 4"},
             // Windows line ends read as line feeds.
             {"C 0.0 0.0 0.0\r\nC 1.5 0.0 1.5\r\n",
              "found C|0.0|0.0|0.0;C|1.5|0.0|1.5; Reading Cartesian Geometry - Line Number = 2"},
             {"a\nb.c\n\n", "not found  Searching File for Cartesian Geometry - Lines Scanned = 3"},
             // UnterminatedLastLineIsAnErrorReportNotAHang
             {"C 0.0 0.0 0.0\nC 1.0 1.0 1.0",
              "reported  " + past_end + "xyz_extract" + report_end}})
        EXPECT_EQ(after(xyz_extract(file(text), record, ui)), outcome) << text;
}

// Standard files: every frame in turn (extra columns passed over, tabs, blank lines between
// frames and any line ends allowed, the last line end may be missing); a frame short of its
// count, or a line between frames that is no count, is refused naming the frame.
TEST_F(input_file, StandardFramesInTurnShortFramesRefused) {
    const auto frames = [&](const std::string& text) {
        std::string seen;
        const extraction found =
            xyz_extract(file(text), ui, [&](const structure_record& r, long long n) {
                seen += std::to_string(n) + ":";
                for (const atom_row& row : r.atoms)
                    seen += test::fields(row);
            });
        return seen + " " + after(found);
    };
    const std::string report = "reported  Error (", in_extract = ") in (xyz_extract" + report_end;
    for (const auto& [text, outcome] : std::vector<std::pair<std::string, std::string>>{
             {"2\nwater\nO 0.0 0.0 0.1 -0.8\nH\t0.0  0.7 -0.4\n\n 2\nstep 2\n8 0 0 2E-1\n1 0 0.8 "
              "-.5",
              "1:O|0.0|0.0|0.1;H|0.0|0.7|-0.4;2:8|0|0|2E-1;1|0|0.8|-.5; found  "
              "Reading Cartesian Geometry - Frame 2"},
             {"1\r\nc\r\nC 0 0 0\r\n1\rc\rN 1 1 1\r",
              "1:C|0|0|0;2:N|1|1|1; found  Reading Cartesian Geometry - Frame 2"},
             {"3\nc\nC 0 0 0\nH 1 1 1\n",
              " " + report + "Frame 1 has 2 atom lines for its count of 3" + in_extract},
             // The next frame's count where an atom should stand.
             {"2\nc\nC 0 0 0\n2\nc\nC 1 1 1\nC 2 2 2\n",
              " " + report + "Frame 1 has 1 atom line for its count of 2" + in_extract},
             {"1\nc\nC 0 0 0\nH 1 1 1\n",
              "1:C|0|0|0; " + report + "Line 4 after frame 1 is not an atom count" + in_extract},
             {"1\nc\nC 0 0 zero\n",
              " " + report + "Frame 1 has 0 atom lines for its count of 1" + in_extract}})
        EXPECT_EQ(frames(text), outcome) << text;
    // The single mode keeps the last frame.
    EXPECT_EQ(after(xyz_extract(file("1\na\nC 0 0 0\n1\nb\nO 1 2 3\n"), record, ui)),
              "found O|1|2|3; Reading Cartesian Geometry - Frame 2");
}

} // namespace
} // namespace qm
