// The pieces every subcommand file shares.
#pragma once

#include "cli/console_job_ui.h"
#include "platform/input_stream.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace qm::cli {

// Exit statuses.
inline constexpr int completed = 0;
inline constexpr int stopped = 1;
inline constexpr int usage = 2;

struct context {
    std::ostream& out;
    std::ostream& err;
    console_job_ui& ui;
};

// A combination of options the window would not allow; printed with the usage exit status.
struct usage_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The number boxes that take digits only (line numbers, atom numbers): the option's text must
// be digits and name a whole number of at least 1, as Execute requires.
void check_whole_number(const std::string& option, const std::string& text);

// A count option (points, states, roots) or a file number: its value, as the window's box reads
// it, must be a whole number in least..most; anything else is a usage error saying which option
// and why. An empty text is left to the subcommand's own check.
CLI::Validator count_in_range(double most, double least = 1);

// "-" where a tool reads or writes one stream: standard input, read once as it comes, and
// standard output, after which the message lines go to stderr so the data stays clean.
std::filesystem::path input_path(const std::string& text);
std::filesystem::path output_path(context& ctx, const std::string& text);
// An input the job reads more than once: a pipe is copied once first (rereadable_input), and
// an error about the copy names the input as it was given.
std::unique_ptr<rereadable_input> rereadable(context& ctx, const std::string& text);

// A subcommand adds its options to `app` and returns what runs it once they are parsed.
using action = std::function<int(context&)>;
using add_subcommand = action (*)(CLI::App& app);

struct subcommand_entry {
    const char* name;
    const char* page; // the manual page that documents it: quillmark-cli-<page>(1)
    const char* description;
    add_subcommand add;
};

// Every subcommand, in the order `--help` lists them.
std::span<const subcommand_entry> subcommand_table();

action add_convert(CLI::App& app);
action add_ev_extract(CLI::App& app);
action add_merge_series(CLI::App& app);
action add_line_extract(CLI::App& app);
action add_char_extract(CLI::App& app);
action add_replace(CLI::App& app);
action add_mdcrd_strip(CLI::App& app);
action add_units(CLI::App& app);
action add_time_convert(CLI::App& app);
action add_stokes_shift(CLI::App& app);
action add_phase_correct(CLI::App& app);
action add_spectral_density(CLI::App& app);
action add_correlate(CLI::App& app);
action add_spectrum(CLI::App& app);
action add_gap_fluctuations(CLI::App& app);
action add_tdss(CLI::App& app);

} // namespace qm::cli
