#include "conversion/gaussian_output_reader.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/run_error.h"

namespace qm {

namespace {

constexpr int banner_search_lines = 14;
constexpr std::size_t coordinate_text = 9;
constexpr std::size_t coordinate_field = 12;
constexpr std::size_t table_head_lines = 4; // rule, two heading lines, rule

// The coordinate whose nine-character text starts at `start`.
std::string coordinate_at(std::string_view line, std::size_t start) {
    if (line.size() < start + coordinate_text)
        throw run_error::from_number(err::past_end);
    const std::size_t field_start = start + coordinate_text - coordinate_field;
    const std::string_view field = line.substr(field_start, coordinate_field);
    const std::size_t first = field.find_first_not_of(' ');
    if (first != std::string_view::npos && coordinate_field - first > coordinate_text)
        return std::string(field.substr(first));
    return std::string(line.substr(start, coordinate_text));
}

std::string found_status(orientation table, long long tables) {
    return std::string("Searching File for ") +
           (table == orientation::standard ? "Standard" : "Input") + " Orientations - Found " +
           count_text(tables);
}

// Reads the rows of the table whose header has just been read, up to its closing rule.
void read_table(line_reader& reader, const gaussian_version& version, structure_record& record,
                read_progress& progress) {
    std::string line;
    for (std::size_t i = 0; i < table_head_lines; ++i)
        reader.next_required(line);
    record.atoms.clear();
    for (;;) {
        reader.next_required(line);
        progress.update(reader);
        if (closes_table(line))
            return;
        record.atoms.push_back(cut_orientation_row(line, version));
    }
}

// Scans the whole file for the tables of one orientation; `on_table` runs after each complete
// table with its number. The number of tables found.
long long scan_tables(const gaussian_version& version, orientation table,
                      const std::filesystem::path& input, bool whole_header_line,
                      structure_record& record, JobUi& ui, const geometry_handler& on_table) {
    read_progress progress(ui, file_length(input));
    line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
    ui.status(found_status(table, 0));
    const table_header& header = version.header(table);
    long long tables = 0;
    std::string line;
    while (reader.next(line)) {
        progress.update(reader);
        const bool opens = whole_header_line ? line == header.line : line.starts_with(header.start);
        if (!opens)
            continue;
        ++tables;
        ui.status(found_status(table, tables));
        read_table(reader, version, record, progress);
        on_table(record, tables);
    }
    return tables;
}

// The Standard orientation tables, or, when the file has none (a NoSymm job), the Input
// orientation ones: a second pass, so the writers of a multiple run never see both kinds.
extraction scan_orientations(const gaussian_version& version, const std::filesystem::path& input,
                             bool whole_header_line, structure_record& record, JobUi& ui,
                             const geometry_handler& on_table) {
    extraction found;
    for (const orientation table : {orientation::standard, orientation::input}) {
        found.geometries =
            scan_tables(version, table, input, whole_header_line, record, ui, on_table);
        if (found.geometries > 0) {
            found.flag = result_flag::success;
            found.input_orientation = table == orientation::input;
            break;
        }
    }
    return found;
}

} // namespace

atom_row cut_orientation_row(std::string_view line, const gaussian_version& version) {
    if (line.size() < version.centre_columns)
        throw run_error::from_number(err::past_end);
    const std::size_t label_start = line.find_first_not_of(' ', version.centre_columns);
    const std::size_t label_end =
        label_start == std::string_view::npos ? label_start : line.find(' ', label_start);
    if (label_end == std::string_view::npos)
        throw run_error::from_number(err::past_end);
    const std::size_t x = label_end + 1 + version.columns_after_label;
    const std::size_t step = coordinate_text + 3;
    return {std::string(line.substr(label_start, label_end - label_start)), coordinate_at(line, x),
            coordinate_at(line, x + step), coordinate_at(line, x + 2 * step)};
}

std::filesystem::path geometry_file(const std::filesystem::path& output, long long counter,
                                    std::string_view output_title) {
    return output.parent_path() / (count_text(counter) + " - " + std::string(output_title));
}

recognised_output gaussian_output_test(const gaussian_route& route,
                                       const std::filesystem::path& input, JobUi& ui) {
    recognised_output found;
    found.flag = trapped(ui, route.test_routine, report_form::short_form, [&] {
        ui.status("Checking File Format is Valid - Lines Scanned = 0");
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        std::string line, next;
        bool have_next = false;
        for (int n = 1; n <= banner_search_lines; ++n) {
            if (have_next)
                line = std::move(next);
            else if (!reader.next(line))
                break;
            have_next = false;
            const gaussian_version* version = banner_version(route, line, {});
            // The banners of Gaussian 09 and 16 end their year list with a comma and go on
            // on the next line; only then is that line read before its turn.
            if (version == nullptr && banner_continues(line) && reader.next(next)) {
                have_next = true;
                version = banner_version(route, line, next);
            }
            if (version != nullptr) {
                found.version = version;
                found.banner = line;
                ui.status("File Format is Valid");
                return result_flag::success;
            }
            ui.status("Checking File Format is Valid - Lines Scanned = " + count_text(n));
        }
        return result_flag::not_found;
    });
    return found;
}

extraction gaussian_output_extract(const gaussian_version& version,
                                   const std::filesystem::path& input, structure_record& record,
                                   JobUi& ui) {
    extraction found;
    found.flag = trapped(ui, version.route->extract_routine, report_form::long_form, [&] {
        structure_record table;
        found = scan_orientations(version, input, false, table, ui,
                                  [](const structure_record&, long long) {});
        if (found.flag == result_flag::success)
            record = std::move(table);
        return found.flag;
    });
    return found;
}

extraction gaussian_output_multiple_extract(const gaussian_version& version,
                                            const std::filesystem::path& input, JobUi& ui,
                                            const geometry_handler& on_table) {
    extraction found;
    found.flag = trapped(ui, version.route->multiple_routine, report_form::long_form, [&] {
        structure_record table;
        found = scan_orientations(version, input, true, table, ui, on_table);
        return found.flag;
    });
    return found;
}

} // namespace qm
