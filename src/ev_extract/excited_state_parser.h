// Reading one Gaussian CIS/TD output (Gaussian 94 to 16), held whole in memory with LF line
// ends: the input structure, the SCF energy and cycle count, the ground-to-excited transition
// dipole table and, for each state of the searched range, its energy, oscillator strength and
// transition lines.
//
//  SCF Done:  E(RB+HF-LYP) =  -539.517603521     A.U. after   14 cycles
//        state          X           Y           Z          Osc.
//          1         0.6769      0.0000     -0.6580      0.0636
//  Excited State   1:   Singlet-?Sym    2.9113 eV  425.88 nm  f=0.0636
//       46 -> 49         0.10347
//       47 -> 48         0.61956
//
// From Gaussian 09 the table has a "Dip. S." column before "Osc." and the state lines carry
// six blanks before the label and a symmetry ("Singlet-A'", "Singlet-BU", "Triplet-SG");
// orbital pairs may stand as "103 ->107". Keys are found without regard to letter case; table
// rows are read by their fields and taken by their state numbers. Only singlet states, of any
// symmetry, are candidates.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct parse_options {
    int root_start = 1;
    int root_end = 1;
    double limit_low = 0;
    double limit_high = 0;
    bool structure = false;   // the input structure, for the structure-dependent TDM fit
    bool transitions = false; // transition lines, for the orbital profile and orbital lines
    // The range ends at the file's own last excited state (root_end is then only a bound).
    bool to_last_state = false;
    // A file with several excited-state sections (an excited-state optimisation) is read at
    // its last section: its states, its dipole table and the SCF Done line before them.
    bool last_section = false;
    // The fields as printed (labels, energies, dipole rows), for the tables; held only when
    // asked for, since every file of a series keeps its parse until its last root.
    bool printed = false;
};

struct structure_atom {
    std::string label, x, y, z;
};

struct transition {
    int from = 0;
    int to = 0;
    bool excitation = true; // "->"; false for a de-excitation line "<-"
    double coefficient = 0; // |coefficient|
    std::string from_text, to_text;
};

struct excited_state {
    int number = 0;
    bool found = false;     // its line is in the file, whatever its multiplicity
    bool candidate = false; // a singlet, inside the energy window, with its oscillator strength
    double energy = 0;      // eV
    double oscillator = 0;
    // With the printed fields: the state line's "Singlet-?Sym", its multiplicity "Singlet",
    // and the energy (eV), wavelength (nm) and oscillator strength fields; empty where the
    // line has none.
    std::string label, multiplicity, energy_text, wavelength_text, oscillator_text;
    std::vector<transition> transitions; // the state's own transition lines
};

// The program that wrote an output, told by its banner; a series holds the outputs of one.
enum class output_program { gaussian, orca };

inline std::string_view output_program_name(output_program program) {
    return program == output_program::orca ? "ORCA" : "Gaussian";
}

struct parsed_output {
    output_program program = output_program::gaussian;
    std::optional<std::vector<structure_atom>> structure; // none when no charge line
    std::optional<double> scf_energy;                     // none without "SCF Done: "
    std::optional<double> scf_cycles;
    std::string scf_energy_text, scf_cycles_text; // as printed
    // Rows root_start..root_end of the transition dipole table: X, Y, Z (0 for a row missing),
    // and, with the printed fields, the same fields as printed (empty for a row missing).
    std::vector<std::array<double, 3>> tdm;
    std::vector<std::array<std::string, 3>> tdm_text;
    bool tdm_complete = false; // the table is there with a row for every state of the range
    std::vector<excited_state> states; // root_start..root_end
    int sections = 0; // the excited-state sections the file holds
};

// A Gaussian or, recognised by its banner, an ORCA output.
parsed_output parse_excited_state_output(std::string_view text, const parse_options& options);

// A transition line "<blanks><orbital> -> <orbital> <coefficient>" (the arrow may be "<-" and
// the blank after it may be missing); nullopt for any other line.
std::optional<transition> parse_transition_line(std::string_view line);

} // namespace qm
