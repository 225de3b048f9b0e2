// A file read whole into memory at the speed of its decompression, for a reader of thousands
// of files: one object per worker thread keeps the compressed bytes' buffer and the
// decompressors (libdeflate for gzip, a zstd context) and is reset for every file, so a series
// allocates nothing per file once the buffers have grown to its largest file.
//
// It takes the common cases only: a regular file, plain, gzip or zstd as its first bytes say
// (compression_name), whose data decompresses cleanly. Everything else (bzip2, xz and zip, pipes
// and devices, missing files, damaged data of any kind) is left to input_stream, which reads it
// or names what is wrong with it exactly as it always has.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct libdeflate_decompressor;
typedef struct ZSTD_DCtx_s ZSTD_DCtx;

namespace qm {

class whole_file_reader {
public:
    enum class outcome {
        plain,        // `text` holds the file as it stands
        decompressed, // `text` holds the decompressed data of a gzip or zstd file
        declined,     // not read here: read the file through input_stream
    };

    whole_file_reader();
    ~whole_file_reader();
    whole_file_reader(const whole_file_reader&) = delete;
    whole_file_reader& operator=(const whole_file_reader&) = delete;

    // The whole data of `path` into `text`, reusing its storage. More than `limit` bytes of
    // decompressed data is "Out of string space" naming the file; a plain file longer than
    // `limit`, like any other case named above, is declined.
    outcome read(const std::filesystem::path& path, std::string& text, std::uint64_t limit);

private:
    bool read_raw(const std::filesystem::path& path, std::uint64_t limit);
    std::string_view raw() const { return std::string_view(raw_).substr(0, raw_length_); }
    bool inflate_gzip(std::string& text, std::uint64_t limit, const std::filesystem::path& path);
    bool decompress_zstd(std::string& text, std::uint64_t limit,
                         const std::filesystem::path& path);

    std::string raw_;            // the bytes of the file being read, and room beyond them
    std::size_t raw_length_ = 0; // the file's length in raw_
    libdeflate_decompressor* gzip_ = nullptr;
    ZSTD_DCtx* zstd_ = nullptr;
};

} // namespace qm
