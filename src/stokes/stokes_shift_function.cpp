#include "stokes/stokes_shift_function.h"

#include "platform/number_form.h"
#include "platform/output_file.h"
#include "stokes/problem_trap.h"
#include "stokes/spectroscopy_constants.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qm {
namespace {

// A mistyped time step must not ask for more memory than the machine has.
constexpr double most_times = 1e7;

struct spectral_rows {
    std::vector<double> wavenumbers, densities;
};

spectral_rows nonzero_rows(const spectral_density_table& table) {
    spectral_rows rows;
    const auto complete =
        std::min(table.rows.size(), static_cast<std::size_t>(std::max(table.row_count, 0)));
    for (std::size_t r = 0; r < complete; ++r)
        if (table.rows[r][0] != 0) {
            rows.wavenumbers.push_back(table.rows[r][0]);
            rows.densities.push_back(table.rows[r][1]);
        }
    return rows;
}

// Trapezoid weights over the rows' own spacing: half the distance to each neighbour.
std::vector<double> trapezoid_weights(const std::vector<double>& x) {
    std::vector<double> w(x.size(), 0.0);
    for (std::size_t j = 0; j + 1 < x.size(); ++j) {
        const double half = (x[j + 1] - x[j]) / 2;
        w[j] += half;
        w[j + 1] += half;
    }
    return w;
}

} // namespace

stokes_shift_function compute_stokes_shift_function(const spectral_density_table& table,
                                                    const stokes_shift_function_settings& settings) {
    if (!(settings.t_step > 0 && settings.t_max >= 0))
        throw stokes_shift_function_problem{"The time step must be above 0 and the end time 0 "
                                            "or above"};
    if (settings.t_max / settings.t_step >= most_times)
        throw stokes_shift_function_problem{"The time grid would have more than 10^7 points"};
    const spectral_rows rows = nonzero_rows(table);
    if (rows.wavenumbers.size() < 2)
        throw stokes_shift_function_problem{
            "The spectral density needs at least two rows with a wavenumber other than 0"};
    const std::vector<double> w = trapezoid_weights(rows.wavenumbers);

    stokes_shift_function s;
    std::vector<double> amplitude(rows.wavenumbers.size()), omega(rows.wavenumbers.size());
    double norm = 0;
    for (std::size_t j = 0; j < rows.wavenumbers.size(); ++j) {
        omega[j] = angular_frequency(rows.wavenumbers[j]); // rad/fs
        amplitude[j] = w[j] * (rows.densities[j] / omega[j]);
        norm += amplitude[j];
        s.reorganisation_energy += w[j] * rows.densities[j] / rows.wavenumbers[j];
    }
    s.reorganisation_energy /= std::numbers::pi;
    if (!(norm != 0) || !std::isfinite(norm))
        throw stokes_shift_function_problem{
            "The spectral density has no weight: the sum of W J / omega is 0"};

    const auto times = static_cast<std::size_t>(
        std::floor(settings.t_max / settings.t_step)) + 1;
    s.times.resize(times);
    s.values.resize(times);
    for (std::size_t i = 0; i < times; ++i) {
        const double t = static_cast<double>(i) * settings.t_step;
        double sum = 0;
        for (std::size_t j = 0; j < omega.size(); ++j)
            sum += amplitude[j] * std::cos(omega[j] * t);
        s.times[i] = t;
        s.values[i] = sum / norm;
    }
    return s;
}

std::string stokes_shift_function_csv(const stokes_shift_function& s) {
    std::string text = "time_fs,s\n";
    for (std::size_t i = 0; i < s.times.size(); ++i)
        text += round_trip_form(s.times[i]) + ',' + round_trip_form(s.values[i]) + '\n';
    return text;
}

std::string stokes_shift_function_status(const std::filesystem::path& output, double lambda) {
    return "Stokes shift function written to " + output.string() +
           " - Reorganisation energy lambda = " + text_form(lambda) +
           " (unit of the spectral density)";
}

bool run_stokes_shift_function(const spectral_density_table& table,
                               const stokes_shift_function_settings& settings,
                               const std::filesystem::path& output, JobUi& ui, chart_data* chart) {
    busy_pointer hourglass(ui);
    stokes_shift_function s;
    const bool done = run_trapping_problems<stokes_shift_function_problem>(
        ui, report_form::number_form, stokes_shift_function_routine, stokes_shift_function_title,
        [&] {
            s = compute_stokes_shift_function(table, settings);
            write_whole_file(output, stokes_shift_function_csv(s));
        });
    if (!done)
        return false;
    ui.status(stokes_shift_function_status(output, s.reorganisation_energy));
    if (chart != nullptr) {
        *chart = {"Stokes Shift Function", "Time (fs)", "S(t)", {{"S(t)", {}}}};
        for (std::size_t i = 0; i < s.times.size(); ++i)
            chart->lines[0].points.push_back({s.times[i], s.values[i]});
        chart->run_description = run_description({{"Input", table.source.string()},
                                                  {"t max (fs)", text_form(settings.t_max)},
                                                  {"t step (fs)", text_form(settings.t_step)},
                                                  {"Output", output.string()}});
    }
    return true;
}

} // namespace qm
