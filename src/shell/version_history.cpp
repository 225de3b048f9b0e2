#include "shell/version_history.h"

namespace qm {
namespace {

struct release {
    std::string_view heading;
    std::string_view changes; // items "1) ..." and their continuation lines, split at \n
};

// Newest first.
const release releases[] = {
    {"Version 1.8 Beta 1",
     "1) Added routines for ev_extraction to output the raw TDMS for each state extracted.\n"
     "   This corresponds to the TDM in the file with no RMS fitting of the structures.\n"
     "2) Added routines to measure the angle between the raw TDMS. The angle measured is\n"
     "   between the raw TDM at time t and the raw TDM of state 1 at time t=0."},
    {"Version 1.7 Beta 3",
     "1) The execution status log now lists the options chosen and every job before the\n"
     "   extraction starts.\n"
     "2) With two roots the angle between their TDMs is measured again after RMS fitting."},
    {"Version 1.7 Beta 2",
     "1) ev_extraction reads each output file whole into memory: much faster on long series.\n"
     "2) Keys in the Gaussian output files are matched without regard to letter case."},
    {"Version 1.7 Beta 1",
     "1) Added the file interval to ev_extraction so that only every n-th file of a series\n"
     "   is processed.\n"
     "2) The time of each file is now its slot number times the time step."},
    {"Version 1.6 Beta 1",
     "1) Added measurement of the angle between the TDMs of two roots in every file of a\n"
     "   series."},
    {"Version 1.5 Beta 2", "1) The aligned TDMs of every root are written as data files."},
    {"Version 1.5 Beta 1",
     "1) Added Mathematica notebooks that draw the TDM vectors after alignment."},
    {"Version 1.4 Beta 2",
     "1) TDM alignment checks that the Amber prmtop file is present before any fitting.\n"
     "2) The fitting program is started with its window hidden."},
    {"Version 1.4 Beta 1",
     "1) Added alignment of every TDM onto the first structure by RMS fitting of the\n"
     "    structures through the external fitting program."},
    {"Version 1.3 Beta 2",
     "1) Correlation functions: added fluctuations about the mean, normalisation by the mean\n"
     "   square deviation and normalisation to unity."},
    {"Version 1.3 Beta 1",
     "1) Added calculation of discrete auto- and cross-correlation functions of two data\n"
     "   files by direct summation."},
    {"Version 1.3 Alpha 1",
     "1) Added the time dependent Stokes shift window, which reads a spectral density file."},
    {"Version 1.2 Beta 1", "1) Added the phase correction tool to unwrap phase data."},
    {"Version 1.2 Alpha 4",
     "1) Stokes shift and reorganisation energy results are appended to a summary file."},
    {"Version 1.2 Alpha 3",
     "1) Added Stokes shift and reorganisation energy calculation from the absorption and\n"
     "   emission spectra of a directory."},
    {"Version 1.2 Alpha 2",
     "1) ev_extraction writes the excitation energies as angular frequencies (rad/s) too."},
    {"Version 1.2 Alpha 1", "1) Added root selection by orbital profile to ev_extraction.\n"
                            "2) Orbital data of the chosen states are written as time series."},
    {"Version 1.1 Beta 3",
     "1) Added the execution status log (execution_status.dat) to ev_extraction."},
    {"Version 1.1 Beta 2", "1) ev_extraction reads gzip compressed Gaussian output files."},
    {"Version 1.1 Beta 1", "1) ev_extraction reads zip compressed Gaussian output files.\n"
                           "2) The compressed input box is set from the name of the file picked."},
    {"Version 1.1 alpha 2",
     "1) Added the text file line extraction tool: every n-th line from a start line."},
    {"Version 1.1 alpha 1",
     "1) Added the Amber MDCRD atom stripper, which copies a range of atoms out of every\n"
     "   frame of a formatted trajectory."},
    {"Version 1.0 alpha 1", "1) New main menu with changing pictures.\n"
                            "2) Added the Stokes shift and Amber tool sub-menus."},
    {"Version 0.9 alpha 2",
     "1) ev_extraction writes the SCF energy and the number of SCF cycles of every file."},
    {"Version 0.9 alpha 1",
     "1) ev_extraction writes the transition dipole moments (TDMs) of the chosen states."},
    {"Version 0.8 alpha 3",
     "1) Added root selection by lowest energy and by Gaussian ordering to ev_extraction."},
    {"Version 0.8 alpha 2",
     "1) ev_extraction chooses each root by the maximum oscillator strength within an\n"
     "   energy window."},
    {"Version 0.8 alpha 1",
     "1) Added ev_extraction: the excited state energies of a numbered series of Gaussian\n"
     "   output files, one per snapshot of a trajectory, written as time series."},
    {"Version 0.7 beta 2",
     "1) Global search and replace takes a second search text and keeps backups on request."},
    {"Version 0.7 beta 1", "1) Added global search and replace across many files at once."},
    {"Version 0.7 alpha 4",
     "1) Added conversion of listed durations in days, hours, minutes and seconds into one\n"
     "   time unit."},
    {"Version 0.7 alpha 3",
     "1) Added unit conversion of energies per particle and per mole, and of masses."},
    {"Version 0.7 alpha 2",
     "1) Text file character extraction takes up to five ranges of characters."},
    {"Version 0.7 alpha 1",
     "1) Added text file character extraction with a pre-scan and preview of the file."},
    {"Version 0.6 alpha 3", "1) Error reports name the routine in which the error occurred."},
    {"Version 0.6 alpha 2",
     "1) Added extraction of the IR and Raman frequency table of Gaussian 98 frequency\n"
     "   jobs."},
    {"Version 0.6 alpha 1",
     "1) Added output of Gaussian 98 geometries as Gaussian 94 style output files."},
    {"Version 0.5 alpha 2", "1) Added reading of the Cartesian geometry of Gaussian input files."},
    {"Version 0.5 alpha 1",
     "1) Added the element symbol table for atomic numbers 1 to 103.\n"
     "2) One-letter element symbols are written with a leading blank in PDB files."},
    {"Version 0.4 alpha 2", "1) Added XYZ files as input for structure conversion."},
    {"Version 0.4 alpha 1",
     "1) Added recognition of Gaussian 94 output files and extraction of their geometries."},
    {"Version 0.3 alpha 2",
     "1) Every Standard orientation geometry of an output file can be extracted at once."},
    {"Version 0.3 alpha 1", "1) Added XYZ output of structures.\n"
                            "2) Added the conversion status window."},
    {"Version 0.2 alpha 1",
     "1) Added conversion of the last Standard orientation geometry of Gaussian 98 output\n"
     "   files to PDB files."},
    {"Versions 0.0 - 0.1", "1) Initial program development and construction of routines."},
};

constexpr std::string_view line_end = "\r\n";

} // namespace

std::string version_history_text() {
    std::string text;
    auto line = [&text](std::string_view s) {
        text += s;
        text += line_end;
    };
    line("Quillmark - " + std::string(program_version));
    line("");
    line("Version History (Reverse Date Order)");
    line(std::string(40, '*'));
    line("");
    for (const release& r : releases) {
        line(r.heading);
        line(std::string(30, '-'));
        line("");
        for (std::string_view rest = r.changes;;) {
            const std::size_t lf = rest.find('\n');
            line(rest.substr(0, lf));
            if (lf == std::string_view::npos)
                break;
            rest.remove_prefix(lf + 1);
        }
        line("");
        line("");
    }
    return text;
}

} // namespace qm
