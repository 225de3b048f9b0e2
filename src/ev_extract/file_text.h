// One Gaussian output of the series read whole into memory: plain or compressed (gzip, bzip2,
// xz, zstd or zip, told apart by their first bytes). Whatever the kind, line ends come back as
// LF alone (CR LF and a lone CR become LF), so the fixed character offsets of the excited-state
// reader hold for files written on any platform.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qm {

enum class input_kind { plain, zip, gzip };

// The kind the job expects: plain unless compressed input is ticked; then zip when the suffix
// is ".zip" or ends with it (any case), gzip otherwise.
input_kind input_kind_for(bool compressed, std::string_view suffix);

// The whole decompressed file; a file that is missing or cannot be decompressed, a plain file
// where `kind` expects a compressed one, or more than 1 GB of text is a run error naming the
// file.
std::string read_file_text(const std::filesystem::path& path, input_kind kind);
// The same into `text`, reusing its storage: a reader of thousands of files allocates once.
// More than `limit` bytes of text is "Out of string space": the decompression stops there.
void read_file_text(const std::filesystem::path& path, input_kind kind, std::string& text,
                    std::uint64_t limit);

// The threads that read and parse the series' files at once: the worker threads, eight at most
// (beyond eight, more threads only wait for the disk).
unsigned parse_workers();
// The most text one worker may read from a file: the worker's share of a quarter of the memory
// (its text may stand twice in memory while it grows), in whole MB, 16 MB at least, 1 GB at most.
// A decompression bomb is thus stopped before it takes the memory a batch job is held to.
std::uint64_t worker_text_limit();
// What the workers' read buffers may take together, counted in the job's memory check.
double worker_text_memory();

// CR LF and lone CR to LF, in place.
void normalise_line_ends(std::string& text);

} // namespace qm
