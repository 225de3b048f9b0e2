#include "ev_extract/time_series_files.h"
#include "ev_series.h"

#include "platform/worker_threads.h"

#include <map>
#include <sys/resource.h>

namespace qm {
namespace {

using test::td_output;
using test::td_state;

struct ev_job : test::ev_series {};

// Ties: of equal strengths, energies or orbital coefficients the first state is root k, never
// root k + 1 as well. Strength 0 and an energy at the window's top are never chosen.
TEST_F(ev_job, TiesInEveryRule) {
    using states = std::vector<td_state>;
    const states equal_coefficients{{3.1, 0.1, {"      23 ->25        -0.65000"}},
                                    {3.2, 0.1, {"      23 -> 25         0.65000"}}};
    texts.orb1_from = "23";
    texts.orb1_to = "25";
    choices.orbitals = true;
    for (const auto& [mode, first, second, roots, energy] :
         {// MaxOscillatorStrengthTieBreaks
          std::tuple{extract_mode::max_oscillator, states{{3.1, 0.1}, {3.2, 0.3}, {3.3, 0.3}},
                     states{{3.1, 0}, {3.2, 0}, {3.3, 0}}, 2, "3.2 10|3.1 10|"},
          // LowestEnergyAndItsWindowTop
          std::tuple{
              extract_mode::lowest_energy, states{{3.1, 0.1}, {2.9, 0.1}, {2.9, 0.1}, {3.5, 0.1}},
              states{{10, 0.1}, {12, 0.1}, {12, 0.1}, {12, 0.1}}, 3, "2.9 10|3.1 10|3.5 10|"},
          // OrbitalProfileKeepsTheFirstOfEqualCoefficients
          std::tuple{extract_mode::orbital_profile, equal_coefficients, equal_coefficients, 1,
                     "3.1 3.1|"}}) {
        choices.mode = mode;
        texts.root_end = std::to_string(first.size());
        texts.no_roots = std::to_string(roots);
        series({td_output(first), td_output(second)});
        EXPECT_EQ(run(), ev_outcome::completed);
        EXPECT_EQ(energies(roots), energy);
    }
    EXPECT_EQ(out("freqgap.orbitals.dat.1"), "ID 1 23 25\r\nID 2 23 25\r\n");
    texts.orb1_to = "26";
    EXPECT_EQ(stop(), "Data Expected!: Selected Orbital Profile not found in file - 1 Root - 1");
}

// Every root's state is chosen when the first root's pass reads a file, but a later root's
// failure stops the job only when that root's own pass reaches the file: the first root's
// files are written, the later root's are not, and the log reads as root after root.
TEST_F(ev_job, ALaterRootsFailureStopsItsOwnPassAfterTheFirstRootsFiles) {
    const td_state first{3.1, 0.1, {"      23 -> 25         0.65000"}};
    const td_state second{3.2, 0.1, {"      24 -> 26         0.60000"}};
    const td_state other{3.2, 0.1, {"      22 -> 26         0.60000"}};
    series({td_output({first, second}), td_output({first, second}), td_output({first, other})});
    choices.mode = extract_mode::orbital_profile;
    choices.orbitals = true;
    choices.status_log = true;
    texts.root_end = "2";
    texts.no_roots = "2";
    texts.orb1_from = "23";
    texts.orb1_to = "25";
    texts.orb2_from = "24";
    texts.orb2_to = "26";
    EXPECT_EQ(stop(), "Data Expected!: Selected Orbital Profile not found in file - 3 Root - 2");
    EXPECT_EQ(out("freqgap.orbitals.dat.1"), "ID 1 23 25\r\nID 2 23 25\r\nID 3 23 25\r\n");
    EXPECT_EQ(energies(1), "3.1 3.1 3.1|");
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgapEV.2"));
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap.orbitals.dat.2"));
    const std::string log = out("execution_status.dat");
    EXPECT_NE(log.find("    Processing File: 3   Root Number: 2\r\nFATAL ERROR: Selected Orbital "
                       "Profile not found in file - 3\r\n"),
              std::string::npos)
        << log;
}

// Files m = 3, 6, ... hold the first m visited slots; the last one holds them all. Charted
// like the files: the visited slots only, at their times.
TEST_F(ev_job, IntervalSeriesTimesAndCumulativeRadFiles) {
    series(std::vector<std::string>(16, td_output({{3.5, 0.2}})));
    texts.interval = "5";
    texts.points = "3";
    ev_charts charts;
    EXPECT_EQ(run(&charts), ev_outcome::completed);
    EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));
    ASSERT_EQ(charts.energy.lines.size(), 1u);
    std::string points;
    for (const auto& p : charts.energy.lines[0].points)
        points += std::to_string(static_cast<int>(p.x)) + " " + std::to_string(p.y) + "|";
    EXPECT_EQ(points, "2 3.500000|12 3.500000|22 3.500000|32 3.500000|");
    EXPECT_TRUE(charts.tdm.lines.empty());
    // A saved chart says which files it shows and how they were read, the boxes as typed.
    const std::string& described = charts.energy.run_description;
    EXPECT_TRUE(described.starts_with("Files: " + (dir / "").string())) << described;
    EXPECT_TRUE(described.ends_with(".gout every 5; Roots: 1; States searched: 1 to 1; Energy "
                                    "window (eV): " +
                                    texts.limit_low + " to " + texts.limit_high +
                                    "; Time step (fs): 2"))
        << described;
    EXPECT_EQ(charts.tdm.run_description, described);
    EXPECT_EQ(out("freqgapEV.1"),
              " 2      3.5 \r\n 12      3.5 \r\n 22      3.5 \r\n 32      3.5 \r\n");
    const std::string rad = " 5.31743661705722E+15 \r\n";
    EXPECT_EQ(out("freqgap3.1"), rad + rad + rad);
    EXPECT_EQ(out("freqgap6.1"), rad + rad + rad + rad);
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap9.1"));
}

// The second slot records no state: its TDM is 0, never another state's. Then the TDMs in
// files of their own.
TEST_F(ev_job, ScfAndTdmFilesWithTheirNumberForms) {
    const td_state state{3.5, 0.2, {}, 3, 4}, never_chosen{0.5, 0, {}, 1};
    series({td_output({state}, " SCF Done:  E(RHF) =  -1234.5     A.U. after   14 cycles"),
            td_output({never_chosen})});
    choices.scf_energies = choices.scf_cycles = choices.tdm_data = true;
    texts.points = "1"; // files of 1 and 2 lines, the second holding both slots
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Hartrees.1"))[0], " 2     -1234.5 \r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-EV.1"))[0], " 2     -33592.4528073 \r");
    EXPECT_EQ(test::lines_of(out("freqgap_SCF-Cycles.1"))[0], " 2      14 \r");
    EXPECT_EQ(out("freqgap_TDM+EV.1"), "3.5    5\r\n10    0\r\n");
    EXPECT_EQ(out("freqgap2.1"), "5.31743661705722E+15    5\r\n1.51926760487349E+16    0\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap3.1"));
    choices.tdm_separate = true;
    EXPECT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(out("freqgap1.1"), " 5.31743661705722E+15 \r\n");
    EXPECT_EQ(out("freqgapTDM1.1"), " 5 \r\n");
}

// Every root's series files are open from the first slot on, but one that cannot be made fails
// where it failed when the files were made one after the other: the files before it are in
// place, those after it are not, and the log's last line names it.
TEST_F(ev_job, ASeriesFileThatCannotBeMadeFailsAtItsTurnWithTheFilesBeforeItInPlace) {
    const std::string scf = " SCF Done:  E(RHF) =  -1234.5     A.U. after   14 cycles";
    series(std::vector<std::string>(3, td_output({{3.1, 0.1}, {3.2, 0.2}}, scf)));
    choices.scf_energies = choices.status_log = true;
    texts.root_end = "2";
    texts.no_roots = "2";
    texts.points = "3";
    std::filesystem::create_directory(dir / "freqgap_SCF-EV.2");
    EXPECT_EQ(run(), ev_outcome::error_report);
    for (const char* placed : {"freqgapEV.1", "freqgap_SCF-rads-1.1", "freqgap3.1", "freqgapEV.2",
                               "freqgap_SCF-Hartrees.2"})
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / placed)) << placed;
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap_SCF-rads-1.2"));
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgap3.2"));
    const std::string log = out("execution_status.dat");
    const std::size_t last = log.rfind("Writing ");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(log.substr(last, log.find('\r', last) - last),
              "Writing SCF Data (eV) against Time Data File - " +
                  (dir / "freqgap_SCF-EV.2").string());
}

// A process that may not hold every root's files open at once writes each root's files when
// its pass ends instead, to the same bytes.
TEST_F(ev_job, SeriesFilesBeyondTheOpenFileLimitAreWrittenRootByRootToTheSameBytes) {
    const std::string scf = " SCF Done:  E(RHF) =  -1234.5     A.U. after   14 cycles";
    series(std::vector<std::string>(5, td_output({{3.1, 0.1}, {3.2, 0.2}, {3.3, 0.3}}, scf)));
    choices.scf_energies = choices.scf_cycles = choices.tdm_data = choices.orbitals = true;
    texts.root_end = "3";
    texts.no_roots = "3";
    texts.points = "2";
    ASSERT_EQ(run(), ev_outcome::completed);
    std::map<std::string, std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().starts_with("freqgap"))
            written[entry.path().filename().string()] = test::read_file(entry.path());
    ASSERT_EQ(written.size(), 30u); // 10 files of each root
    // In a child process, whose open-file limit cannot be raised again.
    const auto same_with_few_files = [&] {
        for (const auto& [name, bytes] : written)
            std::filesystem::remove(dir / name);
        const rlimit few{48, 48};
        bool same = ::setrlimit(RLIMIT_NOFILE, &few) == 0 && run() == ev_outcome::completed;
        for (const auto& [name, bytes] : written)
            same = same && std::filesystem::exists(dir / name) && out(name) == bytes;
        std::exit(same ? 0 : 1);
    };
    EXPECT_EXIT(same_with_few_files(), ::testing::ExitedWithCode(0), "");
}

// At most max_waiting_rad_files angular-frequency files wait for their root's turn (memory
// stays flat); the rest are written then, one after the other, each the first m lines.
TEST_F(ev_job, AngularFrequencyFilesPastThoseThatWaitAreWrittenAtTheRootsTurn) {
    constexpr int files = 300;
    static_assert(files > root_series_files::max_waiting_rad_files);
    std::vector<std::string> outputs;
    for (int n = 1; n <= files; ++n)
        outputs.push_back(td_output({{3.0 + n / 1000.0, 0.2}}));
    series(outputs);
    choices.status_log = choices.tdm_data = choices.tdm_separate = true;
    texts.points = "1";
    ASSERT_EQ(run(), ev_outcome::completed);
    for (const char* part : {"freqgap", "freqgapTDM"}) {
        const auto all = test::lines_of(out(std::string(part) + std::to_string(files) + ".1"));
        ASSERT_EQ(all.size(), static_cast<std::size_t>(files)) << part;
        for (int m = 1; m < files; ++m)
            ASSERT_EQ(test::lines_of(out(part + std::to_string(m) + ".1")).size(),
                      static_cast<std::size_t>(m))
                << part << m;
        std::string first_257;
        for (int m = 0; m < 257; ++m)
            first_257 += all[static_cast<std::size_t>(m)] + "\n";
        EXPECT_EQ(out(std::string(part) + "257.1"), first_257) << part;
    }
    std::string wrote;
    for (const auto& line : test::lines_of(out("execution_status.dat")))
        if (line.starts_with("   Wrote File "))
            wrote += line.substr(14, line.size() - 15) + " ";
    std::string expected;
    for (int m = 1; m <= files; ++m)
        expected += std::to_string(m) + " ";
    EXPECT_EQ(wrote, expected);
}

TEST_F(ev_job, StatusLogOfAWholeRun) {
    series({td_output({{3.5, 0.2}})});
    choices.status_log = choices.tdm_data = choices.scf_energies = true;
    EXPECT_EQ(run(), ev_outcome::completed);
    std::string log = out("execution_status.dat");
    for (std::size_t at; (at = log.find(dir.path().string())) != std::string::npos;)
        log.replace(at, dir.path().string().size(), "D");
    EXPECT_EQ(log,
              "Execution started at 12:00:00 01/01/2026\r\n\r\n Options Summary\r\n"
              " ---------------\r\n\r\ntxt_file_start = 1\r\ntxt_file_end = 1\r\n"
              "txt_interval = 1\r\ntxt_output_prefix = freqgap\r\ntxt_time_step = 2\r\n"
              "txt_points =   10\r\ntxt_root_start = 1\r\ntxt_root_end = 1\r\n"
              "txt_limit_low = 0\r\ntxt_limit_high = 10\r\ntxtno_roots = 1\r\n\r\n"
              "Extracting on Oscillator Strength\r\n\r\nJobs selected:\r\n"
              "    1) Extract 1 energy states.\r\n"
              "    2) Output TDM Data as 2nd column of energy gap.\r\n"
              "    3) Output SCF Energies.\r\nTOTAL JOBS TO PROCESS: 3\r\n\r\n"
              "*** Beginning Data extraction for root: 1 ***\r\n"
              "    Processing File: 1   Root Number: 1\r\n"
              "                    SCF Energy = -539.517603521 hartrees\r\n"
              "Writing EV against Time Data File - D/freqgapEV.1\r\n"
              "Writing SCF Data (Hartrees) against Time Data File - D/freqgap_SCF-Hartrees.1\r\n"
              "Writing SCF Data (eV) against Time Data File - D/freqgap_SCF-EV.1\r\n"
              "Writing SCF Data (rad/s) against Time Data File - D/freqgap_SCF-rads-1.1\r\n"
              "Writing EV & TDM against Time Data File - D/freqgap_TDM+EV.1\r\n"
              "Writing Rads Per Second Data Files\r\n   Files to write = 0.1\r\n"
              "   Wrote File 10\r\n"
              "*** Ev extraction loops completed at 12:00:00 01/01/2026 ***\r\n"
              "Execution finished at 12:00:00 01/01/2026\r\nClosing Status File\r\n");
}

// Settings refused before any file is read or the status log made; then every message that
// stops a job, in the log too, never leaving the busy cursor on. Missing TDMs are never
// written as zeros, nor a structure of another size fitted.
TEST_F(ev_job, FailuresEndTheJobWithTheirMessages) {
    choices.status_log = true;
    series({td_output({{3.5, 0.2}})});
    texts.points = "0";
    EXPECT_EQ(stop().substr(0, 25), "Invalid Points Per File: ");
    texts.points = "10";
    texts.root_end = "30000000"; // used to take 8 GB
    EXPECT_EQ(stop(), "Invalid Root Range: The root range to search may end at state 9999 at "
                      "most: Gaussian numbers its excited states in four columns.");
    texts.file_start = "5"; // start after end: no files
    texts.root_end = "1";
    EXPECT_EQ(stop().substr(0, 21), "No Files to Process: ");
    EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));

    texts.file_start = "1";
    texts.root_end = "2"; // state 2 is not in the file
    EXPECT_EQ(stop(), "Data Expected!: Data not found for ANY roots in file - 1");
    EXPECT_EQ(ui.messages.back().icon, message_icon::critical);
    EXPECT_EQ(test::lines_of(out("execution_status.dat")).back(),
              "FATAL ERROR: Data not found for ANY roots in file - 1\r");
    const auto one_state_with = [](const std::string& from, const std::string& to) {
        std::string text = td_output({{3.5, 0.2}});
        return text.replace(text.find(from), from.size(), to);
    };
    texts.root_end = "1";
    choices.scf_energies = true;
    series({one_state_with(" SCF Done:", " no SCF:")});
    EXPECT_EQ(stop(), "Data Expected!: SCF Done line not found in file - 1");
    choices.scf_energies = false;
    choices.tdm_data = true;
    series({one_state_with("Osc.\n", "Str.\n")});
    EXPECT_EQ(stop(), "Data Expected!: Transition dipole moments not found in file - 1");
    choices.tdm_data = false;
    choices.rel_tdm = true;
    series({one_state_with(" Charge = ", " Charges  ")});
    EXPECT_EQ(stop(), "Data Expected!: Input structure not found in file - 1");
    // The isotope table after the atoms is not part of the structure.
    series({td_output({{3.5, 0.2}}), td_output({{3.5, 0.2}}, test::default_scf,
                                               test::default_structure + " H  0 0. 1. 0.\n")});
    EXPECT_EQ(stop(), "Data Expected!: The structure in file - 2 does not have the atom count "
                      "of the first file.");
    choices.rel_tdm = false;
    choices.mode = extract_mode::orbital_profile;
    texts.no_roots = "3";
    EXPECT_EQ(stop().substr(0, 20), "Unsupported method: ");
    EXPECT_FALSE(ui.busy_now);
}

// The orbital check read the roots' text, 2.5, and refused a run whose table holds 2 roots: it
// counts the roots the job extracts, and the log still shows the box as typed.
TEST_F(ev_job, TheOrbitalCheckCountsTheRootsOfTheTable) {
    choices.status_log = true;
    choices.mode = extract_mode::orbital_profile;
    series({td_output({{3.5, 0.2}, {4.5, 0.1}})});
    texts.root_end = "2";
    texts.no_roots = "2.5";
    EXPECT_NE(stop().substr(0, 20), "Unsupported method: ");
    const std::string log = out("execution_status.dat");
    EXPECT_NE(log.find("txtno_roots = 2.5\r\n"), std::string::npos);
    EXPECT_NE(log.find("State 2 From = 1 to = 1\r\n"), std::string::npos);
}

// Lines of `text` (CR LF ended) at the 1-based positions `keep`.
std::string lines_at(const std::string& text, std::initializer_list<std::size_t> keep) {
    const auto lines = test::lines_of(text);
    std::string out;
    for (const std::size_t n : keep)
        out += lines.at(n - 1) + "\n";
    return out;
}

// A missing file, one cut off inside its dipole table, one without excited states and a
// gzip file that is no gzip: left out of every series, the other slots exact, at their times,
// each skipped file named in the log and counted in the completion message.
TEST_F(ev_job, SkippedFilesLeaveNoLineAndTheOtherSlotsExact) {
    std::vector<std::string> files;
    for (int n = 1; n <= 6; ++n)
        files.push_back(td_output({{3.0 + n / 10.0, 0.2, {}, 1, 2}, {5.0, 0.1, {}, 0, 1}},
                                  " SCF Done:  E(RHF) =  -" + std::to_string(100 + n) +
                                      ".5     A.U. after   1" + std::to_string(n) + " cycles"));
    texts.root_end = "2";
    texts.points = "2";
    choices.status_log = choices.tdm_data = choices.scf_energies = choices.scf_cycles =
        choices.orbitals = true;
    series(files);
    ASSERT_EQ(run(), ev_outcome::completed);
    std::map<std::string, std::string> clean;
    for (const char* name : {"freqgapEV.1", "freqgap_SCF-Hartrees.1", "freqgap_SCF-Cycles.1",
                             "freqgap_TDM+EV.1", "freqgap.orbitals.dat.1"})
        clean[name] = out(name);
    const std::string rads = out("freqgap6.1");
    EXPECT_EQ(last_text(), "Extraction Complete");

    files[2] = files[2].substr(0, files[2].find("  2   ") + 30); // inside the dipole table
    files[4] = td_output({}).substr(0, td_output({}).find(" Excitation energies"));
    series(files);
    std::filesystem::remove(dir / "gap2.gout");
    test::write_file(dir / "gap6.gout", "\x1f\x8b not a gzip stream");
    EXPECT_EQ(run(), ev_outcome::error_report);
    choices.skip_failed = true;
    ev_run_summary summary;
    ASSERT_EQ(run(nullptr, &summary), ev_outcome::completed);
    for (const auto& [name, text] : clean)
        EXPECT_EQ(out(name), lines_at(text, {1, 4})) << name;
    EXPECT_EQ(out("freqgap2.1"), lines_at(rads, {1, 4}));
    EXPECT_EQ(last_text(), "Extraction Complete\n\r6 files, 4 skipped: see execution_status.dat");
    std::string skipped;
    for (const auto& file : summary.skipped)
        skipped += file.name + ": " + file.reason + "|";
    EXPECT_EQ(skipped, "gap2.gout: File not found|gap3.gout: no excited states|gap5.gout: no "
                       "excited states|gap6.gout: Path/File access error - damaged gzip data "
                       "(unknown compression method)|");
    const std::string log = out("execution_status.dat");
    EXPECT_NE(log.find("    Processing File: 2   Root Number: 1\r\n    Skipped file - 2 "
                       "(gap2.gout): File not found\r\n"),
              std::string::npos);
}

// Workers running ahead of the job must not change what it reads or the order in which it
// meets the files it cannot read: the same tables and the same skipped files, in series order,
// whatever the number of workers.
TEST_F(ev_job, FailuresSurfaceInSeriesOrderWhateverTheWorkers) {
    // More files than the workers hold parses of at once, and a second root read after them.
    std::vector<std::string> files;
    for (int i = 0; i < 150; ++i)
        files.push_back(td_output({{3.0 + i / 100.0, 0.2}, {4.0 + i / 100.0, 0.1}}));
    texts.root_end = "2";
    texts.no_roots = "2";
    series(files);
    std::filesystem::remove(dir / "gap40.gout");
    test::write_file(dir / "gap120.gout", "\x1f\x8b not a gzip stream");
    choices.skip_failed = true;
    std::string first_energies;
    for (unsigned workers : {1u, 2u, 3u, 8u}) {
        set_worker_threads(workers);
        ev_run_summary summary;
        ASSERT_EQ(run(nullptr, &summary), ev_outcome::completed) << workers;
        std::string skipped;
        for (const auto& file : summary.skipped)
            skipped += file.name + "|";
        EXPECT_EQ(skipped, "gap40.gout|gap120.gout|") << workers;
        if (first_energies.empty())
            first_energies = energies(2);
        EXPECT_EQ(energies(2), first_energies) << workers;
    }
    set_worker_threads(0);
}

// A slot with no state in the window keeps the upper limit unless empty slots are left out;
// either way the log names it and the message counts it. A root with no state in any file
// stops before its files are written (the window's default limits, 1 to 1 eV).
TEST_F(ev_job, EmptySlotsAreNamedCountedOrLeftOutAndAnEmptyRootStops) {
    series({td_output({{3.5, 0.2}}), td_output({{12.5, 0.2}}), td_output({{3.6, 0.2}})});
    choices.status_log = true;
    ASSERT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(energies(1), "3.5 10 3.6|");
    EXPECT_EQ(last_text(), "Extraction Complete\n\r3 files, 1 slot with no state in the energy "
                           "window: see execution_status.dat");
    EXPECT_NE(out("execution_status.dat")
                  .find("    Processing File: 2   Root Number: 1\r\n    No state in the energy "
                        "window for root 1 in file - 2\r\n"),
              std::string::npos);
    choices.empty_slots = empty_slot_rule::leave_out;
    ASSERT_EQ(run(), ev_outcome::completed);
    EXPECT_EQ(out("freqgapEV.1"), " 2      3.5 \r\n 6      3.6 \r\n");

    std::filesystem::remove(dir / "freqgapEV.1");
    texts.limit_low = texts.limit_high = "1";
    EXPECT_EQ(stop(), "No State in Energy Window: No state lies in the energy window 1 to 1 eV "
                      "for root 1 in any file of the series - check the energy limits.");
    EXPECT_FALSE(std::filesystem::exists(dir / "freqgapEV.1"));
}

// Both tables, cell by cell as the files print them: a skipped file, an empty slot of root 2
// and a state outside the window still listed among the states.
TEST_F(ev_job, ResultsAndStatesTablesAsPrinted) {
    series({td_output({{3.5, 0.2, {}, 3, 4}, {4.0, 0.1, {}, 1}}), "",
            td_output({{3.6, 0.3, {}}, {12.0, 0.5, {}}})});
    std::filesystem::remove(dir / "gap2.gout");
    texts.root_end = texts.no_roots = "2";
    texts.results_table = (dir / "results.csv").string();
    texts.states_table = (dir / "states.csv").string();
    choices.skip_failed = choices.tdm_data = true;
    ASSERT_EQ(run(), ev_outcome::completed) << last_message();
    const std::string scf = "-539.517603521,14";
    EXPECT_EQ(out("results.csv"),
              "file_number,file,time_fs,root,state,label,energy_ev,wavelength_nm,osc_strength,"
              "tdm_x_au,tdm_y_au,tdm_z_au,tdm_au,scf_hartree,scf_cycles,status\n"
              "1,gap1.gout,2,1,1,Singlet-?Sym,3.5000,354.24,0.2000,3.0000,4.0000,0.0000,5," +
                  scf +
                  ",ok\n1,gap1.gout,2,2,2,Singlet-?Sym,4.0000,309.96,0.1000,1.0000,0.0000,"
                  "0.0000,1," +
                  scf +
                  ",ok\n2,gap2.gout,4,1,,,,,,,,,,,,skipped: File not found\n"
                  "2,gap2.gout,4,2,,,,,,,,,,,,skipped: File not found\n"
                  "3,gap3.gout,6,1,1,Singlet-?Sym,3.6000,344.40,0.3000,0.0000,0.0000,0.0000,0," +
                  scf + ",ok\n3,gap3.gout,6,2,,,,,,,,,," + scf + ",no state in window\n");
    EXPECT_EQ(out("states.csv"),
              "file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,"
              "osc_strength,tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root\n"
              "1,gap1.gout,2,1,Singlet,Singlet-?Sym,3.5000,354.24,0.2000,3.0000,4.0000,0.0000,1\n"
              "1,gap1.gout,2,2,Singlet,Singlet-?Sym,4.0000,309.96,0.1000,1.0000,0.0000,0.0000,2\n"
              "3,gap3.gout,6,1,Singlet,Singlet-?Sym,3.6000,344.40,0.3000,0.0000,0.0000,0.0000,1\n"
              "3,gap3.gout,6,2,Singlet,Singlet-?Sym,12.0000,103.32,0.5000,0.0000,0.0000,0.0000,"
              "\n");
    // A job that stops leaves no table, not even a part of one.
    std::filesystem::remove(dir / "results.csv");
    texts.limit_high = "1";
    stop();
    EXPECT_FALSE(std::filesystem::exists(dir / "results.csv"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path();
}

// frame_0001.gout ...: padded numbers; the range up to each file's own last state (3, then 2);
// the last of two sections, said in the log.
TEST_F(ev_job, PaddedNamesLastStatesAndLastSections) {
    prefix = "frame_";
    digits = 4;
    const std::string two_sections =
        td_output({{3.0, 0.1, {}}, {3.2, 0.2, {}}}) + td_output({{2.5, 0.2, {}}, {2.7, 0.3, {}}});
    series({td_output({{3.0, 0.1, {}}, {3.5, 0.2, {}}, {4.0, 0.3, {}}}), two_sections});
    ASSERT_TRUE(std::filesystem::exists(dir / "frame_0002.gout"));
    choices.mode = extract_mode::lowest_energy;
    choices.status_log = true;
    texts.root_end = "3";
    EXPECT_EQ(stop(), "Data Expected!: Data not found for ANY roots in file - 2");
    choices.root_end_all = true;
    texts.no_roots = "3";
    ASSERT_EQ(run(), ev_outcome::completed) << last_message();
    EXPECT_EQ(energies(3), "3 3|3.5 3.2|4 10|");
    EXPECT_NE(out("execution_status.dat")
                  .find("    File - 2 holds 2 excited-state sections: the first is read\r\n"),
              std::string::npos);
    choices.last_section = true;
    ASSERT_EQ(run(), ev_outcome::completed) << last_message();
    EXPECT_EQ(energies(3), "3 2.5|3.5 2.7|4 10|");
}

TEST_F(ev_job, tablesBeyondTheComputersMemoryAreRefusedNotABadAlloc) {
    file_series huge;
    huge.file_count = 1'000'000'000'000;
    texts.root_end = "9999";
    EXPECT_EQ(ev_extract_job(ev_settings_from(texts, choices), huge, ui), ev_outcome::stopped);
    EXPECT_EQ(last_message().substr(0, 116),
              "Not Enough Memory: The tables for 1000000000000 files, 1 root and 9999 states "
              "searched need 213.6 PB, more than the ");
}

// Inputs freqgapEV.1 to 3, freqgap1.1 to 3, raw_tdm.1.dat to 3: the EV file, the first rad/s
// file and the raw TDM file of root 1 used to replace input 1.
TEST_F(ev_job, outputNamedLikeAnInputIsRefusedBeforeTheFirstWriteNotWrittenOverIt) {
    choices.status_log = choices.raw_tdms = true;
    texts.points = "1";
    const std::string gaussian = td_output({{3.5, 0.2}});
    for (const auto& [input, suffix] :
         {std::pair{"freqgapEV.", ""}, {"freqgap", ".1"}, {"raw_tdm.", ".dat"}}) {
        prefix = input;
        texts.suffix = suffix;
        series({gaussian, gaussian, gaussian});
        EXPECT_EQ(run(), ev_outcome::error_report);
        const std::string first = (dir / (prefix + "1" + suffix)).string();
        EXPECT_EQ(ui.messages.back().text,
                  "Error (File already open (" + first +
                      " is one of the inputs)55) in (frm_ev_extract: "
                      "cmd_execute_click) routine.\n\rReturning to main menu");
        EXPECT_EQ(test::read_file(first), gaussian);
        EXPECT_FALSE(std::filesystem::exists(dir / "execution_status.dat"));
    }
    // An input that is an earlier output under another name: a hard link or a symbolic link.
    prefix = "gap";
    texts.suffix = ".gout";
    for (const bool hard : {true, false}) {
        series({gaussian, gaussian, gaussian});
        test::write_file(dir / "freqgapEV.1", gaussian);
        std::filesystem::remove(dir / "gap2.gout");
        if (hard)
            std::filesystem::create_hard_link(dir / "freqgapEV.1", dir / "gap2.gout");
        else
            std::filesystem::create_symlink("freqgapEV.1", dir / "gap2.gout");
        EXPECT_EQ(run(), ev_outcome::error_report) << hard;
        EXPECT_NE(
            ui.messages.back().text.find("File already open (" + (dir / "freqgapEV.1").string()),
            std::string::npos)
            << hard;
        std::filesystem::remove(dir / "gap2.gout");
        std::filesystem::remove(dir / "freqgapEV.1");
    }
}

} // namespace
} // namespace qm
