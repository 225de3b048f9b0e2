#include "amber/mdcrd_strip.h"

#include "amber/amber_netcdf.h"
#include "amber/prmtop.h"
#include "platform/error_report.h"
#include "platform/line_reader.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/run_error.h"
#include "platform/text.h"
#include "platform/val.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace qm {
namespace {

constexpr std::uint64_t field_width = 8;
constexpr std::uint64_t fields_per_line = 10;
constexpr std::uint64_t line_width = field_width * fields_per_line; // 80 columns
// Frames are read and written in blocks of about this size (at least one frame).
constexpr std::uint64_t block_bytes = 1 << 20;
// A box line longer than this is taken for something else.
constexpr std::size_t longest_box_line = 256;
constexpr const char* cr_lf_ends =
    "Lines end in CR LF, but an Amber trajectory ends them in LF only";

// Descriptions end in " - error " so that the report's number, written directly after the
// description, reads as "... - error 59".
run_error layout_error(int number, const std::string& what) {
    return run_error(number, what + " - error ");
}

std::string atoms_text(std::uint64_t atoms) {
    return std::to_string(atoms) + (atoms == 1 ? " atom" : " atoms");
}

// A box line holds three positive lengths, optionally followed by three angles (degrees, above
// 0 and below 180), separated by blanks or standing in 8-column fields.
bool is_box_line(std::string_view line) {
    const auto fields = split_fields(line);
    if (fields.size() != 3 && fields.size() != 6)
        return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!is_number(fields[i]))
            return false;
        const double value = val(fields[i]);
        if (value <= 0 || (i >= 3 && value >= 180))
            return false;
    }
    return true;
}

// The widths a box line takes in the 8-column layout: three lengths, or lengths and angles.
bool box_wide(std::uint64_t width) {
    return width == 3 * field_width || width == 6 * field_width;
}

// Where the coordinate lines of one frame of `atoms` atoms end.
struct frame_lines {
    explicit frame_lines(std::uint64_t atoms)
        : full_lines(3 * atoms / fields_per_line),
          last_width(3 * atoms % fields_per_line * field_width),
          bytes(full_lines * (line_width + 1) + (last_width == 0 ? 0 : last_width + 1)) {}

    std::uint64_t count() const { return full_lines + (last_width == 0 ? 0 : 1); }
    std::uint64_t width(std::uint64_t line) const {
        return line < full_lines ? line_width : last_width;
    }

    std::uint64_t full_lines;
    std::uint64_t last_width; // 0 when the last line is a full one
    std::uint64_t bytes;
};

// Checks that the line starting `line` ends in a line feed after exactly `width` characters;
// otherwise says what stands there instead.
void check_line_end(std::string_view line, std::uint64_t width, std::uint64_t frame,
                    std::uint64_t line_number, std::uint64_t atoms, const char* what) {
    const char* start = line.data();
    const auto* end = static_cast<const char*>(
        std::memchr(start, '\n', std::min<std::uint64_t>(line.size(), width + 2)));
    if (end == start + width)
        return;
    if (end != nullptr && end > start && end[-1] == '\r')
        throw layout_error(err::bad_record_length, cr_lf_ends);
    if (end == nullptr) // longer than the layout allows: find out by how much
        end = static_cast<const char*>(std::memchr(start, '\n', line.size()));
    const std::string found =
        end == nullptr ? "no line end" : std::to_string(end - start) + " characters";
    throw layout_error(err::bad_record_length, "Frame " + std::to_string(frame) + ", " + what +
                                                   " " + std::to_string(line_number) + " has " +
                                                   found + " where " + atoms_text(atoms) +
                                                   " need " + std::to_string(width) +
                                                   ": check the number of atoms");
}

// Line feeds in bytes[0, size): eight bytes at a time, each byte that equals a line feed
// turned into a set high bit (no carry crosses a byte) and the bits summed by one multiply.
std::uint64_t count_line_feeds(const char* bytes, std::uint64_t size) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t low7 = 0x7f7f7f7f7f7f7f7fu;
    std::uint64_t count = 0;
    std::uint64_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        const std::uint64_t x = word ^ (ones * '\n'); // bytes that were line feeds are now 0
        const std::uint64_t zero_high = ~(((x & low7) + low7) | x) & (ones << 7);
        count += ((zero_high >> 7) * ones) >> 56;
    }
    for (; at < size; ++at)
        count += bytes[at] == '\n' ? 1 : 0;
    return count;
}

// Whether the frame's line feeds stand exactly where the layout puts them and nowhere else.
bool line_ends_in_place(const char* frame, const frame_lines& lines, std::uint64_t box_bytes) {
    for (std::uint64_t line = 0; line < lines.full_lines; ++line)
        if (frame[line * (line_width + 1) + line_width] != '\n')
            return false;
    const std::uint64_t bytes = lines.bytes + box_bytes;
    if (frame[lines.bytes - 1] != '\n' || frame[bytes - 1] != '\n')
        return false;
    return count_line_feeds(frame, bytes) == lines.count() + (box_bytes > 0 ? 1 : 0);
}

// Checks every line end of one frame (numbered from 1), and that its box line is one. Only a
// frame that fails the quick test is walked line by line, to say what is wrong.
void check_frame(std::string_view frame, const frame_lines& lines, std::uint64_t box_bytes,
                 std::uint64_t number, std::uint64_t atoms) {
    if (frame.size() >= lines.bytes + box_bytes &&
        line_ends_in_place(frame.data(), lines, box_bytes)) {
        // A count one atom short takes the last atom's line for the box line: in some frame
        // it is no box.
        if (box_bytes > 0 && !is_box_line(frame.substr(lines.bytes, box_bytes - 1)))
            throw layout_error(err::bad_record_length,
                               "Frame " + std::to_string(number) + " has no box line after " +
                                   atoms_text(atoms) +
                                   " (the line there is not three positive lengths): check "
                                   "the number of atoms");
        return;
    }
    std::uint64_t at = 0;
    for (std::uint64_t line = 0; line < lines.count(); ++line) {
        check_line_end(frame.substr(at), lines.width(line), number, line + 1, atoms,
                       "coordinate line");
        at += lines.width(line) + 1;
    }
    if (box_bytes > 0)
        check_line_end(frame.substr(at), box_bytes - 1, number, 1, atoms, "box line");
}

std::uint64_t read_up_to(std::istream& in, char* into, std::uint64_t bytes) {
    in.read(into, static_cast<std::streamsize>(bytes));
    return static_cast<std::uint64_t>(in.gcount());
}

run_error last_frame_cut_short(std::uint64_t whole_frames, std::uint64_t more_bytes,
                               std::uint64_t atoms, bool box_lines) {
    return layout_error(err::past_end,
                        "The last frame is cut short: after " + std::to_string(whole_frames) +
                            " whole frames of " + atoms_text(atoms) +
                            (box_lines ? " with box lines" : "") + " come " +
                            std::to_string(more_bytes) + " more bytes; check the number of atoms");
}

// Reads whole frames in blocks and checks each one's line ends before handing it out. While
// the layout does not know the number of frames yet (0), it reads to the end of the data and
// counts them; the data is streamed, so a compressed file or a pipe is read the same way.
class frame_stream {
public:
    frame_stream(const std::filesystem::path& path, const mdcrd_layout& layout, std::uint64_t atoms)
        : in_(open_input(path)), layout_(layout), lines_(atoms), atoms_(atoms),
          counting_(layout.frames == 0),
          frames_per_block_(std::clamp<std::uint64_t>(
              block_bytes / std::max<std::uint64_t>(1, layout.frame_bytes()), 1,
              counting_ ? block_bytes : layout.frames)) {
        in_->ignore(static_cast<std::streamsize>(layout.title_bytes()));
        block_.resize(frames_per_block_ * layout.frame_bytes());
    }

    // The next block of whole, checked frames; empty after the last frame.
    std::string_view next_block() {
        const std::uint64_t frames =
            counting_ ? frames_per_block_
                      : std::min(frames_per_block_, layout_.frames - frames_read_);
        const std::uint64_t bytes = frames * layout_.frame_bytes();
        const std::uint64_t got = read_up_to(*in_, block_.data(), bytes);
        if (!counting_ && got != bytes)
            throw layout_error(err::past_end, "The trajectory got shorter while it was read");
        if (got % layout_.frame_bytes() != 0)
            throw last_frame_cut_short(frames_read_ + got / layout_.frame_bytes(),
                                       got % layout_.frame_bytes(), atoms_, layout_.box_bytes > 0);
        const std::string_view block(block_.data(), got);
        const std::uint64_t width = lines_.width(lines_.count() - 1);
        for (std::uint64_t f = 0; f < got / layout_.frame_bytes(); ++f) {
            const std::string_view frame = block.substr(f * layout_.frame_bytes());
            check_frame(frame, lines_, layout_.box_bytes, frames_read_ + f + 1, atoms_);
            every_tail_a_box_ = every_tail_a_box_ && box_wide(width) &&
                                is_box_line(frame.substr(lines_.bytes - width - 1, width));
        }
        frames_read_ += got / layout_.frame_bytes();
        return block;
    }

    std::uint64_t frames_read() const { return frames_read_; }
    // Whether the last coordinate line of every frame read so far would pass for a box line.
    bool every_tail_a_box() const { return every_tail_a_box_; }

private:
    std::unique_ptr<input_stream> in_;
    mdcrd_layout layout_;
    frame_lines lines_;
    std::uint64_t atoms_;
    bool counting_;
    std::uint64_t frames_per_block_;
    std::string block_;
    std::uint64_t frames_read_ = 0;
    bool every_tail_a_box_ = true;
};

// Whether the file reads as well with another atom count: a frame whose last coordinate line is
// as wide as a box line, with no box line after it, is also a frame of one atom (or two) fewer
// with a box line; and with one line per frame, coordinate and box lines of the same width
// pair up either way.
std::optional<std::string> other_reading(const mdcrd_layout& layout, std::uint64_t atoms) {
    const frame_lines lines(atoms);
    const std::uint64_t tail = lines.width(lines.count() - 1);
    if (!box_wide(tail))
        return std::nullopt;
    if (layout.box_bytes == 0)
        return atoms_text(atoms - tail / (3 * field_width)) + " with box lines";
    if (lines.count() == 1 && layout.box_bytes == tail + 1)
        return atoms_text(atoms) + " without box lines";
    return std::nullopt;
}

// Streams every frame through its checks, counting them. A file that reads as well with
// another atom count is refused: which count is right cannot be known, and the wrong one drops
// an atom or takes a box line for one.
std::uint64_t check_every_frame(const std::filesystem::path& input, const mdcrd_layout& layout,
                                std::uint64_t atoms) {
    frame_stream frames(input, layout, atoms);
    while (!frames.next_block().empty()) {
    }
    if (frames.frames_read() == 0 || !frames.every_tail_a_box())
        return frames.frames_read();
    if (const auto other = other_reading(layout, atoms))
        throw layout_error(err::bad_record_length,
                           "Every frame of " + atoms_text(atoms) +
                               " ends in a line that reads as a box line (positive lengths), "
                               "so the file reads as well as a trajectory of " +
                               *other + ": check the number of atoms");
    return frames.frames_read();
}

// The bytes after the title: from the length of a plain file (`length`, 0 when not known), or
// counted by reading through compressed data.
std::uint64_t frame_data_bytes(const std::filesystem::path& input, const mdcrd_layout& layout,
                               std::uint64_t length) {
    if (length > 0)
        return length - layout.title_bytes();
    auto in = open_input(input);
    in->ignore(static_cast<std::streamsize>(layout.title_bytes()));
    std::string block(block_bytes, '\0');
    std::uint64_t bytes = 0;
    for (std::uint64_t got; (got = read_up_to(*in, block.data(), block.size())) > 0;)
        bytes += got;
    return bytes;
}

// The first frame and what follows it, as far as the data goes: up to `bytes` bytes, read in
// growing steps, so a wrong atom count never allocates more than the data holds.
std::string read_head(std::istream& in, std::uint64_t bytes) {
    std::string head;
    while (head.size() < bytes) {
        const std::uint64_t step =
            std::min<std::uint64_t>(bytes - head.size(), std::max(block_bytes, head.size()));
        const std::size_t old = head.size();
        head.resize(old + step);
        const std::uint64_t got = read_up_to(in, head.data() + old, step);
        head.resize(old + got);
        if (got < step)
            break;
    }
    return head;
}

// Bytes of one frame's kept fields written 10 to a line, every line ended by a line feed.
std::uint64_t kept_bytes(std::uint64_t kept_fields) {
    return kept_fields * field_width + (kept_fields + fields_per_line - 1) / fields_per_line;
}

// Calls `visit` with the first character of every kept field of one frame, in order: x, y and
// z of each atom of each run.
template <class Visit>
void visit_kept_fields(const char* frame, const std::vector<atom_run>& runs, Visit&& visit) {
    for (const atom_run& run : runs) {
        const std::uint64_t first_field = 3 * run.first;
        const char* field = frame + first_field / fields_per_line * (line_width + 1) +
                            first_field % fields_per_line * field_width;
        std::uint64_t column = first_field % fields_per_line;
        for (std::uint64_t k = 0; k < 3 * run.count; ++k) {
            visit(field);
            field += field_width;
            if (++column == fields_per_line) {
                column = 0;
                ++field; // over the input line's line feed
            }
        }
    }
}

// Writes the kept fields of one frame, 10 to a line, each line ended by a line feed; returns
// the end of what it wrote.
char* write_kept_fields(char* out, const char* frame, const std::vector<atom_run>& runs) {
    std::uint64_t written = 0;
    visit_kept_fields(frame, runs, [&](const char* field) {
        std::memcpy(out, field, field_width);
        out += field_width;
        if (++written % fields_per_line == 0)
            *out++ = '\n';
    });
    if (written % fields_per_line != 0)
        *out++ = '\n';
    return out;
}

void report_bytes(JobUi& ui, std::uint64_t processed, std::uint64_t length) {
    ui.counts("Bytes Processed = " + std::to_string(processed),
              "Bytes Remaining = " + std::to_string(length - processed));
    ui.progress_value(static_cast<long long>(processed));
}

void report_frames(JobUi& ui, std::uint64_t processed, std::uint64_t frames) {
    ui.counts("Frames Processed = " + std::to_string(processed),
              "Frames Remaining = " + std::to_string(frames - processed));
    ui.progress_value(static_cast<long long>(processed));
}

void copy_kept_atoms(const mdcrd_strip_settings& s, const mdcrd_layout& layout, std::uint64_t atoms,
                     const std::vector<atom_run>& runs, JobUi& ui) {
    const std::uint64_t length = layout.file_bytes();
    output_file out(s.output);
    out.write(layout.title + '\n');
    std::uint64_t processed = layout.title_bytes();
    report_bytes(ui, processed, length);

    frame_stream frames(s.input, layout, atoms);
    const std::uint64_t frame_out =
        kept_bytes(3 * atoms_in(runs)) + (s.keep_box ? layout.box_bytes : 0);
    std::string block_out;
    while (frames.frames_read() < layout.frames) {
        const std::string_view block = frames.next_block();
        block_out.resize(block.size() / layout.frame_bytes() * frame_out);
        char* to = block_out.data();
        for (std::uint64_t at = 0; at < block.size(); at += layout.frame_bytes()) {
            to = write_kept_fields(to, block.data() + at, runs);
            if (s.keep_box) {
                std::memcpy(to, block.data() + at + layout.coordinate_bytes, layout.box_bytes);
                to += layout.box_bytes;
            }
        }
        out.write(block_out);
        processed += block.size();
        report_bytes(ui, processed, length);
    }
    out.close();
}

run_error value_error(std::uint64_t frame, const std::string& what) {
    return layout_error(err::type_mismatch, "Frame " + std::to_string(frame) + ": " + what);
}

// The number in an 8.3 field (blanks before it), as a float.
float field_value(std::string_view field, std::uint64_t frame) {
    const std::size_t first = field.find_first_not_of(' ');
    const char* begin = field.data() + (first == std::string_view::npos ? field.size() : first);
    const char* end = field.data() + field.size();
    float value = 0;
    const auto [p, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (ec != std::errc() || p != end)
        throw value_error(frame, "\"" + std::string(field) + "\" is not a coordinate");
    return value;
}

// A box line's lengths, and its angles when it has them (90 degrees when it has not: the text
// layout keeps only the lengths of a rectangular box).
void read_box_line(std::string_view line, netcdf_frame& into, std::uint64_t frame) {
    const auto fields = line.size() % field_width == 0 && box_wide(line.size())
                            ? [&] {
                                  std::vector<std::string_view> cut;
                                  for (std::size_t at = 0; at < line.size(); at += field_width)
                                      cut.push_back(line.substr(at, field_width));
                                  return cut;
                              }()
                            : split_fields(line);
    into.angles = {90, 90, 90};
    for (std::size_t i = 0; i < fields.size() && i < 6; ++i)
        (i < 3 ? into.lengths[i] : into.angles[i - 3]) = field_value(fields[i], frame);
}

netcdf_trajectory_shape netcdf_shape(const std::vector<atom_run>& runs, bool time, bool box,
                                     std::string title) {
    return {atoms_in(runs), time, box, std::move(title)};
}

// Text in, NetCDF out: the kept fields read as numbers, and the box line as lengths and angles.
void write_text_as_netcdf(const mdcrd_strip_settings& s, const mdcrd_layout& layout,
                          std::uint64_t atoms, const std::vector<atom_run>& runs, JobUi& ui) {
    const bool box = s.keep_box && layout.box_bytes > 0;
    netcdf_trajectory_writer out(s.output, netcdf_shape(runs, false, box, layout.title));
    const std::uint64_t length = layout.file_bytes();
    std::uint64_t processed = layout.title_bytes();
    report_bytes(ui, processed, length);
    frame_stream frames(s.input, layout, atoms);
    netcdf_frame frame;
    frame.coordinates.resize(3 * atoms_in(runs));
    while (frames.frames_read() < layout.frames) {
        const std::uint64_t first = frames.frames_read() + 1;
        const std::string_view block = frames.next_block();
        for (std::uint64_t at = 0; at < block.size(); at += layout.frame_bytes()) {
            const std::uint64_t number = first + at / layout.frame_bytes();
            float* to = frame.coordinates.data();
            visit_kept_fields(block.data() + at, runs, [&](const char* field) {
                *to++ = field_value({field, field_width}, number);
            });
            if (box)
                read_box_line(block.substr(at + layout.coordinate_bytes, layout.box_bytes - 1),
                              frame, number);
            out.write(frame);
        }
        processed += block.size();
        report_bytes(ui, processed, length);
    }
    out.commit();
}

// The columns of every whole part 0 to 9999, right-justified in 4 ("   0" to "9999") with its
// digit count, and of every three decimals ("000" to "999"): built once, so an 8.3 field is
// two copies.
struct columns_8_3 {
    columns_8_3() {
        for (std::uint32_t i = 0; i < 10000; ++i) {
            std::memset(whole[i], ' ', 4);
            std::uint32_t n = i;
            int at = 3;
            do {
                whole[i][at--] = static_cast<char>('0' + n % 10);
                n /= 10;
            } while (n > 0);
            digits[i] = static_cast<std::uint8_t>(3 - at);
        }
        for (std::uint32_t i = 0; i < 1000; ++i)
            for (int k = 0, n = static_cast<int>(i); k < 3; ++k, n /= 10)
                decimals[i][2 - k] = static_cast<char>('0' + n % 10);
    }
    char whole[10000][4];
    std::uint8_t digits[10000];
    char decimals[1000][3];
};

// Writes `value` into 8 columns with 3 decimals, rounded to nearest with halves to even as
// printf's "%8.3f" rounds; false when it does not fit (or is not finite). A float times 1000
// is exact in a double (24 + 7 significant bits), so rounding the product rounds the value.
bool put_8_3(char* out, float value, const columns_8_3& columns) {
    const double scaled = std::nearbyint(static_cast<double>(value) * 1000.0);
    const bool negative = std::signbit(value); // -0.0001 prints "-0.000", as printf does
    if (!(std::fabs(scaled) <= (negative ? 999999.0 : 9999999.0)))
        return false;
    const auto n = static_cast<std::uint32_t>(std::fabs(scaled));
    const std::uint32_t whole = n / 1000;
    std::memcpy(out, columns.whole[whole], 4);
    if (negative) // at most 3 whole digits, so the sign has its column
        out[3 - columns.digits[whole]] = '-';
    out[4] = '.';
    std::memcpy(out + 5, columns.decimals[n % 1000], 3);
    return true;
}

// The box line of the text layout: the three lengths in 8.3 columns.
std::string box_line(const netcdf_frame& frame, std::uint64_t number) {
    std::string line;
    for (const double length : frame.lengths) {
        char field[64];
        const auto end =
            std::to_chars(field, field + sizeof field, length, std::chars_format::fixed, 3).ptr;
        const auto width = static_cast<std::uint64_t>(end - field);
        if (width > field_width || !std::isfinite(length))
            throw layout_error(err::overflow, "Frame " + std::to_string(number) +
                                                  ": the box length " + std::string(field, end) +
                                                  " does not fit 8 columns");
        line += std::string(field_width - width, ' ') + std::string(field, end);
    }
    return line + '\n';
}

// NetCDF in, text out: every kept value rounded to 8.3 columns, 10 to a line; the box lengths
// when kept; the NetCDF title as the title line.
void write_netcdf_as_text(const mdcrd_strip_settings& s, netcdf_trajectory_reader& in,
                          const std::vector<atom_run>& runs, JobUi& ui) {
    output_file out(s.output);
    std::string title = in.title();
    std::replace_if(
        title.begin(), title.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    out.write(title + '\n');
    const auto columns = std::make_unique<columns_8_3>();
    netcdf_frame frame;
    std::string text;
    for (std::uint64_t f = 0; f < in.frames(); ++f) {
        in.read(f, runs, frame);
        text.resize(kept_bytes(frame.coordinates.size()));
        char* to = text.data();
        for (std::size_t k = 0; k < frame.coordinates.size(); ++k) {
            if (!put_8_3(to, frame.coordinates[k], *columns))
                throw layout_error(err::overflow,
                                   "Frame " + std::to_string(f + 1) + ": the coordinate " +
                                       text_form_single(frame.coordinates[k]) +
                                       " does not fit the 8.3 columns of the text layout");
            to += field_width;
            if ((k + 1) % fields_per_line == 0 || k + 1 == frame.coordinates.size())
                *to++ = '\n';
        }
        if (s.keep_box && in.has_box())
            text += box_line(frame, f + 1);
        out.write(text);
        report_frames(ui, f + 1, in.frames());
    }
    out.close();
}

// NetCDF in, NetCDF out: the kept coordinates, the time, and the box when kept.
void write_netcdf_as_netcdf(const mdcrd_strip_settings& s, netcdf_trajectory_reader& in,
                            const std::vector<atom_run>& runs, JobUi& ui) {
    netcdf_trajectory_writer out(
        s.output, netcdf_shape(runs, in.has_time(), s.keep_box && in.has_box(), in.title()));
    netcdf_frame frame;
    for (std::uint64_t f = 0; f < in.frames(); ++f) {
        in.read(f, runs, frame);
        out.write(frame);
        report_frames(ui, f + 1, in.frames());
    }
    out.commit();
}

std::string kept_atom_numbers(const std::vector<atom_run>& runs) {
    std::string text;
    for (const atom_run& r : runs)
        for (std::uint64_t a = r.first + 1; a <= r.first + r.count; ++a)
            text += std::to_string(a) + '\n';
    return text;
}

// The atom count every source agrees on: the NetCDF file's atom dimension, the count given
// (0: none) and the topology's.
std::uint64_t agreed_atom_count(const netcdf_trajectory_reader* in, std::uint64_t given,
                                const amber_topology* topology) {
    std::uint64_t atoms = given;
    if (in != nullptr) {
        if (given != 0 && given != in->atoms())
            throw layout_error(err::bad_record_length,
                               "The trajectory's atom dimension holds " + atoms_text(in->atoms()) +
                                   ", but the count given is " + std::to_string(given));
        atoms = in->atoms();
    }
    if (topology != nullptr) {
        if (atoms != 0 && atoms != topology->atoms())
            throw layout_error(err::bad_record_length,
                               "The topology holds " + atoms_text(topology->atoms()) +
                                   ", but the trajectory " + atoms_text(atoms));
        atoms = topology->atoms();
    }
    return atoms;
}

// The kept atoms: those the mask selects, or the range.
std::vector<atom_run> kept_runs(const mdcrd_strip_settings& s, const amber_topology* topology,
                                std::uint64_t atoms) {
    if (topology != nullptr)
        return select_atoms(*topology, s.mask);
    if (s.first_atom == 0 || s.first_atom > s.last_atom || s.last_atom > atoms)
        throw run_error::from_number(err::invalid_call);
    return {{s.first_atom - 1, s.last_atom - s.first_atom + 1}};
}

// Checks the counts, the topology and the selection, then writes by the route the input's and
// the output's layouts call for.
void strip_by_route(const mdcrd_strip_settings& s, JobUi& ui) {
    ensure_distinct_files(s.input, s.output);
    if (!s.kept_atom_numbers.empty()) {
        ensure_distinct_files(s.input, s.kept_atom_numbers);
        // The list written over the trajectory just written would lose the trajectory.
        std::error_code ec;
        if (std::filesystem::weakly_canonical(s.kept_atom_numbers, ec) ==
            std::filesystem::weakly_canonical(s.output, ec))
            throw run_error::from_number(err::file_already_open).in_file(s.kept_atom_numbers);
    }
    if (writes_netcdf(s) && s.output == standard_output_path)
        throw run_error(err::invalid_call,
                        "A NetCDF trajectory is written to a file, not to standard output");
    std::optional<netcdf_trajectory_reader> netcdf;
    if (is_netcdf_file(s.input))
        netcdf.emplace(s.input);
    std::optional<amber_topology> topology;
    if (!s.mask.empty())
        topology = read_prmtop(s.topology);
    const std::uint64_t atoms =
        agreed_atom_count(netcdf ? &*netcdf : nullptr, s.atoms, topology ? &*topology : nullptr);
    if (atoms == 0)
        throw run_error::from_number(err::invalid_call);
    const std::vector<atom_run> runs = kept_runs(s, topology ? &*topology : nullptr, atoms);
    if (netcdf) {
        ui.progress_range(0, static_cast<long long>(netcdf->frames()));
        report_frames(ui, 0, netcdf->frames());
        if (writes_netcdf(s))
            write_netcdf_as_netcdf(s, *netcdf, runs, ui);
        else
            write_netcdf_as_text(s, *netcdf, runs, ui);
    } else {
        // The whole file is checked before the output is created: a trajectory that does
        // not match the atom count never leaves a half-written or garbled output behind.
        const mdcrd_layout layout = read_mdcrd_layout(s.input, atoms);
        ui.progress_range(0, static_cast<long long>(layout.file_bytes()));
        ui.counts("Bytes Processed = 0",
                  "Bytes Remaining = " + std::to_string(layout.file_bytes()));
        if (writes_netcdf(s))
            write_text_as_netcdf(s, layout, atoms, runs, ui);
        else
            copy_kept_atoms(s, layout, atoms, runs, ui);
    }
    if (!s.kept_atom_numbers.empty())
        write_whole_file(s.kept_atom_numbers, kept_atom_numbers(runs));
}

} // namespace

bool accepts_atom_number_key(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

bool atom_range_usable(std::string_view total_text, std::string_view start_text,
                       std::string_view end_text) {
    const std::uint64_t total = whole_number_from_text(total_text);
    const std::uint64_t start = whole_number_from_text(start_text);
    const std::uint64_t end = whole_number_from_text(end_text);
    return start > 0 && start <= end && end <= total;
}

mdcrd_layout read_mdcrd_layout(const std::filesystem::path& input, std::uint64_t atoms) {
    if (atoms == 0)
        throw run_error::from_number(err::invalid_call);
    mdcrd_layout layout;
    line_reader(input, last_line::must_end_with_lf).next_required(layout.title);
    if (!layout.title.empty() && layout.title.back() == '\r')
        throw layout_error(err::bad_record_length, cr_lf_ends);
    auto in = open_input(input);
    in->ignore(static_cast<std::streamsize>(layout.title_bytes()));

    // Each atom takes 24 characters at least: a count too large for the data is caught before
    // any size is computed from it. A plain file's length tells at once; compressed data or a
    // pipe shows it as the first frame is read.
    const auto first_frame_cut_short = [&] {
        return layout_error(err::past_end, "The file ends inside the first frame of " +
                                               atoms_text(atoms) + ": check the number of atoms");
    };
    const std::uint64_t length = in->compressed() ? 0 : file_length(input);
    if (length == layout.title_bytes())
        return layout; // a title and no frames
    if (length > layout.title_bytes() ? atoms > (length - layout.title_bytes()) / 24
                                      : atoms > std::numeric_limits<std::uint64_t>::max() / 243)
        throw first_frame_cut_short();
    const frame_lines lines(atoms);
    const std::string head = read_head(*in, lines.bytes + longest_box_line + 1);
    if (head.empty())
        return layout;
    if (head.size() < lines.bytes)
        throw first_frame_cut_short();
    layout.coordinate_bytes = lines.bytes;
    check_frame(head, lines, 0, 1, atoms);

    // What follows the first frame: nothing, the next frame, or a box line. A box line is a
    // line of box lengths that is not shaped like a coordinate line of the next frame; with
    // one line per frame the two may have the same width, and then the box lines must also
    // pair up with the frames to the end of the data.
    if (head.size() > lines.bytes) {
        const std::string_view rest = std::string_view(head).substr(lines.bytes);
        const std::size_t end = rest.find('\n');
        const bool same_width = end == lines.width(0);
        if (end != std::string_view::npos && is_box_line(rest.substr(0, end)) &&
            (!same_width ||
             (lines.count() == 1 &&
              frame_data_bytes(input, layout, length) % (lines.bytes + end + 1) == 0)))
            layout.box_bytes = end + 1;
    }
    layout.frames = check_every_frame(input, layout, atoms);
    return layout;
}

bool mask_selection_usable(std::string_view total_text, bool topology_chosen) {
    return topology_chosen && whole_number_from_text(total_text) > 0;
}

std::uint64_t netcdf_atom_count(const std::filesystem::path& input) {
    try {
        return is_netcdf_file(input) ? netcdf_trajectory_reader(input).atoms() : 0;
    } catch (const run_error&) {
        return 0;
    }
}

bool writes_netcdf(const mdcrd_strip_settings& s) {
    return s.output_format == trajectory_format::netcdf ||
           (s.output_format == trajectory_format::by_name && s.output.extension() == ".nc");
}

mdcrd_strip_outcome strip_mdcrd_atoms(const mdcrd_strip_settings& settings, JobUi& ui) {
    busy_pointer hourglass(ui);
    ui.counts("Bytes Processed = 0", "Bytes Remaining = 0");
    ui.progress_value(0);
    const bool done = run_trapped(ui, report_form::number_form, mdcrd_strip_routine, [&] {
        try {
            strip_by_route(settings, ui);
        } catch (run_error& e) {
            // Our own descriptions (topology, mask, NetCDF) end as the layout errors do, so the
            // report's number stands apart: "... - error 5".
            if (e.description != run_error_text(e.number) && !e.description.ends_with(" - error "))
                e.description += " - error ";
            throw;
        }
    });
    if (!done)
        return mdcrd_strip_outcome::error_report;
    ui.message(message_icon::information, mdcrd_strip_done_title, mdcrd_strip_done_text);
    return mdcrd_strip_outcome::completed;
}

} // namespace qm
