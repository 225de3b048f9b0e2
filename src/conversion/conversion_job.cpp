#include "conversion/conversion_job.h"

#include "conversion/error_trap.h"
#include "conversion/structure_writers.h"
#include "conversion/xyz_reader.h"
#include "platform/output_file.h"

namespace qm {
namespace {

void invalid_format(JobUi& ui) {
    ui.message(message_icon::exclamation, "Invalid File Format",
               "File format is not valid - Returning to Main Menu");
}

bool success_ending(JobUi& ui) {
    ui.progress_to_maximum();
    ui.message(message_icon::information, "Conversion Completed", "Conversion Complete");
    return true;
}

// A writer runs under the error trap of its route's extraction, so a destination that
// cannot be written ends the job in that routine's report, never in "Conversion Complete".
// The output must not be the input: the user's file would be replaced by the conversion.
template <class Write>
result_flag run_writer(JobUi& ui, const conversion_settings& s, std::string_view routine,
                       report_form form, Write&& write) {
    return trapped(ui, routine, form, [&] {
        ensure_distinct_files(s.input, s.output);
        write();
        return result_flag::success;
    });
}

bool xyz_route(const conversion_settings& s, JobUi& ui) {
    switch (xyz_input_test(s.input, ui)) {
    case result_flag::not_found:
        invalid_format(ui);
        return false;
    case result_flag::reported:
        return false;
    case result_flag::success:
        break;
    }
    structure_record record;
    switch (xyz_extract(s.input, record, ui)) {
    case result_flag::not_found:
        ui.message(message_icon::exclamation, "No Cartesian Structure",
                   "Cartesian Coordinates not found in file");
        return false;
    case result_flag::reported:
        return false;
    case result_flag::success:
        break;
    }
    if (s.output_kind == output_type::pdb) {
        const auto written = run_writer(ui, s, "xyz_extract", report_form::short_form, [&] {
            ui.status("Writing PDB File");
            write_pdb(s.output, record, label_rule::symbol_when_digit, spacer_rule::eleven_blanks);
        });
        if (written != result_flag::success)
            return false;
    }
    return success_ending(ui);
}

bool route_not_built_yet(JobUi& ui) {
    ui.message(message_icon::exclamation, "Input Type Not Available",
               "Gaussian input and output files cannot be converted by this version yet.");
    return false;
}

} // namespace

bool run_conversion(const conversion_settings& settings, JobUi& ui) {
    busy_pointer hourglass(ui);
    switch (settings.input_kind) {
    case input_type::xyz:
        return xyz_route(settings, ui);
    case input_type::g98:
    case input_type::g94:
    case input_type::gaussian_input:
        return route_not_built_yet(ui);
    }
    return false;
}

bool output_allowed(input_type input, output_type output) {
    switch (output) {
    case output_type::none:
    case output_type::pdb:
        return true;
    case output_type::xyz:
        return input != input_type::xyz;
    case output_type::g94:
    case output_type::freq:
        return input == input_type::g98;
    }
    return false;
}

bool multiple_allowed(input_type input, output_type output) {
    const bool gaussian_output = input == input_type::g98 || input == input_type::g94;
    return gaussian_output && (output == output_type::none || output == output_type::xyz ||
                               output == output_type::pdb);
}

namespace {

constexpr std::pair<std::string_view, input_type> input_names[] = {
    {"g98", input_type::g98},
    {"g94", input_type::g94},
    {"gaussian-input", input_type::gaussian_input},
    {"xyz", input_type::xyz}};
constexpr std::pair<std::string_view, output_type> output_names[] = {{"none", output_type::none},
                                                                     {"xyz", output_type::xyz},
                                                                     {"pdb", output_type::pdb},
                                                                     {"g94", output_type::g94},
                                                                     {"freq", output_type::freq}};

template <class Kind, std::size_t N>
std::optional<Kind> kind_named(const std::pair<std::string_view, Kind> (&names)[N],
                               std::string_view name) {
    for (const auto& [text, kind] : names)
        if (text == name)
            return kind;
    return std::nullopt;
}

} // namespace

std::optional<input_type> input_type_named(std::string_view name) {
    return kind_named(input_names, name);
}

std::optional<output_type> output_type_named(std::string_view name) {
    return kind_named(output_names, name);
}

} // namespace qm
