#include "conversion/structure_writers.h"

#include "conversion/element_symbols.h"
#include "platform/number_form.h"
#include "platform/output_file.h"

namespace qm {
namespace {

constexpr std::string_view xyz_gap = "     ";
constexpr std::string_view pdb_gap = "  ";
constexpr std::string_view spacer_after_short_label = "           1      ";
constexpr std::string_view spacer_after_long_label = "          1      ";
constexpr std::size_t pdb_coordinate_width = 6;

std::string symbol_for(const atom_row& row, label_rule labels) {
    switch (labels) {
    case label_rule::element_symbol:
        return number_element_to_letters(row);
    case label_rule::as_read:
        return row.label;
    case label_rule::symbol_when_digit:
        if (!row.label.empty() && row.label[0] >= '0' && row.label[0] <= '9')
            return number_element_to_letters(row);
        return row.label;
    }
    return row.label;
}

std::string_view spacer_for(std::string_view label, spacer_rule spacer) {
    if (spacer == spacer_rule::by_label_width && label.size() != 1)
        return spacer_after_long_label;
    return spacer_after_short_label;
}

// Blanks after "ATOM" so that the serial's last digit stands in column 11.
std::size_t blanks_before_serial(long long serial) {
    if (serial < 10)
        return 5;
    if (serial < 100)
        return 4;
    if (serial < 1000)
        return 3;
    if (serial < 10000)
        return 2;
    return 1;
}

std::string_view pdb_coordinate(const std::string& text) {
    return std::string_view(text).substr(0, pdb_coordinate_width);
}

} // namespace

std::string pdb_atom_line(long long serial, std::string_view symbol, std::string_view spacer,
                          const atom_row& row) {
    std::string line = "ATOM";
    line.append(blanks_before_serial(serial), ' ');
    line += print_form(static_cast<double>(serial));
    line += symbol;
    line += spacer;
    line += pdb_coordinate(row.x);
    line += pdb_gap;
    line += pdb_coordinate(row.y);
    line += pdb_gap;
    line += pdb_coordinate(row.z);
    line += '\n';
    return line;
}

std::string xyz_text(const structure_record& record, label_rule labels) {
    std::string text;
    for (const atom_row& row : record.atoms) {
        text += symbol_for(row, labels);
        for (const std::string* coordinate : {&row.x, &row.y, &row.z}) {
            text += xyz_gap;
            text += *coordinate;
        }
        text += '\n';
    }
    return text;
}

std::string pdb_text(const structure_record& record, label_rule labels, spacer_rule spacer) {
    std::string text;
    long long serial = 0;
    for (const atom_row& row : record.atoms)
        text +=
            pdb_atom_line(++serial, symbol_for(row, labels), spacer_for(row.label, spacer), row);
    text += "END\n";
    return text;
}

void write_xyz(const std::filesystem::path& destination, const structure_record& record,
               label_rule labels) {
    write_whole_file(destination, xyz_text(record, labels));
}

void write_pdb(const std::filesystem::path& destination, const structure_record& record,
               label_rule labels, spacer_rule spacer) {
    write_whole_file(destination, pdb_text(record, labels, spacer));
}

} // namespace qm
