// The command line as a whole: usage errors, standard streams, the progress line,
// threads and the names of failing files.
#include "cli/console_job_ui.h"
#include "platform/worker_threads.h"

#include "support/cli_support.h"
#include "support/mdcrd_files.h"
#include "support/td_files.h"

#include <gtest/gtest.h>

#include <regex>
#include <sched.h>
#include <sstream>
#include <thread>

namespace qm {
namespace {

// Usage errors, a mistyped word (named with the nearest valid one) or a combination the window
// would not allow, print nothing on stdout and end with status 2.
TEST(CliUsage, TypingSlipsAndWhatTheWindowWouldNotAllow) {
    const std::string help = "\nRun with --help for more information.\n";
    std::vector<std::pair<std::string, std::string>> cases = {
        {"convrt --input x",
         "quillmark-cli: unknown subcommand 'convrt'; did you mean 'convert'?" + help},
        {"line-extract --inptu a --output b",
         "quillmark-cli line-extract: unknown option '--inptu'; did you mean '--input'?" + help},
        {"ev-extract --time-ofset=3", "quillmark-cli ev-extract: unknown option '--time-ofset'; "
                                      "did you mean '--time-offset'?" +
                                          help},
        {"units --quite --from ev --to kjmol 1",
         "quillmark-cli units: unknown option '--quite'; did you mean '--quiet'?" + help},
        {"correlate --input1 a --input2 b --output c --msd --unity", "excludes"},
        {"correlate --input1 x", ""},
        {"units --from ev --to kjmol 1 --threads 0", ""}};
    for (const char* types :
         {"xyz --output-type xyz", "xyz --multiple", "g98 --output-type freq --multiple", "mol2",
          "g94 --output-type freq"})
        cases.push_back({std::string("convert --input a --output b --input-type ") + types, ""});
    // Orbitals outside orbital-profile mode; points as the box takes them, digits only.
    for (const char* rules :
         {"--tdm-separate", "--rel-tdm --interval 2", "--tdm-angle --roots 3",
          "--align-only --rel-tdm --roots 1", "--orb1 2:3", "--mode orbital --roots 3 --orb2 1:2",
          "--points 1.5", "--start -1", "--mode best"})
        cases.push_back({std::string("ev-extract --no-status-log ") + rules, ""});
    for (const auto& [line, message] : cases) {
        const auto r = test::run_words(line);
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << line << ": " << r.out;
    }
    const auto r = test::run_cli({"ev-extract", "--no-status-log", "--output-prefix", ""});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.ends_with("must not be empty\n")) << r.err;
}

struct stream_case {
    std::string input;           // written to the file "in" (and compressed to "in.xz")
    const char* command;         // from "in" to "out"
    std::string written;         // what the job writes to "out"
    std::string feed = "cat in"; // what pipes the input to "-"
};

// Each subcommand that reads or writes one stream writes the bytes its window would; "-"
// reads a pipe (once, even where the job reads its input twice) and writes those bytes to
// standard output, the messages then going to stderr.
TEST(CliStandardStreams, DashReadsAPipeAndWritesStandardOutputAsFilesWouldBe) {
    const test::trajectory_shape boxed{4, 3, "  42.439  42.439  42.439"};
    const stream_case cases[] = {
        {"a\nb\nc\nd\ne\n", "line-extract --input in --output out --start 2 --every 2", "b\nd\n"},
        {"a\nb\nc\n", "line-extract --input in --output out --every 2", "a\nc\n", "gzip -c in"},
        {"t\n6 0.000 1.500 -2.250\n",
         "convert --input in --output out --input-type xyz --output-type pdb",
         "ATOM      1  C           1      0.000  1.500  -2.250\nEND\n"},
        {test::trajectory(boxed),
         "mdcrd-strip --input in --output out --atoms 4 --first 2 --last 3 --keep-box",
         test::trajectory(boxed, 2, 3), "cat in.xz"},
        {"abcdef\nghijkl\n", "char-extract --input in --output out --range 2:3", "bc\nhi\n"},
        {"run 0 days 1 hours 2 minutes 3.5 seconds\nnothing\n",
         "time-convert --input in --output out --unit minutes",
         " run 0 days 1 hours 2 minutes 3.5 seconds\n 62.05833  Minutes\n\n"},
        {"1 2 0.5\n2 3 6.0\n", "phase-correct --input in --output out --column 3",
         "1 2 0.5 \r\n2 3 -0.28318530717958 \r\n"},
        // One pipe twice; the mean -2.5, -1.5, 0.5 gives 8.75, 3, -1.25.
        {"1\n2\n4\n", "correlate --input1 in --input2 in --output out --mean --unity",
         " 1 \r\n 0.342857142857143 \r\n-0.142857142857143 \r\n"},
        // D = 21 / 2 - 7^2 / 2^2 = -1.75.
        {"1\n2\n4\n", "correlate --input1 in --input2 in --output out --msd",
         "-12 \r\n-5.71428571428571 \r\n-2.28571428571429 \r\n"},
    };
    for (const stream_case& c : cases) {
        SCOPED_TRACE(c.command);
        test::temp_dir dir;
        test::write_file(dir / "in", c.input);
        test::write_compressed(dir / "in.xz", c.input, archive_write_add_filter_xz);
        const auto file = test::run_shell(dir.path(), std::string("$Q ") + c.command);
        ASSERT_EQ(file.status, 0) << file.out << file.err;
        EXPECT_EQ(test::read_file(dir / "out"), c.written);
        const std::string dashes =
            std::regex_replace(c.command, std::regex(R"(\b(in|out)\b)"), "-");
        const auto piped = test::run_shell(dir.path(), c.feed + " | $Q " + dashes);
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out, c.written);
        EXPECT_NE(piped.err.find(file.out), std::string::npos)
            << "the message line moves to stderr: " << piped.err;
    }
}

// Results on stdout are output like any file: a full device is a failure, never success.
TEST(CliStandardOutput, aStdoutThatCannotBeWrittenEndsInFailureNotSuccess) {
    test::temp_dir dir;
    test::write_file(dir / "text", "some text\n");
    test::write_file(dir / "density", "1 2 3\n");
    for (const char* command :
         {"$Q units --from hartree --to kjmol 1", "$Q spectral-density --input density",
          "$Q char-extract --prescan text", "$Q line-extract --input text --output - --every 1"}) {
        const auto r = test::run_shell(dir.path(), std::string(command) + " > /dev/full");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find("Disk full"), std::string::npos) << command << ": " << r.err;
    }
}

// A job that stops on a message or an error report ends with status 1, the box on stdout; a
// run error that concerns a file names it on stderr.
TEST(CliErrors, StopWithStatusOneAndNameTheFileBesideTheFixedMessage) {
    test::temp_dir dir;
    test::write_file(dir / "gap1.gout", test::td_output({{3.5, 0.2}}));
    const std::string in = dir.path().string() + "/", fatal = "Exclamation: Fatal - Error: Error ";
    const std::string back = " routine.\n\rReturning to main menu\n";
    const struct {
        std::string command, out, err_ends;
    } cases[] = {
        {"line-extract --output out --input " + in + "gone.txt",
         fatal + "(File not found53) in (frm_text_line_extraction: cmd_execute_click)" + back,
         "quillmark-cli: " + in + "gone.txt: File not found\n"},
        {"ev-extract --prefix gap --end 2 --limit-low 0 --limit-high 10 --no-status-log --dir " +
             in,
         fatal + "(File not found53) in (frm_ev_extract: cmd_execute_click)" + back,
         "quillmark-cli: " + in + "gap2.gout: File not found\n"},
        // hugeFileRangeIsRefusedNamingTheLimitNotABadAlloc
        {"ev-extract --no-status-log --end 99999999999",
         "Exclamation: File Range Too Large: The file range spans 99999999999 file numbers; a "
         "series can span at most 2147483647 file numbers.\n",
         ""},
        {"ev-extract --no-status-log --end 3 --interval 5",
         "Critical: Interval invalid: Interval is not valid within specified file limits.\n", ""},
    };
    for (const auto& c : cases) {
        const auto r = test::run_words(c.command);
        EXPECT_EQ(r.status, 1) << c.command;
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.ends_with(c.err_ends)) << r.err;
    }
    // A pipe the job reads twice is copied first: the error names the pipe, not the copy.
    const auto r = test::run_shell(dir.path(), "printf title | $Q mdcrd-strip --input - "
                                               "--output o.crd --atoms 1 --first 1 --last 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillmark-cli: /dev/stdin: Input past end of file\n");
}

// Every repaint of the live line must fit the terminal: a line that wraps leaves a new line
// behind at every repaint, a flood on a narrow terminal.
TEST(ConsoleJobUi, TheLiveLineFitsTheTerminalAndQuietShowsNoStatus) {
    for (const int columns : {12, 39, 40, 120}) {
        std::ostringstream out, err;
        {
            cli::console_job_ui ui(out, err, {true, false, [columns] { return columns; }});
            ui.progress_range(0, 10);
            ui.status("Processing File - 1234 Filename = a/very/long/path/gap1234.gout\n\r");
            ui.progress_value(20); // beyond the maximum: the bar stays whole
            ui.message(message_icon::information, "Done", "Complete");
        }
        std::string text = err.str();
        for (std::size_t at = 0; (at = text.find("\r\033[K", at)) != std::string::npos;) {
            at += 4;
            const std::size_t end = text.find_first_of("\r\n", at);
            EXPECT_LT(end - at, static_cast<std::size_t>(columns)) << text.substr(at, end - at);
        }
        EXPECT_EQ(out.str(), "Information: Done: Complete\n");
    }
    std::ostringstream out, err;
    {
        cli::console_job_ui ui(out, err, {false, true, {}});
        ui.status("Reading");
        ui.message(message_icon::information, "Done", "Complete");
    }
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), "Information: Done: Complete\n");
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
    EXPECT_EQ(on_one_cpu, 1u);
    EXPECT_EQ(test::run_words("--threads 3 units --from ev --to kjmol 1").status, 0);
    EXPECT_EQ(worker_threads(), 3u);
    set_worker_threads(0);
}

} // namespace
} // namespace qm
