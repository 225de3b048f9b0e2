#include "conversion/conversion_job.h"

#include "conversion/error_trap.h"
#include "conversion/frequency_table.h"
#include "conversion/g94_writer.h"
#include "conversion/gaussian_input_reader.h"
#include "conversion/gaussian_output_reader.h"
#include "conversion/standard_writers.h"
#include "conversion/structure_writers.h"
#include "conversion/xyz_reader.h"
#include "platform/number_form.h"
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

// "Conversion Complete"; a second line when the geometries came from a NoSymm job's Input
// orientation, so the user knows which table was read.
bool success_ending(JobUi& ui, const extraction& found) {
    ui.progress_to_maximum();
    std::string text = "Conversion Complete";
    if (found.input_orientation)
        text.append(message_break).append(input_orientation_note);
    ui.message(message_icon::information, "Conversion Completed", text);
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

bool standard_layout(output_type type) {
    return type == output_type::standard_xyz || type == output_type::standard_pdb;
}

// One geometry in a standard layout: an XYZ frame, or the ATOM records (a numbered model when
// the run takes every geometry).
std::string standard_geometry(const conversion_settings& s, const structure_record& record,
                              long long number) {
    if (s.output_kind == output_type::standard_xyz) {
        const std::string name =
            s.input_title.empty() ? s.input.filename().string() : s.input_title;
        return standard_xyz_frame(record, name + ", geometry " + count_text(number));
    }
    return s.multiple_geometries ? standard_pdb_model(record, number) : standard_pdb_atoms(record);
}

// The whole standard file of `geometries` (the text of each), built before the file is opened
// so a refused coordinate leaves no half-written file.
std::string standard_file(const conversion_settings& s, std::string geometries) {
    if (s.output_kind == output_type::standard_pdb)
        geometries += pdb_end;
    return geometries;
}

// How the program's own XYZ and PDB writers turn a route's labels into symbols and space
// the PDB columns.
struct writer_rules {
    label_rule labels;
    spacer_rule spacer;
};

// The single-geometry file of a route; nothing for an output type it does not write.
bool write_geometry(JobUi& ui, const conversion_settings& s, const structure_record& record,
                    const extraction& found, writer_rules rules, std::string_view routine,
                    report_form form) {
    const bool xyz =
        s.output_kind == output_type::xyz || s.output_kind == output_type::standard_xyz;
    const bool pdb =
        s.output_kind == output_type::pdb || s.output_kind == output_type::standard_pdb;
    if (!xyz && !pdb)
        return true;
    return written(ui, s, routine, form, [&] {
        ui.status(xyz ? "Writing XYZ File" : "Writing PDB File");
        if (standard_layout(s.output_kind))
            write_whole_file(s.output,
                             standard_file(s, standard_geometry(s, record, found.geometries)));
        else if (xyz)
            write_xyz(s.output, record, rules.labels);
        else
            write_pdb(s.output, record, rules.labels, rules.spacer);
    });
}

// Every geometry of a multiple-geometry run, as the extraction hands them over: the program's
// own layouts one numbered file each ("1 - NAME", ...), written at once; the standard layouts
// as the frames or models of the one output file, written when all are read.
class every_geometry {
public:
    every_geometry(const conversion_settings& s, writer_rules rules) : s_(s), rules_(rules) {}

    void add(const structure_record& record, long long number) {
        if (standard_layout(s_.output_kind)) {
            frames_ += standard_geometry(s_, record, number);
            return;
        }
        if (s_.output_kind != output_type::xyz && s_.output_kind != output_type::pdb)
            return;
        const auto destination = geometry_file(s_.output, number, s_.output_title);
        ensure_distinct_files(s_.input, destination);
        if (s_.output_kind == output_type::xyz)
            write_xyz(destination, record, rules_.labels);
        else
            write_pdb(destination, record, rules_.labels, rules_.spacer);
    }

    // Writes the standard file, under the extraction's error report.
    bool finish(JobUi& ui, std::string_view routine, report_form form) {
        if (!standard_layout(s_.output_kind))
            return true;
        return written(ui, s_, routine, form,
                       [&] { write_whole_file(s_.output, standard_file(s_, std::move(frames_))); });
    }

private:
    const conversion_settings& s_;
    writer_rules rules_;
    std::string frames_;
};

constexpr writer_rules xyz_rules{label_rule::symbol_when_digit, spacer_rule::eleven_blanks};
constexpr writer_rules gaussian_input_rules{label_rule::as_read, spacer_rule::by_label_width};
constexpr writer_rules gaussian_output_rules{label_rule::element_symbol,
                                             spacer_rule::eleven_blanks};

bool no_cartesian_structure(const extraction& found, JobUi& ui) {
    return extracted(found.flag, ui, "No Cartesian Structure",
                     "Cartesian Coordinates not found in file");
}

bool xyz_route(const conversion_settings& settings, JobUi& ui) {
    // XYZ input converts to PDB and to standard XYZ only: another output type left selected
    // writes nothing.
    conversion_settings s = settings;
    if (s.output_kind != output_type::pdb && !standard_layout(s.output_kind))
        s.output_kind = output_type::none;
    if (!format_passed(xyz_input_test(s.input, ui), ui))
        return false;
    if (s.multiple_geometries) {
        every_geometry out(s, xyz_rules);
        const extraction found = xyz_extract(
            s.input, ui, [&](const structure_record& r, long long n) { out.add(r, n); });
        return no_cartesian_structure(found, ui) &&
               out.finish(ui, "xyz_extract", report_form::short_form) && success_ending(ui, found);
    }
    structure_record record;
    const extraction found = xyz_extract(s.input, record, ui);
    return no_cartesian_structure(found, ui) &&
           write_geometry(ui, s, record, found, xyz_rules, "xyz_extract",
                          report_form::short_form) &&
           success_ending(ui, found);
}

bool gaussian_input_route(const conversion_settings& s, JobUi& ui) {
    if (!format_passed(gaussian_input_test(s.input, ui), ui))
        return false;
    structure_record record;
    if (!extracted(gaussian_cart_extract(s.input, record, ui), ui, "No Cartesian Input Structure",
                   "Cartesian Coordinates not found in file"))
        return false;
    const extraction one{result_flag::success, 1, false};
    if (!write_geometry(ui, s, record, one, gaussian_input_rules, "gaussian_cart_extract",
                        report_form::short_form))
        return false;
    return success_ending(ui, one);
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
bool gaussian_output_route(const gaussian_route& route, const conversion_settings& s, JobUi& ui) {
    const recognised_output source = gaussian_output_test(route, s.input, ui);
    if (!format_passed(source.flag, ui))
        return false;
    const gaussian_version& version = *source.version;
    const bool g98 = &route == &g98_route;
    if (s.multiple_geometries) {
        every_geometry out(s, gaussian_output_rules);
        const extraction found = gaussian_output_multiple_extract(
            version, s.input, ui, [&](const structure_record& r, long long n) { out.add(r, n); });
        return standard_orientation_found(found.flag, ui) &&
               out.finish(ui, route.multiple_routine, report_form::long_form) &&
               success_ending(ui, found);
    }
    if (g98 && s.output_kind == output_type::freq)
        return frequency_route(version, s, ui);
    structure_record record;
    const extraction found = gaussian_output_extract(version, s.input, record, ui);
    if (!standard_orientation_found(found.flag, ui))
        return false;
    if (!write_geometry(ui, s, record, found, gaussian_output_rules, route.extract_routine,
                        report_form::long_form))
        return false;
    const orientation table = found.input_orientation ? orientation::input : orientation::standard;
    if (g98 && s.output_kind == output_type::g94 &&
        g98_in_g94_out(s.input, s.output, record, source, table, ui) != result_flag::success)
        return false;
    return success_ending(ui, found);
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
    case output_type::standard_pdb:
        return true;
    case output_type::xyz:
        return input != input_type::xyz;
    case output_type::standard_xyz:
        // An XYZ file of our own layout (or a trajectory) becomes one that every program reads.
        return true;
    case output_type::g94:
    case output_type::freq:
        return input == input_type::g98;
    }
    return false;
}

bool multiple_allowed(input_type input, output_type output) {
    // Gaussian outputs hold a table per step; XYZ files may hold a trajectory of frames.
    const bool many =
        input == input_type::g98 || input == input_type::g94 || input == input_type::xyz;
    return many && output != output_type::g94 && output != output_type::freq &&
           output_allowed(input, output);
}

namespace {

constexpr std::pair<std::string_view, input_type> input_names[] = {
    {"g98", input_type::g98},
    {"g94", input_type::g94},
    {"gaussian-input", input_type::gaussian_input},
    {"xyz", input_type::xyz}};
constexpr std::pair<std::string_view, output_type> output_names[] = {
    {"none", output_type::none},
    {"xyz", output_type::xyz},
    {"pdb", output_type::pdb},
    {"g94", output_type::g94},
    {"freq", output_type::freq},
    {"standard-xyz", output_type::standard_xyz},
    {"standard-pdb", output_type::standard_pdb}};

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
