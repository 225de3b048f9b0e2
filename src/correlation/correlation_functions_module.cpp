#include "correlation/correlation_functions_module.h"

#include "correlation/correlation_sum.h"
#include "correlation/fft_correlation.h"
#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <algorithm>
#include <cmath>

namespace qm {
namespace {

// Every line is one value; an empty line is 0. A file whose last line has no line feed is
// "Input past end of file".
std::vector<double> read_series(const std::filesystem::path& path) {
    line_reader in(path, last_line::must_end_with_lf);
    std::vector<double> values;
    std::string line;
    // Val skips leading blanks and stops at the carriage return of a CR LF line.
    while (in.next(line))
        values.push_back(val(line));
    return values;
}

// Val never yields inf or NaN, so only arithmetic can: every result is checked, as the
// summation relies on finite series.
void subtract_mean(std::vector<double>& x) {
    double sum = 0;
    for (const double v : x)
        sum += v;
    // Divided by n - 1, not n, as every earlier version of the program did.
    const double mean = sum / static_cast<double>(static_cast<std::int64_t>(x.size()) - 1);
    finite_or_overflow(mean);
    for (double& v : x) {
        v -= mean;
        finite_or_overflow(v);
    }
}

void divide_all(std::vector<double>& c, double divisor) {
    if (divisor == 0)
        throw run_error::from_number(err::division_by_zero);
    for (double& v : c)
        v /= divisor;
}

void write_function(const std::filesystem::path& path, const std::vector<double>& c) {
    std::string text;
    text.reserve(c.size() * 24);
    for (const double v : c) {
        text += print_form(v);
        text += "\r\n";
    }
    write_whole_file(path, text);
}

} // namespace

std::string different_lengths_text(std::int64_t l1, std::int64_t l2) {
    return "Error - Input files are different lengths - File 1 = " + count_text(l1) +
           " File 2 = " + count_text(l2) + std::string(message_break) + "Returning to main menu";
}

std::string single_value_text() {
    return "Error - Input files hold a single value - the mean and the mean square deviation "
           "need at least two values" +
           std::string(message_break) + "Returning to main menu";
}

bool correlation_functions_load_input_files(correlation_state& state,
                                            const correlation_settings& settings, JobUi& ui) {
    busy_pointer hourglass(ui);
    const bool read = run_trapped(ui, report_form::short_form, load_routine, [&] {
        state.x1 = read_series(settings.input1);
        state.x2 = read_series(settings.input2);
    });
    if (!read)
        return false;
    state.l1 = static_cast<std::int64_t>(state.x1.size()) - 1;
    state.l2 = static_cast<std::int64_t>(state.x2.size()) - 1;
    if (state.l1 != state.l2) {
        ui.message(message_icon::exclamation, error_report_title,
                   different_lengths_text(state.l1, state.l2));
        return false;
    }
    return true;
}

bool correlation_functions_adjust_by_mean(correlation_state& state, JobUi& ui) {
    if (state.x1.size() == 1 || state.x2.size() == 1) {
        ui.message(message_icon::exclamation, error_report_title, single_value_text());
        return false;
    }
    return run_trapped(ui, report_form::short_form, mean_routine, [&] {
        subtract_mean(state.x1);
        subtract_mean(state.x2);
    });
}

bool correlation_functions_calculate_msd(correlation_state& state, JobUi& ui) {
    if (state.x1.size() == 1) {
        ui.message(message_icon::exclamation, error_report_title, single_value_text());
        return false;
    }
    return run_trapped(ui, report_form::short_form, msd_routine, [&] {
        double squares = 0;
        double sum = 0;
        for (const double v : state.x1) {
            squares += v * v;
            sum += v;
        }
        // L1 * L1 as a 64-bit product: exact for every series that fits in memory.
        const auto l1 = static_cast<double>(state.l1);
        const auto l1_squared = static_cast<double>(state.l1 * state.l1);
        state.d = squares / l1 - (sum * sum) / l1_squared;
        finite_or_overflow(state.d);
    });
}

bool correlation_functions_calculate_correlation_function(correlation_state& state,
                                                          const correlation_settings& settings,
                                                          JobUi& ui) {
    busy_pointer hourglass(ui);
    return run_trapped(ui, report_form::short_form, correlation_routine, [&] {
        // The output replaces an existing file: never one of the inputs.
        ensure_distinct_files(settings.input1, settings.output);
        ensure_distinct_files(settings.input2, settings.output);
        const std::int64_t last_tau = std::max<std::int64_t>(state.l1, 0);
        ui.progress_range(0, last_tau);
        ui.progress_value(0);
        if (settings.method == correlation_method::fft) {
            // One series read twice (an autocorrelation) needs one transform.
            const std::vector<double>& x2 = state.x1 == state.x2 ? state.x1 : state.x2;
            state.c = fft_correlation(state.x1, x2, static_cast<std::size_t>(last_tau));
            ui.progress_value(last_tau);
        } else {
            state.c = direct_correlation(state.x1, state.x2, [&](std::int64_t finished) {
                ui.progress_value(std::min(finished, last_tau));
            });
        }
        if (settings.adjust_by_msd && !state.c.empty())
            divide_all(state.c, state.d);
        if (settings.norm_to_one) {
            if (state.c.empty()) // no C(0) to scale by
                throw run_error::from_number(err::subscript);
            divide_all(state.c, state.c[0]);
        }
        for (const double v : state.c)
            finite_or_overflow(v);
        write_function(settings.output, state.c);
    });
}

namespace {

chart_data correlation_chart(const std::vector<double>& c, const correlation_settings& settings) {
    chart_data chart;
    chart.title = "Correlation Function";
    chart.x_title = "τ (data points)";
    chart.y_title = settings.norm_to_one     ? "C(τ) / C(0)"
                    : settings.adjust_by_msd ? "C(τ) / D"
                                             : "C(τ) (units of x1 × x2)";
    chart_line line{"C(τ)", {}};
    line.points.reserve(c.size());
    for (std::size_t tau = 0; tau < c.size(); ++tau)
        line.points.push_back({static_cast<double>(tau), c[tau]});
    chart.lines.push_back(std::move(line));
    chart.run_description = run_description(
        {{"Input 1", settings.input1.string()},
         {"Input 2", settings.input2.string()},
         {"Mean subtracted", settings.adjust_by_mean ? "yes" : "no"},
         {"Divided by D", settings.adjust_by_msd ? "yes" : "no"},
         {"Normalised to C(0)", settings.norm_to_one ? "yes" : "no"},
         {"Method", settings.method == correlation_method::fft ? "FFT" : "exact order"},
         {"Output", settings.output.string()}});
    return chart;
}

} // namespace

correlation_outcome run_correlation(const correlation_settings& settings, JobUi& ui,
                                    chart_data* chart) {
    correlation_state state;
    if (!correlation_functions_load_input_files(state, settings, ui))
        return correlation_outcome::stopped;
    if (settings.adjust_by_mean && !correlation_functions_adjust_by_mean(state, ui))
        return correlation_outcome::stopped;
    if (settings.adjust_by_msd && !correlation_functions_calculate_msd(state, ui))
        return correlation_outcome::stopped;
    if (!correlation_functions_calculate_correlation_function(state, settings, ui))
        return correlation_outcome::stopped;
    if (chart != nullptr)
        *chart = correlation_chart(state.c, settings);
    ui.message(message_icon::information, correlation_done_title, correlation_done_text);
    return correlation_outcome::completed;
}

} // namespace qm
