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

// The centre number right-aligned in columns 1-5 and the atomic number in 12-17; each
// coordinate right-aligned in its 12-column field (25-36, 37-48, 49-60), so a nine-character
// text stands in 28-36, 40-48 and 52-60 and a wider one (-10 and below, 100 and above) grows
// to the left inside its own field. Our Gaussian 94 reader takes such a field whole.
constexpr std::size_t centre_columns = 5;
constexpr std::size_t atomic_number_columns = 12;
constexpr std::size_t blanks_before_coordinates = 7;
constexpr std::size_t coordinate_columns = 12;

void append_right_aligned(std::string& line, std::string_view text, std::size_t columns) {
    // A text wider than its field would move every later field and be read back wrongly.
    if (text.size() > columns)
        throw run_error::from_number(err::overflow);
    line.append(columns - text.size(), ' ');
    line += text;
}

std::string g94_table(const structure_record& record, orientation table) {
    std::string text;
    for (std::string_view line : {gaussian_94.header(table).line, g94_rule, g94_table_head[0],
                                  g94_table_head[1], g94_rule}) {
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
    // The label must be an atomic number, as the Gaussian 94 reader takes it.
    strict_double(row.label);
    std::string line;
    append_right_aligned(line, count_text(centre), centre_columns);
    append_right_aligned(line, row.label, atomic_number_columns);
    line.append(blanks_before_coordinates, ' ');
    for (const std::string* text : {&row.x, &row.y, &row.z})
        append_right_aligned(line, *text, coordinate_columns);
    line += '\n';
    return line;
}

result_flag g98_in_g94_out(const std::filesystem::path& input, const std::filesystem::path& output,
                           const structure_record& record, const recognised_output& source,
                           orientation table, JobUi& ui) {
    return trapped(ui, "g98_in_g94_out", report_form::short_form, [&] {
        ui.status("Converting to Gaussian 94 Format");
        ui.status("Writing Gaussian 94 Output File");
        read_progress progress(ui, file_length(input));
        const std::string rewritten = g94_table(record, table);
        const std::string_view header = source.version->header(table).start;
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        ensure_distinct_files(input, output);
        output_file out(output);
        std::string line;
        while (reader.next(line)) {
            progress.update(reader);
            if (line == source.banner) {
                out.write(gaussian_94.banner);
                out.write("\n");
            } else if (line.starts_with(header)) {
                // The same header rule as the extraction: every table it could read is rewritten.
                out.write(rewritten);
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
