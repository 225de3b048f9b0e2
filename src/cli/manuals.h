// The man pages and the bash completion of quillmark-cli, written from the same option tables
// as --help, so the three never disagree. The build runs `quillmark-cli --write-manuals DIR`:
//
//   DIR/man/man1/quillmark-cli.1              the program, its global options, pipes, exit status
//   DIR/man/man1/quillmark-cli-<page>.1       one page per group of subcommands (structures,
//                                             excited-states, text, ...)
//   DIR/bash-completion/completions/quillmark-cli
#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <string>

namespace qm::cli {

// `app` holds every subcommand (the table of subcommand.h), as run() builds it.
std::string main_man_page(const CLI::App& app);
std::string group_man_page(const CLI::App& app, const std::string& page);
std::string bash_completion(const CLI::App& app);

// Writes all of them under `folder`; a file that cannot be written is a run error.
void write_manuals(const CLI::App& app, const std::filesystem::path& folder);

} // namespace qm::cli
