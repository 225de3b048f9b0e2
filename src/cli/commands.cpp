#include "cli/commands.h"

#include "cli/console_job_ui.h"
#include "cli/subcommand.h"
#include "platform/val.h"

#include <iostream>
#include <unistd.h>
#include <vector>

namespace qm::cli {
namespace {

struct subcommand_entry {
    const char* name;
    const char* description;
    add_subcommand add;
};

// Every subcommand, in the order `--help` lists them.
const subcommand_entry subcommands[] = {
    {"convert",
     "Convert a structure (XYZ, Gaussian input or output) to PDB, XYZ or "
     "Gaussian 94 output, or extract a frequency table",
     add_convert},
    {"ev-extract",
     "Extract excited-state energies, TDMs and SCF data from a numbered series of "
     "Gaussian outputs into time series",
     add_ev_extract},
    {"line-extract", "Write every n-th line of a text file, from a start line, to a new file",
     add_line_extract},
    {"char-extract",
     "Cut up to five character ranges out of every line of a text file, or pre-scan it",
     add_char_extract},
    {"replace",
     "Replace one or two search texts in one file or several files of one folder, in place",
     add_replace},
    {"mdcrd-strip", "Copy an Amber formatted trajectory keeping one range of atoms in every frame",
     add_mdcrd_strip},
    {"units", "Convert a number between hartree, kJ/mol, kcal/mol and eV, or between amu and kg",
     add_units},
    {"time-convert",
     "Write every \"<d> days <h> hours <m> minutes <s> seconds\" line of a text file with its "
     "total in one unit",
     add_time_convert},
    {"stokes-shift",
     "Stokes shift and reorganisation energy of absfq.dat and emisfq.dat in one folder, "
     "appended to a summary file",
     add_stokes_shift},
    {"phase-correct", "Remove the 2 pi jumps from a column of phases in a text file",
     add_phase_correct},
    {"spectral-density", "Read a spectral density file into rows of three numbers and print them",
     add_spectral_density},
    {"correlate", "Correlation function of two equally long series of values by direct summation",
     add_correlate},
};

} // namespace

void check_whole_number(const std::string& option, const std::string& text) {
    if (text.find_first_not_of("0123456789") != std::string::npos)
        throw usage_error(option + " takes digits only, not " + text);
    if (whole_number_from_text(text) == 0)
        throw usage_error(option + " must be a whole number of at least 1, not " +
                          (text.empty() ? std::string("an empty text") : text));
}

int run(int argc, char** argv) {
    return run(argc, argv, std::cout, std::cerr);
}

int run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Quillmark command line: the toolbox's jobs without a display.", "quillmark-cli"};
    app.require_subcommand(1);
    std::vector<std::pair<CLI::App*, action>> actions;
    for (const auto& entry : subcommands) {
        CLI::App* sub = app.add_subcommand(entry.name, entry.description);
        actions.emplace_back(sub, entry.add(*sub));
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? completed : usage;
    }
    const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
    console_job_ui ui(out, err, terminal);
    context ctx{out, err, ui};
    for (auto& [sub, act] : actions) {
        if (!sub->parsed())
            continue;
        try {
            return act(ctx);
        } catch (const usage_error& e) {
            err << "quillmark-cli " << sub->get_name() << ": " << e.what() << '\n';
            return usage;
        }
    }
    return usage;
}

} // namespace qm::cli
