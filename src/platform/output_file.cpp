#include "platform/output_file.h"

#include "platform/run_error.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

run_error write_failure(const std::filesystem::path& path, int error_number) {
    return run_error::from_number(error_number == ENOSPC || error_number == EDQUOT
                                      ? err::disk_full
                                      : err::path_file_access)
        .in_file(path);
}

run_error create_failure(const std::filesystem::path& path, int error_number) {
    std::error_code ec;
    const auto parent = path.parent_path();
    if (error_number == ENOENT && !parent.empty() && !std::filesystem::exists(parent, ec))
        return run_error::from_number(err::path_not_found).in_file(path);
    if (error_number == EACCES || error_number == EPERM || error_number == EROFS)
        return run_error::from_number(err::permission_denied).in_file(path);
    return write_failure(path, error_number);
}

// A second descriptor for our standard output, so closing the file leaves the stream open for
// the messages that may follow.
std::FILE* open_standard_output() {
    const int fd = ::dup(STDOUT_FILENO);
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (f == nullptr && fd >= 0)
        ::close(fd);
    return f;
}

} // namespace

output_file::output_file(const std::filesystem::path& path, mode how) : path_(path) {
    if (path.empty())
        throw run_error::from_number(err::path_file_access);
    errno = 0;
    file_ = path == standard_output_path
                ? open_standard_output()
                : std::fopen(path.c_str(), how == mode::append ? "ab" : "wb");
    if (file_ == nullptr)
        throw create_failure(path, errno);
}

output_file::~output_file() {
    if (file_ != nullptr)
        std::fclose(file_);
}

void output_file::write(std::string_view bytes) {
    if (file_ == nullptr)
        throw run_error::from_number(err::path_file_access).in_file(path_);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw write_failure(path_, errno);
}

void output_file::flush() {
    errno = 0;
    if (file_ != nullptr && std::fflush(file_) != 0)
        throw write_failure(path_, errno);
}

void output_file::close() {
    if (file_ == nullptr)
        return;
    std::FILE* f = file_;
    file_ = nullptr;
    errno = 0;
    const bool flushed = std::fflush(f) == 0;
    const int flush_errno = errno;
    errno = 0;
    const bool closed = std::fclose(f) == 0;
    if (!flushed)
        throw write_failure(path_, flush_errno);
    if (!closed)
        throw write_failure(path_, errno);
}

void write_whole_file(const std::filesystem::path& path, std::string_view bytes) {
    output_file out(path);
    out.write(bytes);
    out.close();
}

void ensure_distinct_files(const std::filesystem::path& input,
                           const std::filesystem::path& output) {
    std::error_code ec;
    if (std::filesystem::equivalent(input, output, ec) && !ec)
        throw run_error::from_number(err::file_already_open).in_file(output);
}

void ensure_outputs_spare_inputs(const std::vector<std::filesystem::path>& outputs,
                                 std::uint64_t inputs,
                                 const std::function<std::filesystem::path(std::uint64_t)>& input) {
    // Only an output that exists can be an input: most runs find none and stat no input.
    std::map<std::pair<dev_t, ino_t>, const std::filesystem::path*> existing;
    for (const auto& output : outputs) {
        struct stat info {};
        if (::stat(output.c_str(), &info) == 0)
            existing.emplace(std::pair{info.st_dev, info.st_ino}, &output);
    }
    for (std::uint64_t i = 0; i < inputs && !existing.empty(); ++i) {
        struct stat info {};
        if (::stat(input(i).c_str(), &info) != 0)
            continue;
        if (const auto hit = existing.find({info.st_dev, info.st_ino}); hit != existing.end())
            throw run_error(err::file_already_open, "File already open (" + hit->second->string() +
                                                        " is one of the inputs)");
    }
}

void append_file(const std::filesystem::path& path, std::string_view bytes) {
    output_file out(path, output_file::mode::append);
    out.write(bytes);
    out.close();
}

namespace {

// Removes the new file unless it was renamed into place.
struct new_file_guard {
    std::string name;
    int fd = -1;
    bool placed = false;
    ~new_file_guard() {
        if (fd >= 0)
            ::close(fd);
        if (!placed && !name.empty())
            ::unlink(name.c_str());
    }
};

// Writes `bytes` to a new file beside `path` (a name that did not exist yet), with the
// permission bits `mode`, flushed to the disk when `sync`, and closed; `fresh` removes it
// unless it is renamed into place.
void write_beside(new_file_guard& fresh, const std::filesystem::path& path, std::string_view bytes,
                  mode_t mode, bool sync = true) {
    // mkstemps only ever creates a name that did not exist, so a user's own file is never hit.
    fresh.name = path.string() + ".XXXXXX.tmp";
    errno = 0;
    fresh.fd = ::mkstemps(fresh.name.data(), 4);
    if (fresh.fd < 0) {
        const int error_number = errno;
        fresh.name.clear();
        throw create_failure(path, error_number);
    }
    for (std::size_t done = 0; done < bytes.size();) {
        errno = 0;
        const ssize_t n = ::write(fresh.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw write_failure(path, n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fresh.fd, mode) != 0 || (sync && ::fsync(fresh.fd) != 0))
        throw write_failure(path, errno);
    const int fd = fresh.fd;
    fresh.fd = -1;
    if (::close(fd) != 0)
        throw write_failure(path, errno);
}

} // namespace

void replace_file_contents(const std::filesystem::path& path, std::string_view bytes,
                           const std::filesystem::path& keep_original_as) {
    struct stat original {};
    if (::stat(path.c_str(), &original) != 0)
        throw errno == ENOENT ? run_error::from_number(err::file_not_found).in_file(path)
                              : create_failure(path, errno);
    new_file_guard fresh;
    write_beside(fresh, path, bytes, original.st_mode & 07777);

    if (!keep_original_as.empty()) {
        // A second name for the original: link() never replaces an existing backup, and the
        // original's own name stays in place until the rename below.
        if (::link(path.c_str(), keep_original_as.c_str()) != 0) {
            const int error_number = errno;
            if (error_number == EEXIST)
                throw run_error::from_number(err::file_exists).in_file(keep_original_as);
            if (error_number != EPERM && error_number != EXDEV && error_number != ENOTSUP &&
                error_number != EMLINK)
                throw create_failure(keep_original_as, error_number);
            // No hard links on this file system: the original moves to its backup name.
            std::error_code ec;
            if (std::filesystem::exists(keep_original_as, ec))
                throw run_error::from_number(err::file_exists).in_file(keep_original_as);
            if (::rename(path.c_str(), keep_original_as.c_str()) != 0)
                throw create_failure(keep_original_as, errno);
        }
    }
    if (::rename(fresh.name.c_str(), path.c_str()) != 0)
        throw create_failure(path, errno);
    fresh.placed = true;
}

void write_file_by_rename(const std::filesystem::path& path, std::string_view bytes) {
    struct stat existing {};
    mode_t mode = 0;
    if (::stat(path.c_str(), &existing) == 0) {
        // A pipe or a device, standard output among them, is written as it stands.
        if (!S_ISREG(existing.st_mode))
            return write_whole_file(path, bytes);
        mode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        throw create_failure(path, errno);
    } else {
        // A new file gets the bits a plain create would give it.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // Results a job can write again are not forced to the disk (that waits on it for seconds
    // on a busy machine); the rename still never shows a half-written file.
    new_file_guard fresh;
    write_beside(fresh, path, bytes, mode, false);
    if (::rename(fresh.name.c_str(), path.c_str()) != 0)
        throw create_failure(path, errno);
    fresh.placed = true;
}

staged_file::staged_file(const std::filesystem::path& path) : path_(path) {
    if (path.empty())
        throw run_error::from_number(err::path_file_access);
    new_name_ = path.string() + ".XXXXXX.tmp";
    errno = 0;
    const int fd = ::mkstemps(new_name_.data(), 4); // never an existing name
    if (fd < 0) {
        const int error_number = errno;
        new_name_.clear();
        throw create_failure(path, error_number);
    }
    // mkstemps makes the file private; a finished output has the usual permission bits.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr || ::fchmod(fd, 0666 & ~mask) != 0) {
        const int error_number = errno;
        if (file_ == nullptr)
            ::close(fd);
        throw create_failure(path, error_number);
    }
}

staged_file::~staged_file() {
    if (file_ != nullptr)
        std::fclose(file_);
    if (!new_name_.empty())
        ::unlink(new_name_.c_str());
}

void staged_file::write(std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw write_failure(path_, errno);
}

void staged_file::commit() {
    std::FILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fflush(file) != 0) {
        const int error_number = errno;
        std::fclose(file);
        throw write_failure(path_, error_number);
    }
    if (std::fclose(file) != 0)
        throw write_failure(path_, errno);
    if (::rename(new_name_.c_str(), path_.c_str()) != 0)
        throw create_failure(path_, errno);
    new_name_.clear();
}

} // namespace qm
