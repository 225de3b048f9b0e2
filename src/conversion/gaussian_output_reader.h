// Gaussian 98 and 94 output files: the banner test and the Standard orientation geometries.
// The two versions differ only in their texts and one column offset (gaussian_version); each
// routine exists once and the named twins (g98_extract, g94_extract, ...) choose the version.
//
// A Standard orientation table, Gaussian 98 layout (Gaussian 94 has no "Atomic Type" column):
//
//                          Standard orientation:
//  ---------------------------------------------------------------------
//  Center     Atomic     Atomic              Coordinates (Angstroms)
//  Number     Number      Type              X           Y           Z
//  ---------------------------------------------------------------------
//     1          6             0        0.000000    0.000000    0.000000
//  ---------------------------------------------------------------------
//
// Each row: the centre number in columns 1-5, the atomic number (blank-separated), then the
// coordinates as 12-column fields. A coordinate text is the last nine columns of its field
// (sign position, one integer digit, point, six decimals, so files convert as they always
// have); a number wider than nine characters (-10 and below, 100 and above) is taken whole.
#pragma once

#include "conversion/conversion_job.h"
#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace qm {

struct gaussian_version {
    std::string_view banner;         // the whole banner line
    std::string_view header_start;   // a table's header line begins with this (single geometry)
    std::string_view header_line;    // ... and is exactly this (every geometry)
    std::size_t columns_after_label; // from the atomic number's end to the x text
    std::string_view test_routine;
    std::string_view extract_routine;
    std::string_view multiple_routine;
};

extern const gaussian_version gaussian_98;
extern const gaussian_version gaussian_94;

// Flag success when the banner stands alone on one of the first 14 lines.
result_flag gaussian_output_test(const gaussian_version& version,
                                 const std::filesystem::path& input, JobUi& ui);
// The last Standard orientation table into `record`.
result_flag gaussian_output_extract(const gaussian_version& version,
                                    const std::filesystem::path& input, structure_record& record,
                                    JobUi& ui);
// Every table, each written at once to "<n> - <output title>" beside the output file, as XYZ
// or PDB according to `settings.output_kind` (other types: read, nothing written).
result_flag gaussian_output_multiple_extract(const gaussian_version& version,
                                             const conversion_settings& settings, JobUi& ui);

inline result_flag g98_test(const std::filesystem::path& input, JobUi& ui) {
    return gaussian_output_test(gaussian_98, input, ui);
}
inline result_flag g94_test(const std::filesystem::path& input, JobUi& ui) {
    return gaussian_output_test(gaussian_94, input, ui);
}
inline result_flag g98_extract(const std::filesystem::path& input, structure_record& record,
                               JobUi& ui) {
    return gaussian_output_extract(gaussian_98, input, record, ui);
}
inline result_flag g94_extract(const std::filesystem::path& input, structure_record& record,
                               JobUi& ui) {
    return gaussian_output_extract(gaussian_94, input, record, ui);
}
inline result_flag g98_multiple_extract(const conversion_settings& settings, JobUi& ui) {
    return gaussian_output_multiple_extract(gaussian_98, settings, ui);
}
inline result_flag g94_multiple_extract(const conversion_settings& settings, JobUi& ui) {
    return gaussian_output_multiple_extract(gaussian_94, settings, ui);
}

// One atom row of a table; "Input past end of file" (62) when the row stops short.
atom_row cut_orientation_row(std::string_view line, std::size_t columns_after_label);

// Whether a line read inside a table is the rule that closes it.
inline bool closes_table(std::string_view line) {
    return line.substr(0, 5) == " ----";
}

// The file "<counter> - <title>" in the folder of the output file.
std::filesystem::path geometry_file(const std::filesystem::path& output, long long counter,
                                    std::string_view output_title);

} // namespace qm
