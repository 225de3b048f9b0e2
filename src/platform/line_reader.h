// Line-by-line reading of single-byte text. A line is the bytes up to, not including, the
// next line feed; a carriage return before it stays part of the line. The end of the data is
// tested only before a line begins. A file is read through input_stream, so compressed files
// read as their text; a line longer than max_line_bytes is "Out of string space", and NUL bytes
// in the first block say the data is no text ("Path/File access error").
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

class line_reader {
public:
    // Opens a file; a missing or unreadable file is the matching run error. Every run error of
    // the reader names the file.
    line_reader(const std::filesystem::path& path, last_line rule);
    // Reads from a stream the caller keeps alive (tests pass text inline).
    line_reader(std::istream& in, last_line rule);

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

    std::unique_ptr<input_stream> file_;
    std::istream* in_;
    last_line rule_;
    std::string buffer_;
    std::size_t start_ = 0; // first unread byte of buffer_
    std::uint64_t position_ = 0;
    std::uint64_t lines_ = 0;
    bool line_ended_ = false;
    bool first_block_checked_ = false;
};

// Lines of data-column files, which come from programs on every platform: a line ends with a
// carriage return, a line feed, or the two together (CR LF counts once).
class data_line_reader {
public:
    // A missing or unreadable file is the matching run error.
    explicit data_line_reader(const std::filesystem::path& path);
    explicit data_line_reader(std::istream& in);

    // Next line, without its end, into `line`; false at the end of the data.
    bool next(std::string& line);
    // Whether the line last returned had a line end (only the last line of a file may lack it).
    bool line_ended() const { return ended_; }
    // How far a progress bar over the file's length has come: the bytes consumed so far, up to
    // and including the end of the line last returned (compressed bytes for a compressed file).
    std::uint64_t position() const { return lines_.progress_position(position_); }

private:
    // The platform reader splits at line feeds; the carriage returns inside each of its lines
    // are split here.
    line_reader lines_;
    std::string lf_line_;
    std::size_t pending_ = std::string::npos; // start of the next part of lf_line_
    bool lf_ended_ = false;
    std::uint64_t base_ = 0;      // data position of lf_line_'s first byte
    std::uint64_t next_base_ = 0; // ... and of the byte after its line feed
    std::uint64_t position_ = 0;
    bool ended_ = false;
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
