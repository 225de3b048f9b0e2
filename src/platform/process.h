// Starting an external program: hidden (its standard streams go nowhere, or its error output
// to a file that keeps what it said), from an argument vector (never through a shell), in a
// folder of our choosing, not waited for.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qm {

// The process id, or 0 when the program could not be started. With `error_output` its standard
// error goes to that file (created anew).
long start_hidden(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& working_folder,
                  const std::filesystem::path& error_output = {});

// True once the process has ended (it is then reaped).
bool process_ended(long pid);

// Ends the process and reaps it.
void end_process(long pid);

// Waits up to `limit` for the process to end by itself (so it leaves no zombie behind), then
// ends it.
void reap_process(long pid, std::chrono::milliseconds limit);

// The folder of the running program.
std::filesystem::path program_folder();

// A program that ships with ours: beside the running program in a build tree, else in the
// installed tree's libexec/quillmark, found from the running program's own folder, so a tree
// installed under any prefix (or moved as a whole) finds its tools.
std::filesystem::path helper_program(const std::string& name);

// A new folder of our own under the system's temporary folder; removed with its content when
// the guard goes.
class private_folder {
public:
    private_folder();
    ~private_folder();
    private_folder(const private_folder&) = delete;
    private_folder& operator=(const private_folder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace qm
