// libarchive (with the XML, ICU, crypto and compression libraries it brings) is loaded when a
// compressed stream or a zip archive is first read, not when the program starts: linking it
// cost every run, the many that read plain text included, some seven milliseconds of loading
// and relocation before main(). Each function the program calls is defined here under the
// library's own name and forwards to the library's.
#include "platform/archive_library.h"

#include "platform/loaded_library.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdarg>
#include <cstdio>

namespace {

const qm::loaded_library& library() {
    static const qm::loaded_library loaded(QM_ARCHIVE_LIBRARY, "the archive library");
    return loaded; // once, whichever thread comes first
}

} // namespace

namespace qm {

const std::string& archive_library_failure() {
    return library().failure();
}

} // namespace qm

// Without the library archive_read_new() gives no reader, which the callers report; the other
// functions are only ever called with a reader.
#define QM_ARCHIVE_FORWARD(result, name, parameters, arguments, missing)                           \
    extern "C" result name parameters {                                                            \
        static const auto call = library().symbol(&name, #name);                                   \
        return call == nullptr ? missing : call arguments;                                         \
    }

QM_ARCHIVE_FORWARD(archive*, archive_read_new, (void), (), nullptr)
QM_ARCHIVE_FORWARD(int, archive_read_free, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_filter_gzip, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_filter_bzip2, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_filter_xz, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_filter_zstd, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_format_raw, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_support_format_zip, (archive * a), (a), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_open,
                   (archive * a, void* client, archive_open_callback* opener,
                    archive_read_callback* reader, archive_close_callback* closer),
                   (a, client, opener, reader, closer), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_open_fd, (archive * a, int fd, size_t block_size),
                   (a, fd, block_size), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_read_next_header, (archive * a, archive_entry** entry), (a, entry),
                   ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(la_ssize_t, archive_read_data, (archive * a, void* buffer, size_t size),
                   (a, buffer, size), ARCHIVE_FATAL)
QM_ARCHIVE_FORWARD(int, archive_filter_count, (archive * a), (a), 0)
QM_ARCHIVE_FORWARD(la_int64_t, archive_filter_bytes, (archive * a, int filter), (a, filter), -1)
QM_ARCHIVE_FORWARD(__LA_MODE_T, archive_entry_filetype, (archive_entry * entry), (entry), 0)
QM_ARCHIVE_FORWARD(const char*, archive_entry_pathname, (archive_entry * entry), (entry), nullptr)

extern "C" void archive_set_error(archive* a, int error_number, const char* format, ...) {
    static const auto call = library().symbol(&archive_set_error, "archive_set_error");
    if (call == nullptr)
        return;
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    call(a, error_number, "%s", message);
}
