// Runs quillmark-cli in-process, as a user would from a shell.
#pragma once

#include "cli/commands.h"
#include "support/test_support.h"

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace qm::test {

struct cli_run {
    int status = 0;
    std::string out = "", err = "";
};

// `args` without the program name: {"convert", "--input", ...}.
inline cli_run run_cli(std::vector<std::string> args) {
    args.insert(args.begin(), "quillmark-cli");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// A command line given as one text of blank-separated words.
inline cli_run run_words(const std::string& line) {
    std::istringstream words(line);
    return run_cli({std::istream_iterator<std::string>(words), {}});
}

#ifdef QUILLMARK_CLI_PATH
// A shell command line run in `folder`, "$Q" the built quillmark-cli: pipes as users have them.
inline cli_run run_shell(const std::filesystem::path& folder, const std::string& command) {
    const std::string script = "cd '" + folder.string() + "' && Q='" QUILLMARK_CLI_PATH "' && (" +
                               command + ") > .out 2> .err";
    const int status = std::system(script.c_str());
    cli_run r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(folder / ".out"),
              read_file(folder / ".err")};
    std::filesystem::remove(folder / ".out");
    std::filesystem::remove(folder / ".err");
    return r;
}
#endif

} // namespace qm::test
