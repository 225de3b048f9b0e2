#include "conversion/standard_writers.h"

#include "conversion/element_symbols.h"
#include "platform/number_form.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <map>

namespace qm {
namespace {

constexpr std::size_t xyz_coordinate_columns = 15;
constexpr std::size_t pdb_serial_columns = 5;     // 7-11
constexpr std::size_t pdb_name_columns = 4;       // 13-16
constexpr std::size_t pdb_coordinate_columns = 8; // 31-38, 39-46, 47-54
constexpr int pdb_decimals = 3;
constexpr std::size_t pdb_element_columns = 2; // 77-78
constexpr std::size_t pdb_model_columns = 9;   // "MODEL" + the number ending in column 14
constexpr std::string_view pdb_residue = " MOL A   1    ";       // 17-30: residue, chain, number
constexpr std::string_view pdb_occupancy_and_b = "  1.00  0.00"; // 55-66
constexpr std::string_view pdb_before_element = "          ";    // 67-76

std::string right_aligned(std::string_view text, std::size_t columns) {
    return std::string(columns > text.size() ? columns - text.size() : 0, ' ') + std::string(text);
}

std::string capitals(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

bool is_translation_vector(std::string_view label) {
    return label.size() == 2 && (label[0] == 'T' || label[0] == 't') &&
           (label[1] == 'V' || label[1] == 'v');
}

// The element a row's label names; a label that names none is refused, naming it.
std::string_view element_of(const atom_row& row) {
    const std::string_view symbol = element_of_label(row.label);
    if (symbol.empty())
        throw run_error(err::type_mismatch, "No element in the atom label \"" + row.label + "\"");
    return symbol;
}

std::size_t atom_count(const structure_record& record) {
    std::size_t n = 0;
    for (const atom_row& row : record.atoms)
        n += is_translation_vector(row.label) ? 0 : 1;
    return n;
}

// A coordinate text as it stands, checked to be a number, for a file other programs parse.
std::string_view number_text(const std::string& text) {
    if (!is_number(text))
        throw run_error::from_number(err::type_mismatch);
    const std::size_t first = text.find_first_not_of(' ');
    return std::string_view(text).substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string pdb_coordinate(const std::string& text) {
    const std::string rounded = rounded_fixed(text, pdb_decimals);
    if (rounded.size() > pdb_coordinate_columns)
        throw run_error::from_number(err::overflow);
    return right_aligned(rounded, pdb_coordinate_columns);
}

// Columns 13-16: a one-letter symbol leaves column 13 blank, so that the element stands in
// column 14 as in every wwPDB file, unless the name needs all four columns.
std::string pdb_atom_name(std::string_view symbol, long long count) {
    std::string name = capitals(symbol) + count_text(count);
    if (name.size() > pdb_name_columns)
        name = capitals(symbol);
    if (symbol.size() == 1 && name.size() < pdb_name_columns)
        name.insert(0, " ");
    name.resize(pdb_name_columns, ' ');
    return name;
}

} // namespace

std::string standard_xyz_frame(const structure_record& record, std::string_view comment) {
    std::string text = count_text(static_cast<long long>(atom_count(record))) + "\n";
    text.append(comment).append("\n");
    for (const atom_row& row : record.atoms) {
        if (is_translation_vector(row.label))
            continue;
        std::string line(element_of(row));
        line.resize(2, ' ');
        for (const std::string* coordinate : {&row.x, &row.y, &row.z})
            line += right_aligned(number_text(*coordinate), xyz_coordinate_columns);
        text += line + "\n";
    }
    return text;
}

std::string standard_pdb_atoms(const structure_record& record) {
    std::string text;
    std::map<std::string_view, long long> of_element;
    long long serial = 0;
    for (const atom_row& row : record.atoms) {
        if (is_translation_vector(row.label))
            continue;
        const std::string_view symbol = element_of(row);
        const std::string number = count_text(++serial);
        if (number.size() > pdb_serial_columns)
            throw run_error::from_number(err::overflow);
        text += "ATOM  " + right_aligned(number, pdb_serial_columns) + " " +
                pdb_atom_name(symbol, ++of_element[symbol]);
        text += pdb_residue;
        for (const std::string* coordinate : {&row.x, &row.y, &row.z})
            text += pdb_coordinate(*coordinate);
        text += pdb_occupancy_and_b;
        text += pdb_before_element;
        text += right_aligned(capitals(symbol), pdb_element_columns) + "\n";
    }
    return text;
}

std::string standard_pdb_model(const structure_record& record, long long model) {
    return "MODEL" + right_aligned(count_text(model), pdb_model_columns) + "\n" +
           standard_pdb_atoms(record) + "ENDMDL\n";
}

} // namespace qm
