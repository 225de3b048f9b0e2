#include "conversion/gaussian_input_reader.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "platform/cartesian_atom.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

namespace qm {
namespace {

constexpr int route_search_lines = 49;
constexpr std::size_t max_closing_blanks = 4;

constexpr std::string_view blanks = " ";
constexpr std::string_view blanks_and_tabs = " \t";

// Skips the characters of `skip` from `pos`, then takes the field up to the next blank (or the
// end of the line when `may_end_line`). A coordinate that does not start with a minus sign
// gets a blank in front.
std::string take_field(std::string_view line, std::size_t& pos, std::string_view skip,
                       bool coordinate, bool may_end_line) {
    pos = line.find_first_not_of(skip, pos);
    if (pos == std::string_view::npos)
        throw run_error::from_number(err::invalid_call);
    std::size_t end = line.find(' ', pos);
    if (end == std::string_view::npos) {
        if (!may_end_line)
            throw run_error::from_number(err::invalid_call);
        end = line.size();
    }
    std::string field = coordinate && line[pos] != '-' ? " " : "";
    field.append(line.substr(pos, end - pos));
    pos = end;
    return field;
}

// An empty line, or one to four blanks, closes the list of atoms.
bool closes_molecule(std::string_view line) {
    return line.size() <= max_closing_blanks &&
           line.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

atom_row cut_input_atom_line(std::string_view line) {
    std::size_t pos = 0;
    atom_row row;
    row.label = take_field(line, pos, blanks_and_tabs, false, false);
    // A freeze code between the label and x is passed over; fields after z are not read.
    if (cartesian_x_field(split_fields(line, blanks_and_tabs)) == 2)
        take_field(line, pos, blanks_and_tabs, false, false);
    row.x = take_field(line, pos, blanks_and_tabs, true, false);
    row.y = take_field(line, pos, blanks, true, false);
    row.z = take_field(line, pos, blanks, true, true);
    return row;
}

result_flag gaussian_input_test(const std::filesystem::path& input, JobUi& ui) {
    return trapped(ui, "gaussian_input_test", report_form::short_form, [&] {
        ui.status("Checking File Format is Valid");
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        std::string line;
        for (int n = 0; n < route_search_lines && reader.next(line); ++n) {
            if (!line.empty() && line.front() == '#') {
                ui.status("File Format is Valid");
                return result_flag::success;
            }
        }
        return result_flag::not_found;
    });
}

result_flag gaussian_cart_extract(const std::filesystem::path& input, structure_record& record,
                                  JobUi& ui) {
    return trapped(ui, "gaussian_cart_extract", report_form::short_form, [&] {
        read_progress progress(ui, file_length(input));
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        ui.status("Searching File for Cartesian Geometry - Lines Scanned = 0");
        // Route and title sections: up to the second empty line (blank-only lines do not count).
        std::string line;
        for (int empty_lines = 0; empty_lines < 2;) {
            if (!reader.next(line))
                return result_flag::not_found;
            ui.status("Searching File for Cartesian Geometry - Lines Scanned = " +
                      count_text(static_cast<long long>(reader.lines_read())));
            progress.update(reader);
            if (line.empty())
                ++empty_lines;
        }
        // The charge and multiplicity line, then the atoms up to the closing empty line.
        record.atoms.clear();
        for (bool charge_line = true;; charge_line = false) {
            reader.next_required(line);
            if (charge_line)
                continue;
            if (closes_molecule(line))
                return result_flag::success;
            record.atoms.push_back(cut_input_atom_line(line));
            ui.status("Reading Cartesian Geometry - Line Number = " +
                      count_text(static_cast<long long>(record.atoms.size())));
            progress.update(reader);
        }
    });
}

} // namespace qm
