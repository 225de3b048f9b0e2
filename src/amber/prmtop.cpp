#include "amber/prmtop.h"

#include "platform/line_reader.h"
#include "platform/run_error.h"
#include "platform/text.h"

#include <charconv>
#include <optional>

namespace qm {
namespace {

constexpr std::uint64_t atom_count_item = 0;     // NATOM in POINTERS
constexpr std::uint64_t residue_count_item = 11; // NRES in POINTERS

run_error topology_error(int number, const std::string& what) {
    return run_error(number, "Amber topology: " + what);
}

// "%FORMAT(10I8)": 10 items to a line, 8 columns each; the letter says text (a) or a number.
struct item_format {
    std::uint64_t per_line = 0;
    std::uint64_t width = 0;
    char kind = 0;
};

item_format parse_format(std::string_view line, const std::string& section) {
    const auto open = line.find('('), close = line.find(')');
    const auto bad = [&] {
        return topology_error(err::bad_record_length,
                              "section " + section + " has the format line \"" + std::string(line) +
                                  "\", which is not like %FORMAT(20a4)");
    };
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        throw bad();
    const std::string_view inner = line.substr(open + 1, close - open - 1);
    item_format f;
    const char* end = inner.data() + inner.size();
    auto [p, ec] = std::from_chars(inner.data(), end, f.per_line);
    if (ec != std::errc() || p == end)
        throw bad();
    f.kind = fold_case(*p);
    auto [q, ec2] = std::from_chars(p + 1, end, f.width);
    // E16.8 has a decimal count after its width; only the width cuts the line.
    if (ec2 != std::errc() || (q != end && *q != '.') || f.per_line == 0 || f.width == 0)
        throw bad();
    return f;
}

// The items of one section, cut from its lines by the format's width.
struct section_items {
    std::string name;
    item_format format;
    std::vector<std::string> items;
};

void add_items(section_items& s, std::string_view line) {
    if (line.size() > s.format.per_line * s.format.width)
        throw topology_error(err::bad_record_length,
                             "a line of section " + s.name + " holds more than its " +
                                 std::to_string(s.format.per_line) + " items of " +
                                 std::to_string(s.format.width) + " columns");
    for (std::size_t at = 0; at < line.size(); at += s.format.width)
        s.items.push_back(trim_blanks(line.substr(at, s.format.width)));
}

std::vector<std::uint64_t> whole_numbers(const section_items& s) {
    std::vector<std::uint64_t> numbers;
    numbers.reserve(s.items.size());
    for (const std::string& item : s.items) {
        std::uint64_t n = 0;
        const auto [p, ec] = std::from_chars(item.data(), item.data() + item.size(), n);
        if (ec != std::errc() || p != item.data() + item.size())
            throw topology_error(err::type_mismatch, "section " + s.name + " holds \"" + item +
                                                         "\" where a whole number belongs");
        numbers.push_back(n);
    }
    return numbers;
}

const section_items& required(const std::optional<section_items>& s, const char* name) {
    if (!s)
        throw topology_error(err::bad_record_length, std::string("no section %FLAG ") + name +
                                                         " (is this an Amber 7 or later prmtop?)");
    return *s;
}

void check_count(const section_items& s, std::uint64_t expected, const char* of_what) {
    if (s.items.size() != expected)
        throw topology_error(err::bad_record_length, "section " + s.name + " holds " +
                                                         std::to_string(s.items.size()) +
                                                         " items where POINTERS gives " +
                                                         std::to_string(expected) + " " + of_what);
}

amber_topology read_sections(data_line_reader& lines) {
    std::optional<section_items> pointers, atom_names, residue_labels, residue_pointers;
    std::optional<section_items>* current = nullptr; // a section we keep, or none
    std::string name;
    bool format_due = false;
    for (std::string line; lines.next(line);) {
        if (line.starts_with("%FLAG")) {
            name = trim_blanks(std::string_view(line).substr(5));
            current = name == "POINTERS"          ? &pointers
                      : name == "ATOM_NAME"       ? &atom_names
                      : name == "RESIDUE_LABEL"   ? &residue_labels
                      : name == "RESIDUE_POINTER" ? &residue_pointers
                                                  : nullptr;
            if (current != nullptr && current->has_value())
                throw topology_error(err::bad_record_length, "section " + name + " twice");
            format_due = true;
        } else if (line.starts_with("%FORMAT")) {
            if (!format_due)
                throw topology_error(err::bad_record_length, "a %FORMAT line outside a section");
            format_due = false;
            if (current != nullptr)
                current->emplace(section_items{name, parse_format(line, name), {}});
        } else if (line.starts_with("%")) {
            continue; // %VERSION and %COMMENT lines
        } else if (current != nullptr) {
            if (format_due)
                throw topology_error(err::bad_record_length,
                                     "section " + name + " has no %FORMAT line");
            add_items(**current, line);
        }
    }
    const auto counts = whole_numbers(required(pointers, "POINTERS"));
    if (counts.size() <= residue_count_item)
        throw topology_error(err::bad_record_length, "section POINTERS holds fewer than 12 items");
    const std::uint64_t atoms = counts[atom_count_item];
    const std::uint64_t residues = counts[residue_count_item];
    amber_topology t;
    const section_items& names = required(atom_names, "ATOM_NAME");
    const section_items& labels = required(residue_labels, "RESIDUE_LABEL");
    const section_items& bounds = required(residue_pointers, "RESIDUE_POINTER");
    check_count(names, atoms, "atoms");
    check_count(labels, residues, "residues");
    check_count(bounds, residues, "residues");
    t.atom_names = names.items;
    t.residue_labels = labels.items;
    for (const std::uint64_t first : whole_numbers(bounds)) {
        const std::uint64_t previous =
            t.residue_first_atom.empty() ? 0 : t.residue_first_atom.back() + 1;
        if (first == 0 || first > atoms ||
            (t.residue_first_atom.empty() ? first != 1 : first <= previous))
            throw topology_error(err::bad_record_length,
                                 "section RESIDUE_POINTER has residue " +
                                     std::to_string(t.residue_first_atom.size() + 1) +
                                     " start at atom " + std::to_string(first) +
                                     ", out of order or beyond the " + std::to_string(atoms) +
                                     " atoms");
        t.residue_first_atom.push_back(first - 1);
    }
    if (atoms > 0 && residues == 0)
        throw topology_error(err::bad_record_length, "atoms but no residues");
    return t;
}

} // namespace

amber_topology read_prmtop(std::istream& in) {
    data_line_reader lines(in);
    return read_sections(lines);
}

amber_topology read_prmtop(const std::filesystem::path& path) {
    try {
        data_line_reader lines(path);
        return read_sections(lines);
    } catch (run_error& e) {
        throw e.in_file(path);
    }
}

} // namespace qm
