#include "cli/commands.h"

#include "cli/console_job_ui.h"
#include "cli/manuals.h"
#include "cli/subcommand.h"
#include "platform/error_report.h"
#include "platform/number_form.h"
#include "platform/output_file.h"
#include "platform/val.h"
#include "platform/worker_threads.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <iostream>
#include <optional>
#include <unistd.h>
#include <vector>

namespace qm::cli {
namespace {

// Every subcommand, in the order `--help` lists them, with the manual page that documents it.
const subcommand_entry subcommands[] = {
    {"convert", "structures",
     "Convert a structure (XYZ, Gaussian input or output) to PDB, XYZ or "
     "Gaussian 94 output, or extract a frequency table",
     add_convert},
    {"ev-extract", "excited-states",
     "Extract excited-state energies, TDMs and SCF data from a numbered series of "
     "Gaussian or ORCA outputs into time series",
     add_ev_extract},
    {"merge-series", "excited-states",
     "Join the outputs of ev-extract runs over consecutive chunks of one series into the "
     "files one run gives",
     add_merge_series},
    {"line-extract", "text",
     "Write every n-th line of a text file, from a start line, to a new file", add_line_extract},
    {"char-extract", "text",
     "Cut up to five character ranges out of every line of a text file, or pre-scan it",
     add_char_extract},
    {"replace", "text",
     "Replace one or two search texts in one file or several files of one folder, in place",
     add_replace},
    {"mdcrd-strip", "trajectories",
     "Copy an Amber trajectory (text or NetCDF) keeping a range or a mask of atoms in every frame",
     add_mdcrd_strip},
    {"units", "units",
     "Convert a number between hartree, kJ/mol, kcal/mol and eV, or between amu and kg", add_units},
    {"time-convert", "units",
     "Write every \"<d> days <h> hours <m> minutes <s> seconds\" line of a text file with its "
     "total in one unit",
     add_time_convert},
    {"stokes-shift", "stokes",
     "Stokes shift and reorganisation energy of absfq.dat and emisfq.dat in one folder, "
     "appended to a summary file",
     add_stokes_shift},
    {"phase-correct", "stokes", "Remove the 2 pi jumps from a column of phases in a text file",
     add_phase_correct},
    {"spectral-density", "stokes",
     "Read a spectral density file into rows of three numbers and print them",
     add_spectral_density},
    {"spectrum", "stokes",
     "Ensemble absorption or emission spectrum of a states table, for the Stokes shift window",
     add_spectrum},
    {"gap-fluctuations", "stokes",
     "Statistics, correlation function and spectral density of an energy-gap series",
     add_gap_fluctuations},
    {"tdss", "stokes",
     "Time-dependent Stokes shift function S(t) and reorganisation energy of a spectral density",
     add_tdss},
    {"correlate", "correlation",
     "Correlation function of two equally long series of values by direct summation or FFT",
     add_correlate},
};

// The Gaussian versions whose outputs the readers know.
constexpr const char* gaussian_versions_read = "94, 98, 03, 09 and 16";

std::string version_text() {
    return std::string("quillmark-cli ") + QUILLMARK_VERSION + "\nReads Gaussian " +
           gaussian_versions_read +
           " and ORCA 5 and 6 TD-DFT outputs,\nGaussian inputs, XYZ files and Amber formatted"
           " trajectories,"
           "\nplain or compressed (gzip, bzip2, xz, zstd, zip).";
}

// Levenshtein distance: how many characters must change to turn one word into the other.
std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string nearest(std::string_view word, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t best_distance = std::string::npos;
    for (const std::string& c : candidates)
        if (const std::size_t d = edit_distance(word, c); d < best_distance) {
            best = c;
            best_distance = d;
        }
    return best;
}

std::vector<std::string> option_names(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_group().empty())
            continue; // hidden
        for (const std::string& name : option->get_lnames())
            names.push_back("--" + name);
        for (const std::string& name : option->get_snames())
            names.push_back("-" + name);
    }
    return names;
}

// The first word CLI11 could not place, named with the nearest valid one: an unknown
// subcommand or option is a typing slip far more often than anything else.
std::optional<std::string> unknown_word(const CLI::App& app, const CLI::App* sub) {
    std::vector<std::string> words = app.remaining();
    if (sub != nullptr)
        for (const std::string& w : sub->remaining())
            words.push_back(w);
    for (const std::string& word : words) {
        if (word.size() > 1 && word[0] == '-') {
            const std::string name = word.substr(0, word.find('='));
            std::vector<std::string> names = option_names(app);
            if (sub != nullptr) {
                const auto own = option_names(*sub);
                names.insert(names.end(), own.begin(), own.end());
            }
            return (sub != nullptr ? " " + sub->get_name() : std::string()) + ": unknown option '" +
                   name + "'; did you mean '" + nearest(name, names) + "'?";
        }
        if (sub == nullptr) {
            std::vector<std::string> names;
            for (const auto& entry : subcommands)
                names.emplace_back(entry.name);
            return ": unknown subcommand '" + word + "'; did you mean '" + nearest(word, names) +
                   "'?";
        }
    }
    return std::nullopt;
}

// Results printed on stdout are output like any file: a write that failed (a full disk,
// `> /dev/full`) must not end in success.
bool standard_output_written(std::ostream& out, std::ostream& err,
                             std::string_view command = "quillmark-cli") {
    errno = 0;
    out.flush();
    if (out)
        return true;
    const run_error failure = file_failure({}, errno, file_step::write);
    err << error_line(command, "standard output", failure);
    return false;
}

} // namespace

std::span<const subcommand_entry> subcommand_table() {
    return subcommands;
}

void check_whole_number(const std::string& option, const std::string& text) {
    if (text.find_first_not_of("0123456789") != std::string::npos)
        throw usage_error(option + " takes digits only, not " + text);
    if (whole_number_from_text(text) == 0)
        throw usage_error(option + " must be a whole number of at least 1, not " +
                          (text.empty() ? std::string("an empty text") : text));
}

CLI::Validator count_in_range(double most, double least) {
    return CLI::Validator(
        [most, least](std::string& text) -> std::string {
            if (text.empty())
                return {};
            const double value = val(text);
            // The job keeps the whole part, so 2.5 roots would quietly become 2.
            if (value != std::trunc(value))
                return "must be a whole number, not " + text;
            if (value < least)
                return "must be " + text_form(least) + " or more" +
                       (least == 1 ? " (it counts from 1)" : "") + ", not " + text;
            if (value > most)
                return "must be at most " + text_form(most) + ", not " + text;
            return {};
        },
        text_form(least) + ".." + text_form(most));
}

std::filesystem::path input_path(const std::string& text) {
    return text == "-" ? std::filesystem::path("/dev/stdin") : std::filesystem::path(text);
}

std::unique_ptr<rereadable_input> rereadable(context& ctx, const std::string& text) {
    const std::filesystem::path given = input_path(text);
    auto input = std::make_unique<rereadable_input>(given);
    if (input->path() != given)
        ctx.ui.name_copy(input->path(), given);
    return input;
}

std::filesystem::path output_path(context& ctx, const std::string& text) {
    if (text != "-")
        return text;
    ctx.ui.data_on_stdout();
    return standard_output_path;
}

int run(int argc, char** argv) {
    const int status = run(argc, argv, std::cout, std::cerr);
    // Standard output is closed like any output file (a file system may report a lost write
    // only then); the streams are flushed and empty, so nothing writes to it afterwards.
    errno = 0;
    if ((std::fflush(stdout) != 0 || ::close(STDOUT_FILENO) != 0) && status == completed) {
        const run_error failure = file_failure({}, errno, file_step::write);
        std::cerr << error_line("quillmark-cli", "standard output", failure);
        return stopped;
    }
    return status;
}

int run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Quillmark command line: the toolbox's jobs without a display. \"-\" as a file "
                 "reads standard input or writes standard output; compressed inputs (gzip, "
                 "bzip2, xz, zstd, zip) are read as they are.",
                 "quillmark-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", version_text(), "Print the version and what it reads");
    bool quiet = false;
    unsigned threads = 0;
    app.add_flag("-q,--quiet", quiet, "No status lines or progress bar; messages and errors only");
    app.add_option("--threads", threads,
                   "Threads for work split over the CPUs, 1 to 4096 (default: the CPUs this "
                   "process may run on)")
        ->check(CLI::Range(1u, 4096u))
        ->option_text("N");
    app.add_option_function<std::string>(
           "--write-manuals",
           [&app](const std::string& folder) {
               write_manuals(app, folder);
               throw CLI::Success();
           },
           "Write the man pages and the bash completion into FOLDER (done by the build)")
        ->group("");
    std::vector<std::pair<CLI::App*, action>> actions;
    for (const auto& entry : subcommands) {
        CLI::App* sub = app.add_subcommand(entry.name, entry.description);
        // The global options may also follow the subcommand.
        sub->fallthrough();
        actions.emplace_back(sub, entry.add(*sub));
    }
    CLI::App* parsed = nullptr;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        for (auto& [sub, act] : actions)
            if (sub->parsed())
                parsed = sub;
        if (const auto word = unknown_word(app, parsed)) {
            err << "quillmark-cli" << *word << "\nRun with --help for more information.\n";
            return usage;
        }
        const int code = app.exit(e, out, err);
        // --help and --version print on standard output, which must take them like any output.
        if (code == 0)
            return standard_output_written(out, err) ? completed : stopped;
        return usage;
    }
    set_worker_threads(threads);
    const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
    console_job_ui ui(out, err, {terminal, quiet, {}});
    context ctx{out, err, ui};
    for (auto& [sub, act] : actions) {
        if (!sub->parsed())
            continue;
        const std::string command = "quillmark-cli " + sub->get_name();
        ui.running(command);
        int status = usage;
        try {
            status = act(ctx);
        } catch (const usage_error& e) {
            err << "quillmark-cli " << sub->get_name() << ": " << e.what() << '\n';
            return usage;
        } catch (const run_error& e) {
            // A step of the command line's own (a pipe copied for a second reading, a
            // pre-scan the window would end silently) failed.
            ui.error_report(e, error_report_title, e.description);
            return stopped;
        }
        return standard_output_written(out, err, command) ? status : stopped;
    }
    return usage;
}

} // namespace qm::cli
