#include "conversion/element_symbols.h"
#include "conversion/structure_writers.h"
#include "platform/error_report.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Serial ending in column 11, symbol in 13-14, residue number in 26, coordinates cut (never
// rounded) to six characters; a one-character label moves everything after it left.
TEST(PdbWriter, ColumnsOfEveryLabelRule) {
    const structure_record record{{{"6", " 0.000000", " 1.234567", "-0.987654"},
                                   {"Cl", "-12.345678", " 1.2", "0.99999999"},
                                   {"C", "0.0", "0.0", "0.0"}}};
    EXPECT_EQ(pdb_text({{record.atoms[0]}}, label_rule::element_symbol, spacer_rule::eleven_blanks),
              "ATOM      1  C           1       0.000   1.234  -0.987\nEND\n");
    EXPECT_EQ(pdb_text(record, label_rule::symbol_when_digit, spacer_rule::eleven_blanks),
              "ATOM      1  C           1       0.000   1.234  -0.987\n"
              "ATOM      2 Cl           1      -12.34   1.2  0.9999\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
    // Gaussian input: a longer label takes one blank less, so the residue column stays.
    EXPECT_EQ(pdb_text(record, label_rule::as_read, spacer_rule::by_label_width),
              "ATOM      1 6           1       0.000   1.234  -0.987\n"
              "ATOM      2 Cl          1      -12.34   1.2  0.9999\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
}

TEST(PdbWriter, SerialEndsInColumn11) {
    const atom_row row{"C", "1.0", "2.0", "3.0"};
    for (long long serial : {9LL, 10LL, 99LL, 100LL, 999LL, 1000LL, 9999LL, 10000LL}) {
        const std::string digits = std::to_string(serial);
        EXPECT_EQ(pdb_atom_line(serial, " C", "", row).substr(0, 12),
                  "ATOM" + std::string(7 - digits.size(), ' ') + digits + " ")
            << serial;
    }
}

// Only an exact whole number from 1 to 103 names an element; a failure names the lookup.
TEST(ElementSymbols, TableEndsAndLookupFailures) {
    EXPECT_EQ(element_symbol(1), " H");
    EXPECT_EQ(element_symbol(17), "Cl");
    EXPECT_EQ(element_symbol(103), "Lr");
    EXPECT_EQ(element_symbol(0), "");
    EXPECT_EQ(number_element_to_letters({" 26 ", "", "", ""}), "Fe");
    EXPECT_EQ(number_element_to_letters({"103", "", "", ""}), "Lr");
    auto report_of = [](const std::string& label) {
        try {
            number_element_to_letters({label, "", "", ""});
        } catch (const element_lookup_error& e) {
            return error_report_text(report_form::short_form, e, element_lookup_routine);
        }
        return std::string("no error");
    };
    for (const char* label : {"0", "104", "6.5"})
        EXPECT_EQ(report_of(label),
                  "Error () in (number_element_to_letters) routine.\n\rReturning to main menu");
    EXPECT_EQ(report_of("C"), "Error (Type mismatch) in (number_element_to_letters) "
                              "routine.\n\rReturning to main menu");
}

TEST(Writers, ElementFailureLeavesTheDestinationUntouched) {
    test::temp_dir dir;
    test::write_file(dir / "out.pdb", "previous\n");
    const structure_record record{{{"6", "0.0", "0.0", "0.0"}, {"0", "0.0", "0.0", "0.0"}}};
    EXPECT_THROW(
        write_pdb(dir / "out.pdb", record, label_rule::element_symbol, spacer_rule::eleven_blanks),
        run_error);
    EXPECT_EQ(test::read_file(dir / "out.pdb"), "previous\n");
}

} // namespace
} // namespace qm
