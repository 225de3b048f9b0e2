#include "conversion/g94_writer.h"

#include "conversion/error_trap.h"
#include "conversion/gaussian_output_reader.h"
#include "conversion/read_progress.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/val.h"

namespace qm {
namespace {

constexpr std::string_view g94_rule = " ----------------------------------------------------------";
constexpr std::string_view g94_table_head[] = {
    " Center     Atomic              Coordinates (Angstroms)",
    " Number     Number             X           Y           Z"};
constexpr std::size_t input_head_lines = 4; // rule, two heading lines, rule

// Blanks before the centre's print form, so its last digit stands in column 5.
std::size_t blanks_before_centre(long long centre) {
    if (centre < 10)
        return 3;
    if (centre < 100)
        return 2;
    if (centre < 1000)
        return 1;
    return 0;
}

// Blanks before the atomic number, so it ends in column 17.
std::size_t blanks_before_atomic_number(double atomic_number) {
    if (atomic_number < 10)
        return 10;
    if (atomic_number < 100)
        return 9;
    return 8;
}

std::string g94_table(const structure_record& record) {
    std::string text;
    for (std::string_view line :
         {gaussian_94.header_line, g94_rule, g94_table_head[0], g94_table_head[1], g94_rule}) {
        text += line;
        text += '\n';
    }
    long long centre = 0;
    for (const atom_row& row : record.atoms)
        text += g94_atom_line(++centre, row);
    text += g94_rule;
    text += '\n';
    return text;
}

// Steps over the input's own table, whatever its number of rows, up to its closing rule.
void skip_input_table(line_reader& reader) {
    std::string line;
    for (std::size_t i = 0; i < input_head_lines; ++i)
        reader.next_required(line);
    do
        reader.next_required(line);
    while (!closes_table(line));
}

} // namespace

std::string g94_atom_line(long long centre, const atom_row& row) {
    std::string line(blanks_before_centre(centre), ' ');
    line += print_form(static_cast<double>(centre));
    line.append(blanks_before_atomic_number(strict_double(row.label)), ' ');
    line += row.label;
    line.append(10, ' ');
    line += row.x;
    line += "   ";
    line += row.y;
    line += "   ";
    line += row.z;
    line += '\n';
    return line;
}

result_flag g98_in_g94_out(const std::filesystem::path& input, const std::filesystem::path& output,
                           const structure_record& record, JobUi& ui) {
    return trapped(ui, "g98_in_g94_out", report_form::short_form, [&] {
        ui.status("Converting to Gaussian 94 Format");
        ui.status("Writing Gaussian 94 Output File");
        read_progress progress(ui, file_length(input));
        const std::string table = g94_table(record);
        line_reader reader(input, last_line::must_end_with_lf);
        ensure_distinct_files(input, output);
        output_file out(output);
        std::string line;
        while (reader.next(line)) {
            progress.update(reader);
            if (line == gaussian_98.banner) {
                out.write(gaussian_94.banner);
                out.write("\n");
            } else if (line.starts_with(gaussian_98.header_start)) {
                // The same header rule as the extraction: every table it could read is rewritten.
                out.write(table);
                skip_input_table(reader);
            } else {
                out.write(" ");
                out.write(line);
                out.write("\n");
            }
        }
        out.close();
        return result_flag::success;
    });
}

} // namespace qm
