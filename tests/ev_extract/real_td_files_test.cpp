// The extraction on series built from real Gaussian 03, 09 and 16 TD outputs kept beside the
// repository.
#include "ev_series.h"

namespace qm {
namespace {

const std::filesystem::path real_data = QM_REAL_DATA;

struct real_td_series : test::ev_series {
    void SetUp() override {
        if (!std::filesystem::is_directory(real_data))
            GTEST_SKIP() << "real sample files not found at " << real_data;
        use("g03_td/cclibdata_G03_anth1.log");
        texts.root_end = "12";
    }
    // One file per edit, from one template: file n gets the value change edits[n - 1] (the
    // first text of the file replaced by one as wide), as snapshots of a trajectory differ.
    using edit = std::pair<std::string, std::string>;
    void use(const std::string& name, const std::vector<edit>& edits = {{}}) {
        std::vector<std::string> files(edits.size(), test::read_file(real_data / name));
        for (std::size_t i = 0; i < edits.size(); ++i)
            if (!edits[i].first.empty())
                files[i].replace(files[i].find(edits[i].first), edits[i].first.size(),
                                 edits[i].second);
        series(files);
    }
};

TEST_F(real_td_series, EveryRuleAgainstTheFilesOwnLines) {
    texts.no_roots = "3";
    choices.tdm_data = true;
    ASSERT_EQ(run(), ev_outcome::completed);
    // f = 1.7748 (state 6: X 1.9238, Y 0, Z 3.1746), then 0.0636 (state 1), then 0.0560 (9).
    EXPECT_EQ(energies(3), "5.2576|2.9113|5.8933|");
    EXPECT_EQ(out("freqgap_TDM+EV.1"), "5.2576    3.71201988141227\r\n");

    choices.mode = extract_mode::gaussian_order;
    texts.root_end = "11";
    ASSERT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energies(3), "2.9113|3.8855|4.284|");

    // Pairs printed "46 -> 48": state 2 (0.52016) beats state 6 (0.40319).
    choices.mode = extract_mode::orbital_profile;
    choices.orbitals = true;
    texts.no_roots = "2";
    texts.orb1_from = "46";
    texts.orb1_to = "48";
    texts.orb2_from = "47";
    texts.orb2_to = "48";
    ASSERT_EQ(run(), ev_outcome::completed) << last_message();
    EXPECT_EQ(energies(2), "3.8855|2.9113|");
    EXPECT_EQ(out("freqgap.orbitals.dat.1"), "ID 1 46 48 47 49\r\n");
}

// Gaussian 09 and 16: triplets between the singlets, symmetry labels ("Singlet-SG"), the
// "Dip. S." column, state numbers after two blanks. File 2 raises state 17's strength above
// state 24's; file 3 lowers state 4's energy.
TEST_F(real_td_series, Gaussian09And16Series) {
    // The results table repeats the file's own fields: state 17 as root 1 of file 2.
    for (const auto& [name, row] :
         {std::pair{"gaussian_modern/cclib_Gaussian09_CO_TD_delta.log",
                    "2,gap2.gout,4,1,17,Singlet-SG,11.3361,109.37,0.2999,0.0000,0.0000,-0.8373,"
                    "0.8373,-113.217133509,9,ok"},
          {"gaussian_modern/cclib_Gaussian16_CO_TD_delta.log",
           "2,gap2.gout,4,1,17,Singlet-SG,11.3361,109.37,0.2999,-0.0000,-0.0000,-0.8373,0.8373,"
           "-113.217132562,9,ok"}}) {
        SCOPED_TRACE(name);
        use(name, {{}, {"f=0.1947", "f=0.2999"}, {"8.4709 eV", "8.3000 eV"}});
        texts.root_end = "24";
        texts.limit_high = "20";
        texts.no_roots = "3";
        texts.results_table = (dir / "results.csv").string();
        choices.tdm_data = true;
        ASSERT_EQ(run(), ev_outcome::completed) << last_message();
        // Root 1: states 24, 17, 24; root 3: state 4, below 17 and 24. |(0, 0, 0.8572)| of
        // state 24, |(0, 0, -0.8373)| of state 17.
        EXPECT_EQ(energies(3), "13.722 11.3361 13.722|11.3361 13.722 11.3361|8.4709 8.4709 8.3|");
        EXPECT_EQ(test::lines_of(out("freqgap_TDM+EV.1"))[1], "11.3361    0.8373\r");
        EXPECT_EQ(test::lines_of(out("results.csv")).at(4), row);
    }
}

// A Gaussian 09 TD job inside an optimisation: "Singlet-A" states, "This state for
// optimization" lines.
TEST_F(real_td_series, Gaussian09OptimisationStepStates) {
    use("gaussian_modern/cclibdata_G09_OPT_td_g09.out");
    texts.root_end = "10";
    texts.no_roots = "3";
    choices.tdm_data = true;
    ASSERT_EQ(run(), ev_outcome::completed) << last_message();
    EXPECT_EQ(energies(3), "6.7883|6.7755|6.6914|"); // f = 0.6404, 0.3653, 0.1002
}

// ORCA 5 and 6 series: file 2 raises state 4's strength above state 2's, file 3 lowers state
// 1's energy (ORCA 6 in the spectrum's eV column, ORCA 5 in the state line's hartree value).
// Every rule and every output of the Gaussian route, and a Gaussian file in the series refused.
TEST_F(real_td_series, OrcaSeriesInEveryRule) {
    struct orca_case {
        const char* name;
        edit strength, energy;
        const char* max_osc;     // roots 1 and 2
        const char* lowest;      // roots 1 and 2
        const char* state_1;     // root 1 of the Gaussian order and of the orbital profile
        const char* orbitals;    // file 1's line of root 1 (34 -> 36 is ORCA's 33a -> 35a)
    };
    const orca_case cases[] = {
        {"orca/cclib_ORCA6_dvb_td.out", {"0.218077849", "1.918077849"}, {"5.352154", "5.152154"},
         "5.731321 7.118836 5.731321|7.118836 5.731321 7.118836|",
         "5.352154 5.352154 5.152154|5.731321 5.731321 5.731321|",
         "5.352154 5.352154 5.152154|", "ID 1 34 36 35 37\r\n"},
        {"orca/cclib_ORCA5_dvb_td.out", {"0.218288556", "1.918288556"},
         {"0.196682 au", "0.189332 au"},
         "5.73183361024116 7.11991363403525 5.73183361024116|"
         "7.11991363403525 5.73183361024116 7.11991363403525|",
         "5.35198986963341 5.35198986963341 5.1519861807254|"
         "5.73183361024116 5.73183361024116 5.73183361024116|",
         "5.35198986963341 5.35198986963341 5.1519861807254|", "ID 1 34 36 35 37\r\n"},
    };
    for (const orca_case& c : cases) {
        SCOPED_TRACE(c.name);
        texts = {};
        use(c.name, {{}, c.strength, c.energy});
        texts.root_end = "10";
        texts.limit_low = "0";
        texts.limit_high = "10";
        texts.no_roots = "2";
        choices = {};
        choices.tdm_data = choices.scf_energies = choices.scf_cycles = true;
        ASSERT_EQ(run(), ev_outcome::completed) << last_message();
        EXPECT_EQ(energies(2), c.max_osc);
        EXPECT_FALSE(out("freqgap_TDM+EV.1").empty());
        EXPECT_FALSE(out("freqgap_SCF-Hartrees.1").empty());
        choices.mode = extract_mode::lowest_energy;
        ASSERT_EQ(run(), ev_outcome::completed) << last_message();
        EXPECT_EQ(energies(2), c.lowest);
        choices.mode = extract_mode::gaussian_order;
        ASSERT_EQ(run(), ev_outcome::completed) << last_message();
        EXPECT_EQ(energies(1), c.state_1);
        choices.mode = extract_mode::orbital_profile;
        choices.orbitals = true;
        texts.no_roots = "1";
        texts.orb1_from = "34";
        texts.orb1_to = "36";
        ASSERT_EQ(run(), ev_outcome::completed) << last_message();
        EXPECT_EQ(energies(1), c.state_1);
        EXPECT_EQ(test::lines_of(out("freqgap.orbitals.dat.1"))[0] + "\n", c.orbitals);
    }
    // A Gaussian output among ORCA outputs is refused, naming it.
    choices = {};
    use("orca/cclib_ORCA6_dvb_td.out", {{}, {}});
    test::write_file(dir / "gap2.gout",
                     test::read_file(real_data / "gaussian_modern/cclib_Gaussian16_CO_TD_delta.log"));
    texts.limit_high = "20";
    ASSERT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(last_message(), "Data Expected!: File - 2 (gap2.gout) is a Gaussian output, but "
                              "the series holds ORCA outputs.");
}

} // namespace
} // namespace qm
