// Line-by-line reading of single-byte text. A line is the bytes up to, not including, the
// next line feed; a carriage return before it stays part of the line. The end of the data is
// tested only before a line begins.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
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
    // Opens a file; a missing or unreadable file is the matching run error.
    line_reader(const std::filesystem::path& path, last_line rule);
    // Reads from a stream the caller keeps alive (tests pass text inline).
    line_reader(std::istream& in, last_line rule);

    // Next line into `line`; false at the end of the data.
    bool next(std::string& line);
    // Next line of a section that must go on: "Input past end of file" (62) at the end.
    void next_required(std::string& line);

    // Bytes consumed so far, line feeds included: what a progress bar shows.
    std::uint64_t position() const { return position_; }
    std::uint64_t lines_read() const { return lines_; }

private:
    bool fill();

    std::unique_ptr<std::ifstream> file_;
    std::istream* in_;
    last_line rule_;
    std::string buffer_;
    std::size_t start_ = 0; // first unread byte of buffer_
    std::uint64_t position_ = 0;
    std::uint64_t lines_ = 0;
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
    // Bytes consumed so far, up to and including the end of the line last returned.
    std::uint64_t position() const { return position_; }

private:
    // The platform reader splits at line feeds; the carriage returns inside each of its lines
    // are split here.
    line_reader lines_;
    std::string lf_line_;
    std::size_t pending_ = std::string::npos; // start of the next part of lf_line_
    bool lf_ended_ = false;
    std::uint64_t base_ = 0; // position of lf_line_'s first byte
    std::uint64_t position_ = 0;
    bool ended_ = false;
};

// Length in bytes of an existing file (run error when it cannot be reached).
std::uint64_t file_length(const std::filesystem::path& path);

// Progress bar of the file readers: maximum (length / 128) + 1 and the value after each line,
// both in whole blocks of 128 bytes.
inline long long progress_blocks(std::uint64_t bytes) {
    return static_cast<long long>(bytes / 128);
}
inline long long progress_maximum(std::uint64_t length) {
    return progress_blocks(length) + 1;
}

// Opens a file for reading in binary mode or throws the run error that names why not.
std::unique_ptr<std::ifstream> open_input(const std::filesystem::path& path);

} // namespace qm
