#include "conversion/frequency_table.h"

#include "conversion/error_trap.h"
#include "conversion/read_progress.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

namespace qm {
namespace {

// Each value line carries its label in the first 15 columns.
constexpr std::string_view frequencies_label = " Frequencies --";
constexpr std::string_view ir_label = " IR Inten    --";
constexpr std::string_view raman_label = " Raman Activ --";

// The heading of the normal coordinates: " Atom AN      X ..." up to Gaussian 03,
// "  Atom  AN      X ..." from Gaussian 09.
bool is_coordinates_heading(std::string_view line) {
    const auto fields = split_fields(line);
    return fields.size() >= 2 && fields[0] == "Atom" && fields[1] == "AN";
}

// The values after a 15-column label. Taking them after the label itself keeps the sign of an
// imaginary frequency printed right against it (" Frequencies -- -1407.9574").
std::vector<std::string> values_after_label(std::string_view line) {
    const auto fields = split_fields(line.substr(std::min(line.size(), frequencies_label.size())));
    return {fields.begin(), fields.end()};
}

bool is_digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "   1  24     0.00   0.00   0.00 ...": atom number, atomic number, then displacements. The
// mode-number line of the next block holds whole numbers only.
bool is_coordinate_line(std::string_view line) {
    const auto w = split_fields(line);
    return w.size() >= 5 && is_digits(w[0]) && is_digits(w[1]) &&
           w[2].find('.') != std::string_view::npos;
}

std::string found_status(std::size_t modes) {
    return "Searching File for Frequency Data - Found " + count_text(static_cast<long long>(modes));
}

// Reads one block of modes from its frequency line up to its last normal-coordinate line.
// Returns the first line after the coordinates, if the file has one.
bool read_block(line_reader& reader, const std::string& frequency_line, frequency_table& table,
                std::string& next, bool first_block, JobUi& ui) {
    const auto frequencies = values_after_label(frequency_line);
    std::vector<std::string> ir, raman;
    bool has_raman = false;
    std::string line;
    do {
        reader.next_required(line);
        if (line.starts_with(ir_label)) {
            ir = values_after_label(line);
        } else if (line.starts_with(raman_label)) {
            raman = values_after_label(line);
            has_raman = true;
        }
    } while (!is_coordinates_heading(line));
    // A value without its frequency would land in another mode's row.
    if (ir.size() > frequencies.size() || raman.size() > frequencies.size())
        throw run_error::from_number(err::subscript);
    // A job without Raman activities (IR only) has no Raman line: its rows have no such field.
    for (std::size_t j = 0; j < frequencies.size(); ++j)
        table.rows.push_back({frequencies[j], j < ir.size() ? ir[j] : "",
                              has_raman ? std::optional(j < raman.size() ? raman[j] : "")
                                        : std::nullopt});

    // One normal-coordinate line per atom, however many atoms the job has.
    long long atoms = 0;
    bool more = false;
    while ((more = reader.next(next)) && is_coordinate_line(next))
        ++atoms;
    if (first_block)
        ui.status("Determining atom count from file - Found " + count_text(atoms));
    return more;
}

// The blocks of one section, starting at its first frequency line.
void read_section(line_reader& reader, std::string line, frequency_table& table,
                  read_progress& progress, JobUi& ui) {
    for (bool first = true;; first = false) {
        std::string after;
        const bool more = read_block(reader, line, table, after, first, ui);
        ui.status(found_status(table.rows.size()));
        progress.update(reader);
        // After the coordinates: the next block's mode numbers and symmetry labels, then its
        // frequency line. Anything else (the empty line and the Thermochemistry title, or the
        // end of the file) ends the section.
        std::string symmetry;
        if (!more || !reader.next(symmetry) || !reader.next(line) ||
            !line.starts_with(frequencies_label))
            return;
    }
}

std::string frequency_line(const frequency_row& row) {
    std::string line = " ";
    line.append(row.frequency).append(5, ' ').append(row.ir_intensity);
    if (row.raman_activity)
        line.append(5, ' ').append(*row.raman_activity);
    line.append("\n");
    return line;
}

} // namespace

result_flag g98_freq_extract(const gaussian_version& version, const std::filesystem::path& input,
                             frequency_table& table, JobUi& ui) {
    return trapped(ui, "g98_freq_extract", report_form::long_form, [&] {
        table = {};
        read_progress progress(ui, file_length(input));
        line_reader reader(input, last_line::must_end_with_lf, line_ends::any);
        ui.status(found_status(0));
        std::string line, before; // the heading's last line may need the one above it
        bool found = false;
        while (!found) {
            before.swap(line);
            if (!reader.next(line))
                break;
            progress.update(reader);
            if (!opens_frequency_section(version, before, line))
                continue;
            std::string mode_numbers, symmetry, first;
            reader.next_required(mode_numbers);
            reader.next_required(symmetry);
            reader.next_required(first);
            // A section laid out otherwise (the high-precision block some jobs print before
            // the usual one) is passed over; the usual section follows it.
            if (!first.starts_with(frequencies_label))
                continue;
            found = true;
            read_section(reader, first, table, progress, ui);
        }
        table.progress_maximum = progress.maximum();
        table.progress_value = progress.value();
        return found ? result_flag::success : result_flag::not_found;
    });
}

void write_frequency_table(const std::filesystem::path& output, const frequency_table& table,
                           JobUi& ui) {
    const std::string status = "Extraction Complete - Writing Data to Disk - Record Number: ";
    ui.status(status + "0");
    ui.repaint();
    const long long rows = static_cast<long long>(table.rows.size());
    long long value = table.progress_value;
    const long long step =
        rows > 0
            ? static_cast<long long>(round_half_even(
                  static_cast<double>(table.progress_maximum - value) / static_cast<double>(rows)))
            : 0;
    output_file out(output);
    long long record = 0;
    for (const frequency_row& row : table.rows) {
        out.write(frequency_line(row));
        if (table.progress_maximum > value + step) {
            value += step;
            ui.progress_value(value);
        }
        ui.status(status + count_text(++record));
    }
    out.close();
}

} // namespace qm
