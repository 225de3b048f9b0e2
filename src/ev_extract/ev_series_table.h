// What the extraction collects across the series, per used slot f (1, 1 + interval, ... up to
// file_count), root k (1..n) and Gaussian state r (root_start..root_end). The TDM routines that
// run after the extraction take it as it stands.
#pragma once

#include "ev_extract/excited_state_parser.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// sqrt(X*X + Y*Y + Z*Z) of a transition dipole.
inline double dipole_length(const std::array<double, 3>& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// The length of state r's dipole among the rows of states root_start, root_start + 1, ...;
// 0 for a state beyond them.
inline double dipole_length(const std::vector<std::array<double, 3>>& rows, int root_start,
                            int r) {
    const auto row = static_cast<std::size_t>(r - root_start);
    return row < rows.size() ? dipole_length(rows[row]) : 0.0;
}

class ev_series_table {
public:
    // Only the used slots 1, 1 + slot_interval, ... are kept.
    ev_series_table(int roots, int root_start, int root_end, long long file_count,
                    long long slot_interval = 1)
        : roots_(roots), root_start_(root_start), root_end_(root_end), file_count_(file_count),
          slot_interval_(slot_interval), root_map_(static_cast<std::size_t>(roots) * slots(), 0),
          energy_(root_map_.size(), 0), chosen_tdm_(root_map_.size(), 0),
          scf_energy_(slots(), 0), scf_cycles_(slots(), 0), left_out_(slots(), 0) {}

    int roots() const { return roots_; }
    int root_start() const { return root_start_; }
    int root_end() const { return root_end_; }
    long long file_count() const { return file_count_; }

    // The Gaussian state chosen as root k in slot f; 0 where none was chosen.
    std::int32_t& root_map(int k, long long f) { return root_map_[index(k - 1, f)]; }
    std::int32_t root_map(int k, long long f) const { return root_map_[index(k - 1, f)]; }
    // The energy (eV) of root k's state in slot f; the window's upper limit where none.
    double& energy(int k, long long f) { return energy_[index(k - 1, f)]; }
    double energy(int k, long long f) const { return energy_[index(k - 1, f)]; }
    // |TDM| of root k's state in slot f; 0 where none was chosen or its row is missing.
    double& chosen_tdm_length(int k, long long f) { return chosen_tdm_[index(k - 1, f)]; }
    double chosen_tdm_length(int k, long long f) const { return chosen_tdm_[index(k - 1, f)]; }
    // X, Y, Z of state r's transition dipole in slot f, as printed, for the TDM routines: the
    // rows are kept only for a run that sets them (they would otherwise be most of the job's
    // memory per file). Each slot holds the states its file was read for (the range may end at
    // each file's own last state); a state beyond them reads 0.
    std::array<double, 3>& tdm_xyz(int r, long long f) {
        auto& rows = tdm_rows(f);
        const auto row = static_cast<std::size_t>(r - root_start_);
        if (row >= rows.size())
            rows.resize(row + 1, {0, 0, 0});
        return rows[row];
    }
    const std::array<double, 3>& tdm_xyz(int r, long long f) const {
        static constexpr std::array<double, 3> none{0, 0, 0};
        if (tdm_xyz_.empty())
            return none;
        const auto& rows = tdm_xyz_[slot(f)];
        const auto row = static_cast<std::size_t>(r - root_start_);
        return row < rows.size() ? rows[row] : none;
    }
    void set_tdms(long long f, const std::vector<std::array<double, 3>>& rows) {
        tdm_rows(f) = rows;
    }
    // sqrt(X*X + Y*Y + Z*Z) of state r in slot f.
    double tdm_length(int r, long long f) const { return dipole_length(tdm_xyz(r, f)); }
    double& scf_energy(long long f) { return scf_energy_[slot(f)]; }
    double scf_energy(long long f) const { return scf_energy_[slot(f)]; }
    std::int16_t& scf_cycles(long long f) { return scf_cycles_[slot(f)]; }
    std::int16_t scf_cycles(long long f) const { return scf_cycles_[slot(f)]; }
    // The structure of slot f (for the structure-dependent TDM fit); atom_count from slot 1.
    std::vector<structure_atom>& coords(long long f) {
        if (coords_.empty())
            coords_.resize(slots());
        return coords_[slot(f)];
    }
    const std::vector<structure_atom>& coords(long long f) const {
        static const std::vector<structure_atom> none;
        return coords_.empty() ? none : coords_[slot(f)];
    }
    long long atom_count = 0;
    // Slot f is in none of the series (its file was skipped, or a root found no state in it
    // and empty slots are left out): the TDM routines pass over it.
    bool left_out(long long f) const { return left_out_[slot(f)] != 0; }
    void leave_out(long long f) { left_out_[slot(f)] = 1; }

private:
    std::size_t slots() const {
        return file_count_ < 1 ? 0
                               : static_cast<std::size_t>((file_count_ - 1) / slot_interval_ + 1);
    }
    std::size_t slot(long long f) const {
        return static_cast<std::size_t>((f - 1) / slot_interval_);
    }
    std::size_t index(int row, long long f) const {
        return static_cast<std::size_t>(row) * slots() + slot(f);
    }
    std::vector<std::array<double, 3>>& tdm_rows(long long f) {
        if (tdm_xyz_.empty())
            tdm_xyz_.resize(slots());
        return tdm_xyz_[slot(f)];
    }

    int roots_, root_start_, root_end_;
    long long file_count_, slot_interval_;
    std::vector<std::int32_t> root_map_;
    std::vector<double> energy_, chosen_tdm_;                 // like root_map_
    std::vector<std::vector<std::array<double, 3>>> tdm_xyz_; // by used slot, then state
    std::vector<double> scf_energy_;
    std::vector<std::int16_t> scf_cycles_;
    std::vector<std::vector<structure_atom>> coords_;
    std::vector<char> left_out_;
};

// What the extraction holds for `files` used slots, `roots` roots and `states` states searched
// in every file, in bytes (its tables, the files read ahead while they are parsed, and the
// workers' read buffers at their limit): the
// job refuses a run whose tables do not fit in the computer's memory before it makes them.
// Counted in doubles: a range can ask for more than 64 bits count.
double ev_memory_needed(double files, double roots, double states);

// Why the tables of such a run cannot be held, naming the need and the limit; nothing when
// they can.
std::optional<std::string> ev_memory_refusal(double files, double roots, double states);

inline constexpr std::string_view memory_refused_title = "Not Enough Memory";

} // namespace qm
