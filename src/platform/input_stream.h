// Every file a tool reads comes through here, so every tool reads compressed files. The first
// bytes say what a file holds, whatever its name:
//
//   1f 8b               gzip   one member or several; zero bytes after the last one (left by
//                              tar and by copies to tape or block devices) are no data;
//                              every member's CRC-32 and length are checked (zlib), so a
//                              damaged file is an error naming it, never data
//   42 5a 68 '1'-'9'    bzip2
//   fd 37 7a 58 5a 00   xz
//   28 b5 2f fd         zstd
//   50 4b 03 04         zip    the one file the archive holds: folders, README files and
//                              resource forks are passed over, several files are refused
//   anything else       read as it stands
//
// The four compressed streams are decompressed while they are read (zlib for gzip, libarchive's
// raw format behind its filter for the others), so memory stays flat whatever their size; outputs are never compressed.
// A pipe or FIFO is read once, as it comes; a zip archive keeps its directory at its end and is
// read from a file only.
#pragma once

#include "platform/run_error.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

// Sizes no real input reaches: one line of text, and a whole file a job holds in memory (a
// decompressed Gaussian output stays far below it). Beyond them a reader stops with the run
// error "Out of string space" rather than taking the machine's memory.
inline constexpr std::size_t max_line_bytes = std::size_t{16} << 20;    // 16 MB
inline constexpr std::uint64_t max_text_bytes = std::uint64_t{1} << 30; // 1 GB

// "Out of string space" for data beyond one of those limits, for example
// "Out of string space - more than 16 MB in one line (not a text file?)".
run_error beyond_limit(std::uint64_t limit, std::string_view what);

// The compression the first bytes of a file announce ("gzip", "bzip2", "xz", "zstd", "zip"),
// empty for anything else; six bytes tell them all apart.
std::string_view compression_name(std::string_view head);

class input_buffer;

class input_stream : public std::istream {
public:
    // A missing or unreadable file, or compressed data that cannot be decompressed, is the
    // matching run error naming the file; so is a failure while reading, thrown out of read().
    explicit input_stream(const std::filesystem::path& path);
    ~input_stream() override;

    const std::filesystem::path& path() const;
    bool compressed() const;
    // How far a progress bar over the stored length (file_length) has come once `data_position`
    // bytes of the data are consumed: that number for a plain file, the compressed bytes taken
    // so far for a compressed one; never beyond the length, so 0 throughout for a pipe.
    std::uint64_t progress_position(std::uint64_t data_position) const;

private:
    std::unique_ptr<input_buffer> buffer_;
};

std::unique_ptr<input_stream> open_input(const std::filesystem::path& path);

// Length in bytes of the file as stored: 0 for a pipe or a device, whose length is unknown; a
// run error when the file cannot be reached.
std::uint64_t file_length(const std::filesystem::path& path);

// The whole data of the stream into `text`, reusing its storage; more than `limit` bytes is
// "Out of string space".
void read_whole_input(input_stream& in, std::string& text, std::uint64_t limit = max_text_bytes);

class private_folder;

// A file a job reads more than once (a format test, then the reading): the file itself, or for
// a pipe, FIFO or terminal, which can be read only once, a copy of what it delivers, taken once
// into a private folder that is removed with this object. The copy keeps the bytes as they came
// (compressed data stays compressed); a copy that cannot be written is the run error naming it.
class rereadable_input {
public:
    explicit rereadable_input(const std::filesystem::path& path);
    ~rereadable_input();
    rereadable_input(const rereadable_input&) = delete;
    rereadable_input& operator=(const rereadable_input&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::unique_ptr<private_folder> folder_;
    std::filesystem::path path_;
};

} // namespace qm
