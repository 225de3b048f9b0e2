#include "platform/whole_file_reader.h"

#include "platform/input_stream.h"
#include "platform/run_error.h"

#include <libdeflate.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

// The most one byte of deflate data can stand for: a first guess at a gzip file's data size
// must not take more memory than its bytes can fill.
constexpr std::uint64_t deflate_max_ratio = 1032;

run_error too_much_text(std::uint64_t limit, const std::filesystem::path& path) {
    return beyond_limit(limit, "of text in one file").in_file(path);
}

// `text` grown towards `wanted` bytes, never beyond limit + 1 (one byte past the limit tells
// that there is more); false when it already stands there.
bool grow(std::string& text, std::uint64_t wanted, std::uint64_t limit) {
    const std::size_t size = static_cast<std::size_t>(std::min(wanted, limit + 1));
    if (size <= text.size())
        return false;
    text.resize(size);
    return true;
}

} // namespace

whole_file_reader::whole_file_reader()
    : gzip_(libdeflate_alloc_decompressor()), zstd_(ZSTD_createDCtx()) {
    if (gzip_ == nullptr || zstd_ == nullptr) {
        libdeflate_free_decompressor(gzip_);
        ZSTD_freeDCtx(zstd_);
        throw run_error::from_number(err::out_of_memory);
    }
}

whole_file_reader::~whole_file_reader() {
    libdeflate_free_decompressor(gzip_);
    ZSTD_freeDCtx(zstd_);
}

whole_file_reader::outcome whole_file_reader::read(const std::filesystem::path& path,
                                                   std::string& text, std::uint64_t limit) {
    if (!read_raw(path, limit))
        return outcome::declined;
    const std::string_view name = compression_name(raw().substr(0, 6));
    if (name.empty()) {
        // The text takes the bytes read and raw_ the text's old storage, whose length, close
        // to the next file's, spares filling most of it again when it grows for that file.
        raw_.swap(text);
        text.resize(raw_length_);
        return outcome::plain;
    }
    if (name != "gzip" && name != "zstd")
        return outcome::declined;
    const bool read = name == "gzip" ? inflate_gzip(text, limit, path)
                                     : decompress_zstd(text, limit, path);
    return read ? outcome::decompressed : outcome::declined;
}

// The bytes of a regular file no longer than `limit`, into the first raw_length_ bytes of raw_;
// false for anything else, and for a failure to open or read it, which input_stream then
// reports. raw_ is only ever grown, never cut to the file's length: a std::string fills every
// byte it grows by, so a series of compressed files is read into room already there.
bool whole_file_reader::read_raw(const std::filesystem::path& path, std::uint64_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                static_cast<std::uint64_t>(st.st_size) <= limit;
    std::size_t filled = 0;
    if (read) {
        // One byte more than the stored length tells a file that grew while it was read.
        const std::size_t length = static_cast<std::size_t>(st.st_size);
        const std::size_t room = length + 1;
        if (raw_.size() < room)
            raw_.resize(room);
        // Every round reads at least a byte, until the room is full: bounded by the length.
        while (filled < room) {
            const ssize_t n = ::read(fd, raw_.data() + filled, room - filled);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                read = n == 0;
                break;
            }
            filled += static_cast<std::size_t>(n);
            // A regular file reads short only at its end: the stored length read, with room
            // left for one byte more, is the whole file, without a last read to see the end.
            if (filled == length)
                break;
        }
        read = read && filled <= length;
    }
    ::close(fd);
    raw_length_ = read ? filled : 0;
    return read;
}

// Member after member, each checked against its CRC-32 and length by libdeflate. Zero bytes
// after the last member (tar and tape padding) are no data; anything else after a member must
// be another member. A member that does not decompress declines the file, so that zlib's
// reading names the damage exactly as for any gzip stream.
bool whole_file_reader::inflate_gzip(std::string& text, std::uint64_t limit,
                                     const std::filesystem::path& path) {
    const auto* in = reinterpret_cast<const unsigned char*>(raw_.data());
    const std::size_t in_size = raw_length_;
    // The last member's stored length (modulo 4 GB) is a first guess at the size.
    std::uint64_t guess = 4 * std::uint64_t{in_size};
    if (in_size >= 18) {
        const unsigned char* end = in + in_size - 4;
        const std::uint64_t stored =
            end[0] | end[1] << 8 | end[2] << 16 | std::uint64_t{end[3]} << 24;
        guess = std::min(std::max(guess, stored + 1), deflate_max_ratio * in_size);
    }
    // The text's own length is room without filling; its capacity would be filled first.
    text.resize(std::min<std::uint64_t>(std::max<std::uint64_t>(guess, text.size()), limit + 1));
    std::size_t in_pos = 0;
    std::size_t out_pos = 0;
    // Every round decompresses a member (the input shrinks) or doubles the output, which stops
    // at the limit: bounded by the file's length and the limit.
    for (;;) {
        std::size_t in_used = 0;
        std::size_t out_made = 0;
        const libdeflate_result result = libdeflate_gzip_decompress_ex(
            gzip_, in + in_pos, in_size - in_pos, text.data() + out_pos, text.size() - out_pos,
            &in_used, &out_made);
        if (result == LIBDEFLATE_INSUFFICIENT_SPACE) {
            if (!grow(text, std::uint64_t{text.size()} * 2, limit))
                throw too_much_text(limit, path);
            continue;
        }
        if (result != LIBDEFLATE_SUCCESS || in_used == 0)
            return false;
        in_pos += in_used;
        out_pos += out_made;
        if (out_pos > limit)
            throw too_much_text(limit, path);
        std::size_t after = in_pos;
        while (after < in_size && in[after] == 0)
            ++after;
        if (after == in_size)
            break;
        if (after > in_pos)
            return false; // data after the zero bytes that end the file
    }
    text.resize(out_pos);
    return true;
}

// Frame after frame with the worker's context; frame checksums, where the file has them, are
// checked. Data that does not decompress to its end declines the file. A file of one frame that
// states its size (as zstd writes a file) decompresses in one call straight into the text;
// streaming is for the others.
bool whole_file_reader::decompress_zstd(std::string& text, std::uint64_t limit,
                                        const std::filesystem::path& path) {
    ZSTD_DCtx_reset(zstd_, ZSTD_reset_session_only);
    const std::string_view in_bytes = raw();
    const unsigned long long whole = ZSTD_getFrameContentSize(in_bytes.data(), in_bytes.size());
    // A stated size beyond the limit is left to the stream, which stops at the limit.
    if (whole != ZSTD_CONTENTSIZE_UNKNOWN && whole != ZSTD_CONTENTSIZE_ERROR && whole <= limit &&
        ZSTD_findFrameCompressedSize(in_bytes.data(), in_bytes.size()) == in_bytes.size()) {
        text.resize(static_cast<std::size_t>(whole));
        const std::size_t made =
            ZSTD_decompressDCtx(zstd_, text.data(), text.size(), in_bytes.data(), in_bytes.size());
        return !ZSTD_isError(made) && made == whole;
    }
    std::uint64_t guess = 4 * std::uint64_t{in_bytes.size()};
    const unsigned long long stored = ZSTD_getFrameContentSize(in_bytes.data(), in_bytes.size());
    if (stored != ZSTD_CONTENTSIZE_UNKNOWN && stored != ZSTD_CONTENTSIZE_ERROR && stored < limit)
        guess = std::max<std::uint64_t>(guess, stored + 1);
    text.resize(std::min<std::uint64_t>(std::max<std::uint64_t>(guess, text.size()), limit + 1));
    ZSTD_inBuffer in{in_bytes.data(), in_bytes.size(), 0};
    ZSTD_outBuffer out{text.data(), text.size(), 0};
    std::size_t still_to_come = 0;
    // Every round consumes input or fills the output, which doubles up to the limit.
    for (;;) {
        const std::size_t in_before = in.pos;
        const std::size_t out_before = out.pos;
        still_to_come = ZSTD_decompressStream(zstd_, &out, &in);
        if (ZSTD_isError(still_to_come))
            return false;
        const bool all_read = in.pos == in.size && still_to_come == 0;
        // A full output is room for more, unless the last frame ended exactly there: called
        // again, the context would wait for a next frame.
        if (out.pos == out.size && !all_read) {
            if (!grow(text, std::uint64_t{text.size()} * 2, limit))
                throw too_much_text(limit, path);
            out.dst = text.data();
            out.size = text.size();
            continue;
        }
        if (in.pos == in.size)
            break;
        if (in.pos == in_before && out.pos == out_before)
            return false;
    }
    if (still_to_come != 0)
        return false; // the file ends inside a frame
    text.resize(out.pos);
    return true;
}

} // namespace qm
