// The settings of an excited-state extraction, converted from the texts of the window's boxes
// (or the command line's options, which are the same texts) in one place, and the window's
// rules for which options can be chosen together.
#pragma once

#include "ev_extract/file_text.h"

#include <functional>
#include <string>

namespace qm {

enum class extract_mode { none, max_oscillator, lowest_energy, gaussian_order, orbital_profile };

// A slot where no state of the root lies in the energy window: written with the window's upper
// limit (as stored series have it), or left out of that root's series.
enum class empty_slot_rule { write_limit, leave_out };

// Gaussian prints state numbers in four columns (" Excited State9999:"): none lies beyond.
inline constexpr int highest_state = 9999;

// The boxes' texts as they stand; the status log repeats them.
struct ev_texts {
    std::string file_start = "1", file_end = "1", interval = "1";
    std::string suffix = ".gout";
    std::string output_prefix = "freqgap", time_step = "2", points = "10";
    std::string root_start = "1", root_end = "1";
    std::string limit_low = "1", limit_high = "1";
    std::string no_roots = "1";
    std::string orb1_from = "1", orb1_to = "1", orb2_from = "1", orb2_to = "1";
    // The comma-separated tables, when asked for: one row per file and root, and one row per
    // excited state read.
    std::string results_table, states_table;
};

struct ev_choices {
    extract_mode mode = extract_mode::max_oscillator;
    bool zipped = false;
    bool tdm_data = false, tdm_separate = false;
    bool scf_energies = false, scf_cycles = false;
    bool orbitals = false;
    bool status_log = true;
    bool tdm_angle = false, raw_tdms = false, rel_tdm = false, align_only = false;
    // A file that is missing, cannot be read or holds no states of the range is left out of
    // every series (and named in the log) instead of stopping the job.
    bool skip_failed = false;
    empty_slot_rule empty_slots = empty_slot_rule::write_limit;
    bool root_end_all = false; // the range ends at each file's own last excited state
    bool last_section = false; // a file with several excited-state sections: its last one
};

// The job reads the typed fields below, parsed once by ev_settings_from; `texts` keeps the boxes
// as typed for the status log and the table paths, never to be read as numbers again.
struct ev_settings {
    ev_texts texts;
    ev_choices choices;
    std::string output_prefix; // trimmed
    double time_step = 2;
    double points = 10;
    int root_start = 1, root_end = 1;
    double limit_low = 1, limit_high = 1;
    int no_roots = 1;
    int orb1_from = 1, orb1_to = 1, orb2_from = 1, orb2_to = 1;
    input_kind input = input_kind::plain;
    // A series split into chunks over a cluster's array jobs: the slots before this chunk's
    // first one, so slot s stands at time (s + time_offset) x time step (and is numbered
    // s + time_offset in the orbital file) and the chunks' time series join into the one-run
    // result.
    long long time_offset = 0;
    // The folder the time series go to, with its final separator; empty: beside the inputs.
    std::string output_folder;
    // "time date" for the status log; the local time unless a test fixes it.
    std::function<std::string()> now;
};

// Val where the window takes a value, the integer part of a strict conversion where the job
// reads an integer (a text that is not a number is a run error).
ev_settings ev_settings_from(const ev_texts& texts, const ev_choices& choices);

// The window's enabling rules.
bool tdm_separate_enabled(const ev_choices& c);
bool align_only_enabled(const ev_texts& t, const ev_choices& c);
bool orbital_controls_enabled(const ev_texts& t, const ev_choices& c);
bool tdm_angle_enabled(const ev_texts& t);
bool rel_tdm_enabled(const ev_texts& t);
bool execute_enabled(const ev_texts& t);

// Key filters: the boxes that take numbers accept digits and Backspace, some also ".".
bool accepts_decimal_key(char key);
bool accepts_digit_key(char key);

std::string local_time_and_date();

} // namespace qm
