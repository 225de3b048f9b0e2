// The structure record: one geometry on its way from a reader to a writer. Every text is kept
// exactly as cut from the input file and never converted to a number, so a writer reproduces
// the reader's digits.
#pragma once

#include <cstdint>
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

} // namespace qm
