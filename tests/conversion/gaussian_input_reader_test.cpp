// The Gaussian input reader: its format test, the atoms it takes, and its atom line fields.
#include "conversion/gaussian_input_reader.h"
#include "conversion/xyz_reader.h"

#include "input_file.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The route line starts its line, within the first 49 lines.
TEST_F(input_file, GaussianInputRouteLineMustStartTheLine) {
    const auto route = [&](const std::string& text) {
        return after(gaussian_input_test(file(text), ui));
    };
    EXPECT_EQ(test::each(route, {std::string("%chk=a\n%mem=1GB\n#p hf/sto-3g\n\nt\n"),
                                 std::string("%chk=a\n #p hf/sto-3g\n\nt\n"),
                                 std::string(49, '\n') + "# route on line 50\n",
                                 std::string(48, '\n') + "# route on line 49\n"}),
              valid + no + no + valid);
    // SkipsRouteAndTitleSectionsToTheAtoms: two title lines; the atoms end at a line of up to
    // four blanks. A line of blanks separates no sections: no molecule is reached. CR LF line
    // ends read as line feeds.
    const std::string scanned =
        "not found  Searching File for Cartesian Geometry - Lines Scanned = ";
    for (const auto& [text, outcome] : std::vector<std::pair<std::string, std::string>>{
             {"#p opt\n\nwater\nsecond title line\n\n0 1\nC   0.000   -1.200   2.500\n"
              "Cl 1.0 2.0 3.0\n    \nignored 1.0 2.0 3.0\n",
              "found C| 0.000|-1.200| 2.500;Cl| 1.0| 2.0| 3.0; "
              "Reading Cartesian Geometry - Line Number = 2"},
             {"#p opt\n  \nwater\n\n0 1\nC 0.0 0.0 0.0\n", scanned + "6"},
             {"#p\r\n\r\nt\r\n\r\n0 1\r\nC 0 0 0\r\n\r\n",
              "found C| 0| 0| 0; Reading Cartesian Geometry - Line Number = 1"},
             {"#p\n\ntitle only\n", scanned + "3"},
             {"#p\n\nt\n\n0 1\nC 0.0 0.0 0.0\n",
              "reported  " + past_end + "gaussian_cart_extract" + report_end}})
        EXPECT_EQ(after(gaussian_cart_extract(file(text), record, ui)), outcome) << text;
}

// A Gaussian input's atom line: label, a freeze code or none, x, y, z (a Z-matrix reference is
// a positive integer); ONIOM fields after z never shift the coordinates, and a coordinate
// without its minus sign gets a blank in front. In an XYZ line only blanks separate the fields.
TEST(AtomLines, FieldsOfEveryForm) {
    const std::string invalid = "5 Invalid procedure call or argument|";
    const auto cut = [](const char* line) {
        return test::text_or_error([&] { return test::fields(cut_input_atom_line(line)); });
    };
    EXPECT_EQ(
        test::each(cut, {"C 0.0 0.0 1.5", "\tN\t  -0.5 0.25  0.125 ", " C(Iso=13)  1.4  -0.2  0.0",
                         "C -1 0.0 0.0 1.5", "C 0 0. 0. -0.64", "H 1 1.09 2 109.5", "C 0 0.0 1.5",
                         "C 0 1.000 2.000 3.000 H", "C  0  1.000  2.000  3.000 H H4 1",
                         "C 1.000 2.000 3.000 L", "C-CA--0.25 -1 1.000 2.000 3.000 L",
                         "O -1 -1.5 0.5 0.25 L", "C", " H 1 1.09", "C 0.0 0.0"}),
        "C| 0.0| 0.0| 1.5;|N\t|-0.5| 0.25| 0.125;|C(Iso=13)| 1.4|-0.2| 0.0;|"
        "C| 0.0| 0.0| 1.5;|C| 0.| 0.|-0.64;|H| 1| 1.09| 2;|C| 0| 0.0| 1.5;|"
        "C| 1.000| 2.000| 3.000;|C| 1.000| 2.000| 3.000;|C| 1.000| 2.000| 3.000;|"
        "C-CA--0.25| 1.000| 2.000| 3.000;|O|-1.5| 0.5| 0.25;|" +
            invalid + invalid + invalid);
    const auto xyz = [](const char* line) {
        return test::text_or_error([&] { return test::fields(cut_xyz_fields(line)); });
    };
    EXPECT_EQ(test::each(xyz, {"  C\t1   0.5  0.25 0.125  trailing", "C 0.0.0", "C 0.0 0.0.", "   ",
                               "C\t0.0\t0.0\t0.0"}),
              "C\t1|0.5|0.25|0.125;|" + invalid + invalid + invalid + invalid);
}

} // namespace
} // namespace qm
