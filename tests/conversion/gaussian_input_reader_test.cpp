#include "conversion/gaussian_input_reader.h"
#include "platform/run_error.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct gaussian_input_file : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    structure_record record;
    std::filesystem::path file(const std::string& text) {
        test::write_file(dir / "job.com", text);
        return dir / "job.com";
    }
};

TEST_F(gaussian_input_file, RouteLineMustStartTheLine) {
    EXPECT_EQ(gaussian_input_test(file("%chk=a\n%mem=1GB\n#p hf/sto-3g\n\nt\n"), ui),
              result_flag::success);
    EXPECT_EQ(gaussian_input_test(file("%chk=a\n #p hf/sto-3g\n\nt\n"), ui),
              result_flag::not_found);
    std::string late(49, '\n');
    EXPECT_EQ(gaussian_input_test(file(late + "# route on line 50\n"), ui), result_flag::not_found);
    EXPECT_EQ(gaussian_input_test(file(std::string(48, '\n') + "# route on line 49\n"), ui),
              result_flag::success);
}

TEST_F(gaussian_input_file, SkipsRouteAndTitleSectionsToTheAtoms) {
    // A line of blanks does not separate sections: only one empty line here.
    const auto blanks = file("#p opt\n  \nwater\n\n0 1\nC 0.0 0.0 0.0\n");
    ASSERT_EQ(gaussian_cart_extract(blanks, record, ui), result_flag::not_found);
    // Two title lines.
    const auto fixed =
        file("#p opt\n\nwater\nsecond title line\n\n0 1\nC   0.000   -1.200   2.500\n"
             "Cl 1.0 2.0 3.0\n    \nignored 1.0 2.0 3.0\n");
    ASSERT_EQ(gaussian_cart_extract(fixed, record, ui), result_flag::success);
    ASSERT_EQ(record.atoms.size(), 2u);
    EXPECT_EQ(record.atoms[0].label, "C");
    EXPECT_EQ(record.atoms[0].x, " 0.000");
    EXPECT_EQ(record.atoms[0].y, "-1.200");
    EXPECT_EQ(record.atoms[0].z, " 2.500");
    EXPECT_EQ(ui.statuses.back(), "Reading Cartesian Geometry - Line Number = 2");
}

TEST_F(gaussian_input_file, AtomLineFields) {
    EXPECT_EQ(cut_input_atom_line("C 0.0 0.0 1.5").z, " 1.5"); // z may end the line
    const atom_row tabbed = cut_input_atom_line("\tN\t  -0.5 0.25  0.125 ");
    EXPECT_EQ(tabbed.label, "N\t");
    EXPECT_EQ(tabbed.x, "-0.5");
    EXPECT_EQ(tabbed.z, " 0.125");
    EXPECT_EQ(cut_input_atom_line(" C(Iso=13)  1.4  -0.2  0.0").label, "C(Iso=13)");
    for (const char* zmatrix : {"C", " H 1 1.09", "C 0.0 0.0"})
        EXPECT_THROW(cut_input_atom_line(zmatrix), run_error) << zmatrix;
}

TEST_F(gaussian_input_file, FreezeCodeBeforeTheCoordinates) {
    const atom_row frozen = cut_input_atom_line("C -1 0.0 0.0 1.5");
    EXPECT_EQ(frozen.label, "C");
    EXPECT_EQ(frozen.x, " 0.0");
    EXPECT_EQ(frozen.y, " 0.0");
    EXPECT_EQ(frozen.z, " 1.5");
    EXPECT_EQ(cut_input_atom_line("C 0 0. 0. -0.64").z, "-0.64");
    // A positive integer there is a Z-matrix reference, and four fields are label and x, y, z.
    EXPECT_EQ(cut_input_atom_line("H 1 1.09 2 109.5").x, " 1");
    EXPECT_EQ(cut_input_atom_line("C 0 0.0 1.5").x, " 0");
}

TEST_F(gaussian_input_file, OniomFieldsAfterTheCoordinatesNeverShiftThem) {
    for (const char* line : {"C 0 1.000 2.000 3.000 H", "C  0  1.000  2.000  3.000 H H4 1",
                             "C 1.000 2.000 3.000 L", "C-CA--0.25 -1 1.000 2.000 3.000 L"}) {
        const atom_row row = cut_input_atom_line(line);
        EXPECT_EQ(row.x + row.y + row.z, " 1.000 2.000 3.000") << line;
    }
    EXPECT_EQ(cut_input_atom_line("O -1 -1.5 0.5 0.25 L").z, " 0.25");
}

TEST_F(gaussian_input_file, EndOfFileBeforeOrInsideTheMolecule) {
    EXPECT_EQ(gaussian_cart_extract(file("#p\n\ntitle only\n"), record, ui),
              result_flag::not_found);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(gaussian_cart_extract(file("#p\n\nt\n\n0 1\nC 0.0 0.0 0.0\n"), record, ui),
              result_flag::reported);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error (Input past end of file) in (gaussian_cart_extract) "
                                   "routine.\n\rReturning to main menu");
}

TEST_F(gaussian_input_file, CarriageReturnLineEndsNeverReachTheMolecule) {
    EXPECT_EQ(gaussian_cart_extract(file("#p\r\n\r\nt\r\n\r\n0 1\r\nC 0 0 0\r\n\r\n"), record, ui),
              result_flag::not_found);
}

} // namespace
} // namespace qm
