#include "stokes/gap_fluctuations.h"

#include "correlation/fft_correlation.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"
#include "platform/worker_threads.h"
#include "stokes/problem_trap.h"
#include "stokes/spectroscopy_constants.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qm {
namespace {

// Relative tolerance of the time step: the printed times carry 15 significant digits.
constexpr double step_tolerance = 1e-6;
// Bounds that keep a mistyped option from asking for more memory than the machine has.
constexpr double most_grid_points = 1e7;
// Below this many cosine terms a second thread costs more than it saves.
constexpr double terms_per_thread = 2e6;

std::string line_text(const std::filesystem::path& path, std::uint64_t line) {
    return path.string() + ": line " + count_text(static_cast<long long>(line)) + ": ";
}

double series_number(std::string_view field, const std::filesystem::path& path,
                     std::uint64_t line) {
    if (!is_number(field))
        throw gap_series_problem{line_text(path, line) + "\"" + std::string(field) +
                                 "\" is not a number"};
    return strict_double(field);
}

// The cosine transform of the damped correlation at one angular frequency (rad/fs), trapezoid
// rule over k = 0..M. cos(w k dt) comes from rotating a unit phasor by w dt at every step,
// taken afresh from cos and sin every 64 steps, so its rounding stays within about 1e-12 of
// the transform's largest value.
double cosine_transform(const std::vector<double>& damped, double omega, double step) {
    const std::size_t last = damped.size() - 1;
    const double turn_cos = std::cos(omega * step), turn_sin = std::sin(omega * step);
    double sum = damped[0] / 2;
    for (std::size_t block = 1; block < last; block += 64) {
        const double angle = omega * (static_cast<double>(block) * step);
        double re = std::cos(angle), im = std::sin(angle);
        const std::size_t end = std::min(last, block + 64);
        for (std::size_t k = block; k < end; ++k) {
            sum += damped[k] * re;
            const double turned = re * turn_cos - im * turn_sin;
            im = re * turn_sin + im * turn_cos;
            re = turned;
        }
    }
    sum += damped[last] * std::cos(omega * (static_cast<double>(last) * step)) / 2;
    return step * sum;
}

std::string problem_if(bool bad, std::string_view text) {
    return bad ? std::string(text) : std::string();
}

void check_settings(const gap_fluctuation_settings& s) {
    std::string problem = problem_if(!(s.temperature > 0), "The temperature must be above 0 K");
    if (problem.empty() && s.max_lag && !(*s.max_lag > 0))
        problem = "The maximum lag must be above 0 fs";
    if (problem.empty() && !(s.damping >= 0))
        problem = "The damping time must be 0 (none) or above";
    if (problem.empty() && !(s.wavenumber_step > 0 && s.wavenumber_max >= 0))
        problem = "The wavenumber grid needs a step above 0 and a maximum of 0 or above";
    if (problem.empty() && s.wavenumber_max / s.wavenumber_step >= most_grid_points)
        problem = "The wavenumber grid would have more than 10^7 points";
    if (!problem.empty())
        throw gap_series_problem{problem};
}

} // namespace

energy_gap_series read_energy_gap_series(const std::filesystem::path& path) {
    data_line_reader in(path);
    energy_gap_series series;
    std::vector<double> times;
    std::string line;
    std::uint64_t number = 0;
    while (in.next(line)) {
        ++number;
        const auto fields = split_fields(line, " \t");
        if (fields.empty())
            continue;
        if (fields.size() < 2)
            throw gap_series_problem{line_text(path, number) +
                                     "two columns expected: time (fs) and energy (eV)"};
        const double time = series_number(fields[0], path, number);
        series.energies.push_back(series_number(fields[1], path, number));
        times.push_back(time);
        const std::size_t n = times.size();
        if (n == 2 && !(times[1] > times[0]))
            throw gap_series_problem{line_text(path, number) + "the times must rise"};
        if (n > 2 && std::abs((times[n - 1] - times[n - 2]) - (times[1] - times[0])) >
                         step_tolerance * (times[1] - times[0]))
            throw gap_series_problem{line_text(path, number) +
                                     "the time step is not uniform (first step " +
                                     text_form(times[1] - times[0]) + " fs, here " +
                                     text_form(times[n - 1] - times[n - 2]) + " fs)"};
    }
    if (times.size() < 3)
        throw gap_series_problem{path.string() + ": a series needs at least three points"};
    // The mean step over the whole series: the times are printed with rounding.
    series.step = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
    return series;
}

gap_fluctuation_results analyse_energy_gap(const energy_gap_series& series,
                                           const gap_fluctuation_settings& settings) {
    check_settings(settings);
    gap_fluctuation_results r;
    const auto n = static_cast<std::int64_t>(series.energies.size());
    const auto count = static_cast<double>(n);
    r.points = n;
    r.step = series.step;

    double sum = 0;
    for (const double u : series.energies)
        sum += u;
    r.mean = sum / count;
    std::vector<double> deviation(series.energies.size());
    double squares = 0, cubes = 0;
    for (std::size_t i = 0; i < deviation.size(); ++i) {
        const double d = series.energies[i] - r.mean;
        deviation[i] = d;
        squares += d * d;
        cubes += d * d * d;
    }
    const double variance = squares / count; // eV^2
    if (!(variance > 0))
        throw gap_series_problem{"The energy gap does not fluctuate: its variance is 0"};
    r.sigma = std::sqrt(variance);
    r.skewness = (cubes / count) / (r.sigma * r.sigma * r.sigma);
    const double kt = boltzmann_ev_per_k * settings.temperature; // eV
    r.reorganisation_energy = variance / (2 * kt);

    // M = floor(max_lag / dt), at most N - 1; the default lag is half the series' duration.
    const double max_lag = settings.max_lag ? *settings.max_lag : (count - 1) * r.step / 2;
    const double lags = std::floor(max_lag / r.step);
    r.max_lag = static_cast<std::int64_t>(std::min(lags, count - 1));
    if (r.max_lag < 1)
        throw gap_series_problem{"The maximum lag is shorter than one time step (" +
                                 text_form(r.step) + " fs)"};
    r.correlation = fft_correlation(deviation, deviation, static_cast<std::size_t>(r.max_lag));
    for (double& c : r.correlation)
        c /= count;

    std::vector<double> damped = r.correlation;
    if (settings.damping > 0)
        for (std::size_t k = 0; k < damped.size(); ++k)
            damped[k] *= std::exp(-(static_cast<double>(k) * r.step) / settings.damping);

    const auto grid = static_cast<std::size_t>(
        std::floor(settings.wavenumber_max / settings.wavenumber_step)) + 1;
    r.wavenumbers.resize(grid);
    r.spectral_density.resize(grid);
    r.cumulative_lambda.resize(grid);
    std::vector<double> transform(grid); // I, eV^2 fs
    const double work = static_cast<double>(grid) * static_cast<double>(damped.size());
    for_each_share(grid, work < terms_per_thread, [&](std::size_t first, std::size_t last) {
        for (std::size_t j = first; j < last; ++j)
            transform[j] = cosine_transform(
                damped, angular_frequency(static_cast<double>(j) * settings.wavenumber_step),
                r.step);
    });
    double integral = 0, previous_omega = 0; // of I dw, eV^2
    for (std::size_t j = 0; j < grid; ++j) {
        const double nu = static_cast<double>(j) * settings.wavenumber_step;
        const double omega = angular_frequency(nu); // rad/fs
        if (j > 0)
            integral += (omega - previous_omega) * (transform[j - 1] + transform[j]) / 2;
        previous_omega = omega;
        r.wavenumbers[j] = nu;
        r.spectral_density[j] = omega * transform[j] / kt * wavenumbers_per_ev;
        r.cumulative_lambda[j] = integral / (std::numbers::pi * kt) * wavenumbers_per_ev;
    }
    return r;
}

std::string correlation_csv(const gap_fluctuation_results& r) {
    std::string text = "time_fs,c_ev2,c_over_c0\n";
    text.reserve(r.correlation.size() * 64);
    for (std::size_t k = 0; k < r.correlation.size(); ++k) {
        text += round_trip_form(static_cast<double>(k) * r.step);
        text += ',';
        text += round_trip_form(r.correlation[k]);
        text += ',';
        text += round_trip_form(r.correlation[k] / r.correlation[0]);
        text += '\n';
    }
    return text;
}

// Three numbers a line, one blank apart, as the time-dependent Stokes shift window reads them:
// no header (it would be a row of zeros there), and every number in scientific form, never a
// single character.
std::string spectral_density_text(const gap_fluctuation_results& r) {
    std::string text;
    text.reserve(r.wavenumbers.size() * 72);
    for (std::size_t j = 0; j < r.wavenumbers.size(); ++j) {
        text += round_trip_scientific(r.wavenumbers[j]);
        text += ' ';
        text += round_trip_scientific(r.spectral_density[j]);
        text += ' ';
        text += round_trip_scientific(r.cumulative_lambda[j]);
        text += '\n';
    }
    return text;
}

std::string gap_fluctuation_summary(const gap_fluctuation_results& r) {
    const std::string br(message_break);
    const double lambda_cm = r.reorganisation_energy * wavenumbers_per_ev;
    std::string text = "Mean = " + text_form(r.mean) + " eV" + br +
                       "Sigma = " + text_form(r.sigma) + " eV" + br +
                       "Skewness = " + text_form(r.skewness) + br +
                       "Reorganisation energy = sigma^2/2kT = " +
                       text_form(r.reorganisation_energy) + " eV = " + text_form(lambda_cm) +
                       " cm-1" + br + "Stokes shift estimate 2 lambda = " +
                       text_form(2 * r.reorganisation_energy) + " eV = " +
                       text_form(2 * lambda_cm) + " cm-1" + br + "dt = " + text_form(r.step) +
                       " fs, N = " + count_text(r.points) + ", M = " + count_text(r.max_lag);
    if (std::abs(r.skewness) > skewness_warning)
        text += br + "Warning: |skewness| > 0.3: the Gaussian statistics behind lambda = "
                     "sigma^2/2kT and the second-order cumulant are poor for this series";
    return text;
}

namespace {

std::vector<chart_data> fluctuation_charts(const gap_fluctuation_results& r) {
    chart_data correlation{"Energy Gap Correlation Function", "Time (fs)", "C(t) / C(0)", {}};
    chart_line c{"C(t) / C(0)", {}};
    for (std::size_t k = 0; k < r.correlation.size(); ++k)
        c.points.push_back({static_cast<double>(k) * r.step, r.correlation[k] / r.correlation[0]});
    correlation.lines.push_back(std::move(c));
    chart_data density{"Spectral Density", "Wavenumber (cm-1)", "J (cm-1)", {}};
    chart_line j{"J", {}};
    for (std::size_t i = 0; i < r.wavenumbers.size(); ++i)
        j.points.push_back({r.wavenumbers[i], r.spectral_density[i]});
    density.lines.push_back(std::move(j));
    return {std::move(correlation), std::move(density)};
}

} // namespace

gap_fluctuation_outcome run_gap_fluctuations(const gap_fluctuation_settings& settings, JobUi& ui,
                                             gap_fluctuation_display* display) {
    busy_pointer hourglass(ui);
    gap_fluctuation_results r;
    const bool done = run_trapping_problems<gap_series_problem>(
        ui, report_form::short_form, gap_fluctuations_routine, gap_fluctuations_title, [&] {
            ui.status("Reading " + settings.input.string());
            check_settings(settings);
            for (const auto* output : {&settings.correlation, &settings.spectral_density})
                if (!output->empty())
                    ensure_distinct_files(settings.input, *output);
            const energy_gap_series series = read_energy_gap_series(settings.input);
            ui.status("Analysing " +
                      count_text(static_cast<long long>(series.energies.size())) + " points");
            r = analyse_energy_gap(series, settings);
            if (!settings.correlation.empty())
                write_whole_file(settings.correlation, correlation_csv(r));
            if (!settings.spectral_density.empty())
                write_whole_file(settings.spectral_density, spectral_density_text(r));
        });
    if (!done)
        return gap_fluctuation_outcome::stopped;
    ui.status("Analysed " + count_text(r.points) + " points");
    const std::string summary = gap_fluctuation_summary(r);
    if (display != nullptr) {
        display->charts = fluctuation_charts(r);
        const std::string described = run_description(
            {{"Input", settings.input.string()},
             {"Temperature (K)", text_form(settings.temperature)},
             {"Max lag (fs)", settings.max_lag ? text_form(*settings.max_lag) : "half the series"},
             {"Damping (fs)", settings.damping > 0 ? text_form(settings.damping) : "none"},
             {"Wavenumbers (cm-1)", "0 to " + text_form(settings.wavenumber_max) + " by " +
                                        text_form(settings.wavenumber_step)}});
        for (chart_data& chart : display->charts)
            chart.run_description = described;
        display->summary = summary;
        for (std::size_t at; (at = display->summary.find(message_break)) != std::string::npos;)
            display->summary.replace(at, message_break.size(), "\n");
    }
    ui.message(message_icon::information, gap_fluctuations_title, summary);
    return gap_fluctuation_outcome::completed;
}

} // namespace qm
