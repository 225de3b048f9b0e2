#include "platform/chart_data.h"

#include "platform/number_form.h"

namespace qm {
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

} // namespace

std::string column_name(const std::string& title, const std::string& fallback) {
    std::string name;
    bool gap = false;
    for (const char c : title) {
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
            out.append(series).append(",").append(shortest_form(p.x)).append(",").append(
                shortest_form(p.y)).append("\n");
    }
    return out;
}

} // namespace qm
