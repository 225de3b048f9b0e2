// Amber formatted trajectories for the stripper's tests, built from a list of 8-character
// fields so the expected output can be built the same independent way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qm::test {

// x, y and z of every atom of one frame, each an 8.3 field; values differ per frame and atom.
inline std::vector<std::string> frame_fields(std::uint64_t atoms, std::uint64_t frame) {
    std::vector<std::string> fields;
    for (std::uint64_t a = 0; a < atoms; ++a)
        for (int c = 0; c < 3; ++c) {
            char field[16];
            std::snprintf(field, sizeof field, "%8.3f",
                          (c == 1 ? -1.0 : 1.0) * (static_cast<double>(a) + 0.125 * c) +
                              0.001 * static_cast<double>(frame));
            fields.emplace_back(field);
        }
    return fields;
}

// The fields 10 to a line, every line ended by a line feed.
inline std::string coordinate_lines(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        text += fields[i];
        if (i % 10 == 9 || i + 1 == fields.size())
            text += '\n';
    }
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
    if (first == 0) {
        first = 1;
        last = t.atoms;
    }
    std::string text = t.title + '\n';
    for (std::uint64_t f = 0; f < t.frames; ++f) {
        const auto all = frame_fields(t.atoms, f);
        text += coordinate_lines({all.begin() + static_cast<std::ptrdiff_t>(3 * (first - 1)),
                                  all.begin() + static_cast<std::ptrdiff_t>(3 * last)});
        if (!t.box_line.empty() && keep_box)
            text += t.box_line + '\n';
    }
    return text;
}

} // namespace qm::test
