#include "conversion/element_symbols.h"
#include "conversion/g94_writer.h"
#include "conversion/standard_writers.h"
#include "conversion/structure_writers.h"

#include "conversion_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Serial ending in column 11, symbol in 13-14, residue in 26, coordinates cut (never rounded) to
// six characters; from a Gaussian input a longer label takes one blank less before the residue.
TEST(AtomLineLayouts, PdbAndGaussian94ColumnsOfEveryRule) {
    const structure_record record{{{"6", " 0.000000", " 1.234567", "-0.987654"},
                                   {"Cl", "-12.345678", " 1.2", "0.99999999"},
                                   {"C", "0.0", "0.0", "0.0"}}};
    EXPECT_EQ(pdb_text(record, label_rule::symbol_when_digit, spacer_rule::eleven_blanks),
              "ATOM      1  C           1       0.000   1.234  -0.987\n"
              "ATOM      2 Cl           1      -12.34   1.2  0.9999\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
    EXPECT_EQ(pdb_text(record, label_rule::as_read, spacer_rule::by_label_width),
              "ATOM      1 6           1       0.000   1.234  -0.987\n"
              "ATOM      2 Cl          1      -12.34   1.2  0.9999\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
    const auto serial = [](long long n) {
        return pdb_atom_line(n, " C", "", {"C", "1.0", "2.0", "3.0"}).substr(0, 12);
    };
    EXPECT_EQ(test::each(serial, {9LL, 10LL, 99LL, 100LL, 999LL, 1000LL, 9999LL, 10000LL}),
              "ATOM      9 |ATOM     10 |ATOM     99 |ATOM    100 |ATOM    999 |ATOM   1000 |"
              "ATOM   9999 |ATOM  10000 |");
    // Gaussian 94: the centre number in columns 1-5, the atomic number in 12-17, coordinates
    // right-aligned in 25-36, 37-48 and 49-60; a wider text grows left inside its own field, so
    // the later fields stay where the reader looks for them; one that cannot, or a sixth centre
    // digit, is refused.
    const atom_row zero{"1", " 0.000000", " 0.000000", " 0.000000"},
        wide{"6", "-1234567.1234", " 0.000000", " 0.000000"};
    EXPECT_EQ(g94_atom_line(42, {"17", "-1.234567", " 2.000000", "-3.500000"}) +
                  g94_atom_line(1, {"6", "-12.850000", "99.980000", "-105.500000"}) +
                  g94_atom_line(10000, zero),
              "   42          17          -1.234567    2.000000   -3.500000\n"
              "    1           6         -12.850000   99.980000 -105.500000\n"
              "10000           1           0.000000    0.000000    0.000000\n");
    EXPECT_EQ(test::error_of([&] { g94_atom_line(100000, zero); }) + "|" +
                  test::error_of([&] { g94_atom_line(1, wide); }),
              "6 Overflow|6 Overflow");
}

// wwPDB columns: names by element count, a one-letter symbol from column 14 unless the name
// takes all four columns (then from 13; longer: the symbol alone); coordinates rounded to 8.3;
// translation vectors left out of both standard layouts; a label naming no element refused.
TEST(AtomLineLayouts, StandardPdbAndXyzColumns) {
    structure_record carbons;
    for (int i = 0; i < 1000; ++i)
        carbons.atoms.push_back({"6", "-999.9994", "9999.9994", "0.0005"});
    const auto pdb = test::lines_of(standard_pdb_atoms(carbons));
    EXPECT_EQ(pdb[98] + "|" + pdb[99].substr(12, 4) + "|" + pdb[999].substr(0, 17),
              "ATOM     99  C99 MOL A   1    -999.9999999.999   0.000  1.00  0.00           C|"
              "C100|ATOM   1000  C   ");
    const structure_record cell{
        {{"TV", "2.46", "0", "0"}, {"Cl", " 1.0", "-2.5", "1E-1"}, {"fe", "0", "0", "0"}}};
    EXPECT_EQ(standard_pdb_atoms(cell),
              "ATOM      1 CL1  MOL A   1       1.000  -2.500   0.100  1.00  0.00          CL\n"
              "ATOM      2 FE1  MOL A   1       0.000   0.000   0.000  1.00  0.00          FE\n");
    EXPECT_EQ(standard_xyz_frame(cell, "cell"),
              "2\ncell\n"
              "Cl            1.0           -2.5           1E-1\n"
              "Fe              0              0              0\n");
    EXPECT_EQ(standard_pdb_model(structure_record{}, 12345), "MODEL    12345\nENDMDL\n");
    const auto refused = [](const atom_row& row) {
        return test::error_of([&] { standard_xyz_frame({{row}}, ""); });
    };
    EXPECT_EQ(refused({"Bq", "0", "0", "0"}) + "|" + refused({"C", "0", "x", "0"}),
              "13 No element in the atom label \"Bq\"|13 Type mismatch");
    EXPECT_EQ(test::error_of([] {
                  standard_pdb_atoms({{{"C", "0", "0", "10000"}}});
              }),
              "6 Overflow");
}

// Labels as programs write them: atomic numbers, symbols in any case with what follows them.
TEST(ElementSymbols, ElementOfLabel) {
    EXPECT_EQ(test::each([](const char* l) { return std::string(element_of_label(l)); },
                         {"6", "C", "cl", "Cl2", "C(Iso=13)", "HW", "CA", " 8 ", "Bq", "X", "0",
                          "104", "TV", ""}),
              "C|C|Cl|Cl|C|H|Ca|O|||||||");
}

// Only an exact whole number from 1 to 103 names an element; a failure names the lookup.
TEST(ElementSymbols, TableEndsAndLookupFailures) {
    EXPECT_EQ(test::each([](int n) { return std::string(element_symbol(n)); }, {1, 17, 103, 0}),
              " H|Cl|Lr||");
    const auto lookup = [](const char* label) {
        return test::text_or_error([&] { return number_element_to_letters({label, "", "", ""}); });
    };
    EXPECT_EQ(test::each(lookup, {" 26 ", "103", "0", "104", "6.5", "C"}),
              "Fe|Lr|0 |0 |0 |13 Type mismatch|");
    // ElementFailureLeavesTheDestinationUntouched
    test::temp_dir dir;
    test::write_file(dir / "out.pdb", "previous\n");
    const structure_record record{{{"6", "0.0", "0.0", "0.0"}, {"0", "0.0", "0.0", "0.0"}}};
    EXPECT_THROW(
        write_pdb(dir / "out.pdb", record, label_rule::element_symbol, spacer_rule::eleven_blanks),
        element_lookup_error);
    EXPECT_EQ(test::read_file(dir / "out.pdb"), "previous\n");
}

} // namespace
} // namespace qm
