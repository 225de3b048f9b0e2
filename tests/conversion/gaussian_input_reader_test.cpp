#include "conversion/gaussian_input_reader.h"
#include "platform/run_error.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct gaussian_input_file : test::conversion_files {
    structure_record record;
};

TEST_F(gaussian_input_file, RouteLineMustStartTheLine) {
    EXPECT_EQ(gaussian_input_test(file("%chk=a\n%mem=1GB\n#p hf/sto-3g\n\nt\n"), ui),
              result_flag::success);
    EXPECT_EQ(gaussian_input_test(file("%chk=a\n #p hf/sto-3g\n\nt\n"), ui),
              result_flag::not_found);
    EXPECT_EQ(gaussian_input_test(file(std::string(49, '\n') + "# route on line 50\n"), ui),
              result_flag::not_found);
    EXPECT_EQ(gaussian_input_test(file(std::string(48, '\n') + "# route on line 49\n"), ui),
              result_flag::success);
}

TEST_F(gaussian_input_file, SkipsRouteAndTitleSectionsToTheAtoms) {
    // Two title lines; the atoms end at a line of up to four blanks.
    ASSERT_EQ(gaussian_cart_extract(file("#p opt\n\nwater\nsecond title line\n\n0 1\n"
                                         "C   0.000   -1.200   2.500\nCl 1.0 2.0 3.0\n    \n"
                                         "ignored 1.0 2.0 3.0\n"),
                                    record, ui),
              result_flag::success);
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(test::fields(record.atoms[0]), "C| 0.000|-1.200| 2.500");
    EXPECT_EQ(ui.statuses.back(), "Reading Cartesian Geometry - Line Number = 2");
    // A line of blanks does not separate sections, and CR LF line ends leave no empty line:
    // no molecule is reached.
    for (const char* text : {"#p opt\n  \nwater\n\n0 1\nC 0.0 0.0 0.0\n",
                             "#p\r\n\r\nt\r\n\r\n0 1\r\nC 0 0 0\r\n\r\n", "#p\n\ntitle only\n"})
        EXPECT_EQ(gaussian_cart_extract(file(text), record, ui), result_flag::not_found) << text;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(gaussian_cart_extract(file("#p\n\nt\n\n0 1\nC 0.0 0.0 0.0\n"), record, ui),
              result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error (Input past end of file) in (gaussian_cart_extract) "
                                   "routine.\n\rReturning to main menu");
}

// Label, an optional freeze code, x, y and z; z may end the line, ONIOM fields after it never
// shift the coordinates, and a coordinate without its minus sign gets a blank in front.
TEST(GaussianInputAtomLine, FieldsOfEveryForm) {
    for (const auto& [line, expected] : std::vector<std::pair<const char*, const char*>>{
             {"C 0.0 0.0 1.5", "C| 0.0| 0.0| 1.5"},
             {"\tN\t  -0.5 0.25  0.125 ", "N\t|-0.5| 0.25| 0.125"},
             {" C(Iso=13)  1.4  -0.2  0.0", "C(Iso=13)| 1.4|-0.2| 0.0"},
             {"C -1 0.0 0.0 1.5", "C| 0.0| 0.0| 1.5"},
             {"C 0 0. 0. -0.64", "C| 0.| 0.|-0.64"},
             // A positive integer there is a Z-matrix reference; four fields are label, x, y, z.
             {"H 1 1.09 2 109.5", "H| 1| 1.09| 2"},
             {"C 0 0.0 1.5", "C| 0| 0.0| 1.5"},
             {"C 0 1.000 2.000 3.000 H", "C| 1.000| 2.000| 3.000"},
             {"C  0  1.000  2.000  3.000 H H4 1", "C| 1.000| 2.000| 3.000"},
             {"C 1.000 2.000 3.000 L", "C| 1.000| 2.000| 3.000"},
             {"C-CA--0.25 -1 1.000 2.000 3.000 L", "C-CA--0.25| 1.000| 2.000| 3.000"},
             {"O -1 -1.5 0.5 0.25 L", "O|-1.5| 0.5| 0.25"}})
        EXPECT_EQ(test::fields(cut_input_atom_line(line)), expected) << line;
    for (const char* zmatrix : {"C", " H 1 1.09", "C 0.0 0.0"})
        EXPECT_THROW(cut_input_atom_line(zmatrix), run_error) << zmatrix;
}

} // namespace
} // namespace qm
