// The number forms every file, message and status text of the program uses.
//
//   text form   the general form on its own: at most 15 significant digits (7 for single
//               precision), no trailing zeros, a 0 before the point of a magnitude below 1,
//               exponent form (mantissa trimmed, "E", sign, at least two digits) for
//               magnitudes from 1E+15 (1E+07 single) up and below 1E-04. Never "-0".
//   print form  a blank in place of a plus sign, the text form, one trailing blank; so two
//               numbers printed one after the other stand two blanks apart.
#pragma once

#include <string>
#include <string_view>

namespace qm {

std::string text_form(double value);
std::string print_form(double value);
// Single-precision values: the value is rounded to float first, then shown with 7 digits.
std::string text_form_single(float value);
std::string print_form_single(float value);

// A fixed decimal pattern such as "##0.0000000": the number of 0s after the point gives
// the decimals, the 0s before it the minimum integer digits; '#' adds nothing.
std::string format_pattern(double value, std::string_view pattern);

// The shortest text that reads back as exactly `value` ("0.1", "1e-05", "-2.5e+300"): the form of
// computed numbers in the CSV files other programs read. Never "-0"; "nan", "inf", "-inf".
std::string shortest_form(double value);

// Whole counts (files, lines, atoms) are plain decimal digits.
inline std::string count_text(long long n) {
    return std::to_string(n);
}

} // namespace qm
