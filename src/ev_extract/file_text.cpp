#include "ev_extract/file_text.h"

#include "platform/input_stream.h"
#include "platform/run_error.h"
#include "platform/system_memory.h"
#include "platform/whole_file_reader.h"
#include "platform/worker_threads.h"

#include <algorithm>
#include <cctype>

namespace qm {
namespace {

bool ends_with_ignoring_case(std::string_view text, std::string_view end) {
    if (text.size() < end.size())
        return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

input_kind input_kind_for(bool compressed, std::string_view suffix) {
    if (!compressed)
        return input_kind::plain;
    return ends_with_ignoring_case(suffix, ".zip") ? input_kind::zip : input_kind::gzip;
}

void normalise_line_ends(std::string& text) {
    if (text.find('\r') == std::string::npos)
        return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            text[out++] = '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            text[out++] = text[i];
        }
    }
    text.resize(out);
}

void read_file_text(const std::filesystem::path& path, input_kind kind, std::string& text) {
    read_file_text(path, kind, text, worker_text_limit());
}

void read_file_text(const std::filesystem::path& path, input_kind kind, std::string& text,
                    std::uint64_t limit) {
    // The common cases (a plain, gzip or zstd file, sound) are read by the worker's own
    // reader, whose buffers and decompressors serve every file it reads.
    thread_local whole_file_reader reader;
    const whole_file_reader::outcome read = reader.read(path, text, limit);
    if (read == whole_file_reader::outcome::decompressed ||
        (read == whole_file_reader::outcome::plain && kind == input_kind::plain)) {
        normalise_line_ends(text);
        return;
    }
    input_stream in(path);
    // Compressed files are read as their text whatever the box says; a series said to be
    // compressed that is not is a wrong setting, reported as before.
    if (kind != input_kind::plain && !in.compressed())
        throw run_error(err::path_file_access, "Path/File access error - cannot decompress")
            .in_file(path);
    read_whole_input(in, text, limit);
    normalise_line_ends(text);
}

unsigned parse_workers() {
    return std::clamp(worker_threads(), 1u, 8u);
}

std::uint64_t worker_text_limit() {
    constexpr std::uint64_t mb = std::uint64_t{1} << 20;
    const std::uint64_t share = system_memory() / 4 / parse_workers() / mb * mb;
    return std::clamp(share, 16 * mb, max_text_bytes);
}

double worker_text_memory() {
    return 2.0 * static_cast<double>(parse_workers()) * static_cast<double>(worker_text_limit());
}

std::string read_file_text(const std::filesystem::path& path, input_kind kind) {
    std::string text;
    read_file_text(path, kind, text);
    return text;
}

} // namespace qm
