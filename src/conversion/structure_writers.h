// The XYZ and PDB writers every conversion route shares. Lines end with a line feed alone.
//
// XYZ: one line per atom, nothing before or after:
//   symbol + 5 blanks + x + 5 blanks + y + 5 blanks + z
//
// PDB: one ATOM line per atom, then "END":
//   columns  1-4   "ATOM"
//            5-12  blanks, the serial in print form (" 9 "), ending in column 11
//           13-14  symbol (a one-character symbol moves the rest one column left)
//           15-32  spacer: 11 blanks, "1" (residue number, column 26), 6 blanks
//           33-38  X, first six characters of the x text (cut, never rounded)
//           41-46  Y, 49-54 Z, each after two blanks
#pragma once

#include "conversion/structure_record.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

// How a writer turns a row's label into the symbol it writes.
enum class label_rule {
    element_symbol,    // the label is an atomic number: its element symbol
    as_read,           // the label as read
    symbol_when_digit, // a label that begins with a digit is an atomic number; others as read
};

// The text between the symbol and the X coordinate.
enum class spacer_rule {
    eleven_blanks,  // "           1      "
    by_label_width, // eleven blanks after a one-character label, ten after a longer one
};

std::string xyz_text(const structure_record& record, label_rule labels);
std::string pdb_text(const structure_record& record, label_rule labels, spacer_rule spacer);

// One ATOM line (with its line feed) for row `serial`.
std::string pdb_atom_line(long long serial, std::string_view symbol, std::string_view spacer,
                          const atom_row& row);

// The writers: build the whole text first, so a failing element lookup leaves the
// destination untouched, then write it checked.
void write_xyz(const std::filesystem::path& destination, const structure_record& record,
               label_rule labels);
void write_pdb(const std::filesystem::path& destination, const structure_record& record,
               label_rule labels, spacer_rule spacer);

} // namespace qm
