#include "ev_extract/results_tables.h"

#include "ev_extract/time_series_files.h"
#include "platform/number_form.h"
#include "platform/text.h"

namespace qm {
namespace {

constexpr std::string_view ok_status = "ok";
constexpr std::string_view empty_status = "no state in window";

// ",text": the next cell of a row.
void cell(std::string& row, std::string_view text) {
    row += ',';
    append_csv_field(row, text);
}

// The state numbered r among those read from the file; nothing beyond them.
const excited_state* state_numbered(const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    return r >= root_start && i < parsed.states.size() && parsed.states[i].found
               ? &parsed.states[i]
               : nullptr;
}

// X, Y, Z of state r's dipole row as printed; three empty cells without a row.
void tdm_cells(std::string& row, const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    for (std::size_t c = 0; c < 3; ++c)
        cell(row, i < parsed.tdm_text.size() ? std::string_view(parsed.tdm_text[i][c]) : "");
}

bool has_tdm_row(const parsed_output& parsed, int root_start, int r) {
    const auto i = static_cast<std::size_t>(r - root_start);
    return i < parsed.tdm_text.size() && !parsed.tdm_text[i][0].empty();
}

// Label, energy, wavelength and strength of a state as printed.
void state_cells(std::string& row, const excited_state& state) {
    for (const std::string* text :
         {&state.label, &state.energy_text, &state.wavelength_text, &state.oscillator_text})
        cell(row, *text);
}

} // namespace

results_tables::results_tables(const ev_settings& s, const file_series& series)
    : s_(s), series_(series) {
    if (!s.texts.results_table.empty()) {
        results_ = std::make_unique<output_file>(s.texts.results_table);
        results_->write(results_table_header);
    }
    if (!s.texts.states_table.empty()) {
        states_ = std::make_unique<output_file>(s.texts.states_table);
        states_->write(states_table_header);
    }
}

std::string results_tables::slot_cells(long long f) const {
    std::string cells = text_form(series_.first_number + static_cast<double>(f - 1));
    cell(cells, series_.file_name(f));
    cell(cells, round_trip_form(slot_time(s_, f)));
    return cells;
}

void results_tables::add_read(long long f, const parsed_output& parsed,
                              const ev_series_table& table) {
    if (!results_ && !states_)
        return; // no row to make: a run without tables spends nothing here
    const std::string slot = slot_cells(f);
    std::string rows;
    if (results_) {
        for (int k = 1; k <= s_.no_roots; ++k) {
            rows += slot;
            cell(rows, count_text(k));
            const int r = table.root_map(k, f);
            const excited_state* state = state_numbered(parsed, s_.root_start, r);
            if (state == nullptr) {
                rows += ",,,,,,,,,";
            } else {
                cell(rows, count_text(r));
                state_cells(rows, *state);
                tdm_cells(rows, parsed, s_.root_start, r);
                cell(rows, has_tdm_row(parsed, s_.root_start, r)
                               ? round_trip_form(dipole_length(parsed.tdm, s_.root_start, r))
                               : std::string());
            }
            cell(rows, parsed.scf_energy_text);
            cell(rows, parsed.scf_cycles_text);
            cell(rows, state == nullptr ? empty_status : ok_status);
            rows += '\n';
        }
        results_->write(rows);
    }
    if (states_) {
        rows.clear();
        for (const excited_state& state : parsed.states) {
            if (!state.found)
                continue;
            int chosen = 0; // the first root that follows it (two may, in the orbital profile)
            for (int k = s_.no_roots; k >= 1; --k)
                if (table.root_map(k, f) == state.number)
                    chosen = k;
            rows += slot;
            cell(rows, count_text(state.number));
            cell(rows, state.multiplicity);
            state_cells(rows, state);
            tdm_cells(rows, parsed, s_.root_start, state.number);
            cell(rows, chosen == 0 ? std::string() : count_text(chosen));
            rows += '\n';
        }
        states_->write(rows);
    }
}

void results_tables::add_skipped(long long f, std::string_view reason) {
    if (!results_)
        return;
    const std::string slot = slot_cells(f);
    std::string rows;
    for (int k = 1; k <= s_.no_roots; ++k) {
        rows += slot;
        cell(rows, count_text(k));
        rows += ",,,,,,,,,,,";
        cell(rows, "skipped: " + std::string(reason));
        rows += '\n';
    }
    results_->write(rows);
}

void results_tables::commit() {
    if (results_)
        results_->close();
    if (states_)
        states_->close();
}

} // namespace qm
