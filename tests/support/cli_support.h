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
    int status;
    std::string out;
    std::string err;
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

#ifdef QUILLMARK_CLI_PATH
// Runs a shell command line in `folder`, where "$Q" is the built quillmark-cli: for pipes,
// standard input and output as a user's shell gives them.
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

// run_cli of a command line split at its blanks ("convert --input a.xyz ..."), for arguments
// that hold none.
inline cli_run run_words(const std::string& line) {
    std::istringstream words(line);
    return run_cli({std::istream_iterator<std::string>(words), {}});
}

} // namespace qm::test
