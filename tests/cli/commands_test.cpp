// The command line as a whole: standard streams, statuses, the progress line and threads.
#include "cli/console_job_ui.h"
#include "platform/worker_threads.h"

#include "support/cli_support.h"
#include "support/gaussian_files.h"
#include "support/mdcrd_files.h"
#include "support/td_files.h"

#include <gtest/gtest.h>

#include <regex>
#include <sched.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace qm {
namespace {

// Command lines in a shell. "-" reads a pipe once, even where the job reads twice, and writes
// only the window's bytes to stdout; a usage error (a slip, named with the nearest word, or what
// the window would not allow) ends 2, a stop 1 with a message box on stdout or an error report
// as one line on stderr.
TEST(CliRuns, StreamsStatusTheBoxOnStdoutAndTheFileAnErrorConcernsOnStderr) {
    test::temp_dir dir;
    const test::trajectory_shape boxed{4, 3, "  42.439  42.439  42.439"};
    test::write_compressed(dir / "t.xz", test::trajectory(boxed), archive_write_add_filter_xz);
    test::write_file(dir / "core", std::string((16 << 20) + 1, 'x'));
    test::write_file(dir / "gap1.gout", test::td_output({{3.5, 0.2}}));
    test::write_file(dir / "opt.out",
                     test::gaussian_output(test::g98_banner, test::g98_table(test::water) +
                                                                 test::g98_table(test::water)));
    const std::string full = "Disk full";
    std::vector<std::pair<std::string, test::cli_run>> cases = {
        {"printf '%s\n' a b c d e | $Q line-extract --input - --output - --start 2 --every 2",
         {0, "b\nd\n"}},
        {"printf '%s\n' t '6 0.000 1.500 -2.250' | $Q convert --input - --output - --input-type "
         "xyz --output-type pdb",
         {0, "ATOM      1  C           1      0.000  1.500  -2.250\nEND\n"}},
        {"cat t.xz | $Q mdcrd-strip --input - --output - --atoms 4 --first 2 --last 3 --keep-box",
         {0, test::trajectory(boxed, 2, 3)}},
        {"printf '%s\n' abcdef ghijkl | $Q char-extract --input - --output - --range 2:3",
         {0, "bc\nhi\n"}},
        {"printf '%s\n' 'run 0 days 1 hours 2 minutes 3.5 seconds' nothing | $Q time-convert "
         "--input - --output - --unit minutes",
         {0, " run 0 days 1 hours 2 minutes 3.5 seconds\n 62.05833  Minutes\n\n"}},
        {"printf '%s\n' '1 2 0.5' '2 3 6.0' | $Q phase-correct --input - --output - --column 3",
         {0, "1 2 0.5 \r\n2 3 -0.28318530717958 \r\n"}},
        // One pipe twice; the mean -2.5, -1.5, 0.5 gives 8.75, 3, -1.25.
        {"printf '%s\n' 1 2 4 | $Q correlate --input1 - --input2 - --output - --mean --unity",
         {0, " 1 \r\n 0.342857142857143 \r\n-0.142857142857143 \r\n"}},
        // D = 21 / 2 - 7^2 / 2^2 = -1.75.
        {"printf '%s\n' 1 2 4 | $Q correlate --input1 - --input2 - --output - --msd",
         {0, "-12 \r\n-5.71428571428571 \r\n-2.28571428571429 \r\n"}},
        {"$Q convert --input-type g98 --output-type xyz --multiple --input opt.out --output w.xyz "
         "&& test -f '2 - w.xyz'",
         {0, "Information: Conversion Completed: Conversion Complete\n"}},
        // Results on stdout are output like any file: a full device is a failure.
        {"$Q units --from hartree --to kjmol 1 > /dev/full", {1, "", full}},
        {"echo text | $Q line-extract --input - --output - --every 1 > /dev/full", {1, "", full}},
        {"$Q --version > /dev/full", {1, "", "standard output: "}},
        // A count beyond an integer hung the job; zero states said only "Subscript out of range".
        {"$Q ev-extract --no-status-log --points 99999999999999999999",
         {2, "", "--points: must be at most 1E+15, not 99999999999999999999"}},
        {"$Q ev-extract --no-status-log --root-start 0", {2, "", "--root-start: must be 1 or more"}},
        {"$Q ev-extract --no-status-log --root-end 0", {2, "", "--root-end: must be 1 or more"}},
        {"$Q ev-extract --no-status-log --roots 0", {2, "", "--roots: must be 1 or more"}},
        // The table held 2 roots while the orbital check read 2.5: a count is whole or refused.
        {"$Q ev-extract --no-status-log --roots 2.5",
         {2, "", "--roots: must be a whole number, not 2.5"}},
        {"$Q ev-extract --no-status-log --points 10.5", {2, "", "--points: must be a whole"}},
        {"$Q ev-extract --no-status-log --end 2.5", {2, "", "--end: must be a whole number"}},
        {"$Q ev-extract --no-status-log --interval 1.5", {2, "", "--interval: must be a whole"}},
        {"$Q phase-correct --input - --output - --column 2.5",
         {2, "", "--column: must be a whole"}},
        // A format refusal names the file in the command line's line.
        {"echo hello > t.txt && $Q convert --input t.txt --output o.pdb --input-type g98",
         {1, "Exclamation: Invalid File Format: t.txt: File format is not valid - Returning to Main "
             "Menu\n"}},
        // A pipe the job reads twice is copied first: an error names the pipe, not the copy.
        {"printf title | $Q mdcrd-strip --input - --output o.crd --atoms 1 --first 1 --last 1",
         {1, "", "quillmark-cli mdcrd-strip: /dev/stdin: Input past end of file (error 62)\n"}},
        // A run error met in a file of the series names that file.
        {"$Q ev-extract --prefix gap --end 2 --limit-low 0 --limit-high 10 --no-status-log",
         {1, "", "quillmark-cli ev-extract: gap2.gout: File not found (error 53)\n"}},
        // hugeFileRangeIsRefusedNamingTheLimitNotABadAlloc
        {"$Q ev-extract --no-status-log --end 99999999999",
         {1, "Exclamation: File Range Too Large: The file range spans 99999999999 file numbers; "
             "a series can span at most 2147483647 file numbers.\n"}},
        {"$Q convrt --input x",
         {2, "",
          "quillmark-cli: unknown subcommand 'convrt'; did you mean "
          "'convert'?\nRun with --help for more information.\n"}},
        {"$Q line-extract --inptu a --output b",
         {2, "",
          "quillmark-cli line-extract: unknown option '--inptu'; did you mean '--input'?\n"}},
        {"$Q ev-extract --time-ofset=3", {2, "", "'--time-ofset'; did you mean '--time-offset'?"}},
        {"$Q correlate --input1 a --input2 b --output c --msd --unity", {2, "", "excludes"}},
        {"$Q ev-extract --no-status-log --output-prefix ''", {2, "", "must not be empty\n"}},
        {"$Q correlate --input1 x", {2}},
        {"$Q units --from ev --to kjmol 1 --threads 0", {2}},
        {"$Q mdcrd-strip --input t.xz --output o.crd --mask :1", {2, "", "go together"}},
        {"$Q mdcrd-strip --input t.xz --output o.crd --first 1 --last 2",
         {2, "", "--atoms is needed for a text trajectory without --prmtop"}},
        {"$Q mdcrd-strip --input t.xz --output - --atoms 4 --first 1 --last 4 --output-format "
         "netcdf",
         {2, "", "not to standard output"}},
        {"$Q mdcrd-strip --input t.xz --output o.nc --output-format xml", {2}},
    };
    for (const char* types : {"xyz --output-type xyz", "gaussian-input --multiple",
                              "g94 --output-type freq", "xyz --output-type g94"})
        cases.push_back(
            {std::string("$Q convert --input a --output b --input-type ") + types, {2}});
    // Orbitals outside orbital-profile mode; points as the box takes them, digits only.
    for (const char* rules :
         {"--tdm-separate", "--rel-tdm --interval 2", "--tdm-angle --roots 3",
          "--align-only --rel-tdm --roots 1", "--orb1 2:3", "--mode orbital --roots 3 --orb2 1:2",
          "--points 1.5", "--start -1", "--mode best"})
        cases.push_back({std::string("$Q ev-extract --no-status-log ") + rules, {2}});
    // refusesALineLessFileInTheFormatTestInsteadOfHoldingItWhole: the format tests look at a
    // few lines, so a file without line feeds is refused at 16 MB, never held whole.
    for (const char* type : {"g98", "gaussian-input"})
        cases.push_back({std::string("$Q convert --output o.pdb --input core --input-type ") + type,
                         {1, "",
                          "quillmark-cli convert: core: Out of string space - more than 16 MB in "
                          "one line (not a text file?) (error 14)\n"}});
    for (const auto& [line, want] : cases) {
        const auto r = test::run_shell(dir.path(), line);
        EXPECT_EQ(std::to_string(r.status) + r.out, std::to_string(want.status) + want.out) << line;
        EXPECT_NE(r.err.find(want.err), std::string::npos) << line << "\n" << r.err;
        // No routine of a window and no carriage return of its box reach the terminal.
        EXPECT_EQ(r.err.find('\r'), std::string::npos) << line;
        EXPECT_EQ(r.err.find(" routine"), std::string::npos) << line;
    }
}

TEST(CliMessages, EachLineBreakOfABoxIsOneSpace) {
    for (const auto& [text, line] :
         {std::pair{"a\n\rb", "a b"}, {"a\r\nb", "a b"}, {"a\nb\rc", "a b c"},
          {"a\n\nb", "a  b"}, {"a\n\r\r\nb", "a  b"}, {"a.\r\nIs", "a. Is"}})
        EXPECT_EQ(cli::one_line(text), line) << text;
}

// A failure destroyed the previous output: line-extract, char-extract and phase-correct

// Every way a run fails: an error report is one line on stderr naming the subcommand, the file
// when there is one, the description and its number, with nothing of it on stdout; a run stopped
// by a message box has that box as one line on stdout. Exit 1 either way, and no CR anywhere.
TEST(CliErrors, EachFailureIsOneLineWithoutCarriageReturns) {
    test::temp_dir dir;
    test::write_file(dir / "a.txt", "1\n2\n3\n");
    test::write_file(dir / "damaged.gz", std::string("\x1f\x8b\x08\x00", 4) + "no deflate data");
    test::write_file(dir / "l2", "1\n2\n");
    test::write_file(dir / "l1", "1\n");
    // The format tests look at a few lines: a file without line feeds is refused at 16 MB.
    test::write_file(dir / "core", std::string((16 << 20) + 1, 'x'));
    test::write_file(dir / "bad1.gout",
                     test::td_output({{3.5, 0.2, {"   12345678901 ->25  0.6"}}}));
    const std::regex error_line(R"(^quillmark-cli [a-z0-9-]+: (.+: )?.+ \(error [0-9]+\)$)");
    const std::regex box_line(R"((Exclamation|Critical): [^:]+: .+\n)");
    struct row {
        std::string line;
        std::string says; // the end of the error line, or the box line
        bool box = false;
    };
    for (const auto& [line, says, box] : std::vector<row>{
             {"convert --input gone.gout --output o.pdb --input-type g98",
              "convert: gone.gout: File not found (error 53)"},
             {"convert --output o.pdb --input core --input-type xyz",
              "convert: core: Out of string space - more than 16 MB in one line (not a text "
              "file?) (error 14)"},
             {"line-extract --input gone --output o --start 1 --every 1",
              "line-extract: gone: File not found (error 53)"},
             {"line-extract --input damaged.gz --output o --start 1 --every 1",
              "line-extract: damaged.gz: Path/File access error - damaged gzip data"},
             {"line-extract --input a.txt --output no/such/folder/o --start 1 --every 1",
              "line-extract: no/such/folder/o: Path not found (error 76)"},
             {"char-extract --input gone --output o --range 1:2",
              "char-extract: gone: File not found (error 53)"},
             {"char-extract --prescan damaged.gz", "char-extract: damaged.gz: Path/File access"},
             {"replace --search1 a gone", "/gone: File not found (error 53)"},
             {"mdcrd-strip --input gone --output o --atoms 1 --first 1 --last 1",
              "mdcrd-strip: gone: File not found (error 53)"},
             {"time-convert --input gone --output o --unit minutes",
              "time-convert: gone: File not found (error 53)"},
             {"stokes-shift --data-dir gone", "stokes-shift: gone/absfq.dat: Path not found"},
             {"phase-correct --input damaged.gz --output o --column 1",
              "phase-correct: damaged.gz: Path/File access error"},
             {"spectral-density --input gone", "spectral-density: gone: File not found (error 53)"},
             {"correlate --input1 a.txt --input2 gone --output o --unity",
              "correlate: gone: File not found (error 53)"},
             {"spectrum --input gone", "spectrum: gone: File not found (error 53)"},
             {"gap-fluctuations --input gone", "gap-fluctuations: gone: File not found (error 53)"},
             {"tdss --input gone --output o", "tdss: gone: File not found (error 53)"},
             {"ev-extract --prefix gone --end 2 --limit-low 0 --limit-high 10 --no-status-log",
              "ev-extract: gone1.gout: File not found (error 53)"},
             {"ev-extract --prefix bad --end 1 --limit-low 0 --limit-high 10 --no-status-log "
              "--orbitals",
              "ev-extract: bad1.gout: Overflow (error 6)"},
             {"units --from hartree --to kjmol 1 > /dev/full",
              "units: standard output: Disk full (error 61)"},
             {"correlate --input1 l2 --input2 l1 --output o --unity",
              "Exclamation: Fatal - Error: Error - Input files are different lengths - File 1 = 1 "
              "File 2 = 0 Returning to main menu",
              true},
             {"line-extract --input a.txt --output o --start 9 --every 1",
              "Critical: Fatal Error - Aborting: Error - Start line is larger", true},
         }) {
        const auto r = test::run_shell(dir.path(), "$Q " + line);
        EXPECT_EQ(r.status, 1) << line;
        EXPECT_EQ((r.out + r.err).find('\r'), std::string::npos) << line;
        int error_lines = 0;
        std::string last;
        for (const std::string& l : test::lines_of(r.err))
            if (std::regex_search(l, error_line)) {
                ++error_lines;
                last = l;
            }
        if (box) {
            EXPECT_TRUE(std::regex_match(r.out, box_line)) << line << "\n" << r.out;
            EXPECT_TRUE(r.out.starts_with(says)) << line << "\n" << r.out;
            EXPECT_EQ(error_lines, 0) << line << "\n" << r.err;
        } else {
            EXPECT_EQ(r.out, "") << line;
            EXPECT_EQ(error_lines, 1) << line << "\n" << r.err;
            EXPECT_NE(last.find(says), std::string::npos) << line << "\n" << last;
            EXPECT_TRUE(r.err.ends_with(last + "\n")) << line << "\n" << r.err;
        }
    }
}
// truncated it and left a partial file when the input failed part-way (a damaged .bz2).
TEST(CliRuns, AFailedRunLeavesThePreviousOutputWhole) {
    test::temp_dir dir;
    std::string lines;
    for (int i = 0; i < 100000; ++i)
        lines += std::to_string(i) + " 2 0.5\n";
    test::write_compressed(dir / "whole.bz2", lines, archive_write_add_filter_bzip2);
    const std::string bz2 = test::read_file(dir / "whole.bz2");
    test::write_file(dir / "cut.bz2", bz2.substr(0, bz2.size() * 3 / 4));
    for (const char* tool : {"line-extract --every 1", "char-extract --range 1:3",
                             "phase-correct --column 3"}) {
        test::write_file(dir / "out.txt", "previous\n");
        const auto r = test::run_shell(dir.path(), std::string("$Q ") + tool +
                                                       " --input cut.bz2 --output out.txt");
        EXPECT_EQ(r.status, 1) << tool << r.out << r.err;
        EXPECT_EQ(test::read_file(dir / "out.txt"), "previous\n") << tool;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3) << tool;
    }
}

// Every repaint of the live line must fit the terminal: a line that wraps leaves a new line
// behind at every repaint, a flood on a narrow terminal. Quiet shows no status at all.
TEST(ConsoleJobUi, TheLiveLineFitsTheTerminalAndQuietShowsNoStatus) {
    for (const int columns : {12, 39, 40, 120, 0}) {
        std::ostringstream out, err;
        {
            cli::console_job_ui ui(out, err, {columns > 0, columns == 0, [=] { return columns; }});
            ui.progress_range(0, 10);
            ui.status("Processing File - 1234 Filename = a/very/long/path/gap1234.gout\n\r");
            ui.progress_value(20); // beyond the maximum: the bar stays whole
            ui.message(message_icon::information, "Done", "Complete");
        }
        const std::string text = err.str();
        EXPECT_TRUE(columns > 0 || text.empty()) << text;
        for (const auto& line :
             test::lines_of(std::regex_replace(text, std::regex("\r(\033\\[K)?"), "\n")))
            EXPECT_LT(line.size(), static_cast<std::size_t>(columns)) << line;
        EXPECT_EQ(out.str(), "Information: Done: Complete\n");
    }
}

TEST(WorkerThreads, FollowTheCpusThisProcessMayRunOnOrTheNumberAsked) {
    unsigned on_one_cpu = 0;
    std::thread([&] {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu(), &one);
        sched_setaffinity(0, sizeof one, &one); // this thread only
        on_one_cpu = worker_threads();
    }).join();
    EXPECT_EQ(
        test::run_cli({"--threads", "3", "units", "--from", "ev", "--to", "kjmol", "1"}).status, 0);
    EXPECT_EQ(std::pair(on_one_cpu, worker_threads()), std::pair(1u, 3u));
    set_worker_threads(0);
}

// A zero-padded series picked by one file, a missing file skipped and listed on stderr with
// status 0 (without the flag it stops the run, naming the file); the range to each file's last
// state; a whole root without a state in the window stops; a picked name needs its number.
TEST(CliEvExtract, SkippedFilesOnStderrPaddedNamesAndEmptyRoots) {
    test::temp_dir dir;
    for (const char* name : {"frame_0001.gout", "frame_0003.gout"})
        test::write_file(dir / name, test::td_output({{3.5, 0.2}, {2.5, 0.1}}));
    const std::string run = "$Q ev-extract --no-status-log --pick frame_0003.gout --end 3 ";
    const std::string window = "--limit-low 0 --limit-high 10 --root-end all ";
    const std::string done = "Information: Processing Finished: Extraction Complete";
    for (const auto& [line, expected] : std::vector<std::pair<std::string, test::cli_run>>{
             {run + window + "--skip-failed --empty-slots skip",
              {0, done + " 3 files, 1 skipped\n",
               "quillmark-cli ev-extract: skipped frame_0002.gout: File not found\n"
               "quillmark-cli ev-extract: 1 of 3 files skipped\n"}},
             {run + window, {1, "", "frame_0002.gout: File not found (error 53)\n"}},
             {run + "--skip-failed --roots 2 --root-end 2",
              {1,
               "Critical: No State in Energy Window: No state lies in the energy window 1 to 1 eV "
               "for root 1 in any file of the series - check the energy limits.\n"}},
             {"$Q ev-extract --pick run.gout", {2, "", "holds no number"}},
             {run + "--empty-slots none", {2, "", "--empty-slots"}}}) {
        const auto r = test::run_shell(dir.path(), line);
        EXPECT_EQ(r.status, expected.status) << line << "\n" << r.out << r.err;
        EXPECT_TRUE(r.out.ends_with(expected.out)) << line << "\n" << r.out;
        EXPECT_NE(r.err.find(expected.err), std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_EQ(test::lines_of(test::read_file(dir / "freqgapEV.1")).size(), 2u);
}

// A series split over a cluster's array jobs (own output folder, the slots before as time
// offset): the chunks' files joined are the one run's, but for each run's own log.
TEST(CliEvExtract, TwoChunksJoinedEqualOneRun) {
    test::temp_dir dir;
    for (int i = 1; i <= 5; ++i)
        test::write_file(
            dir / ("gap" + std::to_string(i) + ".gout"),
            test::td_output({{.energy = 3.0 + 0.1 * i, .oscillator = 0.3, .x = 0.1 * i},
                             {.energy = 2.5 - 0.05 * i, .oscillator = 0.2, .z = -0.2}}));
    const std::string run = " && $Q ev-extract --prefix gap --root-end 2 --limit-low 0 "
                            "--limit-high 10 --roots 2 --time-step 1.5 --tdm --scf-energies "
                            "--scf-cycles --orbitals --points 100000 --dir . --output-dir ";
    const auto r = test::run_shell(
        dir.path(), "mkdir one a b" + run + "one --start 1 --end 5 --time-offset 0 --table one/t.csv" +
                        run + "a --start 1 --end 2 --time-offset 0 --table a/t.csv" + run +
                        "b --start 3 --end 5 --time-offset 2 --table b/t.csv && $Q merge-series "
                        "--output all a b "
                        "&& test ! -e freqgapEV.1 && cd one && for f in *; do "
                        "test $f = execution_status.dat || cmp $f ../all/$f || exit 9; done");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(r.out.ends_with("Information: Merge Complete: 18 files joined from 2 chunks\n"));
}

// merge-series joined anything: chunks that overlap, leave a gap, come in the wrong order or
// twice, or were made with another time step, all gave "Merge Complete". Each is refused, naming
// the chunk and the first disagreement. An --output that is a file aborted the program.
TEST(CliMergeSeries, ChunksThatDoNotJoinAreRefusedNamingTheFirstDisagreement) {
    test::temp_dir dir;
    for (int i = 1; i <= 6; ++i)
        test::write_file(dir / ("gap" + std::to_string(i) + ".gout"),
                         test::td_output({{.energy = 3.0 + 0.1 * i, .oscillator = 0.3}}));
    const auto chunk = [](const std::string& name, int start, int end, const char* step = "2") {
        return " && mkdir " + name + " && $Q -q ev-extract --prefix gap --root-end 1 --limit-low "
               "0 --limit-high 10 --points 100000 --dir . --time-step " + step +
               " --output-dir " + name + " --start " + std::to_string(start) + " --end " +
               std::to_string(end) + " --time-offset " + std::to_string(start - 1);
    };
    const auto r = test::run_shell(dir.path(), "true" + chunk("a", 1, 3) + chunk("b", 3, 5) +
                                                   chunk("c", 5, 6) + chunk("d", 4, 6) +
                                                   chunk("e", 4, 6, "3") + " && echo > file" +
                                                   " && mv gap5.gout gap5.kept" + chunk("g", 4, 6) +
                                                   " --skip-failed && mv gap5.kept gap5.gout");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string times = "Chunks that do not join: time ";
    const std::pair<const char*, std::string> cases[] = {
        {"a b", "b/freqgapEV.1: " + times + "6 follows time 6 of a, not one step of 2 later"},
        {"a c", "c/freqgapEV.1: " + times + "10 follows time 6 of a, not one step of 2 later"},
        {"d a", "a/freqgapEV.1: " + times + "2 follows time 12 of d, not one step of 2 later"},
        {"a a", "a/freqgapEV.1: " + times + "2 follows time 6 of a, not one step of 2 later"},
        {"a e", "e/execution_status.dat: Chunks that do not join: made with other settings than "
                "a (\"txt_time_step = 3\" where it has \"txt_time_step = 2\")"},
    };
    for (const auto& [chunks, why] : cases) {
        const auto m = test::run_shell(dir.path(), std::string("$Q merge-series --output all ") +
                                                       chunks);
        EXPECT_EQ(m.status, 1) << chunks << m.out;
        EXPECT_NE(m.err.find("quillmark-cli merge-series: " + why), std::string::npos)
            << chunks << m.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "all"));
    const auto file = test::run_shell(dir.path(), "$Q merge-series --output file a d");
    EXPECT_EQ(file.status, 1) << file.err;
    EXPECT_NE(file.err.find("file: Path/File access error - --output names a file, not a folder"),
              std::string::npos)
        << file.err;
    // a ends at slot 3, d starts at slot 4: they join.
    const auto good = test::run_shell(dir.path(), "$Q merge-series --output all a d");
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(test::read_file(dir / "all" / "freqgapEV.1").substr(0, 3), " 2 ");
    // g skipped the missing file 5: the one slot its log names may be absent.
    const auto skipped = test::run_shell(dir.path(), "$Q merge-series --output joined a g");
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    EXPECT_EQ(test::lines_of(test::read_file(dir / "joined" / "freqgapEV.1")).size(), 5u);
}

// Two ev-extract runs into one output folder mixed their files: the second is refused, naming
// the lock and the process that holds it.
TEST(CliEvExtract, ASecondRunIntoTheSameFolderIsRefusedNamingTheLock) {
    test::temp_dir dir;
    test::write_file(dir / "gap1.gout", test::td_output({{3.5, 0.2}}));
    std::filesystem::create_directory(dir / "out");
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    // Process 1 runs on every machine: the lock is held.
    test::write_file(dir / "out" / "quillmark.lock", std::string("1@") + host + "\n");
    const auto r = test::run_shell(dir.path(), "$Q ev-extract --prefix gap --end 1 --limit-low 0 "
                                               "--limit-high 10 --output-dir out");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("out/quillmark.lock: Permission denied - another run writes into this "
                         "folder (its lock out/quillmark.lock is held by process 1@" +
                         std::string(host)),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "freqgapEV.1"));
    std::filesystem::remove(dir / "out" / "quillmark.lock");
    EXPECT_EQ(test::run_shell(dir.path(), "$Q -q ev-extract --prefix gap --end 1 --limit-low 0 "
                                          "--limit-high 10 --output-dir out")
                  .status,
              0);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "quillmark.lock"));
}

} // namespace
} // namespace qm
