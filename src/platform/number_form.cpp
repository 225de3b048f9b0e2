#include "platform/number_form.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace qm {
namespace {

// Digits and decimal exponent of |value| rounded to `digits` significant digits, with the
// trailing zeros of the digit string removed: 1234.5 -> {"12345", 3}.
struct decimal_digits {
    std::string digits;
    int exponent = 0;
};

decimal_digits round_to_significant(double magnitude, int digits) {
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, digits - 1);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = text.find('e');
    decimal_digits out;
    for (char c : text.substr(0, e))
        if (c != '.')
            out.digits.push_back(c);
    out.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    while (out.digits.size() > 1 && out.digits.back() == '0')
        out.digits.pop_back();
    return out;
}

std::string general_form(double value, int significant) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0)
        return "0"; // also -0
    const decimal_digits d = round_to_significant(std::fabs(value), significant);
    std::string out = value < 0 ? "-" : "";
    if (d.exponent >= significant || d.exponent < -4) {
        out += d.digits.substr(0, 1);
        if (d.digits.size() > 1)
            out += "." + d.digits.substr(1);
        out += d.exponent < 0 ? "E-" : "E+";
        const int e = std::abs(d.exponent);
        if (e < 10)
            out += '0';
        out += std::to_string(e);
    } else if (d.exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent) + 1;
        if (d.digits.size() <= whole) {
            out += d.digits + std::string(whole - d.digits.size(), '0');
        } else {
            out += d.digits.substr(0, whole) + "." + d.digits.substr(whole);
        }
    }
    return out;
}

std::string printed(std::string text) {
    if (text.front() != '-')
        text.insert(text.begin(), ' ');
    text.push_back(' ');
    return text;
}

} // namespace

std::string shortest_form(double value) {
    if (value == 0.0)
        return "0";
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string text_form(double value) {
    return general_form(value, 15);
}
std::string print_form(double value) {
    return printed(text_form(value));
}
std::string text_form_single(float value) {
    return general_form(static_cast<double>(value), 7);
}
std::string print_form_single(float value) {
    return printed(text_form_single(value));
}

std::string format_pattern(double value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const std::string_view whole = pattern.substr(0, point);
    const std::size_t decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;
    std::size_t min_whole = 0;
    for (char c : whole)
        if (c == '0')
            ++min_whole;

    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed,
                             static_cast<int>(decimals));
    if (res.ec != std::errc())
        throw std::runtime_error("format_pattern: value out of range");
    std::string digits(buf, res.ptr);
    // Integer part: "0" is dropped when the pattern asks for no integer digit (".00" style).
    const auto dot = digits.find('.');
    std::string int_part = digits.substr(0, dot);
    const std::string frac = dot == std::string::npos ? "" : digits.substr(dot);
    if (int_part == "0" && min_whole == 0)
        int_part.clear();
    if (int_part.size() < min_whole)
        int_part.insert(0, min_whole - int_part.size(), '0');
    std::string out = int_part + frac;
    const bool all_zero = out.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !all_zero)
        out.insert(out.begin(), '-');
    return out;
}

} // namespace qm
