// Amber trajectories built from 8-character fields, so expected outputs are built the same way.
#pragma once

#include "support/gaussian_files.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm::test {

// x, y and z of every atom of one frame, each an 8.3 field; values differ per frame and atom.
inline std::vector<std::string> frame_fields(std::uint64_t atoms, std::uint64_t frame) {
    std::vector<std::string> fields;
    for (std::uint64_t a = 0; a < atoms; ++a)
        for (int c = 0; c < 3; ++c)
            fields.push_back(fixed((c == 1 ? -1.0 : 1.0) * (static_cast<double>(a) + 0.125 * c) +
                                       0.001 * static_cast<double>(frame),
                                   8, 3));
    return fields;
}

// The fields 10 to a line, every line ended by a line feed.
inline std::string coordinate_lines(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += fields[i] + (i % 10 == 9 || i + 1 == fields.size() ? "\n" : "");
    return text;
}

struct trajectory_shape {
    std::uint64_t atoms = 4;
    std::uint64_t frames = 2;
    std::string box_line; // empty: no box lines
    std::string title = "mdcrd test trajectory";
};

// The whole file, or with only atoms first..last kept (and the box lines kept or dropped).
inline std::string trajectory(const trajectory_shape& t, std::uint64_t first = 0,
                              std::uint64_t last = 0, bool keep_box = true) {
    const auto from = static_cast<std::ptrdiff_t>(first == 0 ? 0 : 3 * (first - 1));
    const auto to = static_cast<std::ptrdiff_t>(3 * (first == 0 ? t.atoms : last));
    std::string text = t.title + '\n';
    for (std::uint64_t f = 0; f < t.frames; ++f) {
        const auto all = frame_fields(t.atoms, f);
        text += coordinate_lines({all.begin() + from, all.begin() + to});
        if (!t.box_line.empty() && keep_box)
            text += t.box_line + '\n';
    }
    return text;
}

// One residue of a topology built for a test: its name and its atoms' names.
struct residue_atoms {
    std::string name;
    std::vector<std::string> atoms;
};

// An Amber topology (prmtop) holding the sections the stripper reads, each in its %FORMAT
// widths: names left-justified in 4 columns, 20 to a line; numbers right-justified in 8, 10 to
// a line. The other sections a real topology has are left out, except one the reader passes.
inline std::string prmtop(const std::vector<residue_atoms>& residues) {
    std::vector<std::string> names, labels, pointers;
    for (const auto& r : residues) {
        labels.push_back(r.name);
        pointers.push_back(std::to_string(names.size() + 1));
        names.insert(names.end(), r.atoms.begin(), r.atoms.end());
    }
    std::vector<std::string> counts(31, "0");
    counts[0] = std::to_string(names.size());
    counts[11] = std::to_string(residues.size());
    const auto section = [](const char* flag, const std::vector<std::string>& items, bool text) {
        std::string s = std::string("%FLAG ") + flag + "\n%FORMAT(" + (text ? "20a4" : "10I8") +
                        ")\n";
        const std::size_t per_line = text ? 20 : 10, width = text ? 4 : 8;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::string pad(width - items[i].size(), ' ');
            s += text ? items[i] + pad : pad + items[i];
            if (i % per_line == per_line - 1 || i + 1 == items.size())
                s += '\n';
        }
        return s;
    };
    return "%VERSION  VERSION_STAMP = V0001.000\n" + section("TITLE", {"test"}, true) +
           section("POINTERS", counts, false) + section("ATOM_NAME", names, true) +
           section("AMBER_ATOM_TYPE", names, true) +
           section("RESIDUE_LABEL", labels, true) + section("RESIDUE_POINTER", pointers, false);
}

} // namespace qm::test
