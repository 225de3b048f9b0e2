#include "platform/input_stream.h"

#include "platform/archive_library.h"
#include "platform/output_file.h"
#include "platform/process.h"
#include "platform/run_error.h"

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qm {
namespace {

constexpr std::size_t block_size = 1 << 16;
// Enough of the start of a file to tell every kind apart.
constexpr std::size_t magic_bytes = 6;

enum class data_kind { plain, gzip, filtered, zip };

data_kind kind_of(std::string_view head) {
    const std::string_view name = compression_name(head);
    if (name.empty())
        return data_kind::plain;
    if (name == "gzip")
        return data_kind::gzip;
    return name == "zip" ? data_kind::zip : data_kind::filtered;
}

// Why a file cannot be opened for reading, in the classic numbering.
run_error open_failure(const std::filesystem::path& path) {
    std::error_code ec;
    run_error e = run_error::from_number(err::path_file_access);
    if (!path.empty() && !std::filesystem::exists(path, ec)) {
        const auto parent = path.parent_path();
        e = run_error::from_number(!parent.empty() && !std::filesystem::exists(parent, ec)
                                       ? err::path_not_found
                                       : err::file_not_found);
    }
    return e.in_file(path);
}

run_error cannot_decompress(const std::filesystem::path& path) {
    return run_error(err::path_file_access, "Path/File access error - cannot decompress")
        .in_file(path);
}

run_error damaged_gzip(const std::filesystem::path& path, const char* why) {
    return run_error(err::path_file_access, std::string("Path/File access error - damaged gzip "
                                                        "data (") +
                                                (why != nullptr ? why : "cannot inflate") + ")")
        .in_file(path);
}

// The state of zlib's inflater over the members of a gzip file.
struct gzip_state {
    z_stream stream{};
    bool input_ended = false;     // the file has no more bytes
    bool between_members = false; // a member ended: another one, zero bytes, or the end follow
    bool padding = false;         // zero bytes after the last member were seen
    std::uint64_t raw_taken = 0;  // compressed bytes handed to zlib so far
    gzip_state() {
        // 15 + 16: a gzip wrapper around the largest window, whose CRC-32 and length zlib checks.
        if (inflateInit2(&stream, 15 + 16) != Z_OK)
            throw run_error::from_number(err::out_of_memory);
    }
    ~gzip_state() { inflateEnd(&stream); }
    gzip_state(const gzip_state&) = delete;
    gzip_state& operator=(const gzip_state&) = delete;
};

run_error device_error(const std::filesystem::path& path) {
    return run_error(57, "Device I/O error").in_file(path);
}

// A reader for `path`'s compressed stream or archive; a run error naming the file and saying why
// when libarchive cannot be loaded.
archive* new_reader(const std::filesystem::path& path) {
    archive* a = archive_read_new();
    if (a == nullptr)
        throw run_error(err::path_file_access,
                        "Path/File access error - " + archive_library_failure())
            .in_file(path);
    return a;
}

// read(2), asked again when a signal interrupts it: the bytes read, or -1 with errno set.
ssize_t read_some(int fd, char* to, std::size_t count) {
    ssize_t n = 0;
    do
        n = ::read(fd, to, count);
    while (n < 0 && errno == EINTR);
    return n;
}

struct archive_free {
    void operator()(archive* a) const { archive_read_free(a); }
};
using archive_ptr = std::unique_ptr<archive, archive_free>;

// Entries of a zip archive that are no data of their own: folders, README files, and what
// file managers add beside a file (macOS resource forks and folder settings).
bool passed_over(archive_entry* entry) {
    if (archive_entry_filetype(entry) != AE_IFREG)
        return true;
    const char* name_text = archive_entry_pathname(entry);
    const std::string_view name = name_text == nullptr ? "" : name_text;
    const std::string_view base = name.substr(name.rfind('/') + 1);
    std::string lower(base.substr(0, 6));
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return name.empty() || name.back() == '/' || name.substr(0, 9) == "__MACOSX/" ||
           base.substr(0, 2) == "._" || base == ".DS_Store" || lower == "readme";
}

} // namespace

std::string_view compression_name(std::string_view head) {
    using namespace std::string_view_literals;
    const auto starts = [&](std::string_view magic) { return head.starts_with(magic); };
    if (starts("\x1f\x8b"sv))
        return "gzip";
    if (starts("BZh"sv) && head.size() > 3 && head[3] >= '1' && head[3] <= '9')
        return "bzip2";
    if (starts("\xfd"
               "7zXZ\0"sv))
        return "xz";
    if (starts("\x28\xb5\x2f\xfd"sv))
        return "zstd";
    if (starts("PK\x03\x04"sv) || starts("PK\x05\x06"sv))
        return "zip";
    return {};
}

run_error beyond_limit(std::uint64_t limit, std::string_view what) {
    // "1 GB", "16 MB": the limits are whole numbers of either.
    const std::string size = limit % (1u << 30) == 0 ? std::to_string(limit >> 30) + " GB"
                                                     : std::to_string(limit >> 20) + " MB";
    return run_error(err::out_of_string_space,
                     "Out of string space - more than " + size + " " + std::string(what));
}

class input_buffer : public std::streambuf {
public:
    explicit input_buffer(const std::filesystem::path& path);
    ~input_buffer() override;
    input_buffer(const input_buffer&) = delete;
    input_buffer& operator=(const input_buffer&) = delete;

    const std::filesystem::path& path() const { return path_; }
    bool compressed() const { return archive_ != nullptr || gzip_ != nullptr; }
    std::uint64_t progress_position(std::uint64_t data_position) const;

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* to, std::streamsize count) override;

private:
    void open_filter();
    void open_zip();
    archive_ptr open_zip_archive();
    std::size_t fill(char* to, std::size_t count);
    std::size_t inflate_gzip(char* to, std::size_t count);
    std::size_t read_raw(char* to, std::size_t count);
    static la_ssize_t raw_block(archive* a, void* self, const void** block);

    std::filesystem::path path_;
    int fd_ = -1;
    bool regular_ = false;
    std::uint64_t length_ = 0;
    std::string head_; // the first bytes, read to learn the kind and not handed on yet
    std::size_t head_used_ = 0;
    int raw_errno_ = 0; // why a raw read for the decompressor failed
    archive_ptr archive_;
    std::unique_ptr<gzip_state> gzip_;
    std::vector<char> raw_;
    std::vector<char> data_;
};

input_buffer::input_buffer(const std::filesystem::path& path) : path_(path) {
    if (path.empty())
        throw open_failure(path);
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw open_failure(path);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw open_failure(path);
    }
    regular_ = S_ISREG(st.st_mode);
    length_ = regular_ ? static_cast<std::uint64_t>(st.st_size) : 0;
    data_.resize(block_size);
    try {
        // A pipe may hand over fewer bytes than asked for: read on until the magic is complete.
        head_.resize(magic_bytes);
        std::size_t got = 0;
        while (got < magic_bytes) {
            const std::size_t n = read_raw(head_.data() + got, magic_bytes - got);
            if (n == 0)
                break;
            got += n;
        }
        head_.resize(got);
        switch (kind_of(head_)) {
        case data_kind::gzip:
            raw_.resize(block_size);
            gzip_ = std::make_unique<gzip_state>();
            break;
        case data_kind::filtered:
            open_filter();
            break;
        case data_kind::zip:
            open_zip();
            break;
        case data_kind::plain:
            break;
        }
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

input_buffer::~input_buffer() {
    archive_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t input_buffer::read_raw(char* to, std::size_t count) {
    const ssize_t n = read_some(fd_, to, count);
    if (n < 0)
        throw device_error(path_);
    return static_cast<std::size_t>(n);
}

// libarchive asks for compressed bytes here: the magic first, then the rest of the file. It is
// C and cannot pass an exception on, so a failure is handed back as its error.
la_ssize_t input_buffer::raw_block(archive* a, void* self, const void** block) {
    auto* b = static_cast<input_buffer*>(self);
    if (b->head_used_ < b->head_.size()) {
        *block = b->head_.data() + b->head_used_;
        const std::size_t n = b->head_.size() - b->head_used_;
        b->head_used_ = b->head_.size();
        return static_cast<la_ssize_t>(n);
    }
    *block = b->raw_.data();
    const ssize_t n = read_some(b->fd_, b->raw_.data(), b->raw_.size());
    if (n < 0) {
        b->raw_errno_ = errno;
        archive_set_error(a, errno, "read error");
    }
    return n;
}

void input_buffer::open_filter() {
    raw_.resize(block_size);
    archive_.reset(new_reader(path_));
    archive* a = archive_.get();
    archive_read_support_filter_gzip(a);
    archive_read_support_filter_bzip2(a);
    archive_read_support_filter_xz(a);
    archive_read_support_filter_zstd(a);
    archive_read_support_format_raw(a);
    archive_entry* entry = nullptr;
    // Without a filter that took the data (count 1: only the reader's own "none"), the raw
    // format would hand the compressed bytes on as text.
    if (archive_read_open(a, this, nullptr, raw_block, nullptr) != ARCHIVE_OK ||
        archive_filter_count(a) < 2)
        throw raw_errno_ != 0 ? device_error(path_) : cannot_decompress(path_);
    const int status = archive_read_next_header(a, &entry);
    if (status != ARCHIVE_OK && status != ARCHIVE_EOF)
        throw raw_errno_ != 0 ? device_error(path_) : cannot_decompress(path_);
}

archive_ptr input_buffer::open_zip_archive() {
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        throw device_error(path_);
    archive_ptr a(new_reader(path_));
    archive_read_support_format_zip(a.get());
    if (archive_read_open_fd(a.get(), fd_, block_size) != ARCHIVE_OK)
        throw cannot_decompress(path_);
    return a;
}

// The one file of a zip archive: a first pass over the directory finds it, a second reads it.
void input_buffer::open_zip() {
    if (!regular_)
        throw run_error(err::path_file_access,
                        "Path/File access error - a zip archive is read from a file, not from a "
                        "pipe")
            .in_file(path_);
    std::vector<std::string> names;
    long long chosen = -1;
    {
        archive_ptr a = open_zip_archive();
        archive_entry* entry = nullptr;
        int status = ARCHIVE_OK;
        for (long long index = 0;
             (status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK; ++index) {
            if (passed_over(entry))
                continue;
            chosen = index;
            names.emplace_back(archive_entry_pathname(entry));
        }
        if (status != ARCHIVE_EOF)
            throw cannot_decompress(path_);
    }
    const std::string archive_name = "Path/File access error - the zip archive " + path_.string();
    if (names.empty())
        throw run_error(err::path_file_access, archive_name + " holds no file to read")
            .in_file(path_);
    if (names.size() > 1)
        throw run_error(err::path_file_access,
                        archive_name + " holds several files (" + names[0] + ", " + names[1] +
                            (names.size() > 2 ? ", ..." : "") + "): cannot tell which one to read")
            .in_file(path_);
    archive_ = open_zip_archive();
    archive_entry* entry = nullptr;
    for (long long index = 0; index <= chosen; ++index)
        if (archive_read_next_header(archive_.get(), &entry) != ARCHIVE_OK)
            throw cannot_decompress(path_);
}

// The next decompressed bytes of a gzip file, every member checked against its CRC-32 and
// length; 0 at the end of the data. Zero bytes after the last member are no data; anything else
// after a member must be another member.
std::size_t input_buffer::inflate_gzip(char* to, std::size_t count) {
    gzip_state& g = *gzip_;
    z_stream& z = g.stream;
    z.next_out = reinterpret_cast<Bytef*>(to);
    z.avail_out = static_cast<uInt>(std::min<std::size_t>(count, 1u << 30));
    const uInt asked = z.avail_out;
    // Every round consumes input, gives output or ends: bounded by the length of the file.
    for (;;) {
        if (z.avail_in == 0 && !g.input_ended) {
            std::size_t n = 0;
            if (head_used_ < head_.size()) {
                n = head_.size() - head_used_;
                std::memcpy(raw_.data(), head_.data() + head_used_, n);
                head_used_ = head_.size();
            } else {
                n = read_raw(raw_.data(), raw_.size());
            }
            g.input_ended = n == 0;
            g.raw_taken += n;
            z.next_in = reinterpret_cast<Bytef*>(raw_.data());
            z.avail_in = static_cast<uInt>(n);
        }
        if (g.between_members) {
            while (z.avail_in > 0 && *z.next_in == 0) {
                ++z.next_in;
                --z.avail_in;
                g.padding = true;
            }
            if (z.avail_in == 0) {
                if (g.input_ended)
                    return asked - z.avail_out;
                continue;
            }
            if (g.padding)
                throw damaged_gzip(path_, "data after the zero bytes that end it");
            inflateReset(&z);
            g.between_members = false;
        }
        const int status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = asked - z.avail_out;
        if (status == Z_STREAM_END)
            g.between_members = true;
        else if (status == Z_BUF_ERROR && z.avail_in == 0 && g.input_ended)
            throw damaged_gzip(path_, "the file ends inside the data");
        else if (status != Z_OK && status != Z_BUF_ERROR)
            throw damaged_gzip(path_, z.msg);
        if (produced > 0)
            return produced;
    }
}

std::size_t input_buffer::fill(char* to, std::size_t count) {
    if (gzip_)
        return inflate_gzip(to, count);
    if (!archive_) {
        if (head_used_ < head_.size()) {
            const std::size_t n = std::min(count, head_.size() - head_used_);
            std::memcpy(to, head_.data() + head_used_, n);
            head_used_ += n;
            return n;
        }
        return read_raw(to, count);
    }
    const la_ssize_t n = archive_read_data(archive_.get(), to, count);
    if (n < 0)
        throw raw_errno_ != 0 ? device_error(path_) : cannot_decompress(path_);
    return static_cast<std::size_t>(n);
}

input_buffer::int_type input_buffer::underflow() {
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    const std::size_t n = fill(data_.data(), data_.size());
    if (n == 0)
        return traits_type::eof();
    setg(data_.data(), data_.data(), data_.data() + n);
    return traits_type::to_int_type(*gptr());
}

// Large reads go straight into the caller's memory, without the detour through the buffer.
std::streamsize input_buffer::xsgetn(char* to, std::streamsize count) {
    std::streamsize done = std::min<std::streamsize>(count, egptr() - gptr());
    // Before the first read there is no buffer at all: memcpy must not see its null pointer.
    if (done > 0) {
        std::memcpy(to, gptr(), static_cast<std::size_t>(done));
        gbump(static_cast<int>(done));
    }
    while (done < count) {
        if (count - done < static_cast<std::streamsize>(data_.size())) {
            if (traits_type::eq_int_type(underflow(), traits_type::eof()))
                break;
            const std::streamsize n = std::min<std::streamsize>(count - done, egptr() - gptr());
            std::memcpy(to + done, gptr(), static_cast<std::size_t>(n));
            gbump(static_cast<int>(n));
            done += n;
        } else {
            const std::size_t n = fill(to + done, static_cast<std::size_t>(count - done));
            if (n == 0)
                break;
            done += static_cast<std::streamsize>(n);
        }
    }
    return done;
}

std::uint64_t input_buffer::progress_position(std::uint64_t data_position) const {
    if (gzip_)
        return std::min(gzip_->raw_taken - gzip_->stream.avail_in, length_);
    const std::uint64_t stored = archive_ ? static_cast<std::uint64_t>(std::max<la_int64_t>(
                                                0, archive_filter_bytes(archive_.get(), -1)))
                                          : data_position;
    return std::min(stored, length_);
}

input_stream::input_stream(const std::filesystem::path& path)
    : std::istream(nullptr), buffer_(std::make_unique<input_buffer>(path)) {
    rdbuf(buffer_.get());
    // A run error thrown by the buffer leaves read() as itself instead of a mere bad bit.
    exceptions(std::ios::badbit);
}

input_stream::~input_stream() = default;

const std::filesystem::path& input_stream::path() const {
    return buffer_->path();
}

bool input_stream::compressed() const {
    return buffer_->compressed();
}

std::uint64_t input_stream::progress_position(std::uint64_t data_position) const {
    return buffer_->progress_position(data_position);
}

std::unique_ptr<input_stream> open_input(const std::filesystem::path& path) {
    return std::make_unique<input_stream>(path);
}

std::uint64_t file_length(const std::filesystem::path& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status) || std::filesystem::is_directory(status))
        throw open_failure(path);
    if (!std::filesystem::is_regular_file(status))
        return 0;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        throw open_failure(path);
    return size;
}

void read_whole_input(input_stream& in, std::string& text, std::uint64_t limit) {
    // A plain file's length is known; compressed data grows the text as it comes, up to one
    // byte beyond the limit, which tells that there is more.
    std::size_t filled = 0;
    text.resize(static_cast<std::size_t>(
        std::min(std::max<std::uint64_t>(block_size, file_length(in.path())), limit) + 1));
    for (;;) {
        in.read(text.data() + filled, static_cast<std::streamsize>(text.size() - filled));
        filled += static_cast<std::size_t>(in.gcount());
        if (filled < text.size())
            break; // the end of the data
        if (filled > limit)
            throw beyond_limit(limit, "of text in one file").in_file(in.path());
        text.resize(static_cast<std::size_t>(
            std::min<std::uint64_t>(std::uint64_t{text.size()} * 2, limit + 1)));
    }
    text.resize(filled);
}

rereadable_input::rereadable_input(const std::filesystem::path& path) : path_(path) {
    // Only a stream needs the copy: a file, a folder or a missing name goes to the job as it is
    // (which reports what is wrong with it).
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (path.empty() || ec || type == std::filesystem::file_type::regular ||
        type == std::filesystem::file_type::directory)
        return;
    // Raw bytes, not the decompressed data: input_stream recognises them again from the copy.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw open_failure(path);
    try {
        folder_ = std::make_unique<private_folder>();
        path_ = folder_->path() / path.filename();
        output_file copy(path_);
        std::vector<char> block(block_size);
        for (;;) {
            const ssize_t n = read_some(fd, block.data(), block.size());
            if (n < 0)
                throw device_error(path);
            if (n == 0)
                break;
            copy.write(std::string_view(block.data(), static_cast<std::size_t>(n)));
        }
        copy.close();
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

rereadable_input::~rereadable_input() = default;

} // namespace qm
