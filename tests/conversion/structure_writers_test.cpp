#include "conversion/element_symbols.h"
#include "conversion/g94_writer.h"
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
