#include "ev_extract/time_series_files.h"

#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cmath>

namespace qm {
namespace {

constexpr std::string_view gap = "    ";
constexpr std::string_view crlf = "\r\n";

double chosen_tdm_length(const ev_series_table& table, int k, long long t) {
    // A slot where root k recorded no state has no TDM to show: 0.
    const int state = table.root_map(k, t);
    return state == 0 ? 0.0 : table.tdm_length(state, t);
}

struct series_writer {
    const ev_settings& s;
    const file_series& series;
    status_log& log;
    JobUi& ui;

    // One line per visited slot, built by `line(t)`.
    template <class Line>
    void write(const std::string& name, const std::string& what, Line&& line) const {
        log.line("Writing " + what + " against Time Data File - " + name);
        ui.status("Writing " + what + " against Time Data File");
        std::string text;
        for (long long t = 1; t <= series.file_count; t += series.slot_interval) {
            text += line(t);
            text += crlf;
        }
        write_whole_file(name, text);
    }

    std::string timed(long long t, double value) const {
        return print_form(slot_time(s, t)) + std::string(gap) + print_form(value);
    }
};

void write_rad_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                     int k, const std::vector<double>& energy, status_log& log, JobUi& ui,
                     const std::string& base) {
    ui.status("Writing Rads Per Second Data Files");
    log.line("Writing Rads Per Second Data Files");
    log.line("   Files to write = " +
             text_form(std::fabs(static_cast<double>(series.file_count) / s.points)));
    const bool tdm = s.choices.tdm_data;
    const bool separate = tdm && s.choices.tdm_separate;
    const std::string root = "." + std::to_string(k);
    // Each file m holds the first m visited slots (the last one holds them all), so every
    // file is a prefix of one text: each slot's line is formatted once.
    std::string rads, lengths;
    std::vector<std::size_t> rads_end{0}, lengths_end{0}; // end of the first i lines
    for (long long t = 1; t <= series.file_count; t += series.slot_interval) {
        const double rad = energy[static_cast<std::size_t>(t)] * ev_to_rad_per_s;
        const double length = chosen_tdm_length(table, k, t);
        if (separate) {
            rads += print_form(rad);
            lengths += print_form(length);
            lengths += crlf;
        } else if (tdm) {
            rads += text_form(rad) + std::string(gap) + text_form(length);
        } else {
            rads += print_form(rad);
        }
        rads += crlf;
        rads_end.push_back(rads.size());
        lengths_end.push_back(lengths.size());
    }
    const auto visited = static_cast<long long>(rads_end.size()) - 1;
    long long m = 0;
    for (long long written = 0; written < visited;) {
        m = static_cast<long long>(round_half_even(static_cast<double>(m) + s.points));
        written = std::min(m, visited);
        const auto lines = static_cast<std::size_t>(written);
        write_whole_file(base + std::to_string(m) + root,
                         std::string_view(rads).substr(0, rads_end[lines]));
        if (separate)
            write_whole_file(base + "TDM" + std::to_string(m) + root,
                             std::string_view(lengths).substr(0, lengths_end[lines]));
        log.line("   Wrote File " + std::to_string(m));
    }
}

} // namespace

std::string output_base(const ev_settings& s, const file_series& series) {
    return trim_blanks(s.output_folder.empty() ? series.data_path : s.output_folder) +
           s.output_prefix;
}

void write_root_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, const std::vector<double>& energy, status_log& log, JobUi& ui) {
    const std::string base = output_base(s, series);
    const std::string root = "." + std::to_string(k);
    const series_writer w{s, series, log, ui};
    auto at = [&](long long t) { return energy[static_cast<std::size_t>(t)]; };

    w.write(base + "EV" + root, "EV", [&](long long t) { return w.timed(t, at(t)); });
    if (s.choices.scf_energies) {
        w.write(base + "_SCF-Hartrees" + root, "SCF Data (Hartrees)",
                [&](long long t) { return w.timed(t, table.scf_energy(t)); });
        w.write(base + "_SCF-EV" + root, "SCF Data (eV)",
                [&](long long t) { return w.timed(t, table.scf_energy(t) * hartree_to_ev); });
        w.write(base + "_SCF-rads-1" + root, "SCF Data (rad/s)", [&](long long t) {
            return w.timed(t, table.scf_energy(t) * hartree_to_ev * ev_to_rad_per_s);
        });
    }
    if (s.choices.scf_cycles)
        w.write(base + "_SCF-Cycles" + root, "SCF Convergence Cycles",
                [&](long long t) { return w.timed(t, static_cast<double>(table.scf_cycles(t))); });
    if (s.choices.tdm_data)
        w.write(base + "_TDM+EV" + root, "EV & TDM", [&](long long t) {
            return text_form(at(t)) + std::string(gap) + text_form(chosen_tdm_length(table, k, t));
        });
    write_rad_files(s, series, table, k, energy, log, ui, base);
}

} // namespace qm
