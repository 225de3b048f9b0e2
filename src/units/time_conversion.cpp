#include "units/time_conversion.h"

#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace qm {
namespace {

// Searched in this order, with this spacing: " seconds" ends the line's groups and has no
// blank after it.
constexpr std::array<std::string_view, 4> markers = {" days ", " hours ", " minutes ", " seconds"};

constexpr std::array<std::string_view, 4> unit_words = {"Seconds", "Minutes", "Hours", "Days"};
constexpr std::array<std::string_view, 4> unit_names = {"seconds", "minutes", "hours", "days"};

float to_single(double value) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        throw run_error::from_number(err::overflow);
    return static_cast<float>(value);
}

// The bar runs from 0 to twice the input's length: the reading fills the first half, the
// conversion the second. The UI hears of a value only when it moves.
class progress {
public:
    progress(JobUi& ui, std::uint64_t length) : ui_(ui), length_(length) {
        ui_.progress_range(0, static_cast<long long>(2 * length_));
        ui_.progress_value(0);
    }

    // At the start of every line read: the bytes read so far, in whole blocks of 128.
    void reading(std::uint64_t position) { show(position / 128 * 128); }

    // After `done` of `count` lines: half the bar plus that share of the other half.
    void converted(std::size_t done, std::size_t count) {
        const double half = static_cast<double>(length_);
        const double value =
            round_half_even(half + half / static_cast<double>(count) * static_cast<double>(done));
        show(static_cast<std::uint64_t>(value));
    }

private:
    void show(std::uint64_t bytes) {
        const auto value = static_cast<long long>(std::min(bytes, 2 * length_));
        if (value == last_)
            return;
        ui_.progress_value(value);
        last_ = value;
    }

    JobUi& ui_;
    std::uint64_t length_;
    long long last_ = 0;
};

void read_lines(line_reader& in, time_lines& lines, progress& bar) {
    std::string line;
    for (;;) {
        bar.reading(in.position());
        if (!in.next(line))
            break;
        // A carriage return alone ends a line as well (files from old Macs); one right before
        // a line feed stays with its line, as it always did.
        std::string_view rest = line;
        bool split = false;
        for (std::size_t cr = 0; (cr = rest.find('\r')) != std::string_view::npos &&
                                 (cr + 1 < rest.size() || !in.line_ended());
             rest.remove_prefix(cr + 1), split = true)
            lines.add(rest.substr(0, cr));
        if (!rest.empty() || !split)
            lines.add(rest);
    }
}

void convert_lines(const time_lines& lines, const std::filesystem::path& input,
                   const std::filesystem::path& output, time_unit unit, progress& bar) {
    // The lines are in memory by now, but the input file must still survive its own run.
    ensure_distinct_files(input, output);
    output_file out(output);
    std::string block;
    std::size_t next = 0; // the next kept line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (next < lines.kept() && lines.place(next) == i) {
            const std::string_view line = lines[next++];
            const float total = duration_total(*find_duration(line), unit);
            block.assign(line);
            block += '\n';
            block += total_lines(total, unit);
            out.write(block);
        }
        bar.converted(i + 1, lines.size());
    }
    out.close();
}

} // namespace

std::string_view time_unit_word(time_unit unit) {
    return unit_words[static_cast<std::size_t>(unit)];
}

std::optional<time_unit> time_unit_named(std::string_view name) {
    for (std::size_t i = 0; i < unit_names.size(); ++i)
        if (unit_names[i] == name)
            return static_cast<time_unit>(i);
    return std::nullopt;
}

void time_lines::add(std::string_view bytes_before_lf) {
    const std::size_t start = text_.size();
    text_ += ' ';
    text_ += bytes_before_lf;
    if (find_duration(std::string_view(text_).substr(start))) {
        starts_.push_back(start);
        places_.push_back(count_);
    } else {
        text_.resize(start);
    }
    ++count_;
}

std::string_view time_lines::operator[](std::size_t k) const {
    const std::size_t end = k + 1 < starts_.size() ? starts_[k + 1] : text_.size();
    return std::string_view(text_).substr(starts_[k], end - starts_[k]);
}

std::optional<duration_texts> find_duration(std::string_view line) {
    std::array<std::string_view, 4> values;
    std::size_t p = 0;
    for (std::size_t k = 0; k < markers.size(); ++k) {
        const std::string_view marker = markers[k];
        for (;; ++p) {
            p = line.find(marker, p);
            if (p == std::string_view::npos)
                return std::nullopt; // the later markers cannot be found either
            // The value runs back from the marker to the nearest blank or the line's start.
            const std::size_t blank = p == 0 ? std::string_view::npos : line.rfind(' ', p - 1);
            const std::size_t start = blank == std::string_view::npos ? 0 : blank + 1;
            if (start < p) {
                values[k] = line.substr(start, p - start);
                break; // the next marker is looked for from this one on
            }
        }
    }
    return duration_texts{values[0], values[1], values[2], values[3]};
}

float duration_total(const duration_texts& texts, time_unit unit) {
    const double d = to_single(strict_double(texts.days));
    const double h = to_single(strict_double(texts.hours));
    const double m = to_single(strict_double(texts.minutes));
    const double s = to_single(strict_double(texts.seconds));
    double total = 0;
    switch (unit) {
    case time_unit::seconds:
        total = h * 3600 + d * 86400 + m * 60 + s;
        break;
    case time_unit::minutes:
        total = d * 1440 + h * 60 + m + s / 60;
        break;
    case time_unit::hours:
        total = d * 24 + h + m / 60 + s / 3600;
        break;
    case time_unit::days:
        total = h / 24 + d + m / 1440 + s / 86400;
        break;
    }
    return to_single(total);
}

std::string total_lines(float total, time_unit unit) {
    std::string text = print_form_single(total);
    text += ' ';
    text += time_unit_word(unit);
    text += "\n\n";
    return text;
}

time_conversion_outcome convert_time_file(const std::filesystem::path& input,
                                          const std::filesystem::path& output, time_unit unit,
                                          JobUi& ui) {
    {
        // A report comes while the hourglass still shows; it goes once the box is closed.
        busy_pointer hourglass(ui);
        time_lines lines;
        std::optional<progress> bar;
        const bool read = run_trapped(ui, report_form::short_form, read_routine, [&] {
            // The input is open only while it is read.
            line_reader in(input, last_line::may_end_without_lf);
            bar.emplace(ui, file_length(input));
            read_lines(in, lines, *bar);
        });
        if (!read || !run_trapped(ui, report_form::short_form, convert_routine,
                                  [&] { convert_lines(lines, input, output, unit, *bar); }))
            return time_conversion_outcome::error_report;
    }
    ui.progress_to_maximum();
    ui.message(message_icon::information, time_conversion_done_title, time_conversion_done_text);
    return time_conversion_outcome::completed;
}

} // namespace qm
