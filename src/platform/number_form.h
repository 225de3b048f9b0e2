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

// The number a text holds (as strict_double reads it) in fixed form with `decimals` decimals,
// rounded half to even on the decimal digits the text shows, never on a binary neighbour:
// "-12.345678" -> "-12.346", "0.0005" -> "0.000", "0.0015" -> "0.002". Never "-0.000". A text
// that is not a number is "Type mismatch" (13).
std::string rounded_fixed(std::string_view number_text, int decimals);

// Computed values in data files meant for other programs: the shortest text that reads back as
// the same double ("0.1", "2.5e-07"; never "-0"; "nan", "inf", "-inf"). The scientific variant
// always has a mantissa and an exponent ("0e+00", "1e+00"), so no number is ever a single
// character.
std::string round_trip_form(double value);
std::string round_trip_scientific(double value);
// Whole counts (files, lines, atoms) are plain decimal digits.
inline std::string count_text(long long n) {
    return std::to_string(n);
}

} // namespace qm
