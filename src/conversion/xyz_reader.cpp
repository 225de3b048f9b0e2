#include "conversion/xyz_reader.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "platform/number_form.h"
#include "platform/run_error.h"

#include <algorithm>

namespace qm {
namespace {

bool is_atom_line(std::string_view line) {
    return std::count(line.begin(), line.end(), '.') == 3;
}

// Skips blanks from `pos`, then takes the field up to the next blank. The first three fields
// must be followed by a blank; the last may run to the end of the line.
std::string next_field(std::string_view line, std::size_t& pos, bool last) {
    pos = line.find_first_not_of(' ', pos);
    if (pos == std::string_view::npos)
        throw run_error::from_number(err::invalid_call);
    const std::size_t end = line.find(' ', pos);
    if (end == std::string_view::npos && !last)
        throw run_error::from_number(err::invalid_call);
    std::string field(line.substr(pos, end == std::string_view::npos ? end : end - pos));
    pos = end;
    return field;
}

} // namespace

atom_row cut_xyz_fields(std::string_view line) {
    std::size_t pos = 0;
    atom_row row;
    row.label = next_field(line, pos, false);
    row.x = next_field(line, pos, false);
    row.y = next_field(line, pos, false);
    row.z = next_field(line, pos, true);
    return row;
}

bool xyz_second_line_valid(line_reader& reader) {
    std::string line;
    if (!reader.next(line) || !reader.next(line))
        return false;
    return is_atom_line(line);
}

bool xyz_read_geometry(line_reader& reader, std::uint64_t length, structure_record& record,
                       JobUi& ui) {
    record.atoms.clear();
    read_progress progress(ui, length);
    ui.status("Searching File for Cartesian Geometry - Lines Scanned = 0");
    bool in_geometry = false;
    std::string line;
    while (reader.next(line)) {
        ui.status("Searching File for Cartesian Geometry - Lines Scanned = " +
                  count_text(static_cast<long long>(reader.lines_read())));
        progress.update(reader);
        if (!is_atom_line(line)) {
            if (in_geometry)
                return true; // the first run of atom lines is the geometry
            continue;
        }
        in_geometry = true;
        record.atoms.push_back(cut_xyz_fields(line));
        ui.status("Reading Cartesian Geometry - Line Number = " +
                  count_text(static_cast<long long>(record.atoms.size())));
    }
    return in_geometry;
}

result_flag xyz_input_test(const std::filesystem::path& input, JobUi& ui) {
    return trapped(ui, "xyz_input_test", report_form::short_form, [&] {
        ui.status("Checking File Format is Valid");
        line_reader reader(input, last_line::must_end_with_lf);
        if (!xyz_second_line_valid(reader))
            return result_flag::not_found;
        ui.status("File Format is Valid");
        return result_flag::success;
    });
}

result_flag xyz_extract(const std::filesystem::path& input, structure_record& record, JobUi& ui) {
    return trapped(ui, "xyz_extract", report_form::short_form, [&] {
        const std::uint64_t length = file_length(input);
        line_reader reader(input, last_line::must_end_with_lf);
        return xyz_read_geometry(reader, length, record, ui) ? result_flag::success
                                                             : result_flag::not_found;
    });
}

} // namespace qm
