#include "conversion/conversion_job.h"

#include "conversion/error_trap.h"
#include "conversion/frequency_table.h"
#include "conversion/g94_writer.h"
#include "conversion/gaussian_input_reader.h"
#include "conversion/gaussian_output_reader.h"
#include "conversion/structure_writers.h"
#include "conversion/xyz_reader.h"
#include "platform/output_file.h"

namespace qm {
namespace {

// Whether a format test lets the route go on; "Invalid File Format" when the file is not of
// the chosen type.
bool format_passed(result_flag test, JobUi& ui) {
    if (test == result_flag::not_found)
        ui.message(message_icon::exclamation, "Invalid File Format",
                   "File format is not valid - Returning to Main Menu");
    return test == result_flag::success;
}

// Whether an extraction found what it looked for; its message when it did not.
bool extracted(result_flag found, JobUi& ui, std::string_view title, std::string_view text) {
    if (found == result_flag::not_found)
        ui.message(message_icon::exclamation, title, text);
    return found == result_flag::success;
}

bool standard_orientation_found(result_flag found, JobUi& ui) {
    return extracted(found, ui, "No Standard Orientation Found",
                     "Standard Orientation not found in file - Possible error is NOSYMM was "
                     "specified in job preferences or calculation was a single point energy "
                     "minimisation.");
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
bool written(JobUi& ui, const conversion_settings& s, std::string_view routine, report_form form,
             Write&& write) {
    return trapped(ui, routine, form, [&] {
               ensure_distinct_files(s.input, s.output);
               write();
               return result_flag::success;
           }) == result_flag::success;
}

// The single-geometry XYZ or PDB file of a route; nothing for any other output type.
bool write_geometry(JobUi& ui, const conversion_settings& s, const structure_record& record,
                    label_rule labels, spacer_rule spacer, std::string_view routine,
                    report_form form) {
    if (s.output_kind == output_type::xyz)
        return written(ui, s, routine, form, [&] {
            ui.status("Writing XYZ File");
            write_xyz(s.output, record, labels);
        });
    if (s.output_kind == output_type::pdb)
        return written(ui, s, routine, form, [&] {
            ui.status("Writing PDB File");
            write_pdb(s.output, record, labels, spacer);
        });
    return true;
}

bool xyz_route(const conversion_settings& s, JobUi& ui) {
    if (!format_passed(xyz_input_test(s.input, ui), ui))
        return false;
    structure_record record;
    if (!extracted(xyz_extract(s.input, record, ui), ui, "No Cartesian Structure",
                   "Cartesian Coordinates not found in file"))
        return false;
    // XYZ input converts to PDB only.
    if (s.output_kind == output_type::pdb &&
        !write_geometry(ui, s, record, label_rule::symbol_when_digit, spacer_rule::eleven_blanks,
                        "xyz_extract", report_form::short_form))
        return false;
    return success_ending(ui);
}

bool gaussian_input_route(const conversion_settings& s, JobUi& ui) {
    if (!format_passed(gaussian_input_test(s.input, ui), ui))
        return false;
    structure_record record;
    if (!extracted(gaussian_cart_extract(s.input, record, ui), ui, "No Cartesian Input Structure",
                   "Cartesian Coordinates not found in file"))
        return false;
    if (!write_geometry(ui, s, record, label_rule::as_read, spacer_rule::by_label_width,
                        "gaussian_cart_extract", report_form::short_form))
        return false;
    return success_ending(ui);
}

bool frequency_route(const gaussian_version& version, const conversion_settings& s, JobUi& ui) {
    frequency_table table;
    if (!extracted(g98_freq_extract(version, s.input, table, ui), ui, "No Frequencies Found",
                   "Frequencies not found in file - are you sure this was a frequency job?"))
        return false;
    if (!written(ui, s, "g98_freq_extract", report_form::long_form,
                 [&] { write_frequency_table(s.output, table, ui); }))
        return false;
    ui.progress_to_maximum();
    ui.message(message_icon::information, "Frequency Extraction Completed",
               "Frequency Extraction Complete");
    return true;
}

// The Gaussian 98 and 94 routes. The format test tells which version the file is, and the
// readers follow that version's layout; only the Gaussian 98 route (98, 03, 09, 16) gives
// frequency tables and Gaussian 94 style outputs.
bool gaussian_output_route(const gaussian_route& route, const conversion_settings& s,
                           JobUi& ui) {
    const recognised_output source = gaussian_output_test(route, s.input, ui);
    if (!format_passed(source.flag, ui))
        return false;
    const gaussian_version& version = *source.version;
    const bool g98 = &route == &g98_route;
    if (s.multiple_geometries)
        return standard_orientation_found(gaussian_output_multiple_extract(version, s, ui), ui) &&
               success_ending(ui);
    if (g98 && s.output_kind == output_type::freq)
        return frequency_route(version, s, ui);
    structure_record record;
    if (!standard_orientation_found(gaussian_output_extract(version, s.input, record, ui), ui))
        return false;
    if (!write_geometry(ui, s, record, label_rule::element_symbol, spacer_rule::eleven_blanks,
                        route.extract_routine, report_form::long_form))
        return false;
    if (g98 && s.output_kind == output_type::g94 &&
        g98_in_g94_out(s.input, s.output, record, source, ui) != result_flag::success)
        return false;
    return success_ending(ui);
}

} // namespace

bool run_conversion(const conversion_settings& settings, JobUi& ui) {
    busy_pointer hourglass(ui);
    switch (settings.input_kind) {
    case input_type::xyz:
        return xyz_route(settings, ui);
    case input_type::gaussian_input:
        return gaussian_input_route(settings, ui);
    case input_type::g98:
        return gaussian_output_route(g98_route, settings, ui);
    case input_type::g94:
        return gaussian_output_route(g94_route, settings, ui);
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
