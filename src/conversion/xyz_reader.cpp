#include "conversion/xyz_reader.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <charconv>

namespace qm {
namespace {

constexpr std::string_view blanks_and_tabs = " \t";

bool is_atom_line(std::string_view line) {
    return std::count(line.begin(), line.end(), '.') == 3;
}

bool is_blank(std::string_view line) {
    return line.find_first_not_of(blanks_and_tabs) == std::string_view::npos;
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

std::string lines_scanned(const line_reader& reader) {
    return "Searching File for Cartesian Geometry - Lines Scanned = " +
           count_text(static_cast<long long>(reader.lines_read()));
}

// Our own layout: the first run of atom lines, `line` being the file's first line. Every line
// read must end with its line end, as this layout always has.
bool read_own_geometry(line_reader& reader, std::string line, read_progress& progress, JobUi& ui,
                       const geometry_handler& on_geometry) {
    structure_record record;
    bool in_geometry = false;
    do {
        if (!reader.line_ended())
            throw run_error::from_number(err::past_end);
        ui.status(lines_scanned(reader));
        progress.update(reader);
        if (!is_atom_line(line)) {
            if (in_geometry)
                break; // the first run of atom lines is the geometry
            continue;
        }
        in_geometry = true;
        record.atoms.push_back(cut_xyz_fields(line));
        ui.status("Reading Cartesian Geometry - Line Number = " +
                  count_text(static_cast<long long>(record.atoms.size())));
    } while (reader.next(line));
    if (in_geometry)
        on_geometry(record, 1);
    return in_geometry;
}

// A standard atom line: a label, then x, y and z as numbers; anything after them is passed
// over. Blanks or tabs separate.
std::optional<atom_row> standard_atom(std::string_view line) {
    const auto f = split_fields(line, blanks_and_tabs);
    if (f.size() < 4 || !is_number(f[1]) || !is_number(f[2]) || !is_number(f[3]))
        return std::nullopt;
    return atom_row{std::string(f[0]), std::string(f[1]), std::string(f[2]), std::string(f[3])};
}

run_error frame_error(std::string what) {
    return run_error(err::bad_record_length, std::move(what));
}

// Every frame of a standard file, `line` being its first line (an atom count). The number of
// frames read.
long long read_standard_frames(line_reader& reader, std::string line, read_progress& progress,
                               JobUi& ui, const geometry_handler& on_frame) {
    structure_record frame;
    long long frames = 0;
    do {
        progress.update(reader);
        if (is_blank(line))
            continue;
        const auto count = xyz_atom_count(line);
        if (!count)
            throw frame_error("Line " + count_text(static_cast<long long>(reader.lines_read())) +
                              " after frame " + count_text(frames) + " is not an atom count");
        ++frames;
        ui.status("Reading Cartesian Geometry - Frame " + count_text(frames));
        frame.atoms.clear();
        std::string comment;
        bool complete = reader.next(comment);
        while (complete && frame.atoms.size() < *count) {
            std::optional<atom_row> atom;
            complete = reader.next(line) && (atom = standard_atom(line));
            if (complete)
                frame.atoms.push_back(std::move(*atom));
        }
        if (!complete) {
            const auto got = static_cast<long long>(frame.atoms.size());
            throw frame_error("Frame " + count_text(frames) + " has " + count_text(got) +
                              (got == 1 ? " atom line" : " atom lines") + " for its count of " +
                              std::to_string(*count));
        }
        progress.update(reader);
        on_frame(frame, frames);
    } while (reader.next(line));
    return frames;
}

} // namespace

std::optional<std::uint64_t> xyz_atom_count(std::string_view line) {
    const auto f = split_fields(line, blanks_and_tabs);
    std::uint64_t count = 0;
    if (f.size() != 1 || f[0].find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const auto [end, ec] = std::from_chars(f[0].data(), f[0].data() + f[0].size(), count);
    if (ec != std::errc() || end != f[0].data() + f[0].size())
        return std::nullopt;
    return count;
}

atom_row cut_xyz_fields(std::string_view line) {
    std::size_t pos = 0;
    atom_row row;
    row.label = next_field(line, pos, false);
    row.x = next_field(line, pos, false);
    row.y = next_field(line, pos, false);
    row.z = next_field(line, pos, true);
    return row;
}

result_flag xyz_input_test(const std::filesystem::path& input, JobUi& ui) {
    return trapped(ui, "xyz_input_test", report_form::short_form, [&] {
        ui.status("Checking File Format is Valid");
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        std::string line;
        if (!reader.next(line))
            return result_flag::not_found;
        if (!xyz_atom_count(line) && (!reader.next(line) || !is_atom_line(line)))
            return result_flag::not_found;
        ui.status("File Format is Valid");
        return result_flag::success;
    });
}

extraction xyz_extract(const std::filesystem::path& input, JobUi& ui,
                       const geometry_handler& on_geometry) {
    extraction found;
    found.flag = trapped(ui, "xyz_extract", report_form::short_form, [&] {
        read_progress progress(ui, file_length(input));
        // Standard files often lack the last line end; our own layout checks it line by line.
        line_reader reader(input, last_line::may_end_without_lf, line_ends::any);
        ui.status("Searching File for Cartesian Geometry - Lines Scanned = 0");
        std::string first;
        if (!reader.next(first))
            return result_flag::not_found;
        found.geometries = xyz_atom_count(first)
                               ? read_standard_frames(reader, first, progress, ui, on_geometry)
                               : static_cast<long long>(
                                     read_own_geometry(reader, first, progress, ui, on_geometry));
        return found.geometries > 0 ? result_flag::success : result_flag::not_found;
    });
    return found;
}

extraction xyz_extract(const std::filesystem::path& input, structure_record& record, JobUi& ui) {
    structure_record last;
    const extraction found = xyz_extract(
        input, ui, [&](const structure_record& geometry, long long) { last = geometry; });
    if (found.flag == result_flag::success)
        record = std::move(last);
    return found;
}

} // namespace qm
