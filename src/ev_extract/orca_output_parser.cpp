#include "ev_extract/orca_output_parser.h"

#include "platform/number_form.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace qm {
namespace {

// The banner and its version line stand within the first 60 lines of every ORCA output.
constexpr std::size_t banner_lines = 100;
constexpr std::string_view banner_key = "* O   R   C   A *";
constexpr std::string_view version_key = "Program Version ";

constexpr std::string_view singlets_key = "EXCITED STATES (SINGLETS)";
constexpr std::string_view triplets_key = "EXCITED STATES (TRIPLETS)";
constexpr std::string_view spectrum_key =
    "ABSORPTION SPECTRUM VIA TRANSITION ELECTRIC DIPOLE MOMENTS";
constexpr std::string_view converged_key = "SCF CONVERGED AFTER";
constexpr std::string_view total_energy_key = "Total Energy       :";
constexpr std::string_view coordinates_key = "CARTESIAN COORDINATES (ANGSTROEM)";

// The lines of a text one after another, each without its line feed.
class line_cursor {
public:
    explicit line_cursor(std::string_view text, std::size_t from = 0)
        : text_(text), pos_(std::min(from, text.size())) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size())
            return false;
        const std::size_t lf = text_.find('\n', pos_);
        const std::size_t end = lf == std::string_view::npos ? text_.size() : lf;
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }
    std::size_t position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_;
};

// Where the first `count` lines of a text end: past the line feed of the last of them.
std::size_t lines_end(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; n < count && end < text.size(); ++n) {
        const std::size_t lf = text.find('\n', end);
        end = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return end;
}

bool contains(std::string_view line, std::string_view key) {
    return line.find(key) != std::string_view::npos;
}

std::optional<int> whole_number(std::string_view text) {
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

// What the file says of one state, gathered from its line and the spectrum.
struct orca_state {
    int multiplicity = 0;
    double energy_hartree = 0;
    std::optional<double> energy_ev; // the spectrum's eV column (ORCA 6)
    std::optional<double> oscillator;
    std::optional<std::array<double, 3>> tdm;
    std::vector<transition> transitions;
    // As printed: the symmetry ("Bu"), the spectrum's eV, nm and strength fields and its dipole
    // row (empty for a spin-forbidden row, which has none).
    std::string symmetry, energy_text, wavelength_text, oscillator_text;
    std::array<std::string, 3> tdm_text;
};

// "Singlet", "Triplet": the word the tables use for a multiplicity, as Gaussian prints it.
std::string multiplicity_word(int multiplicity) {
    return multiplicity == 1 ? "Singlet" : multiplicity == 3 ? "Triplet" : std::to_string(multiplicity);
}

// "Bu" of ORCA 6's "... Sym: Bu Mult 1" or of ORCA 5's own line "     Symmetry: Bu".
std::string symmetry_after(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos)
        return {};
    const auto fields = split_fields(line.substr(at + key.size()));
    return fields.empty() ? std::string() : std::string(fields[0]);
}

// "STATE  1:  E=   0.196682 au ..." -> 1 and the hartree value.
std::optional<std::pair<int, double>> state_line(std::string_view line) {
    if (line.substr(0, 6) != "STATE ")
        return std::nullopt;
    const auto fields = split_fields(line);
    if (fields.size() < 4 || fields[1].empty() || fields[1].back() != ':' || fields[2] != "E=")
        return std::nullopt;
    const auto number = whole_number(fields[1].substr(0, fields[1].size() - 1));
    if (!number || !is_number(fields[3]))
        return std::nullopt;
    return std::pair{*number, val(fields[3])};
}

// "    33a ->  35a  :     0.563022 (c=  0.75034767)": orbitals in the window's numbering and
// |c|, the coefficient Gaussian prints (the square root of the weight where no c is printed).
std::optional<transition> orca_transition_line(std::string_view line) {
    const auto fields = split_fields(line);
    if (fields.size() < 5 || (fields[1] != "->" && fields[1] != "<-") || fields[3] != ":")
        return std::nullopt;
    auto orbital = [](std::string_view f) -> std::optional<int> {
        if (f.size() < 2 || (f.back() != 'a' && f.back() != 'b'))
            return std::nullopt;
        return whole_number(f.substr(0, f.size() - 1));
    };
    const auto from = orbital(fields[0]);
    const auto to = orbital(fields[2]);
    if (!from || !to || !is_number(fields[4]))
        return std::nullopt;
    transition t;
    t.from = *from + orca_orbital_offset;
    t.to = *to + orca_orbital_offset;
    t.excitation = fields[1] == "->";
    t.from_text = std::to_string(t.from);
    t.to_text = std::to_string(t.to);
    const std::size_t c = line.find("(c=");
    t.coefficient = c == std::string_view::npos ? std::sqrt(std::fabs(val(fields[4])))
                                                : std::fabs(val(line.substr(c + 3)));
    return t;
}

// "2-1Bu" -> the second state of multiplicity 1.
std::optional<std::pair<int, int>> orca6_state_name(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash + 1 >= name.size())
        return std::nullopt;
    const auto index = whole_number(name.substr(0, dash));
    const std::size_t digits = dash + 1;
    std::size_t end = digits;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9')
        ++end;
    const auto multiplicity = whole_number(name.substr(digits, end - digits));
    if (!index || !multiplicity)
        return std::nullopt;
    return std::pair{*index, *multiplicity};
}

class orca_reader {
public:
    orca_reader(std::string_view text, const parse_options& options)
        : text_(text), options_(options) {}

    parsed_output read() {
        parsed_output out;
        // Each "EXCITED STATES (SINGLETS)" heading begins a section (an excited-state
        // optimisation prints one per step): the first is read, or the last when asked.
        std::vector<std::size_t> sections;
        for (std::size_t at = text_.find(singlets_key); at != std::string_view::npos;
             at = text_.find(singlets_key, at + 1))
            sections.push_back(at);
        out.sections = static_cast<int>(sections.size());
        if (options_.structure)
            out.structure = read_structure();
        const bool last = options_.last_section && sections.size() > 1;
        const std::size_t heading = sections.empty() ? text_.size()
                                    : last            ? sections.back()
                                                      : sections.front();
        // The SCF of the section read: the file's first, or the last one after the previous
        // section's heading.
        read_scf(last ? sections[sections.size() - 2] : 0, heading, last, out);
        if (!sections.empty())
            read_states(heading);
        if (options_.to_last_state)
            options_.root_end =
                std::min(options_.root_end, states_.empty() ? 0 : states_.rbegin()->first);
        fill(out);
        return out;
    }

private:
    // The first coordinate block: "  C      1.426385    0.000000    0.000000" after its rule.
    std::optional<std::vector<structure_atom>> read_structure() const {
        const std::size_t key = text_.find(coordinates_key);
        if (key == std::string_view::npos)
            return std::nullopt;
        line_cursor lines(text_, key);
        std::string_view line;
        lines.next(line); // the heading
        lines.next(line); // its rule
        std::vector<structure_atom> atoms;
        while (lines.next(line)) {
            const auto f = split_fields(line);
            if (f.size() != 4 || !is_number(f[1]) || !is_number(f[2]) || !is_number(f[3]))
                break;
            atoms.push_back({std::string(f[0]), std::string(f[1]), std::string(f[2]),
                             std::string(f[3])});
        }
        if (atoms.empty())
            return std::nullopt;
        return atoms;
    }

    // A converged SCF between `from` and `before` (the first one, or the last with `last`),
    // and its total energy.
    void read_scf(std::size_t from, std::size_t before, bool last, parsed_output& out) const {
        const std::string_view head = text_.substr(0, before);
        const std::size_t converged =
            last ? head.rfind(converged_key) : head.find(converged_key, from);
        if (converged == std::string_view::npos || converged < from)
            return;
        const auto cycles = split_fields(head.substr(converged + converged_key.size(), 12));
        if (cycles.empty())
            return;
        out.scf_cycles = val(cycles[0]);
        const std::size_t total = head.find(total_energy_key, converged);
        if (total == std::string_view::npos)
            return;
        const std::size_t end = std::min(head.find('\n', total), head.size());
        const auto energy = split_fields(head.substr(total + total_energy_key.size(),
                                                     end - total - total_energy_key.size()));
        if (energy.empty())
            return;
        out.scf_energy = val(energy[0]);
        if (options_.printed) {
            out.scf_cycles_text = cycles[0];
            out.scf_energy_text = energy[0];
        }
    }

    // The state blocks from the singlet heading on, then the first electric dipole spectrum.
    void read_states(std::size_t from) {
        line_cursor lines(text_, from);
        std::string_view line;
        int multiplicity = 1;
        int numbering_offset = 0;
        bool first_triplet = false;
        orca_state* current = nullptr;
        while (lines.next(line)) {
            if (contains(line, triplets_key)) {
                multiplicity = 3;
                first_triplet = true;
                current = nullptr;
            } else if (contains(line, spectrum_key)) {
                read_spectrum(lines);
                return;
            } else if (const auto state = state_line(line)) {
                // ORCA 5 numbers the triplets from 1 again; ORCA 6 goes on after the singlets.
                if (first_triplet && state->first <= singlet_count_)
                    numbering_offset = singlet_count_;
                first_triplet = false;
                const int number = state->first + (multiplicity == 3 ? numbering_offset : 0);
                current = &states_[number];
                current->multiplicity = multiplicity;
                current->energy_hartree = state->second;
                current->symmetry = symmetry_after(line, "Sym: ");
                if (multiplicity == 1)
                    singlet_count_ = std::max(singlet_count_, state->first);
            } else if (current != nullptr) {
                if (auto t = orca_transition_line(line))
                    current->transitions.push_back(std::move(*t));
                else if (const std::string sym = symmetry_after(line, "Symmetry: "); !sym.empty())
                    current->symmetry = sym;
                else
                    current = nullptr; // the state's lines have ended
            }
        }
    }

    // The rows after the heading, its rule, the column and unit lines and the second rule.
    void read_spectrum(line_cursor& lines) {
        std::string_view line;
        std::string_view columns;
        for (int skip = 0; skip < 4 && lines.next(line); ++skip)
            if (skip == 1)
                columns = line;
        const bool orca6 = contains(columns, "Transition");
        while (lines.next(line)) {
            const auto f = split_fields(line);
            if (orca6 ? !read_orca6_row(f) : !read_orca5_row(f))
                break;
        }
    }

    // "   1   43166.7    231.7   0.005267213   0.04017  -0.16816  -0.10906   0.00000", or a
    // triplet's "   6   25241.0    396.2   spin forbidden (mult=3)".
    bool read_orca5_row(const std::vector<std::string_view>& f) {
        const auto number = f.empty() ? std::nullopt : whole_number(f[0]);
        if (!number || f.size() < 4)
            return false;
        orca_state& s = states_[*number];
        s.wavelength_text = f[2];
        if (f[3] == "spin") {
            s.tdm = std::array<double, 3>{0, 0, 0}; // no electric dipole for a spin flip
            return true;
        }
        if (f.size() < 8)
            return false;
        s.oscillator = val(f[3]);
        s.oscillator_text = f[3];
        s.tdm = std::array<double, 3>{val(f[5]), val(f[6]), val(f[7])};
        s.tdm_text = {std::string(f[5]), std::string(f[6]), std::string(f[7])};
        return true;
    }

    // "  0-1Ag ->  2-1Bu   5.731321   46226.2   216.3   1.170940055   8.33915   2.88656 ..."
    bool read_orca6_row(const std::vector<std::string_view>& f) {
        if (f.size() < 11 || f[1] != "->")
            return false;
        const auto name = orca6_state_name(f[2]);
        if (!name)
            return false;
        const int number = name->first + (name->second == 1 ? 0 : singlet_count_);
        orca_state& s = states_[number];
        s.energy_ev = val(f[3]);
        s.oscillator = val(f[6]);
        s.tdm = std::array<double, 3>{val(f[8]), val(f[9]), val(f[10])};
        s.energy_text = f[3];
        s.wavelength_text = f[5];
        s.oscillator_text = f[6];
        s.tdm_text = {std::string(f[8]), std::string(f[9]), std::string(f[10])};
        return true;
    }

    void fill(parsed_output& out) const {
        const std::size_t range =
            static_cast<std::size_t>(std::max(0, options_.root_end - options_.root_start + 1));
        out.tdm.assign(range, {0, 0, 0});
        if (options_.printed)
            out.tdm_text.assign(range, {});
        out.tdm_complete = true;
        for (int r = options_.root_start; r <= options_.root_end; ++r) {
            excited_state state;
            state.number = r;
            const auto it = states_.find(r);
            const std::size_t row = static_cast<std::size_t>(r - options_.root_start);
            if (it == states_.end() || !it->second.tdm) {
                out.tdm_complete = false;
            } else {
                out.tdm[row] = *it->second.tdm;
                if (options_.printed)
                    out.tdm_text[row] = it->second.tdm_text;
            }
            if (it != states_.end() && it->second.multiplicity != 0) {
                const orca_state& s = it->second;
                state.found = true;
                state.energy = s.energy_ev ? *s.energy_ev : s.energy_hartree * orca_ev_per_hartree;
                state.oscillator = s.oscillator.value_or(0);
                state.candidate = s.multiplicity == 1 && s.oscillator &&
                                  state.energy >= options_.limit_low &&
                                  state.energy <= options_.limit_high;
                if (options_.transitions && state.candidate)
                    state.transitions = s.transitions;
                if (options_.printed) {
                    state.multiplicity = multiplicity_word(s.multiplicity);
                    state.label = state.multiplicity +
                                  (s.symmetry.empty() ? std::string() : "-" + s.symmetry);
                    // ORCA 5's eV is computed from the hartree value: its shortest exact text.
                    state.energy_text =
                        s.energy_ev ? s.energy_text : round_trip_form(state.energy);
                    state.wavelength_text = s.wavelength_text;
                    state.oscillator_text = s.oscillator_text;
                }
            }
            out.states.push_back(std::move(state));
        }
    }

    std::string_view text_;
    parse_options options_;
    std::map<int, orca_state> states_;
    int singlet_count_ = 0;
};

} // namespace

std::optional<std::string> orca_banner_version(std::string_view text) {
    // Every Gaussian output is asked too: the banner is looked for in the first lines at once
    // (it holds no line end), and they are gone through line by line only when it is there.
    if (text.substr(0, lines_end(text, banner_lines)).find(banner_key) == std::string_view::npos)
        return std::nullopt;
    line_cursor lines(text);
    std::string_view line;
    bool banner = false;
    for (std::size_t n = 0; n < banner_lines && lines.next(line); ++n) {
        if (contains(line, banner_key))
            banner = true;
        else if (const std::size_t v = banner ? line.find(version_key) : std::string_view::npos;
                 v != std::string_view::npos) {
            const auto fields = split_fields(line.substr(v + version_key.size()));
            if (!fields.empty())
                return std::string(fields[0]);
        }
    }
    return std::nullopt;
}

parsed_output parse_orca_output(std::string_view text, const parse_options& options) {
    return orca_reader(text, options).read();
}

} // namespace qm
