// Gaussian output files: the banner test and the Standard orientation geometries (the Input
// orientation ones when the file has no Standard orientation: a NoSymm job). The versions
// differ only in their texts and one column offset (gaussian_version); each routine exists once,
// the test tells which version a file is, and the named twins (g98_extract, g94_extract, ...)
// choose the version for callers that know it.
//
// A Standard orientation table, Gaussian 98 layout (Gaussian 94 has no "Atomic Type" column;
// from Gaussian 09 the centre and atomic numbers stand two columns further right):
//
//                          Standard orientation:
//  ---------------------------------------------------------------------
//  Center     Atomic     Atomic              Coordinates (Angstroms)
//  Number     Number      Type              X           Y           Z
//  ---------------------------------------------------------------------
//     1          6             0        0.000000    0.000000    0.000000
//  ---------------------------------------------------------------------
//
// Each row: the centre number in columns 1-5 (1-7 from Gaussian 09), the atomic number, then the
// coordinates as 12-column fields. A coordinate text is the last nine columns of its field
// (sign position, one integer digit, point, six decimals, so files convert as they always
// have); a number wider than nine characters (-10 and below, 100 and above) is taken whole.
#pragma once

#include "conversion/gaussian_version.h"
#include "conversion/structure_record.h"
#include "platform/job_ui.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

// What the format test found: the version whose layout rules the readers follow, and the
// banner's first line as it stands in the file (the Gaussian 94 style writer replaces it).
struct recognised_output {
    result_flag flag = result_flag::not_found;
    const gaussian_version* version = nullptr;
    std::string banner;
};

// Success when the banner of a version the route reads begins on one of the first 14 lines.
recognised_output gaussian_output_test(const gaussian_route& route,
                                       const std::filesystem::path& input, JobUi& ui);
// The last Standard orientation table into `record`; in a file without one, the last Input
// orientation table.
extraction gaussian_output_extract(const gaussian_version& version,
                                   const std::filesystem::path& input, structure_record& record,
                                   JobUi& ui);
// Every table of the same orientation, each handed to `on_table` as soon as it is read (the
// writers it calls run under this routine's error report).
extraction gaussian_output_multiple_extract(const gaussian_version& version,
                                            const std::filesystem::path& input, JobUi& ui,
                                            const geometry_handler& on_table);

inline recognised_output g98_test(const std::filesystem::path& input, JobUi& ui) {
    return gaussian_output_test(g98_route, input, ui);
}
inline recognised_output g94_test(const std::filesystem::path& input, JobUi& ui) {
    return gaussian_output_test(g94_route, input, ui);
}
inline extraction g98_extract(const std::filesystem::path& input, structure_record& record,
                              JobUi& ui) {
    return gaussian_output_extract(gaussian_98, input, record, ui);
}
inline extraction g94_extract(const std::filesystem::path& input, structure_record& record,
                              JobUi& ui) {
    return gaussian_output_extract(gaussian_94, input, record, ui);
}
inline extraction g98_multiple_extract(const std::filesystem::path& input, JobUi& ui,
                                       const geometry_handler& on_table) {
    return gaussian_output_multiple_extract(gaussian_98, input, ui, on_table);
}
inline extraction g94_multiple_extract(const std::filesystem::path& input, JobUi& ui,
                                       const geometry_handler& on_table) {
    return gaussian_output_multiple_extract(gaussian_94, input, ui, on_table);
}

// One atom row of a table; "Input past end of file" (62) when the row stops short.
atom_row cut_orientation_row(std::string_view line, const gaussian_version& version);

// Whether a line read inside a table is the rule that closes it.
inline bool closes_table(std::string_view line) {
    return line.substr(0, 5) == " ----";
}

// The file "<counter> - <title>" in the folder of the output file.
std::filesystem::path geometry_file(const std::filesystem::path& output, long long counter,
                                    std::string_view output_title);

} // namespace qm
