// ORCA 5 and 6 TD-DFT outputs: the real files kept beside the repository, and the banner test
// that tells them from Gaussian's.
#include "ev_extract/orca_output_parser.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

// Per state: number, multiplicity as candidate ("s" singlet candidate, "t" found only), energy,
// strength, TDM; then the first transition of state 1.
std::string summary(const parsed_output& p) {
    std::ostringstream text;
    text.precision(12);
    for (std::size_t i = 0; i < p.states.size(); ++i) {
        const excited_state& s = p.states[i];
        text << s.number << (s.candidate ? " s " : s.found ? " t " : " absent ") << s.energy
             << ' ' << s.oscillator << " (" << p.tdm[i][0] << ' ' << p.tdm[i][1] << ' '
             << p.tdm[i][2] << ")|";
    }
    const transition& t = p.states.at(0).transitions.at(0);
    text << t.from_text << "->" << t.to_text << ' ' << t.coefficient;
    return text.str();
}

struct orca_file {
    const char* name;
    const char* version;
    double scf_energy;
    double scf_cycles;
    const char* states;  // states 1 to 6 and the first transition of state 1
    const char* printed; // the tables' fields of states 2 and 6, and the SCF texts
};

// The fields the results and states tables take, as printed (ORCA 5's eV as computed).
std::string printed_fields(const parsed_output& p) {
    std::string text;
    for (const std::size_t i : {std::size_t{1}, std::size_t{5}}) {
        const excited_state& s = p.states.at(i);
        text += s.label + "," + s.multiplicity + "," + s.energy_text + "," + s.wavelength_text +
                "," + s.oscillator_text + "," + p.tdm_text.at(i)[0] + "," + p.tdm_text.at(i)[1] +
                "," + p.tdm_text.at(i)[2] + "|";
    }
    return text + p.scf_energy_text + "," + p.scf_cycles_text;
}

// ORCA 5: eV from the hartree values (0.196682 au), triplets numbered from 1 again under their
// heading and "spin forbidden" in the spectrum; ORCA 6: the spectrum's eV column, its rows by
// "n-Mult" names in energy order, triplets numbered on after the singlets. Orbitals 33a and 35a
// are the window's 34 and 36.
const orca_file orca_files[] = {
    {"orca/cclib_ORCA5_dvb_td.out", "5.0.0", -382.05510861, 9,
     "1 s 5.35198986963 0.005267213 (-0.16816 -0.10906 0)|"
     "2 s 5.73183361024 1.171011871 (2.88653 0.08277 -0)|"
     "3 s 6.22569305922 0 (-0 -1e-05 0)|4 s 7.11991363404 0.218288556 (-0.43825 -1.02924 0)|"
     "5 s 7.41624563025 5e-09 (0.00017 1e-05 -0)|6 t 3.12949989799 0 (0 0 0)|34->36 0.75034767",
     "Singlet-Bu,Singlet,5.731833610241158,216.3,1.171011871,2.88653,0.08277,-0.00000|"
     "Triplet-Bu,Triplet,3.129499897992342,396.2,,,,|-382.05510861,9"},
    {"orca/cclib_ORCA6_dvb_td.out", "6.0.0", -382.05510710682142, 8,
     "1 s 5.352154 0.00503839 (0.16288 0.10906 0)|2 s 5.731321 1.170940055 (2.88656 0.08326 -0)|"
     "3 s 6.224766 0 (0 1e-05 -0)|4 s 7.118836 0.218077849 (-0.43765 -1.02901 -0)|"
     "5 s 7.415191 6e-09 (-0.00017 -1e-05 -0)|6 t 3.129277 0 (0 0 0)|34->36 0.75002079",
     "Singlet-Bu,Singlet,5.731321,216.3,1.170940055,2.88656,0.08326,-0.00000|"
     "Triplet-Bu,Triplet,3.129277,396.2,0.000000000,0.00000,0.00000,0.00000|"
     "-382.05510710682142,8"},
};

class real_orca_outputs : public testing::TestWithParam<orca_file> {};

TEST_P(real_orca_outputs, StatesStrengthsDipolesAndScf) {
    const orca_file& f = GetParam();
    if (!std::filesystem::is_directory(real_data))
        GTEST_SKIP() << "real sample files not found at " << real_data;
    const std::string text = test::read_file(real_data / f.name);
    EXPECT_EQ(orca_banner_version(text), f.version);
    const parsed_output p = parse_excited_state_output(text, {1, 6, 0, 10, true, true});
    EXPECT_EQ(p.program, output_program::orca);
    EXPECT_EQ(summary(p), f.states);
    EXPECT_TRUE(p.tdm_complete);
    EXPECT_EQ(p.scf_energy, f.scf_energy);
    EXPECT_EQ(p.scf_cycles, f.scf_cycles);
    ASSERT_TRUE(p.structure);
    EXPECT_EQ(p.structure->size(), 20u);
    EXPECT_EQ(p.structure->front().label, "C");
    parse_options tables{1, 6, 0, 10};
    tables.printed = true;
    EXPECT_EQ(printed_fields(parse_excited_state_output(text, tables)), f.printed);
}

INSTANTIATE_TEST_SUITE_P(Orca, real_orca_outputs, testing::ValuesIn(orca_files));

// The banner must stand in the first lines with its version line; a Gaussian output that
// quotes ORCA further down stays a Gaussian output.
TEST(OrcaOutputParser, BannerInTheFirstLinesOnly) {
    const std::string banner = "      * O   R   C   A *\n\n   Program Version 6.1.0  -  RELEASE\n";
    EXPECT_EQ(orca_banner_version(banner), "6.1.0");
    EXPECT_EQ(orca_banner_version("Program Version 6.1.0\n * O   R   C   A *\n"), std::nullopt);
    const std::string quoted = " Entering Gaussian System\n" + std::string(100, '\n') + banner;
    EXPECT_EQ(orca_banner_version(quoted), std::nullopt);
    EXPECT_EQ(parse_excited_state_output(quoted, {}).program, output_program::gaussian);
}

} // namespace
} // namespace qm
