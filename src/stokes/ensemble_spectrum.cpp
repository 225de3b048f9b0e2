#include "stokes/ensemble_spectrum.h"

#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/text.h"
#include "platform/val.h"
#include "platform/worker_threads.h"
#include "stokes/problem_trap.h"
#include "stokes/spectroscopy_constants.h"
#include "stokes/stokes_shift_summary.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace qm {
namespace {

// A mistyped step must not ask for more memory than the machine has.
constexpr double most_grid_points = 1e7;
// exp(-746) rounds to +0: a Gaussian term beyond it adds exactly nothing and is skipped.
constexpr double gaussian_exponent_limit = 746;
// Below this many line-shape terms a second thread costs more than it saves.
constexpr double terms_per_thread = 2e6;

std::string where(const std::filesystem::path& path, std::uint64_t line) {
    return path.string() + ": line " + count_text(static_cast<long long>(line)) + ": ";
}

// The cells of one CSV line: commas separate, a cell in double quotes may hold commas and
// doubled quotes.
std::vector<std::string> csv_cells(std::string_view line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                cells.back() += line[++i];
            else if (c == '"')
                quoted = false;
            else
                cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

double number_in(std::string_view text, std::string_view what, const std::filesystem::path& path,
                 std::uint64_t line) {
    if (!is_number(text))
        throw spectrum_problem{where(path, line) + std::string(what) + " \"" + std::string(text) +
                               "\" is not a number"};
    return strict_double(text);
}

std::ptrdiff_t column_of(const std::vector<std::string>& header, std::string_view name) {
    const auto at = std::find(header.begin(), header.end(), name);
    return at == header.end() ? -1 : at - header.begin();
}

bool is_states_table(std::string_view first_line) {
    const auto header = csv_cells(first_line);
    return column_of(header, "energy_ev") >= 0 && column_of(header, "osc_strength") >= 0;
}

void read_states_table(data_line_reader& in, const std::vector<std::string>& header,
                       const spectrum_settings& settings, spectrum_states& result) {
    const auto& path = settings.input;
    const std::ptrdiff_t energy = column_of(header, "energy_ev");
    const std::ptrdiff_t strength = column_of(header, "osc_strength");
    const std::ptrdiff_t chosen = column_of(header, "chosen_as_root");
    std::ptrdiff_t file = column_of(header, "file");
    if (file < 0)
        file = column_of(header, "file_number");
    if (file < 0 || (settings.states == state_choice::chosen && chosen < 0))
        throw spectrum_problem{where(path, 1) + "the states table names no column " +
                               (file < 0 ? "file" : "chosen_as_root")};
    std::set<std::string> files;
    std::string line;
    for (std::uint64_t number = 2; in.next(line); ++number) {
        if (trim_blanks(line).empty())
            continue;
        const auto cells = csv_cells(line);
        if (cells.size() != header.size())
            throw spectrum_problem{where(path, number) + count_text(std::ssize(cells)) +
                                   " cells where the header names " +
                                   count_text(std::ssize(header))};
        files.insert(cells[static_cast<std::size_t>(file)]);
        if (settings.states == state_choice::chosen &&
            trim_blanks(cells[static_cast<std::size_t>(chosen)]).empty())
            continue;
        result.states.push_back(
            {number_in(cells[static_cast<std::size_t>(energy)], "energy_ev", path, number),
             number_in(cells[static_cast<std::size_t>(strength)], "osc_strength", path, number)});
    }
    result.snapshots = static_cast<std::int64_t>(files.size());
}

void read_two_columns(data_line_reader& in, std::string line, const spectrum_settings& settings,
                      spectrum_states& result) {
    if (settings.states == state_choice::chosen)
        throw spectrum_problem{settings.input.string() +
                               ": only a states table tells which states were chosen as roots"};
    std::uint64_t number = 1;
    do {
        const auto fields = split_fields(line, " \t,");
        if (fields.empty())
            continue;
        if (fields.size() < 2)
            throw spectrum_problem{where(settings.input, number) +
                                   "two columns expected: energy (eV) and oscillator strength"};
        result.states.push_back({number_in(fields[0], "energy", settings.input, number),
                                 number_in(fields[1], "oscillator strength", settings.input,
                                           number)});
        ++number;
    } while (in.next(line));
    result.snapshots = settings.snapshots;
}

double line_shape_value(line_shape shape, double width, double x) {
    if (shape == line_shape::lorentzian)
        return (width / std::numbers::pi) / (x * x + width * width);
    const double exponent = x * x / (2 * width * width);
    return std::exp(-exponent) / (width * std::sqrt(2 * std::numbers::pi));
}

// S at grid points [first, last) by the formula as it stands: each point sums its states in
// the table's order, so the result is the same whatever the number of threads.
void broaden_directly(const spectrum_states& states, const spectrum_settings& settings,
                      double width, ensemble_spectrum& s, std::size_t first, std::size_t last) {
    const bool gaussian = settings.shape == line_shape::gaussian;
    for (std::size_t j = first; j < last; ++j) {
        double sum = 0;
        for (const excited_state_line& state : states.states) {
            const double x = s.energies[j] - state.energy;
            if (gaussian && x * x / (2 * width * width) > gaussian_exponent_limit)
                continue;
            sum += state.oscillator * line_shape_value(settings.shape, width, x);
        }
        s.density[j] = sum / static_cast<double>(states.snapshots);
    }
}

// The same sums for Gaussian lines on a grid no coarser than their width s, without an exp per
// term: along the grid a line's values follow g(x + h) = g(x) r(x) and r(x + h) = r(x) q, with
// r(x) = exp(-(2xh + h^2) / 2s^2) and q = exp(-h^2 / s^2). Both restart from exp every 64
// points, which keeps the rounding within about 1e-13 of the direct values. A line is visited
// only within its reach, beyond which its exponent passes the limit and it adds exactly 0.
// Each point still takes its states in the table's order.
void broaden_gaussians(const spectrum_states& states, double step, double width,
                       ensemble_spectrum& s, std::size_t first, std::size_t last) {
    constexpr std::size_t restart = 64;
    const double two_s2 = 2 * width * width;
    const double norm = 1 / (width * std::sqrt(2 * std::numbers::pi));
    const double reach = std::sqrt(gaussian_exponent_limit * two_s2);
    const double q = std::exp(-step * step / (width * width));
    const double from = s.energies.front();
    std::vector<double> sums(last - first, 0.0);
    for (const excited_state_line& state : states.states) {
        const double low = std::ceil((state.energy - reach - from) / step);
        const double high = std::floor((state.energy + reach - from) / step) + 1;
        const auto begin = static_cast<std::size_t>(
            std::clamp(low, static_cast<double>(first), static_cast<double>(last)));
        const auto end = static_cast<std::size_t>(
            std::clamp(high, static_cast<double>(first), static_cast<double>(last)));
        const double weight = state.oscillator * norm;
        for (std::size_t block = begin; block < end; block += restart) {
            const double x = s.energies[block] - state.energy;
            double g = std::exp(-(x * x) / two_s2);
            double r = std::exp(-(2 * x * step + step * step) / two_s2);
            const std::size_t stop = std::min(end, block + restart);
            for (std::size_t j = block; j < stop; ++j) {
                sums[j - first] += weight * g;
                g *= r;
                r *= q;
            }
        }
    }
    for (std::size_t j = first; j < last; ++j)
        s.density[j] = sums[j - first] / static_cast<double>(states.snapshots);
}

} // namespace

spectrum_states read_spectrum_states(const spectrum_settings& settings) {
    data_line_reader in(settings.input);
    spectrum_states result;
    std::string line;
    // The first line that holds anything tells a states table from two columns.
    while (in.next(line) && trim_blanks(line).empty()) {
    }
    if (!trim_blanks(line).empty()) {
        if (is_states_table(line))
            read_states_table(in, csv_cells(line), settings, result);
        else
            read_two_columns(in, line, settings, result);
    }
    if (result.states.empty())
        throw spectrum_problem{settings.input.string() + ": no excited states to broaden"};
    if (result.snapshots < 1)
        throw spectrum_problem{"The number of snapshots must be 1 or more"};
    return result;
}

ensemble_spectrum broaden_states(const spectrum_states& states, const spectrum_settings& settings) {
    if (!(settings.fwhm > 0) || !(settings.step > 0))
        throw spectrum_problem{"The line width (FWHM) and the grid step must be above 0 eV"};
    auto [low, high] = std::minmax_element(
        states.states.begin(), states.states.end(),
        [](const excited_state_line& a, const excited_state_line& b) { return a.energy < b.energy; });
    const double from = settings.from ? *settings.from : low->energy - 3 * settings.fwhm;
    const double to = settings.to ? *settings.to : high->energy + 3 * settings.fwhm;
    const double end = to + settings.step / 2;
    if (!(from <= end) || (end - from) / settings.step >= most_grid_points)
        throw spectrum_problem{"The energy grid must run upwards and have at most 10^7 points"};
    // Points from + j step while <= to + step/2, counted as that rule reads.
    auto points = static_cast<std::size_t>(std::floor((end - from) / settings.step)) + 1;
    while (from + static_cast<double>(points) * settings.step <= end)
        ++points;
    while (points > 1 && from + static_cast<double>(points - 1) * settings.step > end)
        --points;

    ensemble_spectrum s;
    s.energies.resize(points);
    s.density.resize(points);
    for (std::size_t j = 0; j < points; ++j)
        s.energies[j] = from + static_cast<double>(j) * settings.step;

    const double terms = static_cast<double>(points) * static_cast<double>(states.states.size());
    const bool gaussian = settings.shape == line_shape::gaussian;
    const double width = gaussian ? settings.fwhm / (2 * std::sqrt(2 * std::numbers::ln2))
                                  : settings.fwhm / 2; // s or gamma, eV
    for_each_share(points, terms < terms_per_thread, [&](std::size_t first, std::size_t last) {
        if (gaussian && settings.step <= width)
            broaden_gaussians(states, settings.step, width, s, first, last);
        else
            broaden_directly(states, settings, width, s, first, last);
    });
    s.peak = *std::max_element(s.density.begin(), s.density.end());
    if (!(s.peak > 0))
        throw spectrum_problem{"The spectrum is 0 everywhere on the grid: no oscillator strength "
                               "falls within it"};
    return s;
}

std::string spectrum_csv(const ensemble_spectrum& s) {
    std::string text = std::string(spectrum_csv_header) + "\n";
    text.reserve(s.energies.size() * 120);
    const double epsilon_per_density = oscillator_strength_per_epsilon_area * wavenumbers_per_ev;
    for (std::size_t j = 0; j < s.energies.size(); ++j) {
        const double e = s.energies[j];
        text += round_trip_form(e) + ',';
        // No wavelength belongs to an energy of 0 or below: the cell stays empty.
        if (e > 0)
            text += round_trip_form(hc_ev_nm / e);
        text += ',' + round_trip_form(e * wavenumbers_per_ev) + ',' +
                round_trip_form(s.density[j]) + ',' +
                round_trip_form(s.density[j] / epsilon_per_density) + ',' +
                round_trip_form(s.density[j] / s.peak) + '\n';
    }
    return text;
}

std::string stokes_spectrum_text(const ensemble_spectrum& s) {
    std::string text;
    text.reserve(s.energies.size() * 48);
    for (std::size_t j = 0; j < s.energies.size(); ++j)
        text += round_trip_form(ev_to_thz(s.energies[j])) + ' ' +
                round_trip_form(s.density[j] / s.peak) + '\n';
    return text;
}

namespace {

// Charts draw at most this many sticks, the strongest: more would only hide the curve.
constexpr std::size_t most_sticks = 2000;

chart_data spectrum_chart(const spectrum_states& states, const ensemble_spectrum& s) {
    chart_data chart{"Ensemble Spectrum", "Energy (eV)", "Intensity (peak = 1)", {}};
    std::vector<excited_state_line> sticks = states.states;
    if (sticks.size() > most_sticks) {
        std::nth_element(sticks.begin(), sticks.begin() + most_sticks, sticks.end(),
                         [](const auto& a, const auto& b) { return a.oscillator > b.oscillator; });
        sticks.resize(most_sticks);
    }
    double strongest = 0;
    for (const auto& state : sticks)
        strongest = std::max(strongest, state.oscillator);
    chart_line stick_line{"States (f / max f)", {}};
    for (const auto& state : sticks) {
        const double height = strongest > 0 ? state.oscillator / strongest : 0;
        stick_line.points.insert(stick_line.points.end(), {{state.energy, 0},
                                                           {state.energy, height},
                                                           {state.energy, 0}});
    }
    std::sort(stick_line.points.begin(), stick_line.points.end(),
              [](const chart_point& a, const chart_point& b) { return a.x < b.x; });
    chart_line curve{"Spectrum", {}};
    for (std::size_t j = 0; j < s.energies.size(); ++j)
        curve.points.push_back({s.energies[j], s.density[j] / s.peak});
    chart.lines = {std::move(stick_line), std::move(curve)};
    // Wavelengths along the top, at round values over the grid's span.
    chart.top_title = "Wavelength (nm)";
    const double low = std::max(s.energies.front(), 0.1), high = s.energies.back();
    if (high > low) {
        const double nm_span = hc_ev_nm / low - hc_ev_nm / high;
        const double step = nm_span > 2000 ? 500 : nm_span > 800 ? 200 : nm_span > 400 ? 100 : 50;
        for (double nm = std::ceil(hc_ev_nm / high / step) * step; nm <= hc_ev_nm / low; nm += step)
            chart.top_labels.push_back({hc_ev_nm / nm, count_text(std::llround(nm))});
    }
    return chart;
}

} // namespace

spectrum_outcome run_spectrum(const spectrum_settings& settings, JobUi& ui, chart_data* chart) {
    busy_pointer hourglass(ui);
    spectrum_states states;
    ensemble_spectrum s;
    const bool done = run_trapping_problems<spectrum_problem>(
        ui, report_form::short_form, spectrum_routine, spectrum_title, [&] {
            for (const auto* output : {&settings.output, &settings.stokes_file})
                if (!output->empty())
                    ensure_distinct_files(settings.input, *output);
            ui.status("Reading " + settings.input.string());
            states = read_spectrum_states(settings);
            ui.status("Broadening " + count_text(std::ssize(states.states)) + " states");
            s = broaden_states(states, settings);
            if (!settings.output.empty())
                write_whole_file(settings.output, spectrum_csv(s));
            if (!settings.stokes_file.empty())
                write_whole_file(settings.stokes_file, stokes_spectrum_text(s));
        });
    if (!done)
        return spectrum_outcome::stopped;
    const auto peak = std::max_element(s.density.begin(), s.density.end()) - s.density.begin();
    const double peak_energy = s.energies[static_cast<std::size_t>(peak)];
    std::string text = count_text(std::ssize(states.states)) + " states of " +
                       count_text(states.snapshots) + " snapshots, peak at " +
                       text_form(peak_energy) + " eV";
    if (peak_energy > 0)
        text += " (" + text_form(hc_ev_nm / peak_energy) + " nm)";
    ui.status(text);
    if (chart != nullptr) {
        *chart = spectrum_chart(states, s);
        const auto energy = [](const std::optional<double>& e) {
            return e ? text_form(*e) : std::string("3 FWHM beyond the states");
        };
        chart->run_description = run_description(
            {{"Input", settings.input.string()},
             {"States", settings.states == state_choice::all ? "all" : "chosen roots"},
             {"Shape", settings.shape == line_shape::gaussian ? "Gaussian" : "Lorentzian"},
             {"FWHM (eV)", text_form(settings.fwhm)},
             {"From (eV)", energy(settings.from)},
             {"To (eV)", energy(settings.to)},
             {"Step (eV)", text_form(settings.step)},
             {"Snapshots", count_text(settings.snapshots)}});
    }
    ui.message(message_icon::information, spectrum_title, text);
    return spectrum_outcome::completed;
}

} // namespace qm
