#include "text_tools/line_extraction.h"

#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace qm {
namespace {

constexpr std::uint64_t no_line = std::numeric_limits<std::uint64_t>::max();

// Copies lines start, start + frequency, ... in one pass, so a pipe is read once. The output is
// created when the start line is reached: false, and nothing created, when there is none.
bool copy_every_nth_line(const line_extraction_settings& s) {
    line_reader in(s.input, last_line::may_end_without_lf);
    std::optional<output_file> out;
    std::string line;
    std::uint64_t wanted = s.start_line;
    // Once the next wanted line number would pass 2^64 - 1 no file holds it: stop reading.
    while (wanted != no_line && in.next(line)) {
        if (in.lines_read() != wanted)
            continue;
        if (!out) {
            ensure_distinct_files(s.input, s.output);
            out.emplace(s.output);
        }
        line.push_back('\n');
        out->write(line);
        wanted = s.frequency > no_line - wanted ? no_line : wanted + s.frequency;
    }
    if (!out)
        return false;
    out->close();
    return true;
}

} // namespace

bool accepts_line_number_key(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

bool line_numbers_usable(std::string_view start_text, std::string_view frequency_text) {
    return whole_number_from_text(start_text) > 0 && whole_number_from_text(frequency_text) > 0;
}

line_extraction_outcome extract_every_nth_line(const line_extraction_settings& settings,
                                               JobUi& ui) {
    busy_pointer hourglass(ui);
    bool start_exists = true;
    // A "line" without any line feed larger than memory (a device, a binary file) is the
    // report's "Out of memory".
    const bool done = run_trapped(ui, report_form::number_form, line_extraction_routine, [&] {
        // The window never runs with either number at 0; a caller that does gets the errors
        // the old program met (line 0 is out of range), never an endless loop.
        if (settings.start_line == 0)
            throw run_error::from_number(err::subscript);
        if (settings.frequency == 0)
            throw run_error::from_number(err::invalid_call);
        start_exists = copy_every_nth_line(settings);
    });
    if (!done)
        return line_extraction_outcome::error_report;
    if (!start_exists) {
        ui.message(message_icon::critical, start_beyond_end_title, start_beyond_end_text);
        return line_extraction_outcome::start_beyond_end;
    }
    ui.message(message_icon::information, extraction_done_title, extraction_done_text);
    return line_extraction_outcome::completed;
}

} // namespace qm
