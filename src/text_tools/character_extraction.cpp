#include "text_tools/character_extraction.h"

#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/val.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace qm {
namespace {

constexpr std::size_t read_block = 1 << 16;
constexpr std::size_t write_block = 1 << 20;

// The bar runs over the file's length in bytes, its value the position rounded down to whole
// blocks of 128. The bar holds an int, so a file above 2 GiB is shown in blocks of 128 bytes
// instead: same proportion, no overflow.
bool counts_in_blocks(std::uint64_t length) {
    return length > static_cast<std::uint64_t>(std::numeric_limits<int>::max());
}

long long bar_maximum(std::uint64_t length) {
    return static_cast<long long>(counts_in_blocks(length) ? length / 128 : length);
}

long long bar_value(std::uint64_t position, std::uint64_t length) {
    const std::uint64_t blocks = position / 128;
    return static_cast<long long>(counts_in_blocks(length) ? blocks : blocks * 128);
}

// Sets the bar at the start of each line, but only tells the UI when the value moves: a file
// of short lines would otherwise cost a call per line for the same picture. The bar runs over
// the file as stored, so a compressed file shows how much of it has been decompressed.
byte_progress bar_progress(JobUi& ui, const input_stream& in, std::uint64_t length) {
    return [&ui, &in, length, last = -1LL](std::uint64_t position) mutable {
        const long long value =
            std::min(bar_value(in.progress_position(position), length), bar_maximum(length));
        if (value != last) {
            ui.progress_value(value);
            last = value;
        }
    };
}

void start_bar(JobUi& ui, std::uint64_t length) {
    ui.progress_range(0, bar_maximum(length));
    ui.progress_value(0);
}

} // namespace

prescan_result prescan_text_file(std::istream& in, const byte_progress& progress) {
    prescan_result result;
    std::string block(read_block, '\0');
    std::size_t have = 0;
    std::size_t at = 0;
    std::uint64_t position = 0;
    const auto refill = [&] {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        if (in.bad())
            throw run_error(57, "Device I/O error");
        have = static_cast<std::size_t>(in.gcount());
        at = 0;
        return have > 0;
    };

    for (std::uint64_t count = 0; count < prescan_line_limit; ++count) {
        if (at == have && !refill())
            break; // the file is at its end
        if (progress)
            progress(position);
        // The measured line: a leading space, the bytes up to the line feed (a carriage
        // return included). Only its length and the preview's share are kept.
        std::uint64_t length = 1;
        if (result.preview.size() < preview_limit)
            result.preview += "\r\n ";
        for (;;) {
            if (at == have && !refill())
                break;
            const char* from = block.data() + at;
            const auto* lf = static_cast<const char*>(std::memchr(from, '\n', have - at));
            const std::size_t take =
                lf != nullptr ? static_cast<std::size_t>(lf - from) : have - at;
            length += take;
            if (result.preview.size() < preview_limit)
                result.preview.append(from, std::min(take, preview_limit - result.preview.size()));
            at += take;
            position += take;
            if (lf != nullptr) {
                ++at;
                ++position;
                break;
            }
        }
        result.max_line_length = std::max(result.max_line_length, length);
    }
    if (result.preview.size() > preview_limit)
        result.preview.resize(preview_limit);
    // The smallest line length is never tracked below its start of 0, so the minimum offered
    // as range 1's start is always 1.
    result.min_value = 1;
    return result;
}

std::optional<prescan_result> run_prescan(const std::filesystem::path& input, JobUi& ui,
                                          run_error* failure) {
    busy_pointer busy(ui);
    try {
        const auto in = open_input(input);
        const std::uint64_t length = file_length(input);
        start_bar(ui, length);
        ui.status("Pre Scanning File");
        ui.repaint();
        prescan_result result = prescan_text_file(*in, bar_progress(ui, *in, length));
        ui.status("File Scanned - Line Length Max = " + std::to_string(result.max_line_length) +
                  " Min = " + std::to_string(result.min_value));
        ui.progress_to_maximum();
        return result;
    } catch (const std::exception& e) {
        // A scan that fails stops without a message; the window returns to its unscanned state.
        if (failure != nullptr)
            *failure = as_run_error(e);
        return std::nullopt;
    }
}

std::optional<std::string> check_ranges(const range_entry& texts, std::uint64_t max_line_length,
                                        std::vector<char_range>& ranges) {
    const auto integer_part = [](const std::string& text) {
        return std::trunc(strict_double(text));
    };
    // Compared as numbers before anything becomes a position, so a huge or negative entry is a
    // validation message and never wraps around.
    const auto valid = [&](double s, double f) {
        return s >= 1 && s <= f && f <= static_cast<double>(max_line_length);
    };
    std::vector<char_range> checked;
    for (std::size_t n = 0; n < range_count; ++n) {
        const range_texts& t = texts[n];
        const std::string message =
            n == 0
                ? std::string("Please Enter a valid start and finish range")
                : "Please Enter a valid start and finish range for range " + std::to_string(n + 1);
        if (n == 0 && (t.start.empty() || t.finish.empty()))
            return message;
        if (t.start.empty())
            continue; // an optional range without a start is left out, finish or not
        if (t.finish.empty())
            return message;
        const double s = integer_part(t.start);
        const double f = integer_part(t.finish);
        if (!valid(s, f))
            return message;
        checked.push_back({static_cast<std::uint64_t>(s), static_cast<std::uint64_t>(f)});
    }
    ranges = std::move(checked);
    return std::nullopt;
}

void append_pieces(std::string_view line, const std::vector<char_range>& ranges, std::string& out) {
    const std::uint64_t length = line.size();
    for (const char_range& r : ranges) {
        // A range gives something only when it starts before the line's last character (a
        // start on the last character gives nothing, as it always has). Starts are 1 or more
        // (check_ranges).
        if (r.start == 0 || r.start >= length)
            continue;
        const std::uint64_t last = std::min(r.finish, length);
        if (last < r.start)
            continue;
        out.append(line.substr(r.start - 1, last - r.start + 1));
    }
}

void extract_character_ranges(std::istream& in, const std::vector<char_range>& ranges,
                              const std::function<void(std::string_view)>& write,
                              const byte_progress& progress) {
    line_reader reader(in, last_line::may_end_without_lf);
    std::string line;
    std::string out;
    out.reserve(write_block + 4096);
    for (;;) {
        if (progress)
            progress(reader.position());
        if (!reader.next(line))
            break;
        append_pieces(line, ranges, out);
        out += '\n';
        if (out.size() >= write_block) {
            write(out);
            out.clear();
        }
    }
    if (!out.empty())
        write(out);
}

extraction_outcome run_character_extraction(const std::filesystem::path& input,
                                            const std::filesystem::path& output,
                                            const range_entry& texts, std::uint64_t max_line_length,
                                            JobUi& ui) {
    std::optional<run_error> failure;
    {
        busy_pointer busy(ui);
        try {
            std::vector<char_range> ranges;
            if (const auto message = check_ranges(texts, max_line_length, ranges)) {
                ui.message(message_icon::exclamation, application_title, *message);
                return extraction_outcome::invalid_ranges;
            }
            const auto in = open_input(input);
            const std::uint64_t length = file_length(input);
            // Truncating the output must never destroy the input it is being cut from.
            ensure_distinct_files(input, output);
            output_file out(output);
            start_bar(ui, length);
            ui.status("Extracting File Contents");
            extract_character_ranges(
                *in, ranges, [&out](std::string_view bytes) { out.write(bytes); },
                bar_progress(ui, *in, length));
            out.close();
        } catch (const std::exception& e) {
            failure = as_run_error(e);
        }
    }
    if (failure) {
        ui.error_report(*failure, application_title,
                        error_report_text(report_form::short_form, *failure, extraction_routine));
        return extraction_outcome::failed;
    }
    ui.progress_to_maximum();
    ui.message(message_icon::information, "Process completed", "File Extraction Completed");
    return extraction_outcome::completed;
}

} // namespace qm
