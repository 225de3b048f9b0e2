#include "ev_extract/excited_state_parser.h"

#include "ev_extract/orca_output_parser.h"

#include "platform/cartesian_atom.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace qm {
namespace {

// The electric transition dipole table's heading, 5 columns up to Gaussian 03 and 6 (with the
// dipole strength) from Gaussian 09:
//        state          X           Y           Z          Osc.
//        state          X           Y           Z        Dip. S.      Osc.
// Each row holds the state number, then X, Y and Z, read whole as they stand in the row.
constexpr std::string_view tdm_keys[] = {
    "state          X           Y           Z          Osc.",
    "state          X           Y           Z        Dip. S.      Osc."};
constexpr std::size_t tdm_row_fields = 5; // state, X, Y, Z, and at least the strength
constexpr std::string_view scf_key = "scf done: ";
constexpr std::string_view charge_key = "charge = ";
// " Excited State   4:      Singlet-BU     8.4709 eV  146.36 nm  f=0.0947  <S**2>=0.000"
constexpr std::string_view state_key = " excited state";
constexpr std::string_view singlet = "singlet-";

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

// "C 0. 0. 1.4" or, with a freeze code, "C 0 0. 0. -0.64308" (ONIOM fields may follow).
std::optional<structure_atom> atom_line(std::string_view line) {
    const auto f = split_fields(line);
    const auto x = cartesian_x_field(f);
    if (!x)
        return std::nullopt;
    return structure_atom{std::string(f[0]), std::string(f[*x]), std::string(f[*x + 1]),
                          std::string(f[*x + 2])};
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
    if (equals < end) {
        out.scf_energy = val(text.substr(equals + 1, end - equals - 1));
        const auto fields = split_fields(text.substr(equals + 1, end - equals - 1));
        if (!fields.empty())
            out.scf_energy_text = fields[0];
    }
    const std::size_t after = find_ignoring_case(text, "after", key);
    if (after < end) {
        // The character right after "after " is never looked at: a one-blank gap before the
        // count makes it read the word that follows.
        const std::size_t count = skip_blanks(text, after + 7);
        const std::size_t blank = std::min(text.find(' ', count), line_end(text, count));
        out.scf_cycles = val(mid(text, count, blank - count));
        out.scf_cycles_text = mid(text, count, blank - count);
    }
}

// A table row's state number; nullopt for a field that is not one (the table has ended).
std::optional<int> state_number(std::string_view field) {
    int number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (error != std::errc() || end != field.data() + field.size() || field[0] == '-')
        return std::nullopt;
    return number;
}

// The first table of either heading: the rows of the root range by their state numbers.
// Returns where the excited states are searched (after the table; from the start without one).
std::size_t read_tdm_table(std::string_view text, const parse_options& options,
                           parsed_output& out) {
    const std::size_t states =
        static_cast<std::size_t>(std::max(0, options.root_end - options.root_start + 1));
    out.tdm.assign(states, {0, 0, 0});
    if (options.printed)
        out.tdm_text.assign(states, {});
    std::size_t key = std::string_view::npos;
    for (std::string_view k : tdm_keys)
        key = std::min(key, find_ignoring_case(text, k));
    if (key == std::string_view::npos)
        return 0;
    std::vector<bool> read(states, false);
    std::size_t pos = line_end(text, key) + 1;
    for (; pos < text.size(); pos = line_end(text, pos) + 1) {
        const auto fields = split_fields(text.substr(pos, line_end(text, pos) - pos));
        const auto state = fields.size() < tdm_row_fields ? std::nullopt : state_number(fields[0]);
        if (!state)
            break;
        if (*state < options.root_start || *state > options.root_end)
            continue;
        const auto row = static_cast<std::size_t>(*state - options.root_start);
        for (std::size_t c = 0; c < 3; ++c) {
            out.tdm[row][c] = val(fields[c + 1]);
            if (options.printed)
                out.tdm_text[row][c] = fields[c + 1];
        }
        read[row] = true;
    }
    out.tdm_complete = std::find(read.begin(), read.end(), false) == read.end();
    return std::min(pos, text.size());
}

// Where the line of state `number` begins, at or after `from`; npos when there is none. State
// numbers stand after any number of blanks ("State   9:", "State  10:", "State 100:").
std::size_t find_state_line(std::string_view text, int number, std::size_t from) {
    const std::string wanted = std::to_string(number);
    for (std::size_t at = find_ignoring_case(text, state_key, from); at != std::string_view::npos;
         at = find_ignoring_case(text, state_key, at + 1)) {
        const std::size_t digits = skip_blanks(text, at + state_key.size());
        if (text.substr(digits, wanted.size()) == wanted &&
            mid(text, digits + wanted.size(), 1) == ":")
            return at;
    }
    return std::string_view::npos;
}

// The heading of each excited-state section; an excited-state optimisation prints one per step.
constexpr std::string_view section_key = "Excitation energies and oscillator strengths:";
constexpr std::string_view tdm_section_key = "Ground to excited state transition electric dipole";

// Where each section's heading stands. Counting them reads the whole file, where the states
// are read from its first part only: the heading is found by its final colon, which a
// Gaussian output holds a few hundred of, at the speed of memchr.
std::vector<std::size_t> section_positions(std::string_view text) {
    std::vector<std::size_t> at;
    for (std::size_t colon = text.find(':', section_key.size() - 1);
         colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
        const std::size_t start = colon + 1 - section_key.size();
        std::size_t i = 0;
        while (i < section_key.size() && fold_case(text[start + i]) == fold_case(section_key[i]))
            ++i;
        if (i == section_key.size())
            at.push_back(start);
    }
    return at;
}

// The last place `key` stands in [from, to); npos when it does not.
std::size_t find_last_before(std::string_view text, std::string_view key, std::size_t from,
                             std::size_t to) {
    std::size_t last = std::string_view::npos;
    for (std::size_t p = find_ignoring_case(text, key, from); p != std::string_view::npos && p < to;
         p = find_ignoring_case(text, key, p + key.size()))
        last = p;
    return last;
}

// Where the last section's data begin: its SCF Done line, else its dipole table, else its
// heading; never before the heading of the section ahead of it.
std::size_t last_section_start(std::string_view text, const std::vector<std::size_t>& sections) {
    const std::size_t heading = sections.back();
    const std::size_t previous =
        sections.size() > 1 ? sections[sections.size() - 2] + section_key.size() : 0;
    for (std::string_view key : {scf_key, tdm_section_key})
        if (const std::size_t at = find_last_before(text, key, previous, heading);
            at != std::string_view::npos) {
            const std::size_t lf = text.rfind('\n', at); // from the start of its line
            return lf == std::string_view::npos ? 0 : lf + 1;
        }
    return heading;
}

// The number of the last state line of the section whose heading stands at `heading`; 0 when
// it lists none.
int last_state_number(std::string_view text, std::size_t heading) {
    const std::size_t next = find_ignoring_case(text, section_key, heading + section_key.size());
    int last = 0;
    for (std::size_t at = find_ignoring_case(text, state_key, heading);
         at != std::string_view::npos && at < next;
         at = find_ignoring_case(text, state_key, at + state_key.size())) {
        const std::size_t digits = skip_blanks(text, at + state_key.size());
        std::size_t end = digits;
        while (end < text.size() && end - digits < 5 &&
               std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > digits && mid(text, end, 1) == ":")
            last = std::stoi(std::string(text.substr(digits, end - digits)));
    }
    return last;
}

// The fields of a state's line after its label, as printed: "2.9113 eV  425.88 nm  f=0.0636":
// the first, the one before "nm" and the one after "f=".
void read_state_texts(std::string_view line, excited_state& state) {
    std::string_view previous;
    for (std::size_t pos = line.find_first_not_of(' '); pos != std::string_view::npos;
         pos = line.find_first_not_of(' ', pos)) {
        const std::string_view field = line.substr(pos, line.find(' ', pos) - pos);
        pos += field.size();
        if (previous.empty())
            state.energy_text = field;
        else if (field.size() == 2 && fold_case(field[0]) == 'n' && fold_case(field[1]) == 'm')
            state.wavelength_text = previous;
        else if (field.size() > 2 && fold_case(field[0]) == 'f' && field[1] == '=')
            state.oscillator_text = field.substr(2);
        previous = field;
    }
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
    // A number too long for an orbital is the strict conversion's Overflow.
    t.from = strict_long(t.from_text);
    t.to = strict_long(t.to_text);
    t.coefficient = std::fabs(val(rest[0]));
    return t;
}

parsed_output parse_excited_state_output(std::string_view whole, const parse_options& given) {
    if (orca_banner_version(whole)) {
        parsed_output out = parse_orca_output(whole, given);
        out.program = output_program::orca;
        return out;
    }
    parsed_output out;
    if (given.structure)
        out.structure = read_structure(whole);
    const std::vector<std::size_t> sections = section_positions(whole);
    out.sections = static_cast<int>(sections.size());
    // The section read: the whole text from its SCF Done line on (the first section's data
    // are the first of the file).
    const std::size_t start =
        given.last_section && sections.size() > 1 ? last_section_start(whole, sections) : 0;
    const std::string_view text = whole.substr(start);
    parse_options options = given;
    if (options.to_last_state) {
        const int last = sections.empty()
                             ? 0
                             : last_state_number(text, (given.last_section ? sections.back()
                                                                           : sections.front()) -
                                                           start);
        options.root_end = std::min(options.root_end, last);
    }
    read_scf(text, out);
    std::size_t p = read_tdm_table(text, options, out);

    for (int r = options.root_start; r <= options.root_end; ++r) {
        excited_state state;
        state.number = r;
        const std::size_t q = find_state_line(text, r, std::min(p, text.size()));
        if (q == std::string_view::npos) {
            out.states.push_back(std::move(state)); // not a candidate; the search stays put
            continue;
        }
        state.found = true;
        // "<number>:", blanks, then the multiplicity and symmetry ("Singlet-A'", "Triplet-SG").
        const std::size_t end = line_end(text, q);
        const std::size_t label = skip_blanks(text, text.find(':', q) + 1);
        const std::size_t after_label = std::min(text.find(' ', label), end);
        p = skip_blanks(text, after_label);
        const std::string_view label_text = text.substr(label, after_label - label);
        if (options.printed) {
            state.label = label_text;
            state.multiplicity = label_text.substr(0, label_text.find('-'));
            read_state_texts(mid(text, p, end - p), state);
        }
        state.energy = val(mid(text, p, end - p));
        // Only singlets are candidates, whatever their symmetry.
        if (find_ignoring_case(label_text, singlet) != 0) {
            out.states.push_back(std::move(state));
            continue;
        }
        if (state.energy < options.limit_low || state.energy > options.limit_high) {
            out.states.push_back(std::move(state));
            continue;
        }
        // The oscillator strength stands on the state's own line; a line cut short (a job
        // still running) gives no candidate rather than a later state's value.
        const std::size_t f = find_ignoring_case(text.substr(0, end), "f=", p);
        if (f == std::string_view::npos) {
            out.states.push_back(std::move(state));
            continue;
        }
        p = f + 2;
        state.oscillator = val(mid(text, p, end - p));
        state.candidate = true;
        if (options.transitions)
            state.transitions = read_transitions(text, end + 1);
        out.states.push_back(std::move(state));
    }
    return out;
}

} // namespace qm
