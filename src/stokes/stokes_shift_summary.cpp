#include "stokes/stokes_shift_summary.h"

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

std::uint64_t count_lines(const std::filesystem::path& path) {
    line_reader in(path, last_line::may_end_without_lf);
    std::string line;
    while (in.next(line)) {
    }
    return in.lines_read();
}

// Both spectra, a dashed line up each peak and one across from the emission peak to the
// absorption peak at the peaks' intensity of 1. A spectrum without a peak has no mark.
chart_data spectra_chart(std::vector<chart_point> absorption, std::vector<chart_point> emission,
                         const spectrum_totals& abs, const spectrum_totals& emis,
                         double stokes_shift) {
    double top = 1;
    for (const auto* spectrum : {&absorption, &emission})
        for (const chart_point& p : *spectrum)
            top = std::max(top, p.y);
    chart_data chart;
    chart.title = "Absorption and Emission Spectra";
    chart.x_title = "Energy (eV)";
    chart.y_title = "Intensity (peak = 1)";
    chart.lines.push_back({"Absorption", std::move(absorption)});
    chart.lines.push_back({"Emission", std::move(emission)});
    // The legend rounds to what the eye reads off the chart; the message and file keep all.
    auto ev = [](double energy) { return format_pattern(energy, "0.000") + " eV"; };
    const double peaks[] = {abs.peak_energy, emis.peak_energy};
    const char* names[] = {"Absorption Peak = ", "Emission Peak = "};
    for (int i = 0; i < 2; ++i)
        if (peaks[i] != 0)
            chart.lines.push_back(
                {names[i] + ev(peaks[i]), {{peaks[i], 0}, {peaks[i], top}}, true});
    if (abs.peak_energy != 0 && emis.peak_energy != 0)
        chart.lines.push_back({"Stokes Shift = " + ev(stokes_shift),
                               {{emis.peak_energy, 1}, {abs.peak_energy, 1}},
                               true});
    return chart;
}

} // namespace

double thz_to_ev(double thz) {
    return ((std::pow(10.0, 12.0) * thz) * planck_ev_fs) * std::pow(10.0, -15.0);
}

double ev_to_thz(double energy) {
    return energy / (planck_ev_fs * 1e-3);
}

void add_spectrum_line(spectrum_totals& totals, std::string_view line,
                       std::vector<chart_point>* points) {
    // Fortran writes its numbers right-aligned: the blanks before the frequency are no field.
    const std::size_t first = line.find_first_not_of(' ');
    line.remove_prefix(first == std::string_view::npos ? line.size() : first);
    bool have_frequency = false;
    bool have_intensity = false;
    double energy = 0;
    std::size_t token_start = 0;
    // One position past the end of the line counts as a blank.
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] != ' ')
            continue;
        const std::string_view token = line.substr(token_start, i - token_start);
        const double value = val(token);
        if (!have_frequency) {
            energy = finite_or_overflow(thz_to_ev(value));
            have_frequency = true;
        } else {
            // Columns written apart by several blanks give empty tokens before the intensity.
            if (!have_intensity && token.find_first_not_of(' ') != std::string_view::npos) {
                have_intensity = true;
                if (points != nullptr)
                    points->push_back({energy, value});
            }
            if (value == 1.0)
                totals.peak_energy = energy;
            totals.weighted_sum = finite_or_overflow(totals.weighted_sum + value * energy);
            totals.weight_sum = finite_or_overflow(totals.weight_sum + value);
        }
        token_start = i; // the next token starts with this blank
    }
}

spectrum_totals read_spectrum(const std::filesystem::path& path, std::vector<chart_point>* points) {
    line_reader in(path, last_line::may_end_without_lf);
    spectrum_totals totals;
    std::string line;
    while (in.next(line))
        add_spectrum_line(totals, line, points);
    if (in.lines_read() == 0)
        throw run_error::from_number(err::subscript);
    return totals;
}

double mean_energy(const spectrum_totals& totals) {
    if (totals.weight_sum == 0)
        throw run_error::from_number(totals.weighted_sum == 0 ? err::overflow
                                                              : err::division_by_zero);
    return finite_or_overflow(totals.weighted_sum / totals.weight_sum);
}

std::string stokes_shift_message(double stokes_shift, double reorganisation_energy) {
    std::string text = "Processing Complete ";
    text += message_break;
    text += "Stokes Shift = " + text_form(stokes_shift) + " eV";
    text += message_break;
    text += "Reorganisation Energy = " + text_form(reorganisation_energy) + " eV";
    return text;
}

std::filesystem::path summary_destination(const std::filesystem::path& summary) {
    const std::string name = summary.string();
    const bool drive = name.size() >= 2 && name[1] == ':' &&
                       ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    if (!drive && name.find('\\') == std::string::npos)
        return summary;
    const std::string last = name.substr(name.find_last_of(drive ? "\\/:" : "\\/") + 1);
    return last.empty() ? std::filesystem::path("QMMM_Summary.dat") : std::filesystem::path(last);
}

std::string summary_line(std::string_view data_path, double stokes_shift,
                         double reorganisation_energy) {
    std::string line(data_path);
    line += '\t' + print_form(stokes_shift) + '\t' + print_form(reorganisation_energy) + "\r\n";
    return line;
}

stokes_shift_result stokes_shift_summary(const stokes_shift_settings& settings, JobUi& ui,
                                         chart_data* chart) {
    busy_pointer hourglass(ui);
    // The names are joined to the folder as they stand: no separator is added.
    const std::filesystem::path absorption = settings.data_path + std::string(absorption_file_name);
    const std::filesystem::path emission = settings.data_path + std::string(emission_file_name);
    stokes_shift_result result;
    const bool done = run_trapped(ui, report_form::number_form, stokes_shift_routine, [&] {
        // Both files are counted before either is read: an empty or missing file stops the run
        // before any sum is taken.
        if (count_lines(absorption) == 0 || count_lines(emission) == 0)
            throw run_error::from_number(err::subscript);
        std::vector<chart_point> abs_points, emis_points;
        const bool charted = chart != nullptr;
        const spectrum_totals abs = read_spectrum(absorption, charted ? &abs_points : nullptr);
        const spectrum_totals emis = read_spectrum(emission, charted ? &emis_points : nullptr);
        result.stokes_shift = finite_or_overflow(abs.peak_energy - emis.peak_energy);
        result.reorganisation_energy = finite_or_overflow(mean_energy(abs) - mean_energy(emis));
        const std::filesystem::path summary = summary_destination(settings.summary);
        ensure_distinct_files(absorption, summary);
        ensure_distinct_files(emission, summary);
        append_file(summary, summary_line(settings.data_path, result.stokes_shift,
                                          result.reorganisation_energy));
        ui.status("Summary line appended to " + std::filesystem::absolute(summary).string());
        if (charted) {
            *chart = spectra_chart(std::move(abs_points), std::move(emis_points), abs, emis,
                                   result.stokes_shift);
            chart->run_description = run_description(
                {{"Data folder", settings.data_path}, {"Summary", summary.string()}});
        }
    });
    if (!done)
        return {};
    ui.message(message_icon::information, stokes_shift_done_title,
               stokes_shift_message(result.stokes_shift, result.reorganisation_energy));
    result.outcome = stokes_shift_outcome::completed;
    return result;
}

} // namespace qm
