// Reading numbers out of texts.
//
// val():      the value of the longest leading part of the text that reads as a number,
//             after leading blanks; 0 when there is none. "  -.5e1xyz" -> -5, ".116262" ->
//             0.116262, "abc" -> 0. Fortran's D exponent reads like E ("1.5D+02").
// strict_*(): the whole text (blanks around it allowed) must be one number, otherwise the
//             run error "Type mismatch" (13); a value outside the type's range is "Overflow" (6).
// A value too large for a double is "Overflow" (6) in both; one too small for it reads as 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

double val(std::string_view text);

double strict_double(std::string_view text);
// Rounded to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
std::int32_t strict_long(std::string_view text);
std::int16_t strict_integer(std::string_view text);
// The integer part (2.9 -> 2): what a box read as a whole count gives.
std::int32_t strict_whole(std::string_view text);

// Whether strict_double() would accept the text.
bool is_number(std::string_view text);
// The value of a text is_number() accepts, as val() reads it; nullopt for any other text.
// One pass where the two would read the text twice.
std::optional<double> number_value(std::string_view text);

// The whole number a digits-only box holds (line numbers, atom numbers): its digits read
// exactly, however many leading zeros ("00" is 0); a value past 2^64 - 1 stays at 2^64 - 1.
// A text that is not all digits (pasted, or typed on the command line) is read as its leading
// number rounded to a whole one; nothing or a negative number reads as 0.
std::uint64_t whole_number_from_text(std::string_view text);

// The general readers behind val() and strict_double(), which those two skip for plain
// decimals (their shortcut must give the same value, bit for bit, or the same error).
double val_general(std::string_view text);
double strict_double_general(std::string_view text);

// Nearest integer, halves to even: what "rounded" means everywhere in the program.
double round_half_even(double value);

} // namespace qm
