#include "ev_extract/time_series_files.h"

#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace qm {
namespace {

constexpr std::string_view gap = "    ";
constexpr std::string_view crlf = "\r\n";
// What stands between B and "." k in each file's name.
constexpr std::string_view ev_part = "EV";
constexpr std::string_view scf_hartrees_part = "_SCF-Hartrees";
constexpr std::string_view scf_ev_part = "_SCF-EV";
constexpr std::string_view scf_rads_part = "_SCF-rads-1";
constexpr std::string_view scf_cycles_part = "_SCF-Cycles";
constexpr std::string_view tdm_ev_part = "_TDM+EV";

// Calls visit(t) for every slot of root k's series, in order.
template <class Visit>
void for_each_written_slot(const file_series& series, const root_series& values, Visit&& visit) {
    for (long long t = 1; t <= series.file_count; t += series.slot_interval)
        if (values.written[series.used_index(t)] != 0)
            visit(t);
}

// The line counts m of the angular-frequency files: points, 2 points, ... (each rounded) until
// one holds every one of the `visited` slots.
std::vector<long long> rad_file_lengths(double points, long long visited) {
    std::vector<long long> lengths;
    for (long long m = 0; m < visited;) {
        const double next = round_half_even(static_cast<double>(m) + points);
        // A count beyond a 64-bit integer would convert to nonsense (and never end the loop).
        if (!(next < 9.2e18))
            throw run_error::from_number(err::overflow);
        m = static_cast<long long>(next);
        lengths.push_back(m);
    }
    return lengths;
}

std::string rad_file_name(const std::string& base, std::string_view part, long long m, int k) {
    return base + std::string(part) + std::to_string(m) + "." + std::to_string(k);
}

} // namespace

std::string output_base(const ev_settings& s, const file_series& series) {
    return trim_blanks(s.output_folder.empty() ? series.data_path : s.output_folder) +
           s.output_prefix;
}

std::string root_file_name(const ev_settings& s, const file_series& series, std::string_view part,
                           int k) {
    return output_base(s, series) + std::string(part) + "." + std::to_string(k);
}

std::vector<std::string> root_file_names(const ev_settings& s, const file_series& series, int k) {
    std::vector<std::string> names;
    if (s.choices.orbitals)
        names.push_back(root_file_name(s, series, orbitals_part, k));
    names.push_back(root_file_name(s, series, ev_part, k));
    if (s.choices.scf_energies)
        for (const std::string_view part : {scf_hartrees_part, scf_ev_part, scf_rads_part})
            names.push_back(root_file_name(s, series, part, k));
    if (s.choices.scf_cycles)
        names.push_back(root_file_name(s, series, scf_cycles_part, k));
    if (s.choices.tdm_data)
        names.push_back(root_file_name(s, series, tdm_ev_part, k));
    const std::string base = output_base(s, series);
    for (const long long m : rad_file_lengths(s.points, series.used_slots())) {
        names.push_back(rad_file_name(base, "", m, k));
        if (s.choices.tdm_data && s.choices.tdm_separate)
            names.push_back(rad_file_name(base, "TDM", m, k));
    }
    return names;
}

void slot_texts::go_to(long long t) {
    if (t == slot_)
        return;
    slot_ = t;
    time_.clear();
    for (std::string& line : scf_lines_)
        line.clear();
}

const std::string& slot_texts::time(long long t) {
    go_to(t);
    if (time_.empty())
        time_ = print_form(slot_time(s_, t));
    return time_;
}

const std::string& slot_texts::scf_line(scf_column column, long long t) {
    go_to(t);
    std::string& line = scf_lines_[static_cast<std::size_t>(column)];
    if (!line.empty())
        return line;
    const double scf = table_.scf_energy(t);
    double value = 0;
    switch (column) {
    case scf_column::hartrees:
        value = scf;
        break;
    case scf_column::ev:
        value = scf * hartree_to_ev;
        break;
    case scf_column::rads:
        value = scf * hartree_to_ev * ev_to_rad_per_s;
        break;
    case scf_column::cycles:
        value = static_cast<double>(table_.scf_cycles(t));
        break;
    }
    line = time(t);
    line += gap;
    line += print_form(value);
    line += crlf;
    return line;
}

root_series_files::root_series_files(const ev_settings& s, const file_series& series,
                                     const ev_series_table& table, int k, slot_texts& shared)
    : series_(series), table_(table), shared_(shared), k_(k) {
    const std::string base = output_base(s, series);
    auto add = [&](column values, std::string_view part, std::string_view what) {
        files_.push_back({values, what, base + std::string(part) + "." + std::to_string(k), {}});
    };
    add(column::energy, ev_part, "EV");
    if (s.choices.scf_energies) {
        add(column::scf_hartrees, scf_hartrees_part, "SCF Data (Hartrees)");
        add(column::scf_ev, scf_ev_part, "SCF Data (eV)");
        add(column::scf_rads, scf_rads_part, "SCF Data (rad/s)");
    }
    if (s.choices.scf_cycles)
        add(column::scf_cycles, scf_cycles_part, "SCF Convergence Cycles");
    if (s.choices.tdm_data)
        add(column::energy_tdm, tdm_ev_part, "EV & TDM");
    base_ = base;
    tdm_ = s.choices.tdm_data;
    separate_ = tdm_ && s.choices.tdm_separate;
    files_to_write_ = text_form(std::fabs(static_cast<double>(series.file_count) / s.points));
    failed_file_ = std::numeric_limits<std::size_t>::max();
    for (std::size_t i = 0; i < files_.size(); ++i) {
        try {
            files_[i].out = std::make_unique<output_file>(files_[i].name);
        } catch (const std::exception&) {
            keep_failure(i);
            return;
        }
    }
    try {
        rad_lengths_ = rad_file_lengths(s.points, series.used_slots());
    } catch (const std::exception&) {
        keep_failure(files_.size());
    }
}

void root_series_files::keep_failure(std::size_t file) {
    failure_ = std::current_exception();
    failed_file_ = file;
}

const std::string& root_series_files::line(column values, long long t) {
    switch (values) {
    case column::energy:
        line_ = shared_.time(t);
        line_ += gap;
        line_ += print_form(table_.energy(k_, t));
        break;
    case column::scf_hartrees:
        return shared_.scf_line(slot_texts::scf_column::hartrees, t);
    case column::scf_ev:
        return shared_.scf_line(slot_texts::scf_column::ev, t);
    case column::scf_rads:
        return shared_.scf_line(slot_texts::scf_column::rads, t);
    case column::scf_cycles:
        return shared_.scf_line(slot_texts::scf_column::cycles, t);
    case column::energy_tdm:
        line_ = text_form(table_.energy(k_, t));
        line_ += gap;
        line_ += text_form(table_.chosen_tdm_length(k_, t));
        break;
    }
    line_ += crlf;
    return line_;
}

void root_series_files::add(long long t) {
    // Files past a failure are never put in place: nothing more is written to them.
    for (std::size_t i = 0; i < std::min(failed_file_, files_.size()); ++i) {
        try {
            files_[i].out->write(line(files_[i].values, t));
        } catch (const std::exception&) {
            keep_failure(i);
            return;
        }
    }
    if (!failure_)
        add_rad_line(t);
}

// Angular-frequency file j, begun as a copy of the file before it (none for the first).
root_series_files::rad_file root_series_files::begin_rad_file(std::size_t j, rad_file* before) {
    rad_file next{rad_lengths_.at(j), {}, {}};
    next.rads = std::make_unique<output_file>(rad_file_name(base_, "", next.lines, k_));
    if (separate_)
        next.tdms = std::make_unique<output_file>(rad_file_name(base_, "TDM", next.lines, k_));
    if (before != nullptr) {
        next.rads->copy_from(*before->rads);
        if (separate_)
            next.tdms->copy_from(*before->tdms);
    }
    return next;
}

// Slot t's line in an angular-frequency file (and its TDM twin).
void root_series_files::write_rad_line(rad_file& file, long long t) {
    const double rad = table_.energy(k_, t) * ev_to_rad_per_s;
    const double length = table_.chosen_tdm_length(k_, t);
    if (separate_) {
        line_ = print_form(rad);
        length_line_ = print_form(length);
        length_line_ += crlf;
        file.tdms->write(length_line_);
    } else if (tdm_) {
        line_ = text_form(rad);
        line_ += gap;
        line_ += text_form(length);
    } else {
        line_ = print_form(rad);
    }
    line_ += crlf;
    file.rads->write(line_);
}

void root_series_files::place_rad_file(rad_file& file, status_log& log) {
    file.rads->close();
    if (separate_)
        file.tdms->close();
    log.line("   Wrote File " + std::to_string(file.lines));
}

// Slot t's line in the angular-frequency file being written: each file holds the first m
// written slots, so a new file begins with the slot after the m-th, as a copy of the one
// before it, which is then complete and waits for its turn.
void root_series_files::add_rad_line(long long t) {
    if (rad_resume_ != 0)
        return;
    if (rad_files_.empty() || rad_lines_ == rad_files_.back().lines) {
        const std::size_t j = rad_files_.size();
        if (j == max_waiting_rad_files) {
            rad_resume_ = t; // the rest when the root's turn comes
            return;
        }
        try {
            rad_files_.push_back(begin_rad_file(j, j > 0 ? &rad_files_.back() : nullptr));
        } catch (const std::exception&) {
            keep_failure(files_.size() + j);
            return;
        }
        if (j > 0) {
            rad_file& before = rad_files_[j - 1];
            rad_lines_ = before.lines; // the copy
            try {
                before.rads->finish_writing();
                if (separate_)
                    before.tdms->finish_writing();
            } catch (const std::exception&) {
                keep_failure(files_.size() + j - 1);
                return;
            }
        }
    }
    try {
        write_rad_line(rad_files_.back(), t);
    } catch (const std::exception&) {
        keep_failure(files_.size() + rad_files_.size() - 1);
        return;
    }
    ++rad_lines_;
}

// The angular-frequency files past those that waited, one after the other from the slot the
// pass stopped at: each is put in place once the next one has its copy.
void root_series_files::write_remaining_rad_files(const root_series& values, status_log& log) {
    rad_file current = std::move(rad_files_.back());
    std::size_t j = rad_files_.size();
    rad_files_.clear();
    long long lines = current.lines;
    for_each_written_slot(series_, values, [&](long long t) {
        if (t < rad_resume_)
            return;
        if (lines == current.lines) {
            rad_file next;
            try {
                next = begin_rad_file(j++, &current);
            } catch (...) {
                place_rad_file(current, log); // in place before the next one failed
                throw;
            }
            place_rad_file(current, log);
            current = std::move(next);
        }
        write_rad_line(current, t);
        ++lines;
    });
    place_rad_file(current, log);
}

void root_series_files::finish(status_log& log, JobUi& ui, const root_series& values) {
    for (std::size_t i = 0; i < files_.size(); ++i) {
        series_file& file = files_[i];
        log.line("Writing " + std::string(file.what) + " against Time Data File - " + file.name);
        ui.status("Writing " + std::string(file.what) + " against Time Data File");
        if (i == failed_file_)
            std::rethrow_exception(failure_);
        file.out->close();
    }
    ui.status("Writing Rads Per Second Data Files");
    log.line("Writing Rads Per Second Data Files");
    log.line("   Files to write = " + files_to_write_);
    // The last file that waited stays open when more follow: the next one begins as its copy.
    const std::size_t waiting = rad_files_.size() - (rad_resume_ != 0 ? 1 : 0);
    for (std::size_t j = 0; j <= waiting; ++j) {
        if (files_.size() + j == failed_file_)
            std::rethrow_exception(failure_);
        if (j < waiting)
            place_rad_file(rad_files_[j], log);
    }
    if (rad_resume_ != 0)
        write_remaining_rad_files(values, log);
}

void write_root_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, const root_series& values, status_log& log, JobUi& ui,
                      root_series_files* streamed) {
    std::optional<slot_texts> shared;
    std::optional<root_series_files> files;
    if (streamed == nullptr) {
        shared.emplace(s, table);
        files.emplace(s, series, table, k, *shared);
        for_each_written_slot(series, values, [&](long long t) { files->add(t); });
        streamed = &*files;
    }
    streamed->finish(log, ui, values);
}

void add_root_curves(ev_charts& charts, const ev_settings& s, const file_series& series,
                     const ev_series_table& table, int k, const root_series& values) {
    const std::string name = "Root " + std::to_string(k);
    chart_line energies{name, {}}, lengths{name, {}};
    for_each_written_slot(series, values, [&](long long t) {
        const double time = static_cast<double>(t) * s.time_step;
        energies.points.push_back({time, table.energy(k, t)});
        if (s.choices.tdm_data)
            lengths.points.push_back({time, table.chosen_tdm_length(k, t)});
    });
    charts.energy.lines.push_back(std::move(energies));
    if (s.choices.tdm_data)
        charts.tdm.lines.push_back(std::move(lengths));
}

} // namespace qm
