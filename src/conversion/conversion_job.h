// The conversion job: one route per input type, each a format test, an extraction and a
// writer, ending in "Conversion Complete" or the message that says why not.
#pragma once

#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class input_type { g98, g94, gaussian_input, xyz };
// xyz and pdb are the program's own layouts; standard_xyz (with the atom count and comment
// lines) and standard_pdb (wwPDB columns) are what other programs read.
enum class output_type { none, xyz, pdb, g94, freq, standard_xyz, standard_pdb };

struct conversion_settings {
    std::filesystem::path input;
    std::filesystem::path output;
    std::string output_title; // bare file name of the output
    input_type input_kind = input_type::xyz;
    output_type output_kind = output_type::none;
    bool multiple_geometries = false;
    // The input's name for the comment lines of standard XYZ frames; empty: the input path's.
    std::string input_title{};
};

// Runs the route of the settings' input type to its end. True when it reached its
// completion message.
bool run_conversion(const conversion_settings& settings, JobUi& ui);

// Whether the window lets this output type (and the multiple-geometry box) be chosen for the
// input type; the command line refuses what the window would not let the user pick.
bool output_allowed(input_type input, output_type output);
bool multiple_allowed(input_type input, output_type output);

// The text that ends a run whose Gaussian output had no Standard orientation, after the
// completion message's own line.
inline constexpr std::string_view input_orientation_note =
    "Input orientation used: the file has no Standard orientation (NoSymm job)";

// Names used on the command line ("xyz", "gaussian-input", "g98", "standard-xyz", ...).
std::optional<input_type> input_type_named(std::string_view name);
std::optional<output_type> output_type_named(std::string_view name);

} // namespace qm
