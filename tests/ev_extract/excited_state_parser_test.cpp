#include "ev_extract/excited_state_parser.h"
#include "ev_extract/file_text.h"
#include "support/as_text.h"

#include "support/td_files.h"

#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace qm {
namespace {

using test::td_output;
using test::td_state;

constexpr int highest_state_for_test = 9999;

parse_options range(int start, int end, double low = 0, double high = 10, bool structure = false) {
    return {start, end, low, high, structure, true};
}

// Each state as its number, then "energy strength" and its transitions for a candidate, "found"
// for a state whose line is there but is no candidate, "absent" for one whose line is not, and
// its TDM row unless all zero; "|" after each. Then whether the table had every state's row.
std::string states_of(const parsed_output& p) {
    std::ostringstream text;
    for (std::size_t i = 0; i < p.states.size(); ++i) {
        const excited_state& s = p.states[i];
        text << s.number;
        if (s.candidate)
            text << ' ' << s.energy << ' ' << s.oscillator;
        else
            text << (s.found ? " found" : " absent");
        for (const transition& t : s.transitions)
            text << ' ' << t.from << (t.excitation ? "->" : "<-") << t.to << ' ' << t.coefficient;
        if (const auto [x, y, z] = p.tdm.at(i); x != 0 || y != 0 || z != 0)
            text << " tdm " << x << ' ' << y << ' ' << z;
        text << '|';
    }
    return text.str() + (p.tdm_complete ? "complete" : "incomplete");
}

// The TDM rows and states of the root range only; the energy window includes both its ends;
// states from 10 and energies from 10 eV stand one column further.
TEST(ExcitedStateParser, RootRangeEnergyWindowAndWideNumbers) {
    std::vector<td_state> states(12, td_state{3.0, 0.01, {}});
    states[0].x = 9.9;
    states[1] = {4.1234, 0.2, {"      23 ->25         0.65000"}, 0.6769, 0, -0.658};
    states[2] = {4.1233, 0.3, {}, 0, 1.5, 0};
    states[9] = {10.1773, 0.5, {}};
    const auto p = parse_excited_state_output(td_output(states), range(2, 12, 4.1234, 10.1773));
    EXPECT_EQ(states_of(p), "2 4.1234 0.2 23->25 0.65 tdm 0.6769 0 -0.658|3 found tdm 0 1.5 0|"
                            "4 found|5 found|6 found|7 found|8 found|9 found|10 10.1773 0.5|"
                            "11 found|12 found|complete");
}

// Gaussian 09 and 16: a "Dip. S." column, six blanks before symmetry labels, states of any
// width, orbital pairs written "103 ->107". Rows are taken by their state numbers and read
// whole; row 101 is only in the velocity table. A triplet is found, never a candidate.
TEST(ExcitedStateParser, Gaussian09And16Layout) {
    const std::string text =
        " Ground to excited state transition electric dipole moments (Au):\n"
        "       state          X           Y           Z        Dip. S.      Osc.\n"
        "       100       -10.1234    100.5000      0.0000  10203.4563      0.0947\n"
        "        99        -0.5441     -0.4004      0.0000      0.4563      0.0947\n"
        " Ground to excited state transition velocity dipole moments (Au):\n"
        "       state          X           Y           Z        Dip. S.      Osc.\n"
        "       101         9.9999      9.9999      9.9999      0.4563      0.0947\n"
        " Excitation energies and oscillator strengths:\n \n"
        " Excited State  99:      Singlet-BU     8.4709 eV  146.36 nm  f=0.0947  <S**2>=0.000\n"
        "      45 -> 47         0.70424\n"
        "     103 ->107        -0.10000\n"
        "      46 <- 47         0.01000\n"
        " Excited State 100:      Singlet-A\"    10.0936 eV  122.83 nm  f=12.3456  <S**2>=0.000\n"
        " Excited State 101:      Triplet-SG    11.2347 eV  110.36 nm  f=0.0000  <S**2>=2.000\n";
    const auto p = parse_excited_state_output(text, range(99, 101, 0, 20));
    EXPECT_EQ(states_of(p),
              "99 8.4709 0.0947 45->47 0.70424 103->107 0.1 46<-47 0.01 tdm -0.5441 "
              "-0.4004 0|100 10.0936 12.3456 tdm -10.1234 100.5 0|101 found|incomplete");
    EXPECT_TRUE(parse_excited_state_output(text, range(99, 100)).tdm_complete);
}

// State 2 missing: the search for state 3 goes on from where state 1 ended. A job still
// running: the last state line stops before its oscillator strength, so that state is no
// candidate rather than taking a later value. Lines that end a state's transitions.
TEST(ExcitedStateParser, MissingAndTruncatedStatesAreNoCandidates) {
    std::string text = td_output({{3.0, 0.1}, {3.5, 0.2}, {4.0, 0.3}});
    text.replace(text.find(" Excited State   2:"), 19, " Excited State   X:");
    text = text.substr(0, text.find(" nm  f=0.3000"));
    EXPECT_EQ(states_of(parse_excited_state_output(text, range(1, 3))),
              "1 3 0.1 23->25 0.65|2 absent|3 found|complete");
    for (const char* other :
         {" This state for optimization", " ", "", "      46 -> 49", " Excited State   2:"})
        EXPECT_FALSE(parse_transition_line(other)) << other;
    // The coefficient is the one field after the orbitals, blanks around it allowed; a second
    // field, none, or a field that is no number ends the transitions.
    for (const char* other : {"      46 -> 49       0.7 0.1", "      46 -> 49      ",
                              "      46 -> 49       0.7x", "      46 -> 49       -"})
        EXPECT_FALSE(parse_transition_line(other)) << other;
    for (const auto& [line, coefficient] :
         std::vector<std::pair<const char*, double>>{{"      46 -> 49       0.70424", 0.70424},
                                                     {"      46 -> 49  -0.5   ", 0.5},
                                                     {"      46 -> 49 1.5D-01\t", 0.15}})
        EXPECT_EQ(parse_transition_line(line)->coefficient, coefficient) << line;
}

// Every state found keeps its line's fields as printed, whatever its multiplicity, and the
// dipole rows and SCF line theirs: the tables repeat them without rounding.
TEST(ExcitedStateParser, PrintedTextsOfStatesDipolesAndScf) {
    const std::string text =
        " SCF Done:  E(RB3LYP) =  -468.284606715     A.U. after   14 cycles\n"
        "       state          X           Y           Z        Dip. S.      Osc.\n"
        "         1        -0.5441     -0.4004      0.0000      0.4563      0.0947\n"
        " Excitation energies and oscillator strengths:\n \n"
        " Excited State   1:      Singlet-BU     8.4709 eV  146.36 nm  f=0.0947  <S**2>=0.000\n"
        " Excited State   2:      Triplet-SG    11.2347 eV  110.36 nm  f=0.0000  <S**2>=2.000\n"
        " Excited State   3:   Singlet-?Sym    2.9113 eV  425.88 nm  f=0.0636\n";
    parse_options options = range(1, 3, 0, 20);
    options.printed = true;
    const auto p = parse_excited_state_output(text, options);
    std::string texts;
    for (const excited_state& s : p.states)
        texts += s.label + " " + s.multiplicity + " " + s.energy_text + " " + s.wavelength_text +
                 " " + s.oscillator_text + "|";
    EXPECT_EQ(texts, "Singlet-BU Singlet 8.4709 146.36 0.0947|Triplet-SG Triplet 11.2347 "
                     "110.36 0.0000|Singlet-?Sym Singlet 2.9113 425.88 0.0636|");
    EXPECT_EQ(p.states[1].energy, 11.2347); // read, though no candidate
    EXPECT_EQ(p.tdm_text[0][0] + " " + p.tdm_text[0][1] + " " + p.tdm_text[0][2],
              "-0.5441 -0.4004 0.0000");
    EXPECT_TRUE(p.tdm_text[1][0].empty()); // no row for state 2
    EXPECT_EQ(p.scf_energy_text + " " + p.scf_cycles_text, "-468.284606715 14");
    EXPECT_EQ(p.sections, 1);
}

// A table row's test name: the letters and digits of what it describes.
template <typename Case> std::string case_name(const testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* c = info.param.what; *c != '\0'; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    return name;
}

struct dipole_rows_case {
    const char* what;
    const char* rows; // the rows after the heading, each ending with its line feed
    // The states 2 and 3, as states_of() gives them, then each row's fields as printed.
    const char* expected;
};

class DipoleTableRows : public testing::TestWithParam<dipole_rows_case> {};

// Rows are taken by their state numbers, wherever they stand and however often (the last
// wins); a line that is not a row (fewer than five fields, a first field that is no state
// number) ends the table, and the states are searched after it.
TEST_P(DipoleTableRows, KeptByStateNumberUpToTheFirstOtherLine) {
    const std::string text =
        std::string("       state          X           Y           Z          Osc.\n") +
        GetParam().rows +
        " Excited State   2:   Singlet-?Sym    3.0000 eV  413.28 nm  f=0.1000\n"
        " Excited State   3:   Singlet-?Sym    3.5000 eV  354.24 nm  f=0.2000\n";
    parse_options options = range(2, 3);
    options.printed = true;
    const auto p = parse_excited_state_output(text, options);
    std::string printed;
    for (const auto& row : p.tdm_text)
        printed += " [" + row[0] + " " + row[1] + " " + row[2] + "]";
    EXPECT_EQ(states_of(p) + printed, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ExcitedStateParser, DipoleTableRows,
    testing::Values(
        dipole_rows_case{"rows outside the range between those kept",
                         "  1  9.0 9.0 9.0 0.1\n  4  9.0 9.0 9.0 0.1\n  3  3.0 0.0 0.5 0.1\n"
                         "  5  9.0 9.0 9.0 0.1\n  2  2.0 0.0 0.0 0.1\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2 tdm 3 0 0.5|complete [2.0 0.0 0.0] "
                         "[3.0 0.0 0.5]"},
        dipole_rows_case{"a state's row twice: the last wins",
                         "  2  1.0 0.0 0.0 0.1\n  3  3.0 0.0 0.0 0.1\n  2  2.0 0.0 0.0 0.1\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2 tdm 3 0 0|complete [2.0 0.0 0.0] "
                         "[3.0 0.0 0.0]"},
        dipole_rows_case{"a row of four fields ends the table",
                         "  2  2.0 0.0 0.0 0.1\n  3  3.0 0.0 0.0\n  3  3.0 0.0 0.0 0.1\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2|incomplete [2.0 0.0 0.0] [  ]"},
        dipole_rows_case{"a negative state number ends the table",
                         "  2  2.0 0.0 0.0 0.1\n -3  3.0 0.0 0.0 0.1\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2|incomplete [2.0 0.0 0.0] [  ]"},
        dipole_rows_case{"a signed state number ends the table",
                         "  +2  2.0 0.0 0.0 0.1\n  3  3.0 0.0 0.0 0.1\n",
                         "2 3 0.1|3 3.5 0.2|incomplete [  ] [  ]"},
        dipole_rows_case{"leading zeros before a state number",
                         "  002  2.0 0.0 0.0 0.1\n  0000000000003  3.0 0.0 0.0 0.1\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2 tdm 3 0 0|complete [2.0 0.0 0.0] "
                         "[3.0 0.0 0.0]"},
        dipole_rows_case{"a state number past an int ends the table",
                         "  3  3.0 0.0 0.0 0.1\n  2147483648  2.0 0.0 0.0 0.1\n",
                         "2 3 0.1|3 3.5 0.2 tdm 3 0 0|incomplete [  ] [3.0 0.0 0.0]"},
        dipole_rows_case{"a state's line run onto the last row is part of that row",
                         "  2  2.0 0.0 0.0 0.1\n  3  3.0 0.0 0.0 0.1",
                         "2 absent tdm 2 0 0|3 3.5 0.2 tdm 3 0 0|complete [2.0 0.0 0.0] "
                         "[3.0 0.0 0.0]"},
        dipole_rows_case{"rows longer than 64 bytes, fields across the 64th",
                         "  2                                                 2.0    0.000000000001"
                         "  0.0  0.1\n"
                         "  3  3.0  0.0                                                           "
                         "    0.5 0.1\n",
                         "2 3 0.1 tdm 2 1e-12 0|3 3.5 0.2 tdm 3 0 0.5|complete [2.0 "
                         "0.000000000001 0.0] [3.0 0.0 0.5]"},
        dipole_rows_case{"rows of six fields and wide blanks",
                         "        2                 2.0      0.0      0.0     0.5   0.1\n"
                         "3 3.0 0.0 0.0 0.1 extra fields\n",
                         "2 3 0.1 tdm 2 0 0|3 3.5 0.2 tdm 3 0 0|complete [2.0 0.0 0.0] "
                         "[3.0 0.0 0.0]"}),
    case_name<dipole_rows_case>);

// An excited-state optimisation prints a section per step: the first is read unless the last
// is asked for, with its own SCF line and dipole table. The range may end at each file's own
// last state: 3 states in the first section, 2 in the last, none in a file without one.
TEST(ExcitedStateParser, SectionsAndTheRangeToTheLastState) {
    const std::string first = td_output({{3.0, 0.1, {}, 1}, {3.5, 0.2, {}}, {4.0, 0.3, {}}});
    const std::string last = td_output({{2.5, 0.4, {}, 2}, {2.8, 0.5, {}}},
                                       " SCF Done:  E(RHF) =  -100.25     A.U. after   9 cycles");
    parse_options options = range(1, highest_state_for_test);
    options.to_last_state = true;
    for (const bool last_section : {false, true}) {
        options.last_section = last_section;
        const auto p = parse_excited_state_output(first + last, options);
        EXPECT_EQ(p.sections, 2);
        EXPECT_EQ(states_of(p), last_section ? "1 2.5 0.4 tdm 2 0 0|2 2.8 0.5|complete"
                                             : "1 3 0.1 tdm 1 0 0|2 3.5 0.2|3 4 0.3|complete");
        EXPECT_EQ(p.scf_energy_text, last_section ? "-100.25" : "-539.517603521");
    }
    const auto none = parse_excited_state_output(" SCF Done:  E(RHF) =  -1.5\n", options);
    EXPECT_EQ(none.sections, 0);
    EXPECT_TRUE(none.states.empty());
}

// Three states (the first with a dipole row) in the program's own layout, changed by a row of
// the table below.
std::string three_states() {
    return td_output({{3.0, 0.1, {}, 1}, {3.5, 0.2, {}}, {4.0, 0.3, {}}});
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string replaced(std::string text,
                     std::initializer_list<std::pair<std::string_view, std::string_view>> changes) {
    for (const auto& [from, to] : changes)
        text = replaced(text, from, to);
    return text;
}

std::string cut_after(const std::string& text, std::string_view key) {
    return text.substr(0, text.find(key) + key.size());
}

std::string lower_case(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const std::string g03_heading = "       state          X           Y           Z          Osc.\n";
const std::string g09_heading =
    "       state          X           Y           Z        Dip. S.      Osc.\n";

// The dipole table (its heading and row) moved after the states' lines.
std::string table_after_the_states() {
    const std::string row = "         1         1.0000      0.0000      0.0000      0.1000\n";
    return replaced(replaced(three_states(), g03_heading, ""), row, "") + g03_heading + row;
}

// A second section after the first, with neither an SCF line nor (with `no_dipole_heading`)
// the dipole table's own heading line.
std::string second_section_without_scf(bool no_dipole_heading) {
    std::string second = td_output({{2.5, 0.4, {}, 2}, {2.8, 0.5, {}}}, " No SCF here");
    if (no_dipole_heading)
        second = replaced(second, " Ground to excited state Transition electric dipole", " (Au)");
    return three_states() + second;
}

struct key_case {
    const char* what;
    std::string text;
    bool last_section = false;
    // The states, then the sections counted and the SCF energy as printed.
    const char* expected;
};

class KeysWhereverTheyStand : public testing::TestWithParam<key_case> {};

// Every key is found wherever it stands, in any letter case, up to the very end of the text;
// the states are searched after the dipole table, each after the previous state's line.
TEST_P(KeysWhereverTheyStand, StatesSectionsAndScf) {
    parse_options options = range(1, highest_state_for_test);
    options.to_last_state = true;
    options.last_section = GetParam().last_section;
    options.printed = true;
    options.structure = true;
    const auto p = parse_excited_state_output(GetParam().text, options);
    EXPECT_EQ(states_of(p) + " sections " + std::to_string(p.sections) + " scf " +
                  p.scf_energy_text,
              GetParam().expected);
    // The two atoms after the charge line, in any letter case, in every text that has one.
    const bool charge = lower_case(GetParam().text).find("charge =") != std::string::npos;
    EXPECT_EQ(p.structure ? p.structure->size() : 0, charge ? 2u : 0u);
}

const std::string all_three = "1 3 0.1 tdm 1 0 0|2 3.5 0.2|3 4 0.3|complete sections 1 scf "
                              "-539.517603521";

INSTANTIATE_TEST_SUITE_P(
    ExcitedStateParser, KeysWhereverTheyStand,
    testing::Values(
        key_case{"keys in upper case",
                 replaced(three_states(), {{"Charge =", "CHARGE ="},
                                           {"Excited State", "EXCITED STATE"},
                                           {"SCF Done", "SCF DONE"},
                                           {"Osc.", "OSC."},
                                           {"Excitation energies and oscillator strengths",
                                            "EXCITATION ENERGIES AND OSCILLATOR STRENGTHS"}}),
                 false, all_three.c_str()},
        key_case{"keys in lower case", lower_case(three_states()), false, all_three.c_str()},
        key_case{"the Gaussian 09 heading before the Gaussian 03 one",
                 replaced(three_states(), g03_heading,
                          g09_heading +
                              "         1         9.0000      0.0000      0.0000      "
                              "0.1000      0.1000\n \n" +
                              g03_heading),
                 false,
                 "1 3 0.1 tdm 9 0 0|2 3.5 0.2|3 4 0.3|incomplete sections 1 scf -539.517603521"},
        key_case{"the Gaussian 03 heading before the Gaussian 09 one",
                 replaced(three_states(), " Excitation energies",
                          g09_heading + "         2         9.0000      0.0000      0.0000      "
                                        "0.1000      0.1000\n Excitation energies"),
                 false, all_three.c_str()},
        key_case{"the dipole table after the states' lines", table_after_the_states(), false,
                 "1 absent tdm 1 0 0|2 absent|3 absent|incomplete sections 1 scf -539.517603521"},
        key_case{"a state's line before the previous state's",
                 replaced(replaced(replaced(three_states(), "State   1:", "State   X:"),
                                   "State   2:", "State   1:"),
                          "State   X:", "State   2:"),
                 false,
                 "1 3.5 0.2 tdm 1 0 0|2 absent|3 4 0.3|complete sections 1 scf -539.517603521"},
        key_case{"the next state's key on the same line, after the strength",
                 replaced(three_states(), "f=0.1000\n",
                          "f=0.1000 Excited State   2:   Singlet-?Sym    3.6000 eV\n"),
                 false, "1 3 0.1 tdm 1 0 0|2 found|3 4 0.3|complete sections 1 scf -539.517603521"},
        key_case{"a number with a leading zero is not the state",
                 replaced(three_states(), "State   2:", "State  02:"), false,
                 "1 3 0.1 tdm 1 0 0|2 absent|3 4 0.3|complete sections 1 scf -539.517603521"},
        key_case{"no line end after the last state's line", cut_after(three_states(), "f=0.3000"),
                 false, all_three.c_str()},
        key_case{"a section heading at the very end",
                 three_states() + " Excitation energies and oscillator strengths:", false,
                 "1 3 0.1 tdm 1 0 0|2 3.5 0.2|3 4 0.3|complete sections 2 scf -539.517603521"},
        key_case{"cut inside the third state's key",
                 cut_after(three_states(), "f=0.2000\n \n Excited Sta"), false,
                 "1 3 0.1 tdm 1 0 0|2 3.5 0.2|complete sections 1 scf -539.517603521"},
        key_case{"cut before the third state's colon",
                 cut_after(three_states(), "Excited State   3"), false,
                 "1 3 0.1 tdm 1 0 0|2 3.5 0.2|complete sections 1 scf -539.517603521"},
        key_case{"cut inside the section heading",
                 cut_after(three_states(), "Excitation energies and osc"), false,
                 "complete sections 0 scf -539.517603521"},
        key_case{"cut inside the dipole table's heading", cut_after(three_states(), "Z     "),
                 false, "incomplete sections 0 scf -539.517603521"},
        key_case{"an SCF line without a line end at the very end",
                 " SCF Done:  E(RHF) =  -1.5     A.U. after   3 cycles", false,
                 "incomplete sections 0 scf -1.5"},
        key_case{"the last section from its dipole table without its own SCF line",
                 second_section_without_scf(false), true,
                 "1 2.5 0.4 tdm 2 0 0|2 2.8 0.5|complete sections 2 scf "},
        key_case{"the last section from its heading without an SCF line or a dipole heading",
                 second_section_without_scf(true), true,
                 "1 2.5 0.4|2 2.8 0.5|incomplete sections 2 scf "}),
    case_name<key_case>);

TEST(ExcitedStateParser, OrbitalNumberTooLongIsOverflowNotAnInternalError) {
    EXPECT_EQ(test::error_of([] { parse_transition_line("      12345678901 -> 12         0.5"); }),
              "6 Overflow");
}

// The energy follows the "=", not the minus inside "HF-LYP"; the count is read from the second
// character after "after ", so one blank before it reads the word that follows.
TEST(ExcitedStateParser, ScfEnergyFollowsTheEqualsSign) {
    const auto p = parse_excited_state_output(
        td_output({{3, 0.1}}, " SCF Done:  E(RB+HF-LYP) =  -224.763306312     A.U. after 9 cycles"),
        range(1, 1));
    EXPECT_EQ(*p.scf_energy, -224.763306312);
    EXPECT_EQ(*p.scf_cycles, 0);
}

// The atoms after the charge line; ONIOM layer fields after the coordinates, and a freeze
// code before them.
TEST(ExcitedStateParser, StructureAfterTheChargeLine) {
    std::string atoms;
    for (const std::string& structure :
         {test::default_structure,
          std::string(" C   0  1.0  2.0  3.0 H\n O  -1 -1.5  0.5  0.25 L H4 1\n")}) {
        const auto p = parse_excited_state_output(
            td_output({{3, 0.1}}, test::default_scf, structure), range(1, 1, 0, 10, true));
        for (const auto& a : *p.structure)
            atoms += a.label + " " + a.x + " " + a.y + " " + a.z + "|";
    }
    EXPECT_EQ(atoms, "C 0. 0. 0.|O 0. 0. 1.2|C 1.0 2.0 3.0|O -1.5 0.5 0.25|");
}

// CR LF and a lone CR alike; the compressed kind by the suffix, whatever its case.
TEST(FileText, LineEndsBecomeLf) {
    std::string text = "a\r\nb\rc\n\r\n";
    normalise_line_ends(text);
    EXPECT_EQ(text, "a\nb\nc\n\n");
    EXPECT_EQ(input_kind_for(true, ".gout.ZIP"), input_kind::zip);
    EXPECT_EQ(input_kind_for(true, ".gout"), input_kind::gzip);
    EXPECT_EQ(input_kind_for(false, ".zip"), input_kind::plain);
}

TEST(FileText, CompressedFilesReadWholeBeyond16MiB) {
    test::temp_dir dir;
    const std::string big = std::string(17 << 20, 'x') + "\r\nend\r\n";
    test::write_gzip(dir / "big.gz", big);
    const std::string text = read_file_text(dir / "big.gz", input_kind::gzip);
    EXPECT_EQ(text.size(), big.size() - 2);
    EXPECT_EQ(text.substr(text.size() - 5), "\nend\n");
    test::write_file(dir / "not.zip", "plain text");
    EXPECT_THROW(read_file_text(dir / "not.zip", input_kind::zip), run_error);
    // Two gzip members one after the other read as one text.
    test::write_gzip(dir / "a.gz", "first\n");
    test::write_gzip(dir / "b.gz", "second\n");
    test::write_file(dir / "ab.gz", test::read_file(dir / "a.gz") + test::read_file(dir / "b.gz"));
    EXPECT_EQ(read_file_text(dir / "ab.gz", input_kind::gzip), "first\nsecond\n");
}

} // namespace
} // namespace qm
