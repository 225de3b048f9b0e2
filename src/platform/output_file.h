// Checked output: every write and the final close is checked, so a full disk or a lost quota
// becomes a run error in the job's error path instead of a "Complete" over a truncated file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

namespace qm {

// The name a tool writes its standard output by: the stream it was given is written as it
// stands, never reopened or truncated (so `>> log` appends).
inline const std::filesystem::path standard_output_path = "/dev/stdout";

class output_file {
public:
    enum class mode { truncate, append };

    // Creates or truncates the file (or appends to it); failure is "Path not found" (76),
    // "Permission denied" (70) or "Path/File access error" (75). Every run error of the file
    // names it.
    explicit output_file(const std::filesystem::path& path, mode how = mode::truncate);
    // Closes without checking: only reached on an error path, where the job already fails.
    ~output_file();
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    // "Disk full" (61) when the device is full or the quota is used up, else "Path/File
    // access error" (75).
    void write(std::string_view bytes);
    // Hands what was written to the system, so other programs can follow the file; checked.
    void flush();
    // Flushes and closes; checked like write().
    void close();

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

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

// A file written under a new name beside `path` and renamed into place by commit(), so a job
// that stops half way never leaves a truncated file under the name (and an earlier file of
// that name stays until the new one is complete). Writes are checked as in output_file; the
// new file is removed when the object goes without a commit.
class staged_file {
public:
    explicit staged_file(const std::filesystem::path& path);
    ~staged_file();
    staged_file(const staged_file&) = delete;
    staged_file& operator=(const staged_file&) = delete;

    void write(std::string_view bytes);
    // Flushes, closes and renames over `path`; checked.
    void commit();

private:
    std::filesystem::path path_;
    std::string new_name_;
    std::FILE* file_ = nullptr;
};

// Rewrite by rename: `bytes` become the whole content of the existing file `path` without a
// moment in which the file is missing or half written. They go to a new file with a name that
// does not exist yet in the same folder, which gets the original's permission bits, is flushed
// to the disk and then renamed over the original in one step. When `keep_original_as` is not
// empty the original stays under that name as well (its backup); an existing file of that name
// is "File already exists" (58) and everything stays as it was. On any failure the new file is
// removed again and the original is untouched.
void replace_file_contents(const std::filesystem::path& path, std::string_view bytes,
                           const std::filesystem::path& keep_original_as = {});

// A whole output written by rename: the bytes go to a new file beside `path`, which replaces
// `path` in one step once it is complete (an existing file keeps its permission bits), so a
// failed run never leaves a truncated output. Unlike replace_file_contents it does not wait
// for the disk: for results a run can write again. Standard output and other non-files are
// written as they stand.
void write_file_by_rename(const std::filesystem::path& path, std::string_view bytes);

} // namespace qm
