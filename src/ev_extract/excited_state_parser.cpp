#include "ev_extract/excited_state_parser.h"

#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace qm {
namespace {

// "state", 10 blanks, "X", 11 blanks, "Y", 11 blanks, "Z", 10 blanks, "Osc."
constexpr std::string_view tdm_key = "state          X           Y           Z          Osc.";
// The first row starts 55 characters after the key (the key and the line feed after it);
// X, Y and Z are read as 7 characters at columns 19, 31 and 43 of each 61-character row.
constexpr std::size_t tdm_first_row = 55;
constexpr std::size_t tdm_row = 62;
constexpr std::size_t tdm_columns[] = {18, 30, 42};
constexpr std::size_t tdm_width = 7;
constexpr std::string_view scf_key = "scf done: ";
constexpr std::string_view charge_key = "charge = ";
constexpr std::size_t energy_field = 6;
constexpr std::size_t oscillator_width = 6;

// Mid() of the text: empty beyond its end, shorter at it.
std::string_view mid(std::string_view text, std::size_t pos, std::size_t n) {
    return pos >= text.size() ? std::string_view() : text.substr(pos, n);
}

std::size_t line_end(std::string_view text, std::size_t pos) {
    const std::size_t lf = text.find('\n', pos);
    return lf == std::string_view::npos ? text.size() : lf;
}

std::size_t skip_blanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    return pos;
}

// "C 0. 0. 1.4" or, with a freeze code, "C 0 0. 0. -0.64308".
std::optional<structure_atom> atom_line(std::string_view line) {
    const auto f = split_fields(line);
    if (f.size() != 4 && f.size() != 5)
        return std::nullopt;
    const std::size_t x = f.size() - 3;
    if (f.size() == 5 && !(is_number(f[1]) && f[1].find('.') == std::string_view::npos))
        return std::nullopt;
    if (!is_number(f[x]) || !is_number(f[x + 1]) || !is_number(f[x + 2]))
        return std::nullopt;
    return structure_atom{std::string(f[0]), std::string(f[x]), std::string(f[x + 1]),
                          std::string(f[x + 2])};
}

// The atoms listed after the charge and multiplicity line, up to the first other line.
std::optional<std::vector<structure_atom>> read_structure(std::string_view text) {
    const std::size_t charge = find_ignoring_case(text, charge_key);
    if (charge == std::string_view::npos)
        return std::nullopt;
    std::vector<structure_atom> atoms;
    for (std::size_t pos = line_end(text, charge) + 1; pos < text.size();) {
        const std::size_t end = line_end(text, pos);
        const auto atom = atom_line(text.substr(pos, end - pos));
        if (!atom)
            break;
        atoms.push_back(*atom);
        pos = end + 1;
    }
    if (atoms.empty())
        return std::nullopt;
    return atoms;
}

// The energy after the "=" of the "SCF Done:" line, and the count after its word "after".
void read_scf(std::string_view text, parsed_output& out) {
    const std::size_t key = find_ignoring_case(text, scf_key);
    if (key == std::string_view::npos)
        return;
    const std::size_t end = line_end(text, key);
    const std::size_t equals = text.find('=', key);
    if (equals < end)
        out.scf_energy = val(text.substr(equals + 1, end - equals - 1));
    const std::size_t after = find_ignoring_case(text, "after", key);
    if (after < end) {
        // The character right after "after " is never looked at: a one-blank gap before the
        // count makes it read the word that follows.
        const std::size_t count = skip_blanks(text, after + 7);
        const std::size_t blank = std::min(text.find(' ', count), line_end(text, count));
        out.scf_cycles = val(mid(text, count, blank - count));
    }
}

// The table's rows 1..root_end read at fixed columns; returns where the states are searched.
std::size_t read_tdm_table(std::string_view text, const parse_options& options,
                           parsed_output& out) {
    out.tdm.assign(static_cast<std::size_t>(std::max(0, options.root_end - options.root_start + 1)),
                   {0, 0, 0});
    const std::size_t key = find_ignoring_case(text, tdm_key);
    if (key == std::string_view::npos)
        return 0; // no table: no values from elsewhere in the file
    std::size_t row = key + tdm_first_row;
    for (int r = 1; r <= options.root_end; ++r, row += tdm_row) {
        if (r < options.root_start)
            continue;
        auto& xyz = out.tdm[static_cast<std::size_t>(r - options.root_start)];
        for (std::size_t c = 0; c < 3; ++c)
            xyz[c] = val(mid(text, row + tdm_columns[c], tdm_width));
    }
    return row;
}

// The transition lines right after the state's line, up to the first other line.
std::vector<transition> read_transitions(std::string_view text, std::size_t pos) {
    std::vector<transition> out;
    while (pos < text.size()) {
        const std::size_t end = line_end(text, pos);
        auto t = parse_transition_line(text.substr(pos, end - pos));
        if (!t)
            break;
        out.push_back(std::move(*t));
        pos = end + 1;
    }
    return out;
}

} // namespace

std::string excited_state_key(int state) {
    std::string number = std::to_string(state);
    if (number.size() < 4)
        number.insert(0, 4 - number.size(), ' ');
    return " Excited State" + number + ":   Singlet-?Sym";
}

std::optional<transition> parse_transition_line(std::string_view line) {
    std::size_t pos = skip_blanks(line, 0);
    if (pos == 0)
        return std::nullopt; // transition lines are indented
    auto digits = [&](std::string& into) {
        const std::size_t start = pos;
        while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos])))
            ++pos;
        into.assign(line.substr(start, pos - start));
        return pos > start;
    };
    transition t;
    if (!digits(t.from_text))
        return std::nullopt;
    pos = skip_blanks(line, pos);
    const std::string_view arrow = mid(line, pos, 2);
    if (arrow != "->" && arrow != "<-")
        return std::nullopt;
    t.excitation = arrow == "->";
    pos = skip_blanks(line, pos + 2);
    if (!digits(t.to_text) || pos >= line.size() || line[pos] != ' ')
        return std::nullopt;
    const auto rest = split_fields(line.substr(pos));
    if (rest.size() != 1 || !is_number(rest[0]))
        return std::nullopt;
    t.from = std::stoi(t.from_text);
    t.to = std::stoi(t.to_text);
    t.coefficient = std::fabs(val(rest[0]));
    return t;
}

parsed_output parse_excited_state_output(std::string_view text, const parse_options& options) {
    parsed_output out;
    if (options.structure)
        out.structure = read_structure(text);
    read_scf(text, out);
    std::size_t p = read_tdm_table(text, options, out);

    for (int r = options.root_start; r <= options.root_end; ++r) {
        excited_state state;
        state.number = r;
        const std::string key = excited_state_key(r);
        const std::size_t q = find_ignoring_case(text, key, std::min(p, text.size()));
        if (q == std::string_view::npos) {
            out.states.push_back(std::move(state)); // not a candidate; the search stays put
            continue;
        }
        state.found = true;
        p = skip_blanks(text, q + key.size());
        state.energy = val(mid(text, p, line_end(text, p) - p));
        if (state.energy < options.limit_low || state.energy > options.limit_high) {
            out.states.push_back(std::move(state));
            continue;
        }
        // The oscillator strength stands on the state's own line; a line cut short (a job
        // still running) gives no candidate rather than a later state's value.
        p += energy_field;
        const std::size_t end = line_end(text, q);
        const std::size_t f = find_ignoring_case(text, "f=", std::min(p, end));
        if (f >= end) {
            out.states.push_back(std::move(state));
            continue;
        }
        p = f + 2;
        state.oscillator = val(mid(text, p, oscillator_width));
        state.candidate = true;
        if (options.transitions)
            state.transitions = read_transitions(text, end + 1);
        out.states.push_back(std::move(state));
    }
    return out;
}

} // namespace qm
