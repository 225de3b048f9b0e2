#include "platform/val.h"

#include "platform/run_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qm {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of `text` that is a number: sign, digits with an optional
// point (at least one digit on either side of it), optional exponent with its own digits.
std::size_t number_length(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && is_digit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && is_digit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    std::size_t end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < n && is_digit(text[j])) {
            while (j < n && is_digit(text[j]))
                ++j;
            end = j;
        }
    }
    return end;
}

// The decimal exponent of a number text: its value is 0.d1d2d3... x 10^exponent with d1 its
// first digit that is not 0 (0 for a text of zeros). Exponents past any double saturate.
long long decimal_exponent(std::string_view number) {
    constexpr long long saturated = 1'000'000'000'000LL;
    long long exponent = 0;
    bool point = false, leading = true;
    std::size_t i = number[0] == '+' || number[0] == '-' ? 1 : 0;
    for (; i < number.size() && (is_digit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            point = true;
        } else if (leading && number[i] == '0') {
            if (point)
                --exponent;
        } else {
            leading = false;
            if (!point)
                exponent = std::min(exponent + 1, saturated);
        }
    }
    if (i < number.size()) { // the exponent part
        const bool negative = number[i + 1] == '-';
        long long written = 0;
        for (std::size_t j = i + 1; j < number.size(); ++j)
            if (is_digit(number[j]))
                written = std::min(written * 10 + (number[j] - '0'), saturated);
        exponent += negative ? -written : written;
    }
    return exponent;
}

// The significant digits of a number text, without leading or trailing zeros.
std::string significant_digits(std::string_view number) {
    std::string digits;
    for (const char c : number) {
        if (c == 'e' || c == 'E' || c == 'd' || c == 'D')
            break;
        if (is_digit(c) && (c != '0' || !digits.empty()))
            digits += c;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    return digits;
}

// The largest double as our number forms print it, 15 significant digits: 1.79769313486232E+308.
// Its text stands a little above the largest double and must read back as it.
constexpr std::string_view largest_printed_digits = "179769313486232";
constexpr long long largest_printed_exponent = 309;

// Value of a text already known to be a whole number by number_length(). Whether a value
// beyond a double is too large (Overflow) or too small (read as 0) is decided from its
// decimal exponent, never from how the text looks.
double parse_number(std::string_view number) {
    std::string text(number);
    for (char& c : text)
        if (c == 'd' || c == 'D' || c == 'E')
            c = 'e';
    const char* first = text.data();
    if (*first == '+')
        ++first;
    double value = 0;
    auto res = std::from_chars(first, text.data() + text.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        const bool negative = number[0] == '-';
        const long long exponent = decimal_exponent(number);
        if (exponent <= 0)
            return negative ? -0.0 : 0.0;
        if (exponent == largest_printed_exponent &&
            significant_digits(number) <= largest_printed_digits)
            return negative ? -std::numeric_limits<double>::max()
                            : std::numeric_limits<double>::max();
        throw run_error::from_number(6);
    }
    if (!std::isfinite(value))
        throw run_error::from_number(6);
    return value;
}

// Most numbers in the outputs we read are plain decimals ("-12.3456", "0.116262", "42",
// "1.00D-06"). When all their digits fit in a double's 53-bit mantissa and the power of ten
// that scales them is at most 10^22, both are exact doubles and one multiplication or division
// gives the value, rounded by IEEE exactly as the full reader rounds it. Returns the length of
// the number read into `value`, or 0 when the text is not such a decimal (too many digits, a
// large exponent, no digits): the general reader takes it then.
std::size_t plain_decimal(std::string_view text, double& value) {
    static constexpr double powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr long long largest_power = std::size(powers_of_ten) - 1;
    constexpr std::uint64_t exact_limit = std::uint64_t{1} << 53;
    const std::size_t n = text.size();
    std::size_t i = 0;
    const bool negative = i < n && text[i] == '-';
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::uint64_t digits = 0;
    std::size_t count = 0;
    long long exponent = 0;
    for (; i < n && is_digit(text[i]); ++i, ++count) {
        digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
        if (digits > exact_limit)
            return 0;
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && is_digit(text[i]); ++i, ++count, --exponent) {
            digits = digits * 10 + static_cast<unsigned>(text[i] - '0');
            if (digits > exact_limit || exponent < -largest_power)
                return 0;
        }
    }
    if (count == 0)
        return 0;
    // An exponent counts only with digits of its own ("1.5eV" is 1.5).
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        const bool exponent_negative = j < n && text[j] == '-';
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < n && is_digit(text[j])) {
            long long written = 0;
            for (; j < n && is_digit(text[j]); ++j) {
                written = written * 10 + (text[j] - '0');
                if (written > 2 * largest_power)
                    return 0;
            }
            exponent += exponent_negative ? -written : written;
            i = j;
        }
    }
    if (exponent < -largest_power || exponent > largest_power)
        return 0;
    const double mantissa = static_cast<double>(digits);
    const double magnitude = exponent < 0 ? mantissa / powers_of_ten[-exponent]
                                          : mantissa * powers_of_ten[exponent];
    value = negative ? -magnitude : magnitude;
    return i;
}

std::string_view trim_blanks_and_tabs(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

double val_general(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    const std::size_t len = number_length(text);
    return len == 0 ? 0.0 : parse_number(text.substr(0, len));
}

double val(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    double value = 0;
    if (plain_decimal(text, value) != 0)
        return value;
    return val_general(text);
}

double strict_double_general(std::string_view text) {
    text = trim_blanks_and_tabs(text);
    const std::size_t len = number_length(text);
    if (len == 0 || len != text.size())
        throw run_error::from_number(13);
    return parse_number(text);
}

double strict_double(std::string_view text) {
    text = trim_blanks_and_tabs(text);
    double value = 0;
    if (plain_decimal(text, value) == text.size() && !text.empty())
        return value;
    const std::size_t len = number_length(text);
    if (len == 0 || len != text.size())
        throw run_error::from_number(13);
    return parse_number(text);
}

bool is_number(std::string_view text) {
    text = trim_blanks_and_tabs(text);
    return number_length(text) == text.size() && !text.empty();
}

std::optional<double> number_value(std::string_view text) {
    text = trim_blanks_and_tabs(text);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    if (plain_decimal(text, value) == text.size())
        return value;
    if (number_length(text) != text.size())
        return std::nullopt;
    return parse_number(text);
}

double round_half_even(double value) {
    return std::nearbyint(value);
}

std::int32_t strict_long(std::string_view text) {
    const double rounded = round_half_even(strict_double(text));
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        throw run_error::from_number(6);
    return static_cast<std::int32_t>(rounded);
}

std::int32_t strict_whole(std::string_view text) {
    const double whole = std::trunc(strict_double(text));
    if (whole < std::numeric_limits<std::int32_t>::min() ||
        whole > std::numeric_limits<std::int32_t>::max())
        throw run_error::from_number(6);
    return static_cast<std::int32_t>(whole);
}

std::int16_t strict_integer(std::string_view text) {
    const std::int32_t value = strict_long(text);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw run_error::from_number(6);
    return static_cast<std::int16_t>(value);
}

std::uint64_t whole_number_from_text(std::string_view text) {
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    const bool digits_only = !text.empty() && text.find_first_not_of("0123456789") == text.npos;
    if (digits_only) {
        std::uint64_t value = 0;
        for (const char c : text) {
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (value > (largest - digit) / 10)
                return largest;
            value = value * 10 + digit;
        }
        return value;
    }
    const double value = round_half_even(val(text));
    if (!(value > 0))
        return 0;
    if (value >= 18446744073709551616.0) // 2^64
        return largest;
    return static_cast<std::uint64_t>(value);
}

} // namespace qm
