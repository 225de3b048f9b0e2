#include "platform/chart_data.h"

#include "platform/number_form.h"

#include <string_view>
#include <utility>

namespace qm {

std::string run_description(const std::vector<run_field>& fields) {
    std::string text;
    for (const run_field& field : fields)
        text += (text.empty() ? "" : "; ") + field.name + ": " + field.value;
    return text;
}

namespace {

// A field as RFC 4180 has it: quoted (quotes doubled) when it holds a comma, a quote or a
// line break.
std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

bool letter_or_digit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Greek letters axis titles use, spelled out (UTF-8 bytes first).
constexpr std::pair<std::string_view, std::string_view> greek_letters[] = {
    {"\xce\x94", "delta"}, {"\xce\xbb", "lambda"}, {"\xce\xbc", "mu"},   {"\xce\xbd", "nu"},
    {"\xcf\x89", "omega"}, {"\xcf\x83", "sigma"},  {"\xcf\x84", "tau"}, {"\xce\xb8", "theta"},
};

std::string greek_spelled_out(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool found = false;
        for (const auto& [letter, name] : greek_letters)
            if (text.compare(i, letter.size(), letter) == 0) {
                out.append(" ").append(name).append(" ");
                i += letter.size();
                found = true;
                break;
            }
        if (!found)
            out += text[i++];
    }
    return out;
}

} // namespace

std::string column_name(const std::string& title, const std::string& fallback) {
    std::string name;
    bool gap = false;
    for (const char c : greek_spelled_out(title)) {
        if (!letter_or_digit(c)) {
            gap = !name.empty();
            continue;
        }
        if (gap)
            name += '_';
        gap = false;
        name += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return name.empty() ? fallback : name;
}

std::string chart_csv(const chart_data& chart) {
    std::string out = "series," + column_name(chart.x_title, "x") + ',' +
                      column_name(chart.y_title, "y") + '\n';
    for (const chart_line& line : chart.lines) {
        const std::string series = csv_field(line.name);
        for (const chart_point& p : line.points)
            out.append(series).append(",").append(round_trip_form(p.x)).append(",").append(
                round_trip_form(p.y)).append("\n");
    }
    return out;
}

} // namespace qm
