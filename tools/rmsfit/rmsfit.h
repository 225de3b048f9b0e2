// rmsfit: least-squares fit of one structure onto another. The TDM alignment starts this
// program once per structure and reads the rotation back from fort.55. Everything here works
// on text already in memory; main.cpp only reads and writes the files.
#pragma once

#include <Eigen/Core>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qm::rmsfit {

// An input the program cannot use. The text says what is wrong (with a line number where
// there is one); the caller puts the file name in front of it.
struct input_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A coordinate file: one column per atom (x, y, z in Angstrom).
struct coordinates {
    std::string title;
    Eigen::Matrix3Xd atoms;
};

// Reads a coordinate file in the layout both inpcrd and rmscrd use:
//   line 1   title (may be empty)
//   line 2   atom count, right-justified in columns 1-5
//   line 3+  coordinates, six values (two atoms) per line, the last line holding what is
//            left (three values for an odd atom count)
// Each value owns a 12-column field, read by position rather than split at blanks, because a
// long negative number fills its whole field and touches its neighbour. Throws input_error
// on anything else, including fewer than three atoms or a value count that does not match.
coordinates parse_coordinates(std::string_view text);

// The control input must start (first non-blank line) with a "#" comment and ask for an RMS
// fit (a line "RMS"); otherwise it was not written for this program. Throws input_error.
void check_control_input(std::string_view text);

struct fit_result {
    // reference_i - reference_centroid ~ rotation * (current_i - current_centroid)
    Eigen::Matrix3d rotation;
    double rmsd_before = 0; // Angstrom, centroids removed, no rotation
    double rmsd_after = 0;  // Angstrom, after the rotation
    std::size_t atom_count = 0;
};

// Finds the proper rotation (determinant +1, also when the two structures are mirror images)
// that superimposes `current` onto `reference` in the least-squares sense. Throws
// input_error when the atom counts differ, there are fewer than three atoms, or the atoms
// lie on one line (or on one point), which leaves the rotation undetermined.
fit_result fit_onto_reference(const Eigen::Matrix3Xd& reference, const Eigen::Matrix3Xd& current);

// The text of fort.55: three lines, line i holding M(i,1) M(i,2) M(i,3), each in a
// 12-column field with 8 decimals, every line ended by LF.
std::string format_rotation(const Eigen::Matrix3d& rotation);

// The short listing written to the output file named on the command line.
struct listing_names {
    std::string reference_file;
    std::string current_file;
};
std::string format_listing(const fit_result& result, const listing_names& names);

} // namespace qm::rmsfit
