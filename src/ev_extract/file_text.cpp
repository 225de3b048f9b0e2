#include "ev_extract/file_text.h"

#include "platform/line_reader.h"
#include "platform/run_error.h"

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>

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

constexpr std::size_t min_chunk = 1 << 16;

void read_plain(const std::filesystem::path& path, std::string& bytes) {
    const auto length = file_length(path);
    auto in = open_input(path);
    bytes.resize(length);
    in->read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(in->gcount()));
    if (in->bad())
        throw run_error(57, "Device I/O error");
}

run_error cannot_decompress() {
    return run_error(err::path_file_access, "Path/File access error - cannot decompress");
}

// A gzip file (one or more members) inflated straight into `text` with zlib.
void inflate_gzip(const std::string& bytes, std::string& text) {
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) // 15-bit window, gzip or zlib header
        throw run_error::from_number(7);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    std::size_t filled = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END || z.avail_in > 0) {
        if (status == Z_STREAM_END && inflateReset(&z) != Z_OK)
            break; // the next member
        if (filled == text.size())
            text.resize(text.size() * 2 + min_chunk);
        z.next_out = reinterpret_cast<Bytef*>(text.data() + filled);
        z.avail_out = static_cast<uInt>(std::min<std::size_t>(text.size() - filled, 1u << 30));
        const uInt before = z.avail_out;
        status = inflate(&z, Z_NO_FLUSH);
        filled += before - z.avail_out;
        if (status != Z_OK && status != Z_STREAM_END &&
            !(status == Z_BUF_ERROR && z.avail_out == 0)) {
            inflateEnd(&z);
            throw cannot_decompress();
        }
        if (status == Z_BUF_ERROR && z.avail_in == 0 && z.avail_out > 0) {
            inflateEnd(&z);
            throw cannot_decompress(); // the file ends inside the stream
        }
    }
    inflateEnd(&z);
    text.resize(filled);
}

struct archive_closer {
    void operator()(archive* a) const { archive_read_free(a); }
};

// The first entry of a zip archive.
void unzip(const std::string& bytes, std::string& text) {
    std::unique_ptr<archive, archive_closer> a(archive_read_new());
    archive_read_support_format_zip(a.get());
    archive_entry* entry = nullptr;
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK ||
        archive_read_next_header(a.get(), &entry) != ARCHIVE_OK)
        throw cannot_decompress();
    text.clear();
    char buffer[min_chunk];
    for (la_ssize_t got; (got = archive_read_data(a.get(), buffer, sizeof buffer)) != 0;) {
        if (got < 0)
            throw cannot_decompress();
        text.append(buffer, static_cast<std::size_t>(got));
    }
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
    if (kind == input_kind::plain) {
        read_plain(path, text);
    } else {
        thread_local std::string bytes;
        read_plain(path, bytes);
        if (kind == input_kind::gzip)
            inflate_gzip(bytes, text);
        else
            unzip(bytes, text);
    }
    normalise_line_ends(text);
}

std::string read_file_text(const std::filesystem::path& path, input_kind kind) {
    std::string text;
    read_file_text(path, kind, text);
    return text;
}

} // namespace qm
