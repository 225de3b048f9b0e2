// The extraction on series built from real Gaussian 03, 09 and 16 TD outputs kept beside the
// repository.
#include "ev_series.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

struct real_td_series : test::ev_series {
    std::string template_text;

    void SetUp() override {
        if (!std::filesystem::is_directory(real_data))
            GTEST_SKIP() << "real sample files not found at " << real_data;
        use("g03_td/cclibdata_G03_anth1.log");
        texts.root_end = "12";
    }
    // Three files from one template; file n gets the value change edits[n - 1] (the first
    // text of the file replaced by one as wide), as snapshots of a trajectory differ.
    using edit = std::pair<std::string, std::string>;
    void use(const std::string& name, const std::vector<edit>& edits = {}) {
        template_text = test::read_file(real_data / name);
        std::vector<std::string> files(3, template_text);
        for (std::size_t i = 0; i < edits.size(); ++i)
            if (!edits[i].first.empty())
                files[i].replace(files[i].find(edits[i].first), edits[i].first.size(),
                                 edits[i].second);
        series(files);
    }
    // The energy written for root k in the first slot.
    std::string energy(int k) { return energies(k).at(0); }
};

TEST_F(real_td_series, EveryRuleAgainstTheFilesOwnLines) {
    texts.no_roots = "3";
    ASSERT_EQ(run(), ev_outcome::completed);
    // f = 1.7748 (state 6), then 0.0636 (state 1), then 0.0560 (state 9).
    EXPECT_EQ(energy(1), "5.2576");
    EXPECT_EQ(energy(2), "2.9113");
    EXPECT_EQ(energy(3), "5.8933");

    choices.mode = extract_mode::lowest_energy;
    ASSERT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energy(1), "2.9113");
    EXPECT_EQ(energy(2), "3.8855");
    EXPECT_EQ(energy(3), "4.284");

    choices.mode = extract_mode::gaussian_order;
    texts.root_end = "11";
    ASSERT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energy(3), "4.284");

    // Pairs printed "46 -> 48": state 2 (0.52016) beats state 6 (0.40319).
    choices.mode = extract_mode::orbital_profile;
    choices.orbitals = true;
    texts.no_roots = "2";
    texts.orb1_from = "46";
    texts.orb1_to = "48";
    texts.orb2_from = "47";
    texts.orb2_to = "48";
    ASSERT_EQ(run(), ev_outcome::completed) << last_text();
    EXPECT_EQ(energy(1), "3.8855");
    EXPECT_EQ(energy(2), "2.9113");
    EXPECT_EQ(test::lines_of(out("freqgap.orbitals.dat.1"))[0], "ID 1 46 48 47 49\r");
}

TEST_F(real_td_series, TdmAndScfOfTheChosenState) {
    choices.tdm_data = choices.scf_energies = choices.scf_cycles = true;
    ASSERT_EQ(run(), ev_outcome::completed);
    // State 6: X 1.9238, Y 0, Z 3.1746; SCF Done: E(RB+HF-LYP) = -539.517603521 after 14 cycles.
    EXPECT_EQ(test::lines_of(out("freqgap_TDM+EV.1"))[0], "5.2576    3.71201988141227\r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Hartrees.1"))[0], " 2     -539.517603521 \r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Cycles.1"))[0], " 2      14 \r");
}

TEST_F(real_td_series, CompressedAndCrLfCopiesGiveTheSameFiles) {
    ASSERT_EQ(run(), ev_outcome::completed);
    const std::string plain = out("freqgapEV.1");
    std::string crlf;
    for (char c : template_text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        test::write_gzip(dir / ("gap" + n + ".gout.gz"), template_text);
        test::write_zip(dir / ("gap" + n + ".gout.zip"), crlf);
        test::write_file(dir / ("gap" + n + ".crlf"), crlf);
    }
    for (const char* suffix : {".gout.gz", ".gout.zip", ".crlf"}) {
        texts.suffix = suffix;
        choices.zipped = std::string(suffix) != ".crlf";
        ASSERT_EQ(run(), ev_outcome::completed) << suffix;
        EXPECT_EQ(out("freqgapEV.1"), plain) << suffix;
    }
}

TEST_F(real_td_series, TripletsAreNotSearched) {
    use("g03_td/cclibdata_G03_CO_TD_delta.log");
    texts.root_end = "5";
    ASSERT_EQ(run(), ev_outcome::completed);
    // States 1 to 3 are triplets; of the singlets 4 and 5 (equal strength) 4 is kept.
    EXPECT_EQ(energy(1), "8.4709");
}

// Gaussian 09 and 16: triplets between the singlets, symmetry labels ("Singlet-SG"), the
// "Dip. S." column, state numbers after two blanks, orbital pairs written "7 ->  8". File 2
// raises state 17's strength above state 24's; file 3 lowers state 4's energy.
TEST_F(real_td_series, Gaussian09And16SeriesInEveryRule) {
    using v = std::vector<std::string>;
    // The degenerate states 4 and 5 mix 7 -> 8 and 7 -> 9 differently in the two versions.
    struct version {
        const char* name;
        v orbital_root1;
        const char* orbital_line;
    };
    for (const version& g : {version{"gaussian_modern/cclib_Gaussian09_CO_TD_delta.log",
                                     {"8.4709", "8.4709", "8.4709"},
                                     "ID 1 7 8 7 9\r"},
                             version{"gaussian_modern/cclib_Gaussian16_CO_TD_delta.log",
                                     {"8.4709", "8.4709", "8.3"},
                                     "ID 1 7 8\r"}}) {
        SCOPED_TRACE(g.name);
        use(g.name, {{}, {"f=0.1947", "f=0.2999"}, {"8.4709 eV", "8.3000 eV"}});
        texts.root_end = "24";
        texts.limit_high = "20";
        texts.no_roots = "3";
        choices.tdm_data = true;
        choices.mode = extract_mode::max_oscillator;
        ASSERT_EQ(run(), ev_outcome::completed) << last_text();
        EXPECT_EQ(energies(1), (v{"13.722", "11.3361", "13.722"})); // states 24, 17, 24
        EXPECT_EQ(energies(3), (v{"8.4709", "8.4709", "8.3"}));     // state 4, below 17 and 24
        // |(0, 0, 0.8572)| of state 24, |(0, 0, -0.8373)| of state 17.
        EXPECT_EQ(test::lines_of(out("freqgap_TDM+EV.1"))[1], "11.3361    0.8373\r");

        choices.mode = extract_mode::lowest_energy;
        ASSERT_EQ(run(), ev_outcome::completed);
        EXPECT_EQ(energies(1), (v{"8.4709", "8.4709", "8.3"}));
        EXPECT_EQ(energies(2), (v{"9.8391", "9.8391", "8.4709"})); // state 5 once 4 is lower

        choices.mode = extract_mode::gaussian_order; // states 1 to 3 are triplets
        texts.no_roots = "4";
        ASSERT_EQ(run(), ev_outcome::completed);
        EXPECT_EQ(energies(1), (v{"20", "20", "20"}));
        EXPECT_EQ(energies(4), (v{"8.4709", "8.4709", "8.3"}));

        choices.mode = extract_mode::orbital_profile; // 7 -> 8: the triplet 1 has 0.69714
        choices.orbitals = true;
        choices.tdm_data = false;
        texts.no_roots = "2";
        texts.orb1_from = "7";
        texts.orb1_to = "8";
        texts.orb2_from = "7";
        texts.orb2_to = "11";
        ASSERT_EQ(run(), ev_outcome::completed) << last_text();
        EXPECT_EQ(energies(1), g.orbital_root1);
        EXPECT_EQ(energies(2), (v{"11.3361", "11.3361", "11.3361"}));
        EXPECT_EQ(test::lines_of(out("freqgap.orbitals.dat.1"))[0], g.orbital_line);
    }
}

// A TD job inside an optimisation: "Singlet-A" states, "This state for optimization" lines.
TEST_F(real_td_series, Gaussian09OptimisationStepStates) {
    use("gaussian_modern/cclibdata_G09_OPT_td_g09.out");
    texts.root_end = "10";
    texts.no_roots = "3";
    choices.tdm_data = true;
    ASSERT_EQ(run(), ev_outcome::completed) << last_text();
    EXPECT_EQ(energy(1), "6.7883"); // f = 0.6404, 0.3653, 0.1002
    EXPECT_EQ(energy(2), "6.7755");
    EXPECT_EQ(energy(3), "6.6914");
}

} // namespace
} // namespace qm
