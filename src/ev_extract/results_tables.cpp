#include "ev_extract/results_tables.h"

#include "ev_extract/time_series_files.h"
#include "platform/number_form.h"
#include "platform/text.h"

namespace qm {
namespace {

constexpr std::string_view ok_status = "ok";
constexpr std::string_view empty_status = "no state in window";

// The state numbered r among those read from the file; nothing beyond them.
const excited_state* state_numbered(const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    return r >= root_start && i < parsed.states.size() && parsed.states[i].found
               ? &parsed.states[i]
               : nullptr;
}

// ",X,Y,Z" of state r's dipole row as printed; three empty cells without a row.
std::string tdm_cells(const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    std::string cells;
    for (int c = 0; c < 3; ++c)
        cells += "," + (i < parsed.tdm_text.size() ? csv_field(parsed.tdm_text[i][c]) : "");
    return cells;
}

bool has_tdm_row(const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    return i < parsed.tdm_text.size() && !parsed.tdm_text[i][0].empty();
}

// ",label,energy,wavelength,strength" of a state as printed.
std::string state_cells(const excited_state& state) {
    return "," + csv_field(state.label) + "," + csv_field(state.energy_text) + "," +
           csv_field(state.wavelength_text) + "," + csv_field(state.oscillator_text);
}

} // namespace

results_tables::results_tables(const ev_settings& s, const file_series& series)
    : s_(s), series_(series) {
    if (!s.texts.results_table.empty()) {
        results_ = std::make_unique<staged_file>(s.texts.results_table);
        results_->write(results_table_header);
    }
    if (!s.texts.states_table.empty()) {
        states_ = std::make_unique<staged_file>(s.texts.states_table);
        states_->write(states_table_header);
    }
}

std::string results_tables::slot_cells(long long f) const {
    return text_form(series_.first_number + static_cast<double>(f - 1)) + "," +
           csv_field(series_.file_name(f)) + "," + shortest_form(slot_time(s_, f));
}

void results_tables::add_read(long long f, const parsed_output& parsed,
                              const ev_series_table& table) {
    const std::string slot = slot_cells(f);
    if (results_) {
        const std::string scf =
            "," + csv_field(parsed.scf_energy_text) + "," + csv_field(parsed.scf_cycles_text);
        std::string rows;
        for (int k = 1; k <= s_.no_roots; ++k) {
            rows += slot + "," + count_text(k);
            const int r = table.root_map(k, f);
            const excited_state* state = state_numbered(parsed, s_.root_start, r);
            if (state == nullptr) {
                rows += ",,,,,,,,," + scf + "," + std::string(empty_status) + "\n";
                continue;
            }
            rows += "," + count_text(r) + state_cells(*state) + tdm_cells(parsed, s_.root_start, r);
            rows += "," + (has_tdm_row(parsed, s_.root_start, r)
                               ? shortest_form(table.tdm_length(r, f))
                               : std::string());
            rows += scf + "," + std::string(ok_status) + "\n";
        }
        results_->write(rows);
    }
    if (states_) {
        std::string rows;
        for (const excited_state& state : parsed.states) {
            if (!state.found)
                continue;
            int chosen = 0; // the first root that follows it (two may, in the orbital profile)
            for (int k = s_.no_roots; k >= 1; --k)
                if (table.root_map(k, f) == state.number)
                    chosen = k;
            rows += slot + "," + count_text(state.number) + "," + csv_field(state.multiplicity) +
                    state_cells(state) + tdm_cells(parsed, s_.root_start, state.number) + "," +
                    (chosen == 0 ? std::string() : count_text(chosen)) + "\n";
        }
        states_->write(rows);
    }
}

void results_tables::add_skipped(long long f, std::string_view reason) {
    if (!results_)
        return;
    const std::string slot = slot_cells(f);
    const std::string status = csv_field("skipped: " + std::string(reason));
    std::string rows;
    for (int k = 1; k <= s_.no_roots; ++k)
        rows += slot + "," + count_text(k) + ",,,,,,,,,,,," + status + "\n";
    results_->write(rows);
}

void results_tables::commit() {
    if (results_)
        results_->commit();
    if (states_)
        states_->commit();
}

} // namespace qm
