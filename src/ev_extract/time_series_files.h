// The time series of one root, put in place when the root's pass over the series ends. Every
// line ends with CR LF. B = data folder + output prefix; every name ends with "." and the root
// number:
//
//   B EV.k              time    energy (eV)                      print forms, 4 blanks between
//   B _SCF-Hartrees.k   time    SCF energy                       (with SCF energies)
//   B _SCF-EV.k         time    SCF energy x 27.2113834
//   B _SCF-rads-1.k     time    SCF energy x 27.2113834 x 1519267604873490
//   B _SCF-Cycles.k     time    SCF cycles                       (with SCF cycles)
//   B _TDM+EV.k         energy    |TDM| of the chosen state      text forms (with TDM data)
//   B m.k               energy x 1519267604873490, the first m slots, m = points, 2 points, ...
//   B TDMm.k            |TDM| for the same slots                (separate TDM files)
//
// The time of slot t is (t + time offset) x time step; B starts with the output folder instead
// of the data folder when one is given.
#pragma once

#include "ev_extract/ev_charts.h"
#include "ev_extract/ev_series_table.h"
#include "ev_extract/ev_settings.h"
#include "ev_extract/file_series.h"
#include "ev_extract/status_log.h"
#include "platform/job_ui.h"
#include "platform/output_file.h"

#include <array>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr double hartree_to_ev = 27.2113834;
inline constexpr double ev_to_rad_per_s = 1519267604873490.0;

// B: the data folder (or the output folder) and the output prefix, each trimmed.
std::string output_base(const ev_settings& s, const file_series& series);

// The orbitals file of root k: B + ".orbitals.dat." + k.
inline constexpr std::string_view orbitals_part = ".orbitals.dat";

// B, `part` and "." k: the name of one of root k's files ("EV", ".orbitals.dat", ...).
std::string root_file_name(const ev_settings& s, const file_series& series, std::string_view part,
                           int k);

// Every file root k writes (the orbitals file included), in the order they are made.
std::vector<std::string> root_file_names(const ev_settings& s, const file_series& series, int k);

// The time written for slot t.
inline double slot_time(const ev_settings& s, long long t) {
    return static_cast<double>(t + s.time_offset) * s.time_step;
}

// Root k's slots by used slot (file_series::used_index): whether the slot has a line in root
// k's series (a slot left out has none; the others keep their times). The values are the
// table's.
struct root_series {
    std::vector<char> written;
};

// What the lines of one slot have in common in every root's files: the slot's time and the SCF
// lines. Each is formatted once per slot, when the first file asks for it; the slots are asked
// for in order, every root's files at one slot before the next slot.
class slot_texts {
public:
    slot_texts(const ev_settings& s, const ev_series_table& table) : s_(s), table_(table) {}
    enum class scf_column { hartrees, ev, rads, cycles };
    // The print form of slot t's time.
    const std::string& time(long long t);
    // Slot t's whole line (CR LF included) of an SCF file.
    const std::string& scf_line(scf_column column, long long t);

private:
    void go_to(long long t);

    const ev_settings& s_;
    const ev_series_table& table_;
    long long slot_ = 0; // the slot the texts below belong to
    std::string time_;
    std::array<std::string, 4> scf_lines_; // by scf_column; empty until asked for
};

// Root k's series files, open from the start so that each slot's lines can be written as soon
// as the slot's values are in the table: the job writes them while the workers parse the files
// further on. The files of one line per slot are open throughout; each angular-frequency file
// starts as a copy of the one before it and is closed once the next one has its copy, so at
// most two of them are open at once. Finished angular-frequency files wait for their turn, up
// to max_waiting_rad_files of them (so memory stays flat however long the series); finish()
// writes the rest one after the other. A failure to create or write a file is kept and raised
// by finish() when it reaches that file, as if the files were written one after the other
// there; until finish() no file is in place.
class root_series_files {
public:
    root_series_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, slot_texts& shared);
    // Slot t's line in each file.
    void add(long long t);
    // Logs each file as it is put in place, in order; raises a failure kept by add(). `values`
    // are the slots add() had.
    void finish(status_log& log, JobUi& ui, const root_series& values);
    static constexpr std::size_t max_waiting_rad_files = 256;
    // How many files are open at once, at most.
    std::size_t size() const { return files_.size() + (separate_ ? 4 : 2); }

private:
    enum class column { energy, scf_hartrees, scf_ev, scf_rads, scf_cycles, energy_tdm };
    struct series_file {
        column values;
        std::string_view what; // what the log says is written against time
        std::string name;
        std::unique_ptr<output_file> out;
    };
    // Angular-frequency file j: B m.k and, with separate TDM files, B TDMm.k.
    struct rad_file {
        long long lines = 0; // m
        std::unique_ptr<output_file> rads, tdms;
    };
    void keep_failure(std::size_t file);
    const std::string& line(column values, long long t);
    rad_file begin_rad_file(std::size_t j, rad_file* before);
    void write_rad_line(rad_file& file, long long t);
    void place_rad_file(rad_file& file, status_log& log);
    void add_rad_line(long long t);
    void write_remaining_rad_files(const root_series& values, status_log& log);

    const file_series& series_;
    const ev_series_table& table_;
    slot_texts& shared_;
    int k_;
    std::vector<series_file> files_;
    std::string base_;
    bool tdm_ = false, separate_ = false;
    std::string files_to_write_;         // the count the log announces
    std::vector<long long> rad_lengths_; // m of every angular-frequency file the slots may need
    std::vector<rad_file> rad_files_;    // those begun so far
    long long rad_lines_ = 0;            // lines in the last of them
    long long rad_resume_ = 0;           // the slot that found max_waiting_rad_files waiting
    // The first failure, met in file failed_file_: files_ first, then rad_files_ (a failure to
    // begin the next angular-frequency file is met in the file it would have been).
    std::exception_ptr failure_;
    std::size_t failed_file_ = 0;    // past every file while none
    std::string line_, length_line_; // reused for every line
};

// Every file of root k, fed here with every written slot unless `streamed` already holds them.
void write_root_files(const ev_settings& s, const file_series& series, const ev_series_table& table,
                      int k, const root_series& values, status_log& log, JobUi& ui,
                      root_series_files* streamed = nullptr);

// Adds root k's line to each chart, one point per slot written.
void add_root_curves(ev_charts& charts, const ev_settings& s, const file_series& series,
                     const ev_series_table& table, int k, const root_series& values);

} // namespace qm
