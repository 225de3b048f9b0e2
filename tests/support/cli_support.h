// Runs quillmark-cli in-process, as a user would from a shell.
#pragma once

#include "cli/commands.h"

#include <sstream>
#include <string>
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

} // namespace qm::test
