// The extraction on series built from real Gaussian 03 TD outputs kept beside the repository.
#include "ev_extract/ev_extract_job.h"
#include "platform/text.h"

#include "support/td_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

const std::filesystem::path real_td = std::filesystem::path(QM_REAL_DATA) / "g03_td";

struct real_td_series : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    ev_texts texts;
    ev_choices choices;
    std::string template_text;

    void SetUp() override {
        if (!std::filesystem::is_directory(real_td))
            GTEST_SKIP() << "real sample files not found at " << real_td;
        use("cclibdata_G03_anth1.log");
        texts.limit_low = "0";
        texts.limit_high = "10";
        texts.root_end = "12";
        texts.file_end = "3";
        choices.status_log = false;
    }
    void use(const std::string& name) {
        template_text = test::read_file(real_td / name);
        for (int i = 1; i <= 3; ++i)
            test::write_file(dir / ("gap" + std::to_string(i) + ".gout"), template_text);
    }
    ev_outcome run() {
        const auto scan = scan_file_series({"gap", texts.suffix, "1", texts.file_end, "1"},
                                           dir.path().string() + "/");
        return ev_extract_job(ev_settings_from(texts, choices), scan.series, ui, {dir.path()});
    }
    // The energy written for root k in the first slot.
    std::string energy(int k) {
        const auto lines =
            test::lines_of(test::read_file(dir / ("freqgapEV." + std::to_string(k))));
        return std::string(split_fields(lines.at(0), " \r").at(1));
    }
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
    ASSERT_EQ(run(), ev_outcome::completed) << ui.messages.back().text;
    EXPECT_EQ(energy(1), "3.8855");
    EXPECT_EQ(energy(2), "2.9113");
    EXPECT_EQ(test::lines_of(test::read_file(dir / "freqgap.orbitals.dat.1"))[0],
              "ID 1 46 48 47 49\r");
}

TEST_F(real_td_series, TdmAndScfOfTheChosenState) {
    choices.tdm_data = choices.scf_energies = choices.scf_cycles = true;
    ASSERT_EQ(run(), ev_outcome::completed);
    // State 6: X 1.9238, Y 0, Z 3.1746; SCF Done: E(RB+HF-LYP) = -539.517603521 after 14 cycles.
    EXPECT_EQ(test::lines_of(test::read_file(dir / "freqgap_TDM+EV.1"))[0],
              "5.2576    3.71201988141227\r");
    EXPECT_EQ(test::lines_of(test::read_file(dir / "freqgap_SCF-Hartrees.1"))[0],
              " 2     -539.517603521 \r");
    EXPECT_EQ(test::lines_of(test::read_file(dir / "freqgap_SCF-Cycles.1"))[0], " 2      14 \r");
}

TEST_F(real_td_series, CompressedAndCrLfCopiesGiveTheSameFiles) {
    ASSERT_EQ(run(), ev_outcome::completed);
    const std::string plain = test::read_file(dir / "freqgapEV.1");
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
        EXPECT_EQ(test::read_file(dir / "freqgapEV.1"), plain) << suffix;
    }
}

TEST_F(real_td_series, TripletsAreNotSearched) {
    use("cclibdata_G03_CO_TD_delta.log");
    texts.root_end = "5";
    ASSERT_EQ(run(), ev_outcome::completed);
    // States 1 to 3 are triplets; of the singlets 4 and 5 (equal strength) 4 is kept.
    EXPECT_EQ(energy(1), "8.4709");
}

} // namespace
} // namespace qm
