#include "conversion/gaussian_output_reader.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "conversion/structure_writers.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
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

std::string found_status(long long tables) {
    return "Searching File for Standard Orientations - Found " + count_text(tables);
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

// Scans the whole file; `on_table` runs after each complete table with its number.
template <class OnTable>
bool scan_tables(const gaussian_version& version, const std::filesystem::path& input,
                 bool whole_header_line, structure_record& record, JobUi& ui, OnTable&& on_table) {
    read_progress progress(ui, file_length(input));
    line_reader reader(input, last_line::must_end_with_lf);
    ui.status(found_status(0));
    long long tables = 0;
    std::string line;
    while (reader.next(line)) {
        progress.update(reader);
        const bool header = whole_header_line ? line == version.header_line
                                              : line.starts_with(version.header_start);
        if (!header)
            continue;
        ++tables;
        ui.status(found_status(tables));
        read_table(reader, version, record, progress);
        on_table(tables);
    }
    return tables > 0;
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
        line_reader reader(input, last_line::must_end_with_lf);
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

result_flag gaussian_output_extract(const gaussian_version& version,
                                    const std::filesystem::path& input, structure_record& record,
                                    JobUi& ui) {
    return trapped(ui, version.route->extract_routine, report_form::long_form, [&] {
        structure_record table;
        const bool found = scan_tables(version, input, false, table, ui, [](long long) {});
        if (!found)
            return result_flag::not_found;
        record = std::move(table);
        return result_flag::success;
    });
}

result_flag gaussian_output_multiple_extract(const gaussian_version& version,
                                             const conversion_settings& settings, JobUi& ui) {
    return trapped(ui, version.route->multiple_routine, report_form::long_form, [&] {
        structure_record table;
        const bool found = scan_tables(version, settings.input, true, table, ui, [&](long long n) {
            const auto destination = geometry_file(settings.output, n, settings.output_title);
            if (settings.output_kind == output_type::xyz ||
                settings.output_kind == output_type::pdb)
                ensure_distinct_files(settings.input, destination);
            if (settings.output_kind == output_type::xyz)
                write_xyz(destination, table, label_rule::element_symbol);
            else if (settings.output_kind == output_type::pdb)
                write_pdb(destination, table, label_rule::element_symbol,
                          spacer_rule::eleven_blanks);
        });
        return found ? result_flag::success : result_flag::not_found;
    });
}

} // namespace qm
