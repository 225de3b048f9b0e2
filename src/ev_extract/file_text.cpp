#include "ev_extract/file_text.h"

#include "platform/line_reader.h"
#include "platform/run_error.h"

#include <archive.h>
#include <archive_entry.h>

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

std::string read_plain(const std::filesystem::path& path) {
    const auto length = file_length(path);
    auto in = open_input(path);
    std::string text(length, '\0');
    in->read(text.data(), static_cast<std::streamsize>(length));
    text.resize(static_cast<std::size_t>(in->gcount()));
    if (in->bad())
        throw run_error(57, "Device I/O error");
    return text;
}

struct archive_closer {
    void operator()(archive* a) const { archive_read_free(a); }
};

// The first entry of a zip archive, or the content of a gzip stream, read whole.
std::string read_compressed(const std::filesystem::path& path, input_kind kind) {
    const std::string bytes = read_plain(path); // missing file: its own run error
    std::unique_ptr<archive, archive_closer> a(archive_read_new());
    if (kind == input_kind::zip) {
        archive_read_support_format_zip(a.get());
    } else {
        archive_read_support_filter_all(a.get());
        archive_read_support_format_raw(a.get());
    }
    archive_entry* entry = nullptr;
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK ||
        archive_read_next_header(a.get(), &entry) != ARCHIVE_OK)
        throw run_error(err::path_file_access, "Path/File access error - cannot decompress");
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const la_ssize_t got = archive_read_data(a.get(), buffer, sizeof buffer);
        if (got < 0)
            throw run_error(err::path_file_access, "Path/File access error - cannot decompress");
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
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

std::string read_file_text(const std::filesystem::path& path, input_kind kind) {
    std::string text = kind == input_kind::plain ? read_plain(path) : read_compressed(path, kind);
    normalise_line_ends(text);
    return text;
}

} // namespace qm
