#include "ev_extract/ev_extract_job.h"

#include "ev_extract/ev_series_table.h"
#include "ev_extract/parse_cache.h"
#include "ev_extract/results_tables.h"
#include "ev_extract/status_log.h"
#include "ev_extract/time_series_files.h"
#include "platform/error_report.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/val.h"
#include "transformation/transformation_routines.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace qm {
namespace {

constexpr double no_previous_oscillator = 99999999;
constexpr long long repaint_every = 15;
constexpr std::string_view data_expected = "Data Expected!";

// A message has ended the job; its files are closed as the stack unwinds.
struct job_stopped {};

// Whether the process may hold `files` more files open, beside those a run needs anyway (the
// status log, the tables, the files being read, the angular-frequency files): the soft
// open-file limit is raised towards the hard one when it is too low.
bool may_open_files(std::size_t files) {
    constexpr rlim_t kept_free = 64;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    const rlim_t wanted = static_cast<rlim_t>(files) + kept_free;
    if (limit.rlim_cur == RLIM_INFINITY || wanted <= limit.rlim_cur)
        return true;
    if (limit.rlim_max != RLIM_INFINITY && wanted > limit.rlim_max)
        return false;
    limit.rlim_cur = wanted;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// A file the job cannot take its data from: the status-log line and the message that stop the
// job, and the reason a skipped file is listed with (empty: a failure no file skip mends).
struct file_failed {
    std::string log_line, text, reason;
};

// What one slot's choices carry from root to root: each root looks past the state the root
// before it took (by energy or by oscillator strength).
struct state_chain {
    double previous_energy = 0;
    double best_osc = 0;
    double previous_osc = no_previous_oscillator;
};

// A failure met choosing a later root's state during the first root's pass: it stops the job
// when that root's own pass reaches the slot, as if met there.
struct root_failure {
    int root = 0;
    long long f = 0;
    file_failed failure;
};

class extraction {
public:
    extraction(const ev_settings& s, const file_series& series, JobUi& ui, status_log& log,
               results_tables& tables)
        : s_(s), series_(series), ui_(ui), log_(log), tables_(tables),
          table_(s.no_roots, s.root_start, s.root_end, series.file_count, series.slot_interval),
          cache_(series, s.input, parse_settings(s)),
          slots_(static_cast<std::size_t>(series.used_slots())),
          orbitals_(static_cast<std::size_t>(s.no_roots)) {}

    void run_root(int k);
    ev_charts* charts = nullptr; // filled root by root when the window asks for them
    ev_run_summary summary;
    // The TDM routines the options ask for; false when one of them ended the job.
    ev_outcome run_tdm_routines(const ev_job_place& place);

private:
    static parse_options parse_settings(const ev_settings& s) {
        parse_options o;
        o.root_start = s.root_start;
        o.root_end = s.root_end;
        o.limit_low = s.limit_low;
        o.limit_high = s.limit_high;
        o.structure = s.choices.rel_tdm && !s.choices.align_only;
        o.transitions = s.choices.mode == extract_mode::orbital_profile || s.choices.orbitals;
        o.to_last_state = s.choices.root_end_all;
        o.last_section = s.choices.last_section;
        o.printed = !s.texts.results_table.empty() || !s.texts.states_table.empty();
        return o;
    }

    // `reason`: why a skipped file is left out; empty for a failure that stops the job even
    // when failed files are skipped.
    [[noreturn]] void fail(const std::string& log_line, const std::string& text,
                           const std::string& reason = {}) {
        throw file_failed{log_line, text, reason};
    }

    void show_progress(int k, long long f, long long visited);
    void first_visit(long long f);
    void revisit(int k, long long f);
    [[noreturn]] void stop(const file_failed& failure);
    void skip(long long f, const std::string& reason);
    void note_sections(long long f, const parsed_output& parsed);
    void stop_on_empty_root(int k, long long slots_with_state, long long visited);
    void read_file_data(long long f, const parsed_output& parsed);
    void require_tdm_table(long long f, const parsed_output& parsed);
    void choose_states(long long f, const parsed_output& parsed);
    std::string choose_state(int k, long long f, const parsed_output& parsed, state_chain& chain);
    void write_orbital_line(int k, long long f, const std::string& line);
    bool in_root_series(int k, long long f) const;
    void open_series_files();
    void add_series_lines(long long f);

    const ev_settings& s_;
    const file_series& series_;
    JobUi& ui_;
    status_log& log_;
    results_tables& tables_;
    ev_series_table table_;
    parse_cache cache_;
    std::size_t slots_;          // used slots: the tables below keep those only
    root_series root_;           // the current root's written slots
    // Each root's orbitals file, written as the first root's pass chooses every root's state
    // and put in place when that root's own pass ends.
    std::vector<std::unique_ptr<output_file>> orbitals_;
    slot_texts texts_{s_, table_}; // shared by the roots' series files
    // Each root's series files, fed as the first root's pass reads the slots; empty when the
    // open-file limit does not allow them all at once (each root's files are then written when
    // its pass ends).
    std::vector<std::unique_ptr<root_series_files>> series_files_;
    std::optional<root_failure> root_failure_; // the first, in the order the passes meet them
    std::map<long long, std::string> skipped_; // slot: why its file was left out
    std::optional<output_program> program_;    // the program of the series' first file read
};

void extraction::show_progress(int k, long long f, long long visited) {
    const long long total = static_cast<long long>(s_.no_roots) * series_.file_count;
    const long long p = series_.file_count * (k - 1) + f;
    ui_.status("Processing File - " + count_text(f) + " Filename = " + series_.file_name(f));
    ui_.counts("Files Processed=" + count_text(p), "Files Remaining=" + count_text(total - p));
    ui_.progress_value(p);
    if (visited % repaint_every == 0)
        ui_.repaint();
}

// Structure, SCF energy and cycles, transition dipoles of slot f.
void extraction::read_file_data(long long f, const parsed_output& parsed) {
    const std::string file = count_text(f);
    // A series holds the outputs of one program: the first file read says which.
    if (!program_)
        program_ = parsed.program;
    if (parsed.program != *program_) {
        const std::string own(output_program_name(parsed.program));
        const std::string series(output_program_name(*program_));
        const std::string an_own = (parsed.program == output_program::orca ? "an " : "a ") + own;
        fail("FATAL ERROR: " + own + " output in a series of " + series + " outputs - file " +
                 file,
             "File - " + file + " (" + series_.file_name(f) + ") is " + an_own +
                 " output, but the series holds " + series + " outputs.",
             an_own + " output in a series of " + series + " outputs");
    }
    if (s_.choices.rel_tdm && !s_.choices.align_only) {
        if (!parsed.structure)
            fail("FATAL ERROR: Input structure not found in file - " + file,
                 "Input structure not found in file - " + file, "no input structure");
        // The first file read sets the number of atoms every structure must have.
        if (table_.atom_count == 0)
            table_.atom_count = static_cast<long long>(parsed.structure->size());
        if (static_cast<long long>(parsed.structure->size()) != table_.atom_count)
            fail("FATAL ERROR: Atom count differs from the first file in file - " + file,
                 "The structure in file - " + file +
                     " does not have the atom count of the first file.",
                 "atom count differs from the first file");
        table_.coords(f) = *parsed.structure;
    }
    if (s_.choices.scf_energies) {
        if (!parsed.scf_energy)
            fail("FATAL ERROR: SCF Done line not found in file - " + file,
                 "SCF Done line not found in file - " + file, "no SCF Done line");
        table_.scf_energy(f) = *parsed.scf_energy;
        if (log_.is_open())
            log_.line("                    SCF Energy = " + text_form(*parsed.scf_energy) +
                      " hartrees");
    }
    if (s_.choices.scf_cycles) {
        if (!parsed.scf_cycles)
            fail("FATAL ERROR: SCF Done line not found in file - " + file,
                 "SCF Done line not found in file - " + file, "no SCF Done line");
        const double cycles = round_half_even(*parsed.scf_cycles);
        if (cycles < std::numeric_limits<std::int16_t>::min() ||
            cycles > std::numeric_limits<std::int16_t>::max())
            throw run_error::from_number(err::overflow);
        table_.scf_cycles(f) = static_cast<std::int16_t>(cycles);
        if (log_.is_open())
            log_.line("                    SCF Convergence Cycles = " +
                      count_text(table_.scf_cycles(f)));
    }
    if (s_.choices.tdm_angle || s_.choices.raw_tdms || s_.choices.rel_tdm)
        table_.set_tdms(f, parsed.tdm);
}

// The TDM outputs of a file without its transition dipole table (or without a row for a state
// of the range) would report zeros as data.
void extraction::require_tdm_table(long long f, const parsed_output& parsed) {
    const ev_choices& c = s_.choices;
    if (!(c.tdm_data || c.tdm_angle || c.raw_tdms || c.rel_tdm) || parsed.tdm_complete)
        return;
    const std::string file = count_text(f);
    fail("FATAL ERROR: Transition dipole moments not found in file - " + file,
         "Transition dipole moments not found in file - " + file,
         "no transition dipole row for a state of the range");
}

// Chooses root k's state in slot f by the selected rule; returns the orbital line.
std::string extraction::choose_state(int k, long long f, const parsed_output& parsed,
                                     state_chain& chain) {
    double& energy = table_.energy(k, f);
    double file_best_osc = 0;
    int best_orbital_state = 0;
    double best_coefficient = 0;
    std::string orbital_line;
    const int from = k == 1 ? s_.orb1_from : s_.orb2_from;
    const int to = k == 1 ? s_.orb1_to : s_.orb2_to;
    energy = s_.limit_high;

    for (const excited_state& state : parsed.states) {
        if (!state.candidate)
            continue;
        bool record = false;
        switch (s_.choices.mode) {
        case extract_mode::max_oscillator:
            if (state.oscillator < chain.previous_osc && state.oscillator > file_best_osc) {
                record = true;
                file_best_osc = state.oscillator;
                chain.best_osc = state.oscillator;
            }
            break;
        case extract_mode::lowest_energy:
            record = state.energy < energy && state.energy > chain.previous_energy;
            break;
        case extract_mode::gaussian_order:
            record = state.number == k;
            break;
        case extract_mode::orbital_profile:
            for (const transition& t : state.transitions)
                if (t.excitation && t.from == from && t.to == to &&
                    t.coefficient > best_coefficient) {
                    best_orbital_state = state.number;
                    best_coefficient = t.coefficient;
                }
            record = best_orbital_state == state.number;
            break;
        case extract_mode::none:
            break;
        }
        if (!record)
            continue;
        energy = state.energy;
        table_.root_map(k, f) = state.number;
        if (s_.choices.orbitals) {
            orbital_line = "ID " + count_text(f + s_.time_offset); // the slot in the whole series
            for (const transition& t : state.transitions)
                orbital_line += " " + t.from_text + " " + t.to_text;
        }
    }
    const std::string file = count_text(f);
    if (parsed.states.empty() || !parsed.states.back().found)
        fail("FATAL ERROR: Data not found for ANY roots in file - " + file,
             "Data not found for ANY roots in file - " + file,
             parsed.sections == 0 ? "no excited states"
             : parsed.states.empty()
                 ? "no excited state from " + count_text(s_.root_start) + " on"
                 : "no excited state " + count_text(parsed.states.back().number));
    if (s_.choices.mode == extract_mode::orbital_profile && best_orbital_state == 0)
        fail("FATAL ERROR: Selected Orbital Profile not found in file - " + file,
             "Selected Orbital Profile not found in file - " + file + " Root - " + count_text(k));
    chain.previous_energy = energy;
    chain.previous_osc = chain.best_osc;
    // A slot where the root recorded no state has no TDM to show: 0.
    const int chosen = table_.root_map(k, f);
    table_.chosen_tdm_length(k, f) =
        chosen == 0 ? 0.0 : dipole_length(parsed.tdm, s_.root_start, chosen);
    return orbital_line;
}

// Every root's state in slot f, root after root as each root's pass would choose it. A
// failure of the first root is the slot's own (it may be skipped); a later root's waits for
// that root's pass.
void extraction::choose_states(long long f, const parsed_output& parsed) {
    state_chain chain;
    std::string line = choose_state(1, f, parsed, chain);
    require_tdm_table(f, parsed);
    write_orbital_line(1, f, line);
    for (int k = 2; k <= s_.no_roots; ++k) {
        try {
            line = choose_state(k, f, parsed, chain);
        } catch (const file_failed& failure) {
            if (!root_failure_ || k < root_failure_->root)
                root_failure_ = root_failure{k, f, failure};
            return;
        }
        write_orbital_line(k, f, line);
    }
}

// Root k's orbital line of slot f, unless the slot is left out of root k's series.
void extraction::write_orbital_line(int k, long long f, const std::string& line) {
    output_file* orbitals = orbitals_[static_cast<std::size_t>(k - 1)].get();
    if (orbitals == nullptr || !in_root_series(k, f))
        return;
    orbitals->write(line);
    orbitals->write("\r\n");
}

// Slot f in the first root's pass: its file's data and every root's state are taken from its
// parse, which then goes, so the job's memory does not grow with the series; the tables get
// the slot's rows. A file that cannot be read stops the job with the error report, unless
// failed files are skipped.
void extraction::first_visit(long long f) {
    const parsed_output* parsed = nullptr;
    try {
        parsed = &cache_.at(f);
        note_sections(f, *parsed);
    } catch (const run_error& e) {
        if (!s_.choices.skip_failed)
            throw;
        skip(f, e.description);
    }
    if (parsed != nullptr) {
        try {
            read_file_data(f, *parsed);
            choose_states(f, *parsed);
        } catch (const file_failed& failure) {
            if (!s_.choices.skip_failed || failure.reason.empty())
                stop(failure);
            skip(f, failure.reason);
            parsed = nullptr;
        }
    }
    if (parsed == nullptr) {
        tables_.add_skipped(f, skipped_.at(f));
        return;
    }
    tables_.add_read(f, *parsed, table_);
    cache_.release(f);
    add_series_lines(f);
}

// Whether slot f (not skipped) has a line in root k's series: a slot where the root found no
// state is left out when the settings say so.
bool extraction::in_root_series(int k, long long f) const {
    return s_.choices.empty_slots != empty_slot_rule::leave_out || table_.root_map(k, f) != 0;
}

// Opens every root's series files when the process may hold them all open at once.
void extraction::open_series_files() {
    auto first = std::make_unique<root_series_files>(s_, series_, table_, 1, texts_);
    const auto roots = static_cast<std::size_t>(s_.no_roots);
    if (!may_open_files(roots * (first->size() + (s_.choices.orbitals ? 1 : 0))))
        return;
    series_files_.push_back(std::move(first));
    for (int k = 2; k <= s_.no_roots; ++k)
        series_files_.push_back(std::make_unique<root_series_files>(s_, series_, table_, k, texts_));
}

// Slot f's lines in every root's series, once the first root's pass has chosen their states.
// A root whose choice failed here stops the job in its own pass: its files are never put in
// place, nor those of the roots after it.
void extraction::add_series_lines(long long f) {
    const int roots = root_failure_ && root_failure_->f == f ? root_failure_->root - 1
                                                               : s_.no_roots;
    for (int k = 1; k <= std::min(roots, static_cast<int>(series_files_.size())); ++k)
        if (in_root_series(k, f))
            series_files_[static_cast<std::size_t>(k - 1)]->add(f);
}

// Slot f in root k's pass after the first: what the first pass logged of its file, and the
// failure met choosing root k's state there, which stops the job now.
void extraction::revisit(int k, long long f) {
    if (skipped_.contains(f))
        return;
    if (s_.choices.scf_energies && log_.is_open())
        log_.line("                    SCF Energy = " + text_form(table_.scf_energy(f)) +
                  " hartrees");
    if (s_.choices.scf_cycles && log_.is_open())
        log_.line("                    SCF Convergence Cycles = " +
                  count_text(table_.scf_cycles(f)));
    if (root_failure_ && root_failure_->root == k && root_failure_->f == f)
        stop(root_failure_->failure);
}

// A failure no skip mends: logged and shown, and the job ends.
void extraction::stop(const file_failed& failure) {
    log_.line(failure.log_line);
    ui_.message(message_icon::critical, data_expected, failure.text);
    throw job_stopped{};
}

void extraction::note_sections(long long f, const parsed_output& parsed) {
    if (parsed.sections > 1)
        log_.line("    File - " + count_text(f) + " holds " + count_text(parsed.sections) +
                  " excited-state sections: the " +
                  (s_.choices.last_section ? "last" : "first") + " is read");
}

// Slot f's file is left out of every series, table row and TDM routine.
void extraction::skip(long long f, const std::string& reason) {
    skipped_.emplace(f, reason);
    table_.leave_out(f);
    for (int k = 1; k <= s_.no_roots; ++k)
        table_.root_map(k, f) = 0;
    summary.skipped.push_back({series_.file_name(f), reason});
    log_.line("    Skipped file - " + count_text(f) + " (" + series_.file_name(f) + "): " + reason);
    cache_.release(f);
}

// A root that found no state in any file would write the window's upper limit as every value.
void extraction::stop_on_empty_root(int k, long long slots_with_state, long long visited) {
    if (slots_with_state > 0)
        return;
    const std::string root = count_text(k);
    if (static_cast<long long>(skipped_.size()) == visited) {
        log_.line("FATAL ERROR: Every file of the series was skipped");
        ui_.message(message_icon::critical, "No Files Read",
                    "Every file of the series was skipped: none could be read.");
        throw job_stopped{};
    }
    const std::string window = text_form(s_.limit_low) + " to " + text_form(s_.limit_high) + " eV";
    log_.line("FATAL ERROR: No state in the energy window " + window + " for root " + root +
              " in any file");
    ui_.message(message_icon::critical, "No State in Energy Window",
                "No state lies in the energy window " + window + " for root " + root +
                    " in any file of the series - check the energy limits.");
    throw job_stopped{};
}

void extraction::run_root(int k) {
    log_.line("*** Beginning Data extraction for root: " + count_text(k) + " ***");
    if (k == 1 && s_.choices.orbitals)
        for (int j = 1; j <= s_.no_roots; ++j)
            orbitals_[static_cast<std::size_t>(j - 1)] =
                std::make_unique<output_file>(root_file_name(s_, series_, orbitals_part, j));
    if (k == 1)
        open_series_files();
    root_.written.assign(slots_, 1);
    const bool leave_out_empty = s_.choices.empty_slots == empty_slot_rule::leave_out;
    long long visited = 0, with_state = 0;
    for (long long f = 1; f <= series_.file_count; f += series_.slot_interval) {
        if (log_.is_open()) // the one line of every slot: not even formatted without a log
            log_.line("    Processing File: " + count_text(f) + "   Root Number: " + count_text(k));
        show_progress(k, f, ++visited);
        const std::size_t slot = series_.used_index(f);
        if (k == 1)
            first_visit(f);
        else
            revisit(k, f);
        if (skipped_.contains(f)) {
            root_.written[slot] = 0;
            continue;
        }
        if (table_.root_map(k, f) == 0) {
            ++summary.empty_slots;
            log_.line("    No state in the energy window for root " + count_text(k) +
                      " in file - " + count_text(f));
            if (leave_out_empty) {
                root_.written[slot] = 0;
                table_.leave_out(f);
            }
        } else {
            ++with_state;
        }
    }
    stop_on_empty_root(k, with_state, visited);
    const auto root = static_cast<std::size_t>(k - 1);
    write_root_files(s_, series_, table_, k, root_, log_, ui_,
                     root < series_files_.size() ? series_files_[root].get() : nullptr);
    if (root < series_files_.size())
        series_files_[root].reset(); // its files are closed: their descriptors go back
    if (charts != nullptr)
        add_root_curves(*charts, s_, series_, table_, k, root_);
    if (orbitals_[static_cast<std::size_t>(k - 1)])
        orbitals_[static_cast<std::size_t>(k - 1)]->close();
}

ev_outcome extraction::run_tdm_routines(const ev_job_place& place) {
    const tdm_context context{
        table_, s_, series_, log_, ui_, place.working_folder, place.fitting_program};
    if (s_.choices.tdm_angle) {
        log_.line("*** Calling Transformation_Routines.measure_tdm_angles1 subroutine ***");
        measure_tdm_angles1(context);
    }
    if (s_.choices.raw_tdms) {
        log_.line("*** Calling Transformation_Routines.output_raw_tdms subroutine ***");
        output_raw_tdms(context);
    }
    if (s_.choices.rel_tdm) {
        ui_.status("Performing TDM Transformations");
        log_.line("*** Calling Transformation_Routines.transform_tdms ***");
        switch (transform_tdms(context)) {
        case transform_outcome::error_report:
            return ev_outcome::error_report;
        case transform_outcome::stopped:
            return ev_outcome::stopped;
        case transform_outcome::done:
            break;
        }
    }
    return ev_outcome::completed;
}

// Settings the job refuses before it writes or reads anything.
bool refused(const ev_settings& s, const file_series& series, JobUi& ui) {
    if (series.file_count < 1) {
        ui.message(message_icon::exclamation, "No Files to Process",
                   "The file series holds no files - check the file range and press Scan File "
                   "Names.");
        return true;
    }
    if (s.points < 1) {
        ui.message(message_icon::exclamation, "Invalid Points Per File",
                   "Points to Output Per File must be 1 or more.");
        return true;
    }
    if (s.root_end > highest_state) {
        ui.message(message_icon::exclamation, "Invalid Root Range",
                   "The root range to search may end at state " + std::to_string(highest_state) +
                       " at most: Gaussian numbers its excited states in four columns.");
        return true;
    }
    // Up to each file's last state, the tables grow by the states each file holds.
    const double states = s.choices.root_end_all ? 1 : std::max(1, s.root_end - s.root_start + 1);
    if (const auto refusal = ev_memory_refusal(static_cast<double>(series.used_slots()),
                                               std::max(1, s.no_roots), states)) {
        ui.message(message_icon::exclamation, memory_refused_title, *refusal);
        return true;
    }
    return false;
}

// Every file the job may write: the status log, each root's time series and the TDM
// routines' files.
std::vector<std::filesystem::path> job_outputs(const ev_settings& s, const file_series& series,
                                               const ev_job_place& place) {
    std::vector<std::filesystem::path> outputs;
    if (s.choices.status_log)
        outputs.push_back(place.working_folder / status_log_name);
    for (int k = 1; k <= s.no_roots; ++k)
        for (const std::string& name : root_file_names(s, series, k))
            outputs.emplace_back(name);
    for (auto& name : tdm_file_names(s, place.working_folder))
        outputs.push_back(std::move(name));
    for (const std::string& table : {s.texts.results_table, s.texts.states_table})
        if (!table.empty())
            outputs.emplace_back(table);
    return outputs;
}

// No output may replace one of the Gaussian outputs it is made from (an output prefix and a
// series that give the same names): checked before the first file is written.
void ensure_inputs_are_spared(const ev_settings& s, const file_series& series,
                              const ev_job_place& place) {
    ensure_outputs_spare_inputs(
        job_outputs(s, series, place), static_cast<std::uint64_t>(series.used_slots()),
        [&](std::uint64_t i) {
            const long long f = 1 + static_cast<long long>(i) * series.slot_interval;
            return std::filesystem::path(series.data_path + series.file_name(f));
        });
}

// What follows "Extraction Complete" when files were skipped or slots found no state: "2000
// files, 7 skipped, 3 slots with no state in the energy window: see execution_status.dat".
std::string summary_text(const ev_run_summary& summary, bool log_written) {
    if (summary.skipped.empty() && summary.empty_slots == 0)
        return {};
    std::string text = std::string(message_break) + count_text(summary.files) + " files";
    if (!summary.skipped.empty())
        text += ", " + count_text(static_cast<long long>(summary.skipped.size())) + " skipped";
    if (summary.empty_slots > 0)
        text += ", " + count_text(summary.empty_slots) + " slot" +
                (summary.empty_slots == 1 ? "" : "s") + " with no state in the energy window";
    if (log_written)
        text += ": see " + std::string(status_log_name);
    return text;
}

// The folders the job writes into (the outputs' folder, and the working folder when the status
// log or the TDM routines write there), each locked for the run so that a second run into them
// is refused.
std::vector<std::unique_ptr<folder_lock>> lock_output_folders(const ev_settings& s,
                                                               const file_series& series,
                                                               const ev_job_place& place) {
    std::vector<std::unique_ptr<folder_lock>> locks;
    std::filesystem::path outputs = std::filesystem::path(output_base(s, series)).parent_path();
    if (outputs.empty())
        outputs = ".";
    std::vector<std::filesystem::path> folders{outputs};
    std::error_code ec;
    const bool working_folder_written =
        s.choices.status_log || !tdm_file_names(s, place.working_folder).empty();
    if (working_folder_written && !std::filesystem::equivalent(outputs, place.working_folder, ec))
        folders.push_back(place.working_folder);
    for (const auto& folder : folders)
        locks.push_back(std::make_unique<folder_lock>(folder, ev_lock_name));
    return locks;
}

// The run as its charts keep it: the files read and the boxes as typed.
std::string charts_description(const ev_settings& s, const file_series& series) {
    const ev_texts& t = s.texts;
    return run_description(
        {{"Files", series.data_path + series.file_name(1) + " to " +
                       series.file_name(series.file_count) + " every " + t.interval},
         {"Roots", t.no_roots},
         {"States searched",
          t.root_start + " to " + (s.choices.root_end_all ? "last" : t.root_end)},
         {"Energy window (eV)", t.limit_low + " to " + t.limit_high},
         {"Time step (fs)", t.time_step}});
}

void check_table_extent(const ev_settings& s) {
    if (s.root_start < 1 || s.root_end < s.root_start || s.no_roots < 1)
        throw run_error::from_number(err::subscript);
}

} // namespace

std::filesystem::path ev_job_place::default_fitting_program() {
    return helper_program("rmsfit");
}

ev_outcome ev_extract_job(const ev_settings& s, const file_series& series, JobUi& ui,
                          const ev_job_place& place, ev_charts* charts, ev_run_summary* summary) {
    if (refused(s, series, ui))
        return ev_outcome::stopped;
    status_log log;
    try {
        std::optional<busy_pointer> hourglass(std::in_place, ui);
        ensure_inputs_are_spared(s, series, place);
        const auto locks = lock_output_folders(s, series, place);
        if (s.choices.status_log) {
            log.open(place.working_folder / status_log_name);
            write_status_header(log, s);
        }
        if (s.choices.mode == extract_mode::orbital_profile && s.no_roots > 2) {
            const char* text = "Orbital Profile Extraction with No. Roots > 2 is not currently "
                               "supported.";
            log.line(text);
            ui.message(message_icon::critical, "Unsupported method", text);
            return ev_outcome::stopped;
        }
        if (s.choices.mode == extract_mode::none) {
            log.line("FATAL ERROR in cmd_Execute.click routine - Unknown processing option.");
            ui.message(message_icon::critical, "Fatal Error",
                       "Fatal Error in cmd_Execute.click routine - Unknown processing option.");
            return ev_outcome::stopped;
        }
        check_table_extent(s);
        if (s.input != input_kind::plain)
            log.line("Expecting compressed input files...");
        results_tables tables(s, series);
        extraction job(s, series, ui, log, tables);
        job.charts = charts;
        if (charts != nullptr)
            charts->energy.run_description = charts->tdm.run_description =
                charts_description(s, series);
        ui.progress_range(0, static_cast<long long>(s.no_roots) * series.file_count);
        ui.progress_value(0);
        for (int k = 1; k <= s.no_roots; ++k)
            job.run_root(k);
        tables.commit();
        job.summary.files = series.used_slots();
        if (summary != nullptr)
            *summary = job.summary;
        log.line("*** Ev extraction loops completed at " + s.now() + " ***");
        // A routine that ended the job has shown its own message or report; the log is then
        // closed without its closing lines.
        if (const ev_outcome tdm = job.run_tdm_routines(place); tdm != ev_outcome::completed)
            return tdm;
        const bool log_written = log.is_open();
        if (log.is_open()) {
            log.line("Execution finished at " + s.now());
            log.line("Closing Status File");
            log.close();
        }
        hourglass.reset();
        ui.message(message_icon::information, "Processing Finished",
                   "Extraction Complete" + summary_text(job.summary, log_written));
        return ev_outcome::completed;
    } catch (const job_stopped&) {
        return ev_outcome::stopped;
    } catch (const std::exception& e) {
        show_error_report(ui, report_form::number_form, as_run_error(e), ev_job_routine);
    }
    return ev_outcome::error_report;
}

} // namespace qm
