#include "platform/process.h"

#include "platform/run_error.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qm {

long start_hidden(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& working_folder,
                  const std::filesystem::path& error_output) {
    std::vector<std::string> args{program.string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    if (error_output.empty())
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 2, error_output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, working_folder.c_str());
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed != 0 ? 0 : static_cast<long>(pid);
}

bool process_ended(long pid) {
    int status = 0;
    const pid_t r = waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
    return r != 0; // ended and reaped now, or no longer ours
}

void end_process(long pid) {
    kill(static_cast<pid_t>(pid), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(pid), &status, 0);
}

void reap_process(long pid, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!process_ended(pid)) {
        if (std::chrono::steady_clock::now() > until) {
            end_process(pid);
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

std::filesystem::path program_folder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

std::filesystem::path helper_program(const std::string& name) {
    const std::filesystem::path folder = program_folder();
    std::error_code ec;
    if (std::filesystem::exists(folder / name, ec))
        return folder / name;
    // QM_LIBEXEC_FROM_BIN: the installed libexec/quillmark as seen from the installed bin.
    return (folder / QM_LIBEXEC_FROM_BIN / name).lexically_normal();
}

private_folder::private_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw run_error::from_number(err::path_file_access);
    path_ = pattern;
}

private_folder::~private_folder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace qm
