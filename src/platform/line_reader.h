// Line-by-line reading of single-byte text. A line is the bytes up to, not including, the
// next line feed; a carriage return before it stays part of the line (unless the reader takes
// every line end, see line_ends). The end of the data is tested only before a line begins. A file
// is read through input_stream, so compressed files read as their text; a line longer than
// max_line_bytes is "Out of string space", and NUL bytes in the first block say the data is no
// text ("Path/File access error").
#pragma once

#include "platform/input_stream.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>

namespace qm {

enum class last_line {
    // Data that ends inside a line (no final line feed) is the run error "Input past end of
    // file" (62), as for the readers that insist on complete lines.
    must_end_with_lf,
    // The unterminated tail is returned as a last line.
    may_end_without_lf,
};

enum class line_ends {
    lf, // a line ends with a line feed; a carriage return before it stays in the line
    // A line ends with a line feed, a carriage return, or the two together (CR LF counts
    // once): files from every platform read as their line-feed copy would. With
    // must_end_with_lf a lone CR may end the last line too.
    any,
};

class line_reader {
public:
    // Opens a file; a missing or unreadable file is the matching run error. Every run error of
    // the reader names the file.
    line_reader(const std::filesystem::path& path, last_line rule, line_ends ends = line_ends::lf);
    // Reads from a stream the caller keeps alive (tests pass text inline).
    line_reader(std::istream& in, last_line rule, line_ends ends = line_ends::lf);

    // Next line into `line`; false at the end of the data.
    bool next(std::string& line);
    // Next line of a section that must go on: "Input past end of file" (62) at the end.
    void next_required(std::string& line);

    // How far a progress bar over the file's length has come: the bytes consumed so far, line
    // feeds included (for a compressed file, the compressed bytes taken so far).
    std::uint64_t position() const { return progress_position(position_); }
    // The same for a position in the data, counted in bytes as the lines hold them.
    std::uint64_t progress_position(std::uint64_t data_position) const {
        return file_ ? file_->progress_position(data_position) : data_position;
    }
    std::uint64_t lines_read() const { return lines_; }
    // Whether the line last returned ended with a line feed (only a last line may lack one).
    bool line_ended() const { return line_ended_; }

private:
    bool fill();
    bool next_line(std::string& line);
    // The first line end in buffer_ at or after `from`; npos when none.
    std::size_t line_end(std::size_t from) const;

    std::unique_ptr<input_stream> file_;
    std::istream* in_;
    last_line rule_;
    line_ends ends_;
    std::string buffer_;
    std::size_t start_ = 0; // first unread byte of buffer_
    std::uint64_t position_ = 0;
    std::uint64_t lines_ = 0;
    bool line_ended_ = false;
    bool first_block_checked_ = false;
};

// Lines of data-column files, which come from programs on every platform: a line ends with a
// carriage return, a line feed, or the two together (CR LF counts once); the last line may
// lack its end.
class data_line_reader {
public:
    // A missing or unreadable file is the matching run error.
    explicit data_line_reader(const std::filesystem::path& path)
        : lines_(path, last_line::may_end_without_lf, line_ends::any) {}
    explicit data_line_reader(std::istream& in)
        : lines_(in, last_line::may_end_without_lf, line_ends::any) {}

    // Next line, without its end, into `line`; false at the end of the data.
    bool next(std::string& line) { return lines_.next(line); }
    // Whether the line last returned had a line end (only the last line of a file may lack it).
    bool line_ended() const { return lines_.line_ended(); }
    // How far a progress bar over the file's length has come: the bytes consumed so far, up to
    // and including the end of the line last returned (compressed bytes for a compressed file).
    std::uint64_t position() const { return lines_.position(); }

private:
    line_reader lines_;
};

// Progress bar of the file readers: maximum (length / 128) + 1 and the value after each line,
// both in whole blocks of 128 bytes.
inline long long progress_blocks(std::uint64_t bytes) {
    return static_cast<long long>(bytes / 128);
}
inline long long progress_maximum(std::uint64_t length) {
    return progress_blocks(length) + 1;
}

} // namespace qm
