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

} // namespace qm::test
