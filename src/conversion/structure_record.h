// The structure record: one geometry on its way from a reader to a writer. Every text is kept
// exactly as cut from the input file and never converted to a number, so a writer reproduces
// the reader's digits.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qm {

struct atom_row {
    std::string label; // atomic number (Gaussian outputs) or the label as written (inputs)
    std::string x;
    std::string y;
    std::string z;
};

struct structure_record {
    std::vector<atom_row> atoms; // row 1 is atoms[0]
};

// What each test and extraction routine of a conversion tells its route.
enum class result_flag : std::int16_t {
    not_found = 0, // not found or not valid: the route shows its message
    success = 1,
    reported = 2, // an error report has been shown and the job is over
};

// What an extraction found: its flag, how many geometries it read (the last one's number), and
// whether they are the Input orientation of a Gaussian job run with NoSymm, which prints no
// Standard orientation.
struct extraction {
    result_flag flag = result_flag::not_found;
    long long geometries = 0;
    bool input_orientation = false;
};

// Receives each geometry of a multiple-geometry extraction, with its number from 1, as soon as
// it is read.
using geometry_handler = std::function<void(const structure_record&, long long number)>;

} // namespace qm
