#include "ev_extract/excited_state_parser.h"

#include "ev_extract/orca_output_parser.h"

#include "platform/cartesian_atom.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// AVX2 where the processor has it, chosen as the program runs.
#if defined(__x86_64__) && defined(__GNUC__)
#define QM_SCAN_AVX2
#include <immintrin.h>
#endif

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
// The keys are found without regard to letter case; spelt as the program prints them, they
// match its own lines byte for byte, the quick way through the comparison.
constexpr std::string_view scf_key = "SCF Done: ";
constexpr std::string_view charge_key = "Charge = ";
// " Excited State   4:      Singlet-BU     8.4709 eV  146.36 nm  f=0.0947  <S**2>=0.000"
constexpr std::string_view state_key = " Excited State";
constexpr std::string_view singlet = "Singlet-";

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

// The atoms listed after the charge and multiplicity line (at `charge`), up to the first other
// line.
std::optional<std::vector<structure_atom>> read_structure(std::string_view text,
                                                          std::size_t charge) {
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

// The energy after the "=" of the "SCF Done:" line at `key`, and the count after its word
// "after".
void read_scf(std::string_view text, std::size_t key, parsed_output& out) {
    if (key == std::string_view::npos)
        return;
    const std::size_t end = line_end(text, key);
    const std::string_view line_and_before = text.substr(0, end);
    const std::size_t equals = line_and_before.find('=', key);
    if (equals != std::string_view::npos) {
        out.scf_energy = val(text.substr(equals + 1, end - equals - 1));
        const auto fields = split_fields(text.substr(equals + 1, end - equals - 1));
        if (!fields.empty())
            out.scf_energy_text = fields[0];
    }
    const std::size_t after = find_ignoring_case(line_and_before, "after", key);
    if (after != std::string_view::npos) {
        // The character right after "after " is never looked at: a one-blank gap before the
        // count makes it read the word that follows.
        const std::size_t count = skip_blanks(text, after + 7);
        const std::size_t blank = std::min(text.find(' ', count), line_end(text, count));
        out.scf_cycles = val(mid(text, count, blank - count));
        out.scf_cycles_text = mid(text, count, blank - count);
    }
}

// A table row's state number: digits only (leading zeros allowed), at most the largest int;
// nullopt for a field that is not one (the table has ended).
std::optional<int> state_number(std::string_view field) {
    if (field.empty())
        return std::nullopt;
    std::int64_t number = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
        if (number > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(number);
}

// The first byte at or after `pos` that is a blank (Blank) or is not one (!Blank); the end of
// the line when none is. A table row is mostly runs of blanks: they are passed 16 bytes at a
// time while the line holds 16 more.
template <bool Blank> std::size_t next_where(std::string_view line, std::size_t pos) {
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(' ');
    for (; pos + 16 <= line.size(); pos += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + pos));
        unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)));
        if constexpr (!Blank)
            hits ^= 0xffffu;
        if (hits != 0)
            return pos + static_cast<std::size_t>(std::countr_zero(hits));
    }
#endif
    while (pos < line.size() && (line[pos] == ' ') != Blank)
        ++pos;
    return pos;
}

// The first fields of the row text[pos, end), up to as many as `fields` holds; their count.
// A row of the table fits in 64 bytes but for its last fields: where the text holds 64 bytes
// from the row's start, the fields are told apart by their bits in the row's mask of blanks.
template <std::size_t N>
std::size_t leading_fields(std::string_view text, std::size_t pos, std::size_t end,
                           std::array<std::string_view, N>& fields) {
    const std::string_view line = text.substr(pos, end - pos);
    std::size_t count = 0;
    std::size_t from = 0; // where the fields not found yet begin
#if defined(__SSE2__)
    if (text.size() - pos >= 64) {
        const __m128i blank = _mm_set1_epi8(' ');
        std::uint64_t blanks = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos + 16 * i));
            blanks |= std::uint64_t{static_cast<std::uint32_t>(
                          _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)))}
                      << (16 * i);
        }
        if (line.size() < 64)
            blanks |= ~std::uint64_t{0} << line.size(); // past the row's end: as blanks
        const std::uint64_t filled = ~blanks;
        for (std::uint64_t starts = filled & ~(filled << 1); starts != 0 && count < N;
             starts &= starts - 1) {
            const auto start = static_cast<std::size_t>(std::countr_zero(starts));
            const std::uint64_t after = blanks & (~std::uint64_t{0} << start);
            // A field that runs past the 64 bytes ends where the line says.
            from = after != 0 ? static_cast<std::size_t>(std::countr_zero(after))
                              : next_where<true>(line, 64);
            fields[count++] = line.substr(start, from - start);
        }
        from = std::max<std::size_t>(from, 64);
    }
#endif
    for (pos = from; count < N;) {
        pos = next_where<false>(line, pos);
        if (pos >= line.size())
            break;
        const std::size_t start = pos;
        pos = next_where<true>(line, pos);
        fields[count++] = line.substr(start, pos - start);
    }
    return count;
}

// The table whose heading stands at `key` (the first of either heading): the rows of the root
// range by their state numbers. Returns where the excited states are searched (after the
// table; from the start without one). A row is split only as far as its first five fields,
// all it needs to count as a row; the table holds a row for each state of the file, of which
// the range often keeps few.
std::size_t read_tdm_table(std::string_view text, std::size_t key, const parse_options& options,
                           parsed_output& out) {
    const std::size_t states =
        static_cast<std::size_t>(std::max(0, options.root_end - options.root_start + 1));
    out.tdm.assign(states, {0, 0, 0});
    if (options.printed)
        out.tdm_text.assign(states, {});
    if (key == std::string_view::npos)
        return 0;
    // The rows met, in a buffer each worker keeps: nothing allocated per file.
    thread_local std::vector<bool> read;
    read.assign(states, false);
    std::array<std::string_view, tdm_row_fields> fields;
    std::size_t pos = line_end(text, key) + 1;
    for (std::size_t end = 0; pos < text.size(); pos = end + 1) {
        end = line_end(text, pos);
        const std::size_t count = leading_fields(text, pos, end, fields);
        const auto state = count < tdm_row_fields ? std::nullopt : state_number(fields[0]);
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

// The heading of each excited-state section; an excited-state optimisation prints one per step.
constexpr std::string_view section_key = "Excitation energies and oscillator strengths:";
constexpr std::string_view tdm_section_key = "Ground to excited state transition electric dipole";

// A state's line: where its " Excited State" stands and the digits before its colon.
struct state_line {
    std::size_t at = 0;
    std::string_view number;
};

// Where the keys of this reader stand in a text, in order, all found in one forward scan of
// it. Every key holds a byte that is rare in an output, which the scan stops at: the colon of
// the section heading, of "SCF Done: " and of each state line ("State  12:"), the "Z" of the
// dipole table's heading, the "=" of "Charge = ". The key is then confirmed around that byte,
// without regard to letter case.
struct key_positions {
    std::vector<std::size_t> sections;
    std::vector<std::size_t> scf_lines;
    std::vector<std::size_t> tdm_tables; // either heading
    std::vector<state_line> state_lines;
    std::size_t charge = std::string_view::npos; // the first; looked for with the structure only
};

// Whether `key` stands at `at` of the text.
bool key_at(std::string_view text, std::size_t at, std::string_view key) {
    return at <= text.size() && equal_ignoring_case(text.substr(at, key.size()), key);
}

constexpr std::size_t scf_colon = scf_key.find(':');
constexpr std::size_t charge_equals = charge_key.find('=');
constexpr std::size_t tdm_z = tdm_keys[0].find('Z');
static_assert(tdm_keys[1].find('Z') == tdm_z);

class key_scan {
public:
    // The keys of `text` into `found`, emptied first (its room kept: a worker reading file
    // after file allocates for the keys once).
    key_scan(std::string_view text, bool charge, key_positions& found)
        : text_(text), charge_(charge), found_(found) {
        found_.sections.clear();
        found_.scf_lines.clear();
        found_.tdm_tables.clear();
        found_.state_lines.clear();
        found_.charge = std::string_view::npos;
    }

    void run() {
        if (charge_)
            scan<true>();
        else
            scan<false>();
    }

private:
    // Setting the 0x60 bits makes ':' (0x3a), 'Z' (0x5a) and 'z' (0x7a) alike 0x7a, with only
    // the control character 0x1a besides; the "=" is compared apart, when the structure is read.
    template <bool Equals> static bool anchor(char c) {
        return (c | 0x60) == 0x7a || (Equals && c == '=');
    }

#if defined(__SSE2__)
    // The anchors among 16 bytes, as a vector of 0xff bytes.
    template <bool Equals> static __m128i anchors(const char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i hits =
            _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x60)), _mm_set1_epi8(0x7a));
        if constexpr (Equals)
            return _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('=')));
        return hits;
    }
#endif

    template <bool Equals> void scan() {
        std::size_t block = 0;
        // 64 bytes at a time: an output holds an anchor in a few hundred bytes, so most blocks
        // are passed with one test.
#if defined(QM_SCAN_AVX2)
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2)
            block = scan_blocks_avx2<Equals>();
        else
            block = scan_blocks<Equals>();
#elif defined(__SSE2__)
        block = scan_blocks<Equals>();
#endif
        for (; block < text_.size(); ++block)
            if (anchor<Equals>(text_[block]) && may_end_key(block))
                at_anchor(block);
    }

#if defined(__SSE2__)
    // The whole 64-byte blocks of the text; returns where the rest begins.
    template <bool Equals> std::size_t scan_blocks() {
        const char* const data = text_.data();
        std::size_t block = 0;
        for (; block + 64 <= text_.size(); block += 64) {
            const char* const at = data + block;
            const __m128i a = anchors<Equals>(at);
            const __m128i b = anchors<Equals>(at + 16);
            const __m128i c = anchors<Equals>(at + 32);
            const __m128i d = anchors<Equals>(at + 48);
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0)
                continue;
            const std::uint64_t low = static_cast<std::uint32_t>(_mm_movemask_epi8(a)) |
                                      static_cast<std::uint32_t>(_mm_movemask_epi8(b)) << 16;
            const std::uint64_t high = static_cast<std::uint32_t>(_mm_movemask_epi8(c)) |
                                       static_cast<std::uint32_t>(_mm_movemask_epi8(d)) << 16;
            at_anchors(block, low | high << 32);
        }
        return block;
    }
#endif

#if defined(QM_SCAN_AVX2)
    // The same 32 bytes at a time, on a processor that has AVX2: half the instructions.
    template <bool Equals> [[gnu::target("avx2")]] std::size_t scan_blocks_avx2() {
        const char* const data = text_.data();
        const __m256i case_bits = _mm256_set1_epi8(0x60);
        const __m256i folded_anchor = _mm256_set1_epi8(0x7a);
        const __m256i equals = _mm256_set1_epi8('=');
        std::size_t block = 0;
        for (; block + 64 <= text_.size(); block += 64) {
            const __m256i low_bytes =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + block));
            const __m256i high_bytes =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + block + 32));
            __m256i low = _mm256_cmpeq_epi8(_mm256_or_si256(low_bytes, case_bits), folded_anchor);
            __m256i high = _mm256_cmpeq_epi8(_mm256_or_si256(high_bytes, case_bits), folded_anchor);
            if constexpr (Equals) {
                low = _mm256_or_si256(low, _mm256_cmpeq_epi8(low_bytes, equals));
                high = _mm256_or_si256(high, _mm256_cmpeq_epi8(high_bytes, equals));
            }
            const __m256i any = _mm256_or_si256(low, high);
            if (_mm256_testz_si256(any, any))
                continue;
            at_anchors(block,
                       static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
                           std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(high))}
                               << 32);
        }
        return block;
    }
#endif

    // The anchors of the block at `block`, one bit each in `bits`.
    void at_anchors(std::size_t block, std::uint64_t bits) {
        for (; bits != 0; bits &= bits - 1)
            if (const std::size_t pos = block + static_cast<std::size_t>(std::countr_zero(bits));
                may_end_key(pos))
                at_anchor(pos);
    }

    // Whether the anchor at `pos` is worth a closer look: most are not (the colons of
    // "Root   12 :", a "z" inside a word), and are passed without a call. The byte before a
    // colon must end one of its keys (never a colon at the start); the "Z" of the dipole
    // heading follows a blank.
    bool may_end_key(std::size_t pos) const {
        const char c = text_[pos];
        const char before = pos > 0 ? text_[pos - 1] : '\0';
        if (c == ':') {
            const char folded = fold_case(before);
            return folded == 's' || folded == 'e' || (before >= '0' && before <= '9');
        }
        return c == '=' || before == ' ';
    }

    // An anchor that may_end_key() let through.
    void at_anchor(std::size_t pos) {
        const char c = text_[pos];
        if (c == ':')
            at_colon(pos, fold_case(text_[pos - 1]));
        else if (c == '=') {
            if (found_.charge == std::string_view::npos && pos >= charge_equals &&
                key_at(text_, pos - charge_equals, charge_key))
                found_.charge = pos - charge_equals;
        } else if (pos >= tdm_z && (key_at(text_, pos - tdm_z, tdm_keys[0]) ||
                                    key_at(text_, pos - tdm_z, tdm_keys[1])))
            found_.tdm_tables.push_back(pos - tdm_z);
    }

    // The byte before the colon (`before`, in lower case) tells which key may end there: the
    // "s" of "strengths:", the "e" of "Done:" or a state's number.
    void at_colon(std::size_t colon, char before) {
        if (before == 's') {
            if (colon + 1 >= section_key.size() &&
                key_at(text_, colon + 1 - section_key.size(), section_key))
                found_.sections.push_back(colon + 1 - section_key.size());
            return;
        }
        if (before == 'e') {
            if (colon >= scf_colon && key_at(text_, colon - scf_colon, scf_key))
                found_.scf_lines.push_back(colon - scf_colon);
            return;
        }
        // " Excited State", blanks, the state's number, the colon.
        std::size_t digits = colon;
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(text_[digits - 1])))
            --digits;
        if (digits == colon)
            return;
        std::size_t key_end = digits;
        while (key_end > 0 && text_[key_end - 1] == ' ')
            --key_end;
        // The "e" of "State" first: most numbers before a colon (times, counters) follow
        // other words.
        if (key_end >= state_key.size() && fold_case(text_[key_end - 1]) == 'e' &&
            key_at(text_, key_end - state_key.size(), state_key))
            found_.state_lines.push_back(
                {key_end - state_key.size(), text_.substr(digits, colon - digits)});
    }

    std::string_view text_;
    bool charge_;
    key_positions& found_;
};

// The first of `positions` at or after `from`; npos when none.
std::size_t first_from(const std::vector<std::size_t>& positions, std::size_t from) {
    const auto it = std::lower_bound(positions.begin(), positions.end(), from);
    return it == positions.end() ? std::string_view::npos : *it;
}

// Where the last section's data begin: its SCF Done line, else its dipole table, else its
// heading; never before the heading of the section ahead of it.
std::size_t last_section_start(std::string_view text, const key_positions& keys) {
    const std::size_t heading = keys.sections.back();
    const std::size_t previous =
        keys.sections.size() > 1 ? keys.sections[keys.sections.size() - 2] + section_key.size() : 0;
    std::size_t at = std::string_view::npos;
    const auto scf = std::lower_bound(keys.scf_lines.begin(), keys.scf_lines.end(), heading);
    if (scf != keys.scf_lines.begin() && *(scf - 1) >= previous)
        at = *(scf - 1);
    else {
        // The last heading that starts before the section's: searched in the text up to there.
        const std::string_view before =
            text.substr(0, std::min(text.size(), heading - 1 + tdm_section_key.size()));
        for (std::size_t p = find_ignoring_case(before, tdm_section_key, previous);
             p != std::string_view::npos;
             p = find_ignoring_case(before, tdm_section_key, p + tdm_section_key.size()))
            at = p;
    }
    if (at == std::string_view::npos)
        return heading;
    const std::size_t lf = text.rfind('\n', at); // from the start of its line
    return lf == std::string_view::npos ? 0 : lf + 1;
}

// The number of the last state line (of at most 5 digits) of the section whose heading stands
// at `heading`; 0 when it lists none.
int last_state_number(const key_positions& keys, std::size_t heading) {
    const auto next = std::upper_bound(keys.sections.begin(), keys.sections.end(), heading);
    const std::size_t end = next == keys.sections.end() ? std::string_view::npos : *next;
    int last = 0;
    for (const state_line& line : keys.state_lines)
        if (line.at >= heading && line.at < end && line.number.size() <= 5)
            std::from_chars(line.number.data(), line.number.data() + line.number.size(), last);
    return last;
}

// The first line of state `number` whose key stands at or after `from`, of the lines from
// `*first` on; npos when there is none. `*first` moves on past the lines before `from`, which
// only grows from one state to the next.
std::size_t find_state_line(const std::vector<state_line>& lines, std::size_t& first,
                            std::size_t from, int number) {
    while (first < lines.size() && lines[first].at < from)
        ++first;
    const std::string wanted = std::to_string(number);
    for (std::size_t i = first; i < lines.size(); ++i)
        if (lines[i].number == wanted)
            return lines[i].at;
    return std::string_view::npos;
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

// Where "f=" (the "f" in either case) first stands at or after `from`; npos when nowhere. Found
// by its "=", of which a state's line holds one or two.
std::size_t find_strength(std::string_view text, std::size_t from) {
    for (std::size_t equals = text.find('=', from + 1); equals != std::string_view::npos;
         equals = text.find('=', equals + 1))
        if (fold_case(text[equals - 1]) == 'f')
            return equals - 1;
    return std::string_view::npos;
}

// An orbital's number from its digits. Nine digits or fewer stand below 2^31 and are read
// here, exactly as the strict reader reads them; a longer number is left to it, which makes
// one too long for an orbital its Overflow.
int orbital_number(std::string_view digits) {
    if (digits.size() > 9)
        return strict_long(digits);
    int number = 0;
    for (const char digit : digits)
        number = number * 10 + (digit - '0');
    return number;
}

// A transition line "<blanks><orbital> -> <orbital> <coefficient>" into `t`; false for any
// other line, `t` then unchanged.
bool read_transition_line(std::string_view line, transition& t) {
    std::size_t pos = skip_blanks(line, 0);
    if (pos == 0)
        return false; // transition lines are indented
    const auto digits = [&] {
        const std::size_t start = pos;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9')
            ++pos;
        return line.substr(start, pos - start);
    };
    const std::string_view from = digits();
    if (from.empty())
        return false;
    pos = skip_blanks(line, pos);
    const std::string_view arrow = mid(line, pos, 2);
    if (arrow != "->" && arrow != "<-")
        return false;
    pos = skip_blanks(line, pos + 2);
    const std::string_view to = digits();
    if (to.empty() || pos >= line.size() || line[pos] != ' ')
        return false;
    // The rest of the line is one field, the coefficient, between blanks.
    const std::size_t start = skip_blanks(line, pos);
    std::size_t end = start;
    while (end < line.size() && line[end] != ' ')
        ++end;
    if (start == end || skip_blanks(line, end) != line.size())
        return false;
    const std::optional<double> value = number_value(line.substr(start, end - start));
    if (!value)
        return false;
    // A number too long for an orbital is the strict conversion's Overflow.
    t.from = orbital_number(from);
    t.to = orbital_number(to);
    t.excitation = arrow == "->";
    t.coefficient = std::fabs(*value);
    t.from_text.assign(from);
    t.to_text.assign(to);
    return true;
}

// The transition lines right after the state's line, up to the first other line. They are
// read into a buffer the worker keeps and then stored with one allocation, since the parse
// is held while the series is read.
std::vector<transition> read_transitions(std::string_view text, std::size_t pos) {
    thread_local std::vector<transition> lines;
    std::size_t count = 0;
    while (pos < text.size()) {
        const std::size_t end = line_end(text, pos);
        if (count == lines.size())
            lines.emplace_back();
        if (!read_transition_line(text.substr(pos, end - pos), lines[count]))
            break;
        ++count;
        pos = end + 1;
    }
    return {lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(count)};
}

} // namespace

std::optional<transition> parse_transition_line(std::string_view line) {
    transition t;
    if (!read_transition_line(line, t))
        return std::nullopt;
    return t;
}

parsed_output parse_excited_state_output(std::string_view whole, const parse_options& given) {
    if (orca_banner_version(whole)) {
        parsed_output out = parse_orca_output(whole, given);
        out.program = output_program::orca;
        return out;
    }
    parsed_output out;
    thread_local key_positions keys;
    key_scan(whole, given.structure, keys).run();
    if (given.structure)
        out.structure = read_structure(whole, keys.charge);
    out.sections = static_cast<int>(keys.sections.size());
    // The section read: the whole text from its SCF Done line on (the first section's data
    // are the first of the file).
    const std::size_t start =
        given.last_section && keys.sections.size() > 1 ? last_section_start(whole, keys) : 0;
    const std::string_view text = whole.substr(start);
    parse_options options = given;
    if (options.to_last_state) {
        const int last = keys.sections.empty()
                             ? 0
                             : last_state_number(keys, given.last_section ? keys.sections.back()
                                                                          : keys.sections.front());
        options.root_end = std::min(options.root_end, last);
    }
    // The keys' positions in the section read.
    auto in_text = [start](std::size_t at) {
        return at == std::string_view::npos ? at : at - start;
    };
    read_scf(text, in_text(first_from(keys.scf_lines, start)), out);
    std::size_t p = read_tdm_table(text, in_text(first_from(keys.tdm_tables, start)), options, out);
    std::size_t next_line = 0; // the first state line not yet passed by the search
    // One state per root, allocated once: the parse is kept while the series is read.
    out.states.reserve(out.tdm.size());

    for (int r = options.root_start; r <= options.root_end; ++r) {
        excited_state state;
        state.number = r;
        const std::size_t q = in_text(
            find_state_line(keys.state_lines, next_line, start + std::min(p, text.size()), r));
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
        if (!key_at(label_text, 0, singlet)) {
            out.states.push_back(std::move(state));
            continue;
        }
        if (state.energy < options.limit_low || state.energy > options.limit_high) {
            out.states.push_back(std::move(state));
            continue;
        }
        // The oscillator strength stands on the state's own line; a line cut short (a job
        // still running) gives no candidate rather than a later state's value.
        const std::size_t f = find_strength(text.substr(0, end), p);
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
