#include "conversion/element_symbols.h"
#include "conversion/structure_writers.h"
#include "platform/error_report.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

structure_record one_atom(std::string label, std::string x, std::string y, std::string z) {
    return {{{std::move(label), std::move(x), std::move(y), std::move(z)}}};
}

TEST(PdbWriter, ColumnsOfTheExampleLine) {
    const auto text = pdb_text(one_atom("6", " 0.000000", " 1.234567", "-0.987654"),
                               label_rule::element_symbol, spacer_rule::eleven_blanks);
    EXPECT_EQ(text, "ATOM      1  C           1       0.000   1.234  -0.987\nEND\n");
    const std::string line = text.substr(0, text.find('\n'));
    EXPECT_EQ(line.substr(10, 1), "1");  // serial in column 11
    EXPECT_EQ(line.substr(12, 2), " C"); // symbol in 13-14
    EXPECT_EQ(line.substr(25, 1), "1");  // residue number in column 26
    EXPECT_EQ(line.substr(32, 6), " 0.000");
    EXPECT_EQ(line.substr(40, 6), " 1.234");
    EXPECT_EQ(line.substr(48, 6), "-0.987");
}

TEST(PdbWriter, SerialEndsInColumn11) {
    const atom_row row{"C", "1.0", "2.0", "3.0"};
    for (long long serial : {1LL, 9LL, 10LL, 99LL, 100LL, 999LL, 1000LL, 9999LL, 10000LL}) {
        const std::string line = pdb_atom_line(serial, " C", "", row);
        const std::string digits = std::to_string(serial);
        EXPECT_EQ(line.substr(11 - digits.size(), digits.size()), digits) << serial;
        EXPECT_EQ(line[11], ' ') << serial;
        EXPECT_EQ(line.substr(0, 4), "ATOM");
    }
    // one blank after "ATOM", then the print form's own blank before the digits
    EXPECT_EQ(pdb_atom_line(10000, " C", "", row).substr(0, 12), "ATOM  10000 ");
}

TEST(PdbWriter, CoordinatesAreCutNotRounded) {
    const auto text = pdb_text(one_atom("C", "-12.345678", " 1.2", "0.99999999"),
                               label_rule::as_read, spacer_rule::eleven_blanks);
    // "C" has one character, so everything after it moves one column left.
    EXPECT_EQ(text, "ATOM      1 C           1      -12.34   1.2  0.9999\nEND\n");
}

TEST(PdbWriter, LabelRulesOfTheXyzAndGaussianInputRoutes) {
    const structure_record record{
        {{"6", "0.0", "0.0", "0.0"}, {"Cl", "0.0", "0.0", "0.0"}, {"C", "0.0", "0.0", "0.0"}}};
    EXPECT_EQ(pdb_text(record, label_rule::symbol_when_digit, spacer_rule::eleven_blanks),
              "ATOM      1  C           1      0.0  0.0  0.0\n"
              "ATOM      2 Cl           1      0.0  0.0  0.0\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
    // Gaussian input: a longer label takes one blank less, so the residue column stays.
    EXPECT_EQ(pdb_text(record, label_rule::as_read, spacer_rule::by_label_width),
              "ATOM      1 6           1      0.0  0.0  0.0\n"
              "ATOM      2 Cl          1      0.0  0.0  0.0\n"
              "ATOM      3 C           1      0.0  0.0  0.0\n"
              "END\n");
}

TEST(XyzWriter, EveryAtomWithFiveBlanksBetweenFields) {
    const structure_record record{{{"8", " 0.000000", " 0.000000", " 0.119262"},
                                   {"1", " 0.000000", " 0.763239", "-0.477047"}}};
    EXPECT_EQ(xyz_text(record, label_rule::element_symbol),
              " O      0.000000      0.000000      0.119262\n"
              " H      0.000000      0.763239     -0.477047\n");
    EXPECT_EQ(xyz_text({}, label_rule::as_read), "");
}

TEST(ElementSymbols, TableEnds) {
    EXPECT_EQ(element_symbol(1), " H");
    EXPECT_EQ(element_symbol(6), " C");
    EXPECT_EQ(element_symbol(17), "Cl");
    EXPECT_EQ(element_symbol(92), " U");
    EXPECT_EQ(element_symbol(103), "Lr");
    EXPECT_EQ(number_element_to_letters({" 26 ", "", "", ""}), "Fe");
}

TEST(ElementSymbols, LookupFailuresNameTheLookupRoutine) {
    auto report_of = [](const std::string& label) {
        try {
            number_element_to_letters({label, "", "", ""});
        } catch (const element_lookup_error& e) {
            return error_report_text(report_form::short_form, e, element_lookup_routine);
        }
        return std::string("no error");
    };
    const std::string unknown =
        "Error () in (number_element_to_letters) routine.\n\rReturning to main menu";
    EXPECT_EQ(report_of("0"), unknown);
    EXPECT_EQ(report_of("104"), unknown);
    EXPECT_EQ(report_of("6.5"), unknown);
    EXPECT_EQ(report_of("C"),
              "Error (Type mismatch) in (number_element_to_letters) routine.\n\rReturning to "
              "main menu");
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
