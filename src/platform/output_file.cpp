#include "platform/output_file.h"

#include "platform/run_error.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

run_error write_failure(const std::filesystem::path& path, int error_number) {
    return file_failure(path, error_number, file_step::write);
}

run_error create_failure(const std::filesystem::path& path, int error_number) {
    return file_failure(path, error_number, file_step::create);
}

// Writes all of `bytes` to `fd`: 0, or the errno of the failure (ENOSPC for a device that
// took nothing).
int write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        errno = 0;
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Writes gather in a buffer of this size: most outputs go to the system in one write.
constexpr std::size_t write_buffer_size = 64 * 1024;

} // namespace

namespace {

// The new files of this process that are not in place yet, for the signal handler: fixed
// storage of plain characters and lock-free states, which a handler may read. The names stand
// back to back in one arena, so a job may hold thousands of files waiting to be put in place;
// a free entry is taken again by a name that fits its room, and the arena starts over whenever
// no file waits. A file beyond the entries or the arena is still removed on every error path,
// just not on a signal.
enum slot_state : int { slot_free, slot_filling, slot_ready };
struct temporary_entry {
    std::atomic<int> state{slot_free};
    std::size_t offset = 0; // of its name in temporary_names
    std::size_t room = 0;   // the bytes there, its end included
};
constexpr int temporary_slots = 16384;
constexpr std::size_t temporary_names_size = std::size_t{1} << 20;
temporary_entry temporaries[temporary_slots];
char temporary_names[temporary_names_size];
struct temporary_registry {
    std::mutex mutex; // taken to register and forget, never by the handler
    int entries_used = 0;
    std::size_t names_used = 0;
    int waiting = 0;
};
temporary_registry registry;

extern "C" void remove_temporaries_then_die(int signal_number) {
    remove_temporary_files();
    // SA_RESETHAND put the default action back: the signal ends the process as it would have.
    ::raise(signal_number);
}

void install_signal_cleanup() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal_number : {SIGINT, SIGTERM}) {
            struct sigaction previous {};
            // A signal that is ignored, or handled by someone else, stays as it is.
            if (::sigaction(signal_number, nullptr, &previous) != 0 ||
                previous.sa_handler != SIG_DFL || (previous.sa_flags & SA_SIGINFO) != 0)
                continue;
            struct sigaction action {};
            action.sa_handler = remove_temporaries_then_die;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(signal_number, &action, nullptr);
        }
    });
}

int register_temporary(const std::string& name) {
    install_signal_cleanup();
    const std::lock_guard lock(registry.mutex);
    if (registry.waiting == 0) {
        registry.entries_used = 0;
        registry.names_used = 0;
    }
    // Bounded by the entries in use, which is at most the files that waited at once.
    int i = 0;
    while (i < registry.entries_used &&
           (temporaries[i].state.load() != slot_free || temporaries[i].room < name.size() + 1))
        ++i;
    if (i == registry.entries_used) {
        if (registry.entries_used == temporary_slots ||
            name.size() + 1 > temporary_names_size - registry.names_used)
            return -1;
        ++registry.entries_used;
        temporaries[i].offset = registry.names_used;
        temporaries[i].room = name.size() + 1;
        registry.names_used += name.size() + 1;
    }
    temporaries[i].state.store(slot_filling);
    std::memcpy(temporary_names + temporaries[i].offset, name.c_str(), name.size() + 1);
    ++registry.waiting;
    temporaries[i].state.store(slot_ready);
    return i;
}

void forget_temporary(int& slot) {
    if (slot >= 0) {
        const std::lock_guard lock(registry.mutex);
        temporaries[slot].state.store(slot_free);
        --registry.waiting;
    }
    slot = -1;
}

// The permission bits a new file gets from open(2), read once before any thread starts (the
// program never changes its mask).
const mode_t creation_mask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

// The user and group new files get, which a replaced file of another owner keeps where the
// user may give files away.
const uid_t own_user = ::geteuid();
const gid_t own_group = ::getegid();

// The file a link points to (through every link), so that renaming over it keeps the link.
std::filesystem::path followed(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)))
        return path;
    auto target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target;
}

// A new file NAME.XXXXXX.tmp beside `target`, with the bits (and where the user may, the
// owner) of the file it will replace, `previous` (none: a file created anew). O_EXCL only
// ever creates a name that did not exist, so a user's own file is never hit. Returns its
// descriptor; the name is set in `name`.
int create_new_file(const std::filesystem::path& target, const struct stat* previous,
                    std::string& name) {
    // Made with the bits it ends with, so most files need no chmod after (the creation mask
    // takes off what it takes off a file made anew).
    const mode_t wanted = previous != nullptr ? previous->st_mode & 07777 : 0666 & ~creation_mask;
    const mode_t asked = previous != nullptr ? previous->st_mode & 0777 : 0666;
    constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^
                                        static_cast<std::uint64_t>(::getpid())};
    const std::string base = target.string() + ".";
    int fd = -1;
    // A name that exists already is drawn again: 62^6 names make a hundred draws plenty.
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = base;
        std::uint64_t bits = random();
        for (int i = 0; i < 6; ++i, bits /= letters.size())
            name += letters[bits % letters.size()];
        name += ".tmp";
        errno = 0;
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, asked);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int error_number = errno;
        name.clear();
        throw create_failure(target, error_number);
    }
    if ((asked & ~creation_mask) != wanted)
        (void)::fchmod(fd, wanted);
    // Only a privileged user may give a file away; others keep their own file as it is.
    if (previous != nullptr && (previous->st_uid != own_user || previous->st_gid != own_group))
        (void)::fchown(fd, previous->st_uid, previous->st_gid);
    return fd;
}

} // namespace

void remove_temporary_files() noexcept {
    for (auto& entry : temporaries)
        if (entry.state.load() == slot_ready)
            ::unlink(temporary_names + entry.offset);
}

output_file::output_file(const std::filesystem::path& path, mode how) : path_(path) {
    if (path.empty())
        throw run_error::from_number(err::path_file_access);
    if (path == standard_output_path) {
        // A second descriptor for our standard output, so closing the file leaves the stream
        // open for the messages that may follow.
        fd_ = ::dup(STDOUT_FILENO);
        if (fd_ < 0)
            throw create_failure(path, errno);
        return;
    }
    // One look at the target tells whether it is a link (followed: its target is replaced), a
    // file that exists (its bits are kept) or something that is no regular file.
    struct stat existing {};
    bool exists = ::lstat(path.c_str(), &existing) == 0;
    target_ = path;
    if (exists && S_ISLNK(existing.st_mode)) {
        target_ = followed(path);
        exists = ::stat(target_.c_str(), &existing) == 0;
    }
    const bool special = exists && !S_ISREG(existing.st_mode);
    if (how != mode::replace || special) {
        errno = 0;
        const int kept = how == mode::append ? O_APPEND : O_TRUNC;
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | kept, 0666);
        if (fd_ < 0)
            throw create_failure(path, errno);
        return;
    }
    fd_ = create_new_file(target_, exists ? &existing : nullptr, new_file_);
    temporary_slot_ = register_temporary(new_file_);
}

output_file::~output_file() {
    if (fd_ >= 0) {
        // A log's last lines say why the run failed: they are written, unchecked.
        (void)write_buffer();
        ::close(fd_);
    }
    discard_new_file();
}

void output_file::discard_new_file() {
    if (!new_file_.empty())
        ::unlink(new_file_.c_str());
    new_file_.clear();
    forget_temporary(temporary_slot_);
}

int output_file::write_buffer() {
    const int error_number = write_all(fd_, buffer_);
    buffer_.clear();
    return error_number;
}

void output_file::write(std::string_view bytes) {
    if (fd_ < 0)
        throw run_error::from_number(err::path_file_access).in_file(path_);
    written_ += bytes.size();
    if (buffer_.size() + bytes.size() <= write_buffer_size) {
        if (buffer_.capacity() < write_buffer_size)
            buffer_.reserve(write_buffer_size);
        buffer_.append(bytes);
        return;
    }
    int error_number = write_buffer();
    if (error_number == 0) {
        if (bytes.size() < write_buffer_size)
            buffer_.append(bytes);
        else
            error_number = write_all(fd_, bytes);
    }
    if (error_number != 0)
        throw write_failure(path_, error_number);
}

void output_file::flush() {
    if (fd_ < 0)
        return;
    if (const int error_number = write_buffer(); error_number != 0)
        throw write_failure(path_, error_number);
}

void output_file::finish_writing() {
    if (fd_ < 0)
        return;
    const int write_errno = write_buffer();
    std::string().swap(buffer_); // a finished file may wait long for its turn: it holds no buffer
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
    const bool closed = ::close(fd) == 0;
    const int close_errno = errno;
    if (write_errno != 0 || !closed) {
        discard_new_file();
        throw write_failure(path_, write_errno != 0 ? write_errno : close_errno);
    }
}

void output_file::copy_from(output_file& earlier) {
    if (fd_ < 0)
        throw run_error::from_number(err::path_file_access).in_file(path_);
    // Only a new file can be read back: a FIFO or a device in the output's place holds nothing
    // to read, and a file written as it stands holds more than this job wrote.
    if (earlier.fd_ < 0 || earlier.new_file_.empty())
        throw run_error::from_number(err::path_file_access).in_file(earlier.path_);
    earlier.flush();
    flush();
    const auto size = static_cast<std::size_t>(earlier.written_);
    off_t from = 0;
    // The system copies within its own cache where it can; each round copies some bytes or
    // ends, so the loop is bounded by the size.
    while (static_cast<std::size_t>(from) < size) {
        errno = 0;
        const ssize_t n = ::copy_file_range(earlier.fd_, &from, fd_, nullptr,
                                            size - static_cast<std::size_t>(from), 0);
        if (n > 0) {
            written_ += static_cast<std::uint64_t>(n);
            continue;
        }
        if (n == 0)
            return; // the earlier file is shorter than it was: all it holds is copied
        if (errno == EINTR)
            continue;
        if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG || errno == EIO)
            throw write_failure(path_, errno);
        break; // a file system or kernel that cannot: copied by hand from here
    }
    constexpr std::size_t block_size = std::size_t{1} << 16;
    const auto block = std::make_unique_for_overwrite<char[]>(block_size);
    while (static_cast<std::size_t>(from) < size) {
        const ssize_t n =
            ::pread(earlier.fd_, block.get(),
                    std::min(block_size, size - static_cast<std::size_t>(from)), from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw file_failure(earlier.path_, errno, file_step::open);
        if (n == 0)
            return;
        if (const int error_number =
                write_all(fd_, std::string_view(block.get(), static_cast<std::size_t>(n)));
            error_number != 0)
            throw write_failure(path_, error_number);
        from += n;
        written_ += static_cast<std::uint64_t>(n);
    }
}

void output_file::close() {
    finish_writing();
    if (new_file_.empty())
        return;
    if (::rename(new_file_.c_str(), target_.c_str()) != 0) {
        const int error_number = errno;
        discard_new_file();
        throw create_failure(path_, error_number);
    }
    new_file_.clear();
    forget_temporary(temporary_slot_);
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

namespace {

using file_identities = std::map<std::pair<dev_t, ino_t>, const std::filesystem::path*>;

// The entries of one folder that are one of `existing` (the output each is), found in one read
// of the folder: a series of thousands of files is looked at in a few system calls instead of a
// stat each, and only the few entries that match are kept. A regular file's identity is the
// folder's device and the entry's inode number; any other entry (a link above all) is looked at
// by stat, which follows it. `listed` is false when the folder cannot be read.
struct folder_matches {
    bool listed = false;
    std::map<std::string, const std::filesystem::path*> outputs;
};

folder_matches match_folder(const std::filesystem::path& folder, const file_identities& existing) {
    folder_matches matches;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return matches;
    struct stat info {};
    if (::fstat(::dirfd(dir), &info) == 0) {
        matches.listed = true;
        const dev_t device = info.st_dev;
        // Each round takes one entry or ends: bounded by the folder's size.
        while (const dirent* entry = ::readdir(dir)) {
            std::pair<dev_t, ino_t> identity{device, entry->d_ino};
            if (entry->d_type != DT_REG) {
                if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0)
                    continue;
                identity = {info.st_dev, info.st_ino};
            }
            if (const auto hit = existing.find(identity); hit != existing.end())
                matches.outputs.emplace(entry->d_name, hit->second);
        }
    }
    ::closedir(dir);
    return matches;
}

// The output that input `path` is, if any.
const std::filesystem::path*
output_that_is(const std::filesystem::path& path, const file_identities& existing,
               std::map<std::filesystem::path, folder_matches>& folders) {
    auto folder = folders.find(path.parent_path());
    if (folder == folders.end())
        folder =
            folders.emplace(path.parent_path(), match_folder(path.parent_path(), existing)).first;
    if (folder->second.listed) {
        const auto hit = folder->second.outputs.find(path.filename().string());
        return hit == folder->second.outputs.end() ? nullptr : hit->second;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return nullptr;
    const auto hit = existing.find({info.st_dev, info.st_ino});
    return hit == existing.end() ? nullptr : hit->second;
}

} // namespace

void ensure_outputs_spare_inputs(const std::vector<std::filesystem::path>& outputs,
                                 std::uint64_t inputs,
                                 const std::function<std::filesystem::path(std::uint64_t)>& input) {
    // Only an output that exists can be an input: most runs find none and look at no input.
    file_identities existing;
    for (const auto& output : outputs) {
        struct stat info {};
        if (::stat(output.c_str(), &info) == 0)
            existing.emplace(std::pair{info.st_dev, info.st_ino}, &output);
    }
    std::map<std::filesystem::path, folder_matches> folders;
    for (std::uint64_t i = 0; i < inputs && !existing.empty(); ++i)
        if (const auto* output = output_that_is(input(i), existing, folders))
            throw run_error(err::file_already_open,
                            "File already open (" + output->string() + " is one of the inputs)");
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
    int slot = -1;
    bool placed = false;
    ~new_file_guard() {
        if (fd >= 0)
            ::close(fd);
        if (!placed && !name.empty())
            ::unlink(name.c_str());
        forget_temporary(slot);
    }
};

} // namespace

namespace {

std::string lock_owner_text() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    return std::to_string(::getpid()) + "@" + host;
}

// Whether the owner "PID@HOST" of a lock is a process of this machine that has ended.
bool lock_is_stale(const std::string& owner) {
    const auto at = owner.find('@');
    const std::string mine = lock_owner_text();
    if (at == std::string::npos || owner.substr(at) != mine.substr(mine.find('@')))
        return false;
    const std::string pid_text = owner.substr(0, at);
    if (pid_text.empty() || pid_text.size() > 9 ||
        pid_text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const auto pid = static_cast<pid_t>(std::stol(pid_text));
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

std::string lock_contents(const std::filesystem::path& path) {
    std::string text(64, '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const ssize_t n = ::read(fd, text.data(), text.size());
    ::close(fd);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0'))
        text.pop_back();
    return text;
}

} // namespace

folder_lock::folder_lock(const std::filesystem::path& folder, std::string_view name)
    : path_(folder / name) {
    const std::string owner = lock_owner_text();
    // Two rounds at most: the second after a stale lock was taken away.
    for (int round = 0; round < 2; ++round) {
        errno = 0;
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            slot_ = register_temporary(path_.string());
            const std::string line = owner + "\n";
            const bool written =
                ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
            if (::close(fd) != 0 || !written) {
                ::unlink(path_.c_str());
                forget_temporary(slot_);
                throw write_failure(path_, errno);
            }
            return;
        }
        if (errno != EEXIST)
            throw create_failure(path_, errno);
        const std::string other = lock_contents(path_);
        if (round == 0 && lock_is_stale(other)) {
            if (lock_contents(path_) == other)
                ::unlink(path_.c_str());
            continue;
        }
        throw run_error(err::permission_denied,
                        "Permission denied - another run writes into this folder (its lock " +
                            path_.string() + " is held by process " +
                            (other.empty() ? std::string("unknown") : other) +
                            "; remove the lock if that run has ended)")
            .in_file(path_);
    }
}

folder_lock::~folder_lock() {
    // Only our own lock is removed: one taken over meanwhile belongs to another run.
    if (lock_contents(path_) == lock_owner_text())
        ::unlink(path_.c_str());
    forget_temporary(slot_);
}

void replace_file_contents(const std::filesystem::path& given, std::string_view bytes,
                           const std::filesystem::path& keep_original_as) {
    // A link stays a link: the file it points to gets the new contents.
    const std::filesystem::path path = followed(given);
    struct stat original {};
    if (::stat(path.c_str(), &original) != 0)
        throw file_failure(path, errno, file_step::open);
    new_file_guard fresh;
    fresh.fd = create_new_file(path, &original, fresh.name);
    fresh.slot = register_temporary(fresh.name);
    if (const int error_number = write_all(fresh.fd, bytes); error_number != 0)
        throw write_failure(path, error_number);
    if (::fsync(fresh.fd) != 0)
        throw write_failure(path, errno);
    const int fd = fresh.fd;
    fresh.fd = -1;
    if (::close(fd) != 0)
        throw write_failure(path, errno);

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

} // namespace qm
