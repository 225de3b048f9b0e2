#include "stokes/phase_correction.h"

#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <cmath>
#include <limits>

namespace qm {
namespace {

// The value of pi the corrections have always used; a full-precision one would change the
// last digits of every corrected phase.
constexpr double pi = 3.14159265358979;
// A step of more than this between two raw phases is a wrap; exactly 5.0 is none.
constexpr double wrap_threshold = 5.0;

std::int32_t counted(std::int32_t count) {
    if (count == std::numeric_limits<std::int32_t>::max())
        throw run_error::from_number(err::overflow);
    return count + 1;
}

chart_data phase_chart() {
    chart_data chart;
    chart.title = "Phase Column Before and After Unwrapping";
    chart.x_title = "Line";
    chart.y_title = "Phase (rad)";
    chart.lines = {{"Phase as Read", {}}, {"Unwrapped Phase", {}}};
    return chart;
}

void copy_corrected(const phase_correction_settings& s, std::int32_t column, JobUi& ui,
                    chart_data* chart) {
    data_line_reader in(s.input);
    const std::uint64_t length = file_length(s.input);
    ensure_distinct_files(s.input, s.output);
    output_file out(s.output);
    ui.progress_range(0, static_cast<long long>(length) + 129);
    ui.progress_value(0);
    phase_unwrapper phases;
    std::string line;
    for (double number = 1; in.next(line); ++number) {
        out.write(corrected_line(line, column, phases));
        if (chart != nullptr) {
            chart->lines[0].points.push_back({number, phases.last_raw()});
            chart->lines[1].points.push_back({number, phases.last_corrected()});
        }
        if (!in.line_ended())
            throw run_error::from_number(err::past_end);
        ui.progress_value(progress_blocks(in.position()) * 128);
    }
    out.close();
}

} // namespace

std::optional<std::int32_t> phase_column_from_text(std::string_view text) {
    if (!is_number(text))
        return std::nullopt;
    double value = 0;
    try {
        value = strict_double(text);
    } catch (const run_error&) { // beyond a double
        return std::nullopt;
    }
    value = std::trunc(value);
    if (value < 1 || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

double phase_unwrapper::correct(double x) {
    if (x - previous_ > wrap_threshold)
        up_ = counted(up_);
    else if (previous_ - x > wrap_threshold)
        down_ = counted(down_);
    previous_ = x;
    corrected_ = x - static_cast<double>(2 * static_cast<std::int64_t>(up_)) * pi +
                 static_cast<double>(2 * static_cast<std::int64_t>(down_)) * pi;
    return corrected_;
}

std::string corrected_line(std::string_view line, std::int32_t column, phase_unwrapper& phases) {
    const auto fields = blank_fields(line);
    // A blank line (data files separate their blocks by them, and often end with one) holds no
    // phase: its empty fields are written as those of any line without the phase column, and
    // the wrap count goes on over it.
    const bool blank = line.find_first_not_of(' ') == std::string_view::npos;
    if (!blank && (column < 1 || static_cast<std::size_t>(column) > fields.size()))
        throw run_error::from_number(err::subscript);
    std::string out;
    out.reserve(line.size() + 24);
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (!blank && f + 1 == static_cast<std::size_t>(column))
            out += text_form(phases.correct(strict_double(fields[f])));
        else
            out += fields[f];
        out += ' ';
    }
    out += "\r\n";
    return out;
}

phase_correction_outcome correct_phases(const phase_correction_settings& settings, JobUi& ui,
                                        chart_data* chart) {
    busy_pointer hourglass(ui);
    const std::optional<std::int32_t> column = phase_column_from_text(settings.phase_column);
    if (!column) {
        ui.message(message_icon::exclamation, phase_column_invalid_title,
                   phase_column_invalid_text);
        return phase_correction_outcome::column_invalid;
    }
    chart_data curves = phase_chart();
    if (!run_trapped(ui, report_form::number_form, phase_correction_routine, [&] {
            copy_corrected(settings, *column, ui, chart != nullptr ? &curves : nullptr);
        }))
        return phase_correction_outcome::error_report;
    if (chart != nullptr) {
        curves.run_description = run_description({{"Input", settings.input.string()},
                                                  {"Phase column", settings.phase_column},
                                                  {"Output", settings.output.string()}});
        *chart = std::move(curves);
    }
    ui.message(message_icon::information, phase_correction_done_title, phase_correction_done_text);
    return phase_correction_outcome::completed;
}

} // namespace qm
