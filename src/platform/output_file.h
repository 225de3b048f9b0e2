// Checked output: every write and the final close is checked, so a full disk or a lost quota
// becomes a run error in the job's error path instead of a "Complete" over a truncated file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The name a tool writes its standard output by: the stream it was given is written as it
// stands, never reopened or truncated (so `>> log` appends).
inline const std::filesystem::path standard_output_path = "/dev/stdout";

class output_file {
public:
    // replace: the bytes go to a new file beside the target (NAME.XXXXXX.tmp), which is renamed
    //          over the target only by a successful close(); until then the previous file stays
    //          as it was, and a failed run (or SIGINT/SIGTERM) leaves no partial file behind.
    //          The new file gets the previous file's permission bits (and owner where the user
    //          may). A link is followed: its target is replaced and the link stays.
    //          A target that is no regular file (standard output, a FIFO, a device) is written
    //          as it stands.
    // append:  added at the end of the file (created when missing), as the writes come.
    // live:    created or truncated at once and written as the writes come, for a log a user
    //          follows while the job runs and that must say why a failed run stopped.
    enum class mode { replace, append, live };

    // Failure is "Path not found" (76), "Permission denied" (70) or "Path/File access error"
    // (75). Every run error of the file names it.
    explicit output_file(const std::filesystem::path& path, mode how = mode::replace);
    // Closes without checking and removes a new file that was not renamed into place: only
    // reached on an error path, where the job already fails.
    ~output_file();
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    // "Disk full" (61) when the device is full or the quota is used up, else "Path/File
    // access error" (75).
    void write(std::string_view bytes);
    // Hands what was written to the system, so other programs can follow the file; checked.
    void flush();
    // Flushes and closes, and puts a new file in place of the target; checked like write().
    void close();
    // The first half of close(): flushes and closes, checked; a new file then waits, removed
    // again unless close() puts it in place.
    void finish_writing();
    // Writes every byte written so far to `earlier` (a file still being written) to this one,
    // after what this one holds.
    void copy_from(output_file& earlier);

private:
    void discard_new_file();
    // Hands the buffered bytes to the system; the errno of a failure, 0 when all went.
    int write_buffer();

    std::filesystem::path path_;
    std::filesystem::path target_; // the file renamed over: the path, or where its link points
    std::string new_file_;          // the file written in replace mode; empty when none
    int temporary_slot_ = -1;       // its entry for the signal handler
    int fd_ = -1;
    std::uint64_t written_ = 0; // bytes written or copied, buffered ones included
    std::string buffer_; // bytes not yet handed to the system
};

// A job's claim on the folder it writes into, so that two runs never mix their files there: the
// file `name` in `folder`, created only when it does not exist yet and holding "PID@HOST" of its
// process. A lock of a live process, or of another machine (a shared file system), is the run
// error "Permission denied" (70) naming the lock and its owner. A lock left by a process of this
// machine that no longer runs (killed outright) is stale and taken over. The lock is removed when
// this object ends, and on SIGINT/SIGTERM.
class folder_lock {
public:
    folder_lock(const std::filesystem::path& folder, std::string_view name);
    ~folder_lock();
    folder_lock(const folder_lock&) = delete;
    folder_lock& operator=(const folder_lock&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int slot_ = -1;
};

// Removes every new file of this process that is not in place yet (for a handler of a fatal
// signal: async-signal-safe). SIGINT and SIGTERM do it on their own once a new file exists, then
// end the process as they would have.
void remove_temporary_files() noexcept;

// Writes `bytes` as the whole content of `path`, checked.
void write_whole_file(const std::filesystem::path& path, std::string_view bytes);

// A tool that reads `input` while writing `output` must never truncate its own input:
// "File already open" (55) when both name the same existing file (compared by identity, so
// links and other spellings of the same path count).
void ensure_distinct_files(const std::filesystem::path& input, const std::filesystem::path& output);

// The same check for a job that reads a series of inputs and writes many files: "File already
// open" (55), its description naming the output, when one of `outputs` is one of the inputs
// (by identity). `input(i)` is input i of `inputs`; they are looked at only when one of the
// outputs exists already.
void ensure_outputs_spare_inputs(const std::vector<std::filesystem::path>& outputs,
                                 std::uint64_t inputs,
                                 const std::function<std::filesystem::path(std::uint64_t)>& input);

// Adds `bytes` at the end of `path` (created when missing), then closes it: for files a job
// grows step by step and must leave complete after every step. Checked like output_file.
void append_file(const std::filesystem::path& path, std::string_view bytes);

// Rewrite by rename: `bytes` become the whole content of the existing file `path` without a
// moment in which the file is missing or half written. They go to a new file with a name that
// does not exist yet in the same folder, which gets the original's permission bits, is flushed
// to the disk and then renamed over the original in one step. When `keep_original_as` is not
// empty the original stays under that name as well (its backup); an existing file of that name
// is "File already exists" (58) and everything stays as it was. On any failure the new file is
// removed again and the original is untouched.
void replace_file_contents(const std::filesystem::path& path, std::string_view bytes,
                           const std::filesystem::path& keep_original_as = {});

} // namespace qm
