#include "ev_series.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::td_output;
using test::td_state;

struct ev_job : test::ev_series {};

TEST_F(ev_job, EvFileLayoutAndCompletion) {
    series({td_output({{3.5, 0.2}}), td_output({{0.5, 0.2}})});
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(out("freqgapEV.1"), " 2      3.5 \r\n 4      0.5 \r\n");
    EXPECT_EQ(ui.messages.back().title, "Processing Finished");
    EXPECT_EQ(last_text(), "Extraction Complete");
    EXPECT_EQ(ui.count_texts.first, "Files Processed=2");
    EXPECT_EQ(ui.count_texts.second, "Files Remaining=0");
    EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));
}

TEST_F(ev_job, MaxOscillatorStrengthTieBreaks) {
    series({td_output({{3.1, 0.1}, {3.2, 0.3}, {3.3, 0.3}}),
            td_output({{3.1, 0}, {3.2, 0}, {3.3, 0}})});
    texts.root_end = "3";
    texts.no_roots = "2";
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energies(1), (std::vector<std::string>{"3.2", "10"})); // strength 0: never chosen
    EXPECT_EQ(energies(2), (std::vector<std::string>{"3.1", "10"}));
}

TEST_F(ev_job, LowestEnergyAndItsWindowTop) {
    series({td_output({{3.1, 0.1}, {2.9, 0.1}, {2.9, 0.1}, {3.5, 0.1}}),
            td_output({{10, 0.1}, {12, 0.1}, {12, 0.1}, {12, 0.1}})});
    texts.root_end = "4";
    texts.no_roots = "3";
    choices.mode = extract_mode::lowest_energy;
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energies(1)[0], "2.9");
    EXPECT_EQ(energies(2)[0], "3.1");
    EXPECT_EQ(energies(3)[0], "3.5");
    EXPECT_EQ(energies(1)[1], "10"); // equal to the window's top: never chosen
}

TEST_F(ev_job, OrbitalProfileKeepsTheFirstOfEqualCoefficients) {
    series({td_output({{3.1, 0.1, {"      23 ->25        -0.65000"}},
                       {3.2, 0.1, {"      23 -> 25         0.65000"}}})});
    texts.root_end = "2";
    texts.orb1_from = "23";
    texts.orb1_to = "25";
    choices.mode = extract_mode::orbital_profile;
    choices.orbitals = true;
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energies(1)[0], "3.1");
    EXPECT_EQ(out("freqgap.orbitals.dat.1"), "ID 1 23 25\r\n");

    texts.orb1_to = "26";
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Data Expected!");
    EXPECT_EQ(last_text(), "Selected Orbital Profile not found in file - 1 Root - 1");
}

// Files m = 3, 6, ... hold the first m visited slots; the last one holds them all.
TEST_F(ev_job, IntervalSeriesTimesAndCumulativeRadFiles) {
    series(std::vector<std::string>(16, td_output({{3.5, 0.2}})));
    texts.interval = "5";
    texts.points = "3";
    ev_charts charts;
    EXPECT_EQ(run(&charts), ev_outcome::completed);
    // Charted like the files: the visited slots only, at their times.
    ASSERT_EQ(charts.energy.lines.size(), 1u);
    const auto& points = charts.energy.lines[0].points;
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1].x, 12);
    EXPECT_EQ(points[3].x, 32);
    EXPECT_EQ(points[3].y, 3.5);
    EXPECT_TRUE(charts.tdm.lines.empty());
    const auto ev = test::lines_of(out("freqgapEV.1"));
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_EQ(ev[1].substr(0, 4), " 12 "); // slot 6, time step 2
    EXPECT_EQ(ev[3].substr(0, 4), " 32 ");
    const std::string rad = " 5.31743661705722E+15 \r\n";
    EXPECT_EQ(out("freqgap3.1"), rad + rad + rad);
    EXPECT_EQ(test::lines_of(out("freqgap6.1")).size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap9.1"));
}

TEST_F(ev_job, ScfAndTdmFilesWithTheirNumberForms) {
    td_state state{3.5, 0.2}, never_chosen{0.5, 0};
    state.x = 3;
    state.y = 4;
    never_chosen.x = 1;
    series({td_output({state}, " SCF Done:  E(RHF) =  -1234.5     A.U. after   14 cycles"),
            td_output({never_chosen})});
    choices.scf_energies = choices.scf_cycles = choices.tdm_data = true;
    texts.points = "1"; // files of 1 and 2 lines, the second holding both slots
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Hartrees.1"))[0], " 2     -1234.5 \r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-EV.1"))[0], " 2     -33592.4528073 \r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Cycles.1"))[0], " 2      14 \r");
    // The second slot recorded no state: its TDM is 0, never another state's.
    EXPECT_EQ(out("freqgap_TDM+EV.1"), "3.5    5\r\n10    0\r\n");
    EXPECT_EQ(out("freqgap2.1"), "5.31743661705722E+15    5\r\n1.51926760487349E+16    0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap3.1"));
}

TEST_F(ev_job, SeparateTdmFiles) {
    td_state state{3.5, 0.2};
    state.z = -2;
    series({td_output({state})});
    choices.tdm_data = choices.tdm_separate = true;
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(out("freqgap10.1"), " 5.31743661705722E+15 \r\n");
    EXPECT_EQ(out("freqgapTDM10.1"), " 2 \r\n");
}

TEST_F(ev_job, StatusLogOfAWholeRun) {
    series({td_output({{3.5, 0.2}})});
    choices.status_log = true;
    choices.tdm_data = choices.scf_energies = true;
    choices.zipped = false;
    EXPECT_EQ(run(), ev_outcome::completed);
    const auto log = test::lines_of(out("execution_status.dat"));
    const std::vector<std::string> expected = {
        "Execution started at 12:00:00 01/01/2026\r",
        "\r",
        " Options Summary\r",
        " ---------------\r",
        "\r",
        "txt_file_start = 1\r",
        "txt_file_end = 1\r",
        "txt_interval = 1\r",
        "txt_output_prefix = freqgap\r",
        "txt_time_step = 2\r",
        "txt_points =   10\r",
        "txt_root_start = 1\r",
        "txt_root_end = 1\r",
        "txt_limit_low = 0\r",
        "txt_limit_high = 10\r",
        "txtno_roots = 1\r",
        "\r",
        "Extracting on Oscillator Strength\r",
        "\r",
        "Jobs selected:\r",
        "    1) Extract 1 energy states.\r",
        "    2) Output TDM Data as 2nd column of energy gap.\r",
        "    3) Output SCF Energies.\r",
        "TOTAL JOBS TO PROCESS: 3\r",
        "\r",
        "*** Beginning Data extraction for root: 1 ***\r",
        "    Processing File: 1   Root Number: 1\r",
        "                    SCF Energy = -539.517603521 hartrees\r",
        "Writing EV against Time Data File - " + (dir / "freqgapEV.1").string() + "\r"};
    ASSERT_GE(log.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(log[i], expected[i]) << i;
    EXPECT_EQ(log[log.size() - 4], "   Wrote File 10\r");
    EXPECT_EQ(log[log.size() - 3],
              "*** Ev extraction loops completed at 12:00:00 01/01/2026 ***\r");
    EXPECT_EQ(log.back(), "Closing Status File\r");
}

TEST_F(ev_job, FailuresEndTheJobWithTheirMessages) {
    choices.status_log = true;
    series({td_output({{3.5, 0.2}})});
    texts.root_end = "2"; // state 2 is not in the file
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().icon, message_icon::critical);
    EXPECT_EQ(last_text(), "Data not found for ANY roots in file - 1");
    const auto log = test::lines_of(out("execution_status.dat"));
    EXPECT_EQ(log.back(), "FATAL ERROR: Data not found for ANY roots in file - 1\r");

    texts.root_end = "1";
    choices.scf_energies = true;
    series({td_output({{3.5, 0.2}}, " no SCF line")});
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Data Expected!");
    EXPECT_EQ(last_text(), "SCF Done line not found in file - 1");

    // TDM outputs asked of a file without its transition dipole table: never zeros as data.
    choices.scf_energies = false;
    choices.tdm_data = true;
    std::string no_table = td_output({{3.5, 0.2}});
    no_table.replace(no_table.find("Osc.\n"), 4, "Str.");
    series({no_table});
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Data Expected!");
    EXPECT_EQ(last_text(), "Transition dipole moments not found in file - 1");

    choices.mode = extract_mode::orbital_profile;
    texts.no_roots = "3";
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Unsupported method");
    EXPECT_FALSE(ui.busy_now);
}

TEST_F(ev_job, StructureForTheFitMustMatchTheFirstFile) {
    // The isotope table after the atoms is not part of the structure.
    const std::string more_atoms =
        td_output({{3.5, 0.2}}, test::default_scf, test::default_structure + " H  0 0. 1. 0.\n");
    series({td_output({{3.5, 0.2}}), more_atoms});
    choices.rel_tdm = true;
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Data Expected!");
    EXPECT_EQ(last_text(),
              "The structure in file - 2 does not have the atom count of the first file.");

    std::string no_charge = td_output({{3.5, 0.2}});
    no_charge.replace(no_charge.find(" Charge = "), 10, " Charges  ");
    series({no_charge});
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(last_text(), "Input structure not found in file - 1");
}

TEST_F(ev_job, MissingFileIsTheErrorReport) {
    series({td_output({{3.5, 0.2}}), td_output({{3.5, 0.2}})});
    std::filesystem::remove(dir / "gap2.gout");
    EXPECT_EQ(run(), ev_outcome::error_report);
    EXPECT_EQ(last_text(), "Error (File not found53) in (frm_ev_extract: cmd_execute_click) "
                           "routine.\n\rReturning to main menu");
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgapEV.1"));
}

TEST_F(ev_job, RefusedBeforeAnyFileIsRead) {
    series({td_output({{3.5, 0.2}})});
    choices.status_log = true;
    texts.points = "0";
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Invalid Points Per File");
    texts.points = "10";
    texts.root_end = "30000000"; // used to take 8 GB
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Invalid Root Range");
    EXPECT_EQ(last_text(), "The root range to search may end at state 9999 at most: Gaussian "
                           "numbers its excited states in four columns.");
    texts.root_end = "1";
    texts.file_start = "5"; // start after end: no files
    EXPECT_EQ(run(), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "No Files to Process");
    EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));
}

TEST_F(ev_job, tablesBeyondTheComputersMemoryAreRefusedNotABadAlloc) {
    file_series huge;
    huge.file_count = 1'000'000'000'000;
    texts.root_end = "9999";
    EXPECT_EQ(ev_extract_job(ev_settings_from(texts, choices), huge, ui), ev_outcome::stopped);
    EXPECT_EQ(ui.messages.back().title, "Not Enough Memory");
    EXPECT_EQ(last_text().rfind("The tables for 1000000000000 files, 1 root and 9999 states "
                                "searched need 213.6 PB, more than the ",
                                0),
              0u)
        << last_text();
}

// Inputs freqgapEV.1 to 3, freqgap1.1 to 3, raw_tdm.1.dat to 3: the EV file, the first rad/s
// file and the raw TDM file of root 1 used to replace input 1.
TEST_F(ev_job, outputNamedLikeAnInputIsRefusedBeforeTheFirstWriteNotWrittenOverIt) {
    choices.status_log = true;
    texts.points = "1";
    choices.raw_tdms = true;
    const std::string gaussian = td_output({{3.5, 0.2}});
    for (const auto& [prefix, suffix] :
         {std::pair{"freqgapEV.", ""}, {"freqgap", ".1"}, {"raw_tdm.", ".dat"}}) {
        for (int i = 1; i <= 3; ++i)
            test::write_file(dir / (prefix + std::to_string(i) + suffix), gaussian);
        const auto scan =
            scan_file_series({prefix, suffix, "1", "3", "1"}, dir.path().string() + "/");
        EXPECT_EQ(ev_extract_job(ev_settings_from(texts, choices), scan.series, ui,
                                 {dir.path(), RMSFIT_PATH}),
                  ev_outcome::error_report);
        const std::string first = (dir / (prefix + std::string("1") + suffix)).string();
        EXPECT_EQ(last_text(), "Error (File already open (" + first +
                                   " is one of the inputs)55) in (frm_ev_extract: "
                                   "cmd_execute_click) routine.\n\rReturning to main menu");
        EXPECT_EQ(test::read_file(first), gaussian);
        EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));
    }
}

} // namespace
} // namespace qm
