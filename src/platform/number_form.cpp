#include "platform/number_form.h"

#include "platform/val.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace qm {
namespace {

// Digits and decimal exponent of |value| rounded to `digits` significant digits (at most 15),
// with the trailing zeros of the digit string removed: 1234.5 -> {"12345", 3}.
struct decimal_digits {
    char digits[24];
    std::size_t count = 0;
    int exponent = 0;
};

// The digits and exponent of to_chars' scientific text ("1.2345e+03": a signed exponent of
// two digits or more), trailing zeros dropped.
void read_scientific(const char* text, const char* end, decimal_digits& out) {
    out.count = 0;
    for (; *text != 'e'; ++text)
        if (*text != '.')
            out.digits[out.count++] = *text;
    while (out.count > 1 && out.digits[out.count - 1] == '0')
        --out.count;
    const bool negative = text[1] == '-';
    int exponent = 0;
    for (text += 2; text != end; ++text)
        exponent = exponent * 10 + (*text - '0');
    out.exponent = negative ? -exponent : exponent;
}

decimal_digits round_to_significant(double magnitude, int digits) {
    // The shortest digits that read back as the value, when there are no more of them than
    // asked for, are the value rounded to that many: the spacing of normal doubles lies far
    // below half a step of the 15th digit, so the exact value stands nearer to them than to
    // any other number of that many digits. Rounding the exact binary value is the slower
    // way, for the rest and for the subnormal doubles, whose spacing is wider.
    char buf[64];
    decimal_digits out;
    std::to_chars_result res{};
    if (magnitude >= std::numeric_limits<double>::min()) {
        res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
        read_scientific(buf, res.ptr, out);
        if (out.count <= static_cast<std::size_t>(digits))
            return out;
    }
    res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, digits - 1);
    read_scientific(buf, res.ptr, out);
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
    const std::string_view digits(d.digits, d.count);
    // At most a sign, 15 digits, a point and four zeros before them, or an exponent after.
    char text[48];
    std::size_t n = 0;
    const auto put = [&](std::string_view part) {
        part.copy(text + n, part.size());
        n += part.size();
    };
    if (value < 0)
        put("-");
    if (d.exponent >= significant || d.exponent < -4) {
        put(digits.substr(0, 1));
        if (digits.size() > 1) {
            put(".");
            put(digits.substr(1));
        }
        put(d.exponent < 0 ? "E-" : "E+");
        const int e = std::abs(d.exponent);
        if (e < 10)
            put("0");
        n = static_cast<std::size_t>(std::to_chars(text + n, text + sizeof text, e).ptr - text);
    } else if (d.exponent < 0) {
        put("0.");
        put(std::string_view("0000").substr(0, static_cast<std::size_t>(-d.exponent - 1)));
        put(digits);
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent) + 1;
        if (digits.size() <= whole) {
            put(digits);
            for (std::size_t i = digits.size(); i < whole; ++i)
                put("0");
        } else {
            put(digits.substr(0, whole));
            put(".");
            put(digits.substr(whole));
        }
    }
    return std::string(text, n);
}

std::string printed(std::string text) {
    if (text.front() != '-')
        text.insert(text.begin(), ' ');
    text.push_back(' ');
    return text;
}

} // namespace

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

std::string rounded_fixed(std::string_view number_text, int decimals) {
    const double value = strict_double(number_text);
    // The shortest digits that read back as the value: those the text shows (up to 17).
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.')
            digits.push_back(c);
    // Digit i stands for 10^(exponent - i); those down to 10^-decimals are kept.
    const long kept = std::atoi(std::string(sci.substr(e + 1)).c_str()) + decimals + 1;
    std::string units = kept > 0 ? digits.substr(0, static_cast<std::size_t>(kept)) : "";
    if (kept > static_cast<long>(digits.size()))
        units.append(static_cast<std::size_t>(kept) - digits.size(), '0');
    // The digits dropped (none worth rounding on when the first is two places below the last
    // kept one).
    std::string_view rest;
    if (kept >= 0 && kept < static_cast<long>(digits.size()))
        rest = std::string_view(digits).substr(static_cast<std::size_t>(kept));
    // Halves go to the even neighbour; anything past a 5 goes up.
    const bool odd = !units.empty() && (units.back() - '0') % 2 == 1;
    const bool up =
        !rest.empty() &&
        (rest[0] > '5' ||
         (rest[0] == '5' && (rest.find_first_not_of('0', 1) != std::string_view::npos || odd)));
    if (up) {
        std::size_t i = units.size();
        while (i > 0 && units[i - 1] == '9')
            units[--i] = '0';
        if (i == 0)
            units.insert(units.begin(), '1');
        else
            ++units[i - 1];
    }
    const auto width = static_cast<std::size_t>(decimals) + 1;
    if (units.size() < width)
        units.insert(0, width - units.size(), '0');
    const bool zero = units.find_first_not_of('0') == std::string::npos;
    if (decimals > 0)
        units.insert(units.size() - static_cast<std::size_t>(decimals), 1, '.');
    return (value < 0 && !zero ? "-" : "") + units;
}

namespace {

// Negative zero is written as zero, as in every other form.
std::string chars_form(double value, std::chars_format form) {
    if (value == 0.0)
        value = 0.0;
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, form);
    return ec == std::errc{} ? std::string(text, end) : std::string();
}

} // namespace

std::string round_trip_form(double value) {
    return chars_form(value, std::chars_format::general);
}

std::string round_trip_scientific(double value) {
    return chars_form(value, std::chars_format::scientific);
}

} // namespace qm
