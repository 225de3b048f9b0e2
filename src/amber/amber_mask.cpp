#include "amber/amber_mask.h"

#include "platform/run_error.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace qm {
namespace {

using atom_set = std::vector<char>; // one flag per atom

constexpr std::size_t deepest_nesting = 100;

// Characters that end a list item.
constexpr std::string_view operators = ",:@&|!()";

// '*' matches any run of characters, '?' any one; iterative, with one point to back up to, so
// a name pattern never takes more than name length times pattern length steps.
bool matches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// A list item: a name pattern, or the numbers low..high (from 1).
struct list_item {
    std::string name;
    std::uint64_t low = 0, high = 0;
    bool numbers() const { return name.empty(); }
    bool has(std::uint64_t number) const { return number >= low && number <= high; }
};

class mask_parser {
public:
    mask_parser(const amber_topology& t, std::string_view mask) : t_(t), mask_(mask) {
        for (const char c : mask)
            if (c != ' ' && c != '\t')
                text_ += c;
        residue_of_.resize(t.atoms());
        for (std::size_t r = 0; r < t.residue_first_atom.size(); ++r) {
            const std::uint64_t end =
                r + 1 < t.residue_first_atom.size() ? t.residue_first_atom[r + 1] : t.atoms();
            for (std::uint64_t a = t.residue_first_atom[r]; a < end; ++a)
                residue_of_[a] = r;
        }
    }

    atom_set parse() {
        if (text_.empty())
            throw fault("is empty");
        atom_set s = either();
        if (at_ != text_.size())
            throw fault("has \"" + text_.substr(at_) + "\" where an operator or its end belongs");
        return s;
    }

private:
    run_error fault(const std::string& what) const {
        return run_error(err::invalid_call, "The atom mask \"" + std::string(mask_) + "\" " + what);
    }
    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // Selections of the next level joined by `op`, flags combined by `keep` from left to right.
    template <class Keep> atom_set joined(char op, atom_set (mask_parser::*next)(), Keep keep) {
        atom_set s = (this->*next)();
        while (take(op)) {
            const atom_set other = (this->*next)();
            for (std::size_t a = 0; a < s.size(); ++a)
                s[a] = keep(s[a], other[a]);
        }
        return s;
    }
    atom_set either() {
        return joined('|', &mask_parser::both, [](char a, char b) { return char(a || b); });
    }
    atom_set both() {
        return joined('&', &mask_parser::single, [](char a, char b) { return char(a && b); });
    }

    atom_set single() {
        // Each level of nesting takes one character; a bound keeps a long run of them off the
        // stack's end.
        struct level {
            explicit level(std::size_t& depth) : depth_(++depth) {}
            ~level() { --depth_; }
            std::size_t& depth_;
        } nested(depth_);
        if (depth_ > deepest_nesting)
            throw fault("nests deeper than " + std::to_string(deepest_nesting) + " levels");
        if (take('!')) {
            atom_set s = single();
            for (char& flag : s)
                flag = !flag;
            return s;
        }
        if (take('(')) {
            atom_set s = either();
            if (!take(')'))
                throw fault("has a '(' without its ')'");
            return s;
        }
        if (take('*'))
            return atom_set(t_.atoms(), 1);
        if (take(':')) {
            const auto residues = items("residue");
            atom_set s(t_.atoms(), 0);
            for (std::uint64_t a = 0; a < t_.atoms(); ++a)
                s[a] = any_of(residues, residue_of_[a] + 1, t_.residue_labels[residue_of_[a]]);
            if (take('@'))
                keep_atoms(s, items("atom"));
            return s;
        }
        if (take('@')) {
            atom_set s(t_.atoms(), 1);
            keep_atoms(s, items("atom"));
            return s;
        }
        if (at_ == text_.size())
            throw fault("ends where a selection (:residues or @atoms) belongs");
        throw fault("has \"" + text_.substr(at_) +
                    "\" where a selection (:residues or @atoms) belongs");
    }

    static bool any_of(const std::vector<list_item>& list, std::uint64_t number,
                       std::string_view name) {
        return std::any_of(list.begin(), list.end(), [&](const list_item& i) {
            return i.numbers() ? i.has(number) : matches(i.name, name);
        });
    }

    void keep_atoms(atom_set& s, const std::vector<list_item>& atoms) const {
        for (std::uint64_t a = 0; a < t_.atoms(); ++a)
            s[a] = s[a] && any_of(atoms, a + 1, t_.atom_names[a]);
    }

    std::vector<list_item> items(const char* of_what) {
        std::vector<list_item> list;
        do {
            const std::size_t end = std::min(text_.find_first_of(operators, at_), text_.size());
            const std::string item = text_.substr(at_, end - at_);
            if (item.empty())
                throw fault(std::string("lacks a ") + of_what + " name or number at column " +
                            std::to_string(at_ + 1));
            list.push_back(parse_item(item));
            at_ = end;
        } while (take(','));
        return list;
    }

    list_item parse_item(const std::string& item) const {
        const auto number = [](std::string_view digits, std::uint64_t& n) {
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
                return false;
            const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            return ec == std::errc() && p == digits.data() + digits.size();
        };
        list_item i;
        const std::size_t dash = item.find('-');
        const std::string_view low = std::string_view(item).substr(0, dash);
        if (!number(low, i.low)) {
            i.name = item;
            return i;
        }
        if (dash == std::string::npos) {
            i.high = i.low;
        } else if (!number(std::string_view(item).substr(dash + 1), i.high)) {
            throw fault("has the range \"" + item + "\", which is not two numbers such as 1-25");
        } else if (i.high < i.low) {
            throw fault("has the range \"" + item + "\", which runs backwards");
        }
        return i;
    }

    const amber_topology& t_;
    std::string_view mask_;
    std::string text_;
    std::size_t at_ = 0;
    std::size_t depth_ = 0;
    std::vector<std::uint64_t> residue_of_;
};

} // namespace

std::vector<atom_run> select_atoms(const amber_topology& topology, std::string_view mask) {
    mask_parser parser(topology, mask);
    const atom_set selected = parser.parse();
    std::vector<atom_run> runs;
    for (std::uint64_t a = 0; a < selected.size(); ++a) {
        if (!selected[a])
            continue;
        if (!runs.empty() && runs.back().first + runs.back().count == a)
            ++runs.back().count;
        else
            runs.push_back({a, 1});
    }
    if (runs.empty())
        throw run_error(err::invalid_call, "The atom mask \"" + std::string(mask) +
                                               "\" selects none of the topology's " +
                                               std::to_string(topology.atoms()) + " atoms");
    return runs;
}

std::uint64_t atoms_in(const std::vector<atom_run>& runs) {
    std::uint64_t atoms = 0;
    for (const atom_run& r : runs)
        atoms += r.count;
    return atoms;
}

} // namespace qm
