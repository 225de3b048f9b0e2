#include "ev_extract/excited_state_parser.h"
#include "ev_extract/file_text.h"
#include "platform/run_error.h"

#include "support/td_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::td_output;
using test::td_state;

parse_options range(int start, int end, double low = 0, double high = 10) {
    parse_options o;
    o.root_start = start;
    o.root_end = end;
    o.limit_low = low;
    o.limit_high = high;
    o.transitions = true;
    return o;
}

// The TDM rows and states of the root range only; the energy window includes both its ends;
// states from 10 and energies from 10 eV stand one column further.
TEST(ExcitedStateParser, RootRangeEnergyWindowAndWideNumbers) {
    std::vector<td_state> states(12, td_state{3.0, 0.01});
    states[0].x = 9.9;
    states[1] = {4.1234, 0.2, {"      23 ->25         0.65000"}, 0.6769, 0, -0.658};
    states[2] = {4.1233, 0.3, {"      23 ->25         0.65000"}, 0, 1.5, 0};
    states[9] = {10.1773, 0.5};
    const auto p = parse_excited_state_output(td_output(states), range(2, 12, 4.1234, 10.1773));
    ASSERT_EQ(p.tdm.size(), 11u);
    EXPECT_EQ(p.tdm[0], (std::array<double, 3>{0.6769, 0, -0.658}));
    EXPECT_EQ(p.tdm[1], (std::array<double, 3>{0, 1.5, 0}));
    ASSERT_EQ(p.states.size(), 11u);
    EXPECT_EQ(p.states[0].number, 2);
    EXPECT_TRUE(p.states[0].candidate);
    EXPECT_TRUE(p.states[1].found);
    EXPECT_FALSE(p.states[1].candidate);
    EXPECT_EQ(p.states[8].number, 10);
    EXPECT_TRUE(p.states[8].candidate);
    EXPECT_DOUBLE_EQ(p.states[8].energy, 10.1773);
    EXPECT_DOUBLE_EQ(p.states[8].oscillator, 0.5);
    EXPECT_TRUE(p.states[10].found);
}

// Gaussian 09 and 16: a "Dip. S." column, six blanks before symmetry labels, states of any
// width, orbital pairs written "103 ->107". Rows are taken by their state numbers and read whole.
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
        " Excited state symmetry could not be determined.\n"
        " Excited State  99:      Singlet-BU     8.4709 eV  146.36 nm  f=0.0947  <S**2>=0.000\n"
        "      45 -> 47         0.70424\n"
        "     103 ->107        -0.10000\n"
        "      46 <- 47         0.01000\n"
        " Excited State 100:      Singlet-A\"    10.0936 eV  122.83 nm  f=12.3456  <S**2>=0.000\n"
        " Excited State 101:      Triplet-SG    11.2347 eV  110.36 nm  f=0.0000  <S**2>=2.000\n";
    parse_options o = range(99, 101, 0, 20);
    const auto p = parse_excited_state_output(text, o);
    ASSERT_EQ(p.tdm.size(), 3u);
    EXPECT_DOUBLE_EQ(p.tdm[0][0], -0.5441);
    EXPECT_DOUBLE_EQ(p.tdm[1][0], -10.1234);
    EXPECT_DOUBLE_EQ(p.tdm[1][1], 100.5);
    EXPECT_DOUBLE_EQ(p.tdm[2][0], 0); // row 101 is only in the velocity table
    EXPECT_FALSE(p.tdm_complete);
    EXPECT_DOUBLE_EQ(p.states[0].energy, 8.4709);
    ASSERT_EQ(p.states[0].transitions.size(), 3u);
    EXPECT_EQ(p.states[0].transitions[1].from, 103);
    EXPECT_EQ(p.states[0].transitions[1].to, 107);
    EXPECT_FALSE(p.states[0].transitions[2].excitation);
    EXPECT_TRUE(p.states[1].candidate);
    EXPECT_DOUBLE_EQ(p.states[1].energy, 10.0936);
    EXPECT_DOUBLE_EQ(p.states[1].oscillator, 12.3456);
    // A triplet is in the file (the range's last state is there) but never a candidate.
    EXPECT_TRUE(p.states[2].found);
    EXPECT_FALSE(p.states[2].candidate);
    EXPECT_TRUE(parse_excited_state_output(text, range(99, 100)).tdm_complete);
}

TEST(ExcitedStateParser, OrbitalNumberTooLongIsOverflowNotAnInternalError) {
    try {
        parse_transition_line("      12345678901 -> 12         0.5");
        FAIL() << "accepted";
    } catch (const run_error& e) {
        EXPECT_EQ(e.number, 6);
    }
}

TEST(ExcitedStateParser, ScfEnergyFollowsTheEqualsSign) {
    auto p = parse_excited_state_output(td_output({{3, 0.1}}), range(1, 1));
    EXPECT_DOUBLE_EQ(*p.scf_energy, -539.517603521); // not the minus sign inside HF-LYP
    EXPECT_DOUBLE_EQ(*p.scf_cycles, 14);
    p = parse_excited_state_output(
        td_output({{3, 0.1}}, " SCF Done:  E(RHF) =  -224.763306312     A.U. after 9 cycles"),
        range(1, 1));
    EXPECT_DOUBLE_EQ(*p.scf_energy, -224.763306312);
    EXPECT_DOUBLE_EQ(*p.scf_cycles, 0); // one blank before the count: the word after is read
    p = parse_excited_state_output(td_output({{3, 0.1}}, " no SCF here"), range(1, 1));
    EXPECT_FALSE(p.scf_energy);
    EXPECT_FALSE(p.scf_cycles);
}

TEST(ExcitedStateParser, TransitionLinesEndAtTheStatesOwnBlock) {
    td_state first{3.0, 0.1, {"      46 -> 49         0.10347", "      47 <- 48        -0.61956"}};
    td_state second{3.5, 0.2, {"      23 ->25         0.65"}};
    const auto p = parse_excited_state_output(td_output({first, second}), range(1, 2));
    ASSERT_EQ(p.states[0].transitions.size(), 2u);
    EXPECT_EQ(p.states[0].transitions[0].from, 46);
    EXPECT_EQ(p.states[0].transitions[0].to_text, "49");
    EXPECT_FALSE(p.states[0].transitions[1].excitation);
    EXPECT_DOUBLE_EQ(p.states[0].transitions[1].coefficient, 0.61956);
    ASSERT_EQ(p.states[1].transitions.size(), 1u);
    EXPECT_EQ(p.states[1].transitions[0].to, 25);
    for (const char* other :
         {" This state for optimization", " ", "", "      46 -> 49", " Excited State   2:"})
        EXPECT_FALSE(parse_transition_line(other)) << other;
}

TEST(ExcitedStateParser, MissingAndTruncatedStatesAreNoCandidates) {
    std::string text = td_output({{3.0, 0.1}, {3.5, 0.2}, {4.0, 0.3}});
    // State 2 missing; the search for state 3 goes on from where state 1 ended.
    text.replace(text.find(" Excited State   2:"), 19, " Excited State   X:");
    // A job still running: the last state line stops before its oscillator strength.
    text = text.substr(0, text.find(" nm  f=0.3000"));
    const auto p = parse_excited_state_output(text, range(1, 3));
    EXPECT_TRUE(p.states[0].candidate);
    EXPECT_FALSE(p.states[1].found);
    EXPECT_TRUE(p.states[2].found);
    EXPECT_FALSE(p.states[2].candidate);
}

TEST(ExcitedStateParser, StructureAfterTheChargeLine) {
    parse_options o = range(1, 1);
    o.structure = true;
    const auto p = parse_excited_state_output(td_output({{3, 0.1}}), o);
    ASSERT_TRUE(p.structure);
    ASSERT_EQ(p.structure->size(), 2u);
    EXPECT_EQ((*p.structure)[1].label, "O");
    EXPECT_EQ((*p.structure)[1].z, "1.2");
    // ONIOM layer fields after the coordinates, and a freeze code before them.
    const auto oniom = parse_excited_state_output(
        td_output({{3, 0.1}}, test::default_scf,
                  " C   0  1.0  2.0  3.0 H\n O  -1 -1.5  0.5  0.25 L H4 1\n"),
        o);
    ASSERT_EQ(oniom.structure->size(), 2u);
    EXPECT_EQ((*oniom.structure)[1].x + (*oniom.structure)[1].y + (*oniom.structure)[1].z,
              "-1.50.50.25");
}

TEST(FileText, LineEndsBecomeLf) {
    std::string text = "a\r\nb\rc\n\r\n";
    normalise_line_ends(text);
    EXPECT_EQ(text, "a\nb\nc\n\n");
    EXPECT_EQ(input_kind_for(true, ".gout.zip"), input_kind::zip);
    EXPECT_EQ(input_kind_for(true, ".ZIP"), input_kind::zip);
    EXPECT_EQ(input_kind_for(true, ".gout.gz"), input_kind::gzip);
    EXPECT_EQ(input_kind_for(true, ".gout"), input_kind::gzip);
    EXPECT_EQ(input_kind_for(false, ".zip"), input_kind::plain);
}

TEST(FileText, CompressedFilesReadWholeBeyond16MiB) {
    test::temp_dir dir;
    std::string big(17 * 1024 * 1024, 'x');
    big += "\r\nend\r\n";
    test::write_gzip(dir / "big.gz", big);
    test::write_zip(dir / "big.zip", big);
    for (auto [name, kind] :
         {std::pair{"big.gz", input_kind::gzip}, {"big.zip", input_kind::zip}}) {
        const std::string text = read_file_text(dir / name, kind);
        EXPECT_EQ(text.size(), big.size() - 2) << name;
        EXPECT_EQ(text.substr(text.size() - 5), "\nend\n") << name;
    }
    EXPECT_THROW(read_file_text(dir / "missing.gz", input_kind::gzip), run_error);
    // A gzip file cut short (a copy still running) is an error, never a silently short text.
    const std::string whole = test::read_file(dir / "big.gz");
    test::write_file(dir / "cut.gz", whole.substr(0, whole.size() / 2));
    EXPECT_THROW(read_file_text(dir / "cut.gz", input_kind::gzip), run_error);
    // Two gzip members one after the other read as one text.
    test::write_gzip(dir / "a.gz", "first\n");
    test::write_gzip(dir / "b.gz", "second\n");
    test::write_file(dir / "ab.gz", test::read_file(dir / "a.gz") + test::read_file(dir / "b.gz"));
    EXPECT_EQ(read_file_text(dir / "ab.gz", input_kind::gzip), "first\nsecond\n");
    test::write_file(dir / "not.zip", "plain text");
    EXPECT_THROW(read_file_text(dir / "not.zip", input_kind::zip), run_error);
    // Zeros after a gzip member, a folder before the one file of a zip: read as gzip and unzip
    // read them.
    test::write_file(dir / "padded.gz", test::read_file(dir / "a.gz") + std::string(1024, '\0'));
    EXPECT_EQ(read_file_text(dir / "padded.gz", input_kind::gzip), "first\n");
    test::write_zip_entries(dir / "folder.zip", {{"run/", ""}, {"run/gap1.log", "job\n"}});
    EXPECT_EQ(read_file_text(dir / "folder.zip", input_kind::zip), "job\n");
}

} // namespace
} // namespace qm
