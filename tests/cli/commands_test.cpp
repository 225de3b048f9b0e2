// The command line as a whole: version, typing slips, standard streams, the progress line,
// threads and the names of failing files.
#include "cli/console_job_ui.h"
#include "platform/worker_threads.h"

#include "support/cli_support.h"
#include "support/mdcrd_files.h"
#include "support/td_files.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sstream>
#include <thread>

namespace qm {
namespace {

TEST(CliVersion, NamesTheProgramItsVersionAndWhatItReads) {
    const auto r = test::run_cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("quillmark-cli 1.", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("Gaussian 94, 98, 03, 09 and 16 outputs"), std::string::npos) << r.out;
}

TEST(CliTypingSlips, NameTheUnknownWordAndTheNearestValidOne) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"convrt", "--input", "x"},
         "quillmark-cli: unknown subcommand 'convrt'; did you mean 'convert'?"},
        {{"line-extract", "--inptu", "a", "--output", "b"},
         "quillmark-cli line-extract: unknown option '--inptu'; did you mean '--input'?"},
        {{"ev-extract", "--time-ofset=3"},
         "quillmark-cli ev-extract: unknown option '--time-ofset'; did you mean "
         "'--time-offset'?"},
        {{"units", "--quite", "--from", "ev", "--to", "kjmol", "1"},
         "quillmark-cli units: unknown option '--quite'; did you mean '--quiet'?"},
    };
    for (const auto& [args, message] : cases) {
        const auto r = test::run_cli(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.err, message + "\nRun with --help for more information.\n");
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

struct stream_case {
    const char* name;
    std::string input;                  // written to the file "in" (and compressed to "in.xz")
    std::vector<std::string> arguments; // IN and OUT stand for the input and output
    std::string feed = "cat in";        // what pipes the input to "-"
};

std::string shell_words(const std::vector<std::string>& arguments, const std::string& in,
                        const std::string& out) {
    std::string words;
    for (const std::string& a : arguments)
        words += " '" + (a == "IN" ? in : a == "OUT" ? out : a) + "'";
    return words;
}

// "-" reads a pipe (once, even where the job reads its input twice) and writes standard output
// the bytes the job writes to a file; the messages then go to stderr.
TEST(CliStandardStreams, DashReadsAPipeAndWritesStandardOutputAsFilesWouldBe) {
    const std::string durations = "run 0 days 1 hours 2 minutes 3.5 seconds\nnothing\n";
    const stream_case cases[] = {
        {"line-extract",
         "a\nb\nc\nd\ne\n",
         {"line-extract", "--input", "IN", "--output", "OUT", "--start", "2", "--every", "2"}},
        {"line-extract of gzip",
         "a\nb\nc\n",
         {"line-extract", "--input", "IN", "--output", "OUT", "--every", "2"},
         "gzip -c in"},
        {"convert",
         "t\n6 0.000 1.500 -2.250\n",
         {"convert", "--input", "IN", "--output", "OUT", "--input-type", "xyz", "--output-type",
          "pdb"}},
        {"mdcrd-strip of xz",
         test::trajectory({4, 3, "  42.439  42.439  42.439"}),
         {"mdcrd-strip", "--input", "IN", "--output", "OUT", "--atoms", "4", "--first", "2",
          "--last", "3", "--keep-box"},
         "cat in.xz"},
        {"char-extract",
         "abcdef\nghijkl\n",
         {"char-extract", "--input", "IN", "--output", "OUT", "--range", "2:3"}},
        {"time-convert",
         durations,
         {"time-convert", "--input", "IN", "--output", "OUT", "--unit", "minutes"}},
        {"phase-correct",
         "1 2 0.5\n2 3 6.0\n",
         {"phase-correct", "--input", "IN", "--output", "OUT", "--column", "3"}},
        {"correlate of one pipe twice",
         "1\n2\n4\n",
         {"correlate", "--input1", "IN", "--input2", "IN", "--output", "OUT"}},
    };
    for (const stream_case& c : cases) {
        test::temp_dir dir;
        test::write_file(dir / "in", c.input);
        test::write_compressed(dir / "in.xz", c.input, archive_write_add_filter_xz);
        const auto file = test::run_shell(dir.path(), "$Q" + shell_words(c.arguments, "in", "out"));
        ASSERT_EQ(file.status, 0) << c.name << ": " << file.out << file.err;
        const auto piped =
            test::run_shell(dir.path(), c.feed + " | $Q" + shell_words(c.arguments, "-", "-"));
        EXPECT_EQ(piped.status, 0) << c.name << ": " << piped.err;
        EXPECT_EQ(piped.out, test::read_file(dir / "out")) << c.name;
        EXPECT_NE(piped.err.find(file.out), std::string::npos)
            << c.name << ": the message line moves to stderr: " << piped.err;
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

TEST(CliErrors, NameTheFileBesideTheFixedMessage) {
    test::temp_dir dir;
    const auto missing = (dir / "gone.txt").string();
    auto r = test::run_cli({"line-extract", "--input", missing, "--output", "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillmark-cli: " + missing + ": File not found\n");
    EXPECT_EQ(r.out, "Exclamation: Fatal - Error: Error (File not found53) in "
                     "(frm_text_line_extraction: cmd_execute_click) routine.\n\rReturning to "
                     "main menu\n");

    // A pipe the job reads twice is copied first: the error names the pipe, not the copy.
    r = test::run_shell(dir.path(), "printf title | $Q mdcrd-strip --input - --output o.crd "
                                    "--atoms 1 --first 1 --last 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillmark-cli: /dev/stdin: Input past end of file\n");

    test::write_file(dir / "gap1.gout", test::td_output({{3.5, 0.2}}));
    r = test::run_cli({"ev-extract", "--dir", dir.path().string(), "--prefix", "gap", "--end", "2",
                       "--limit-low", "0", "--limit-high", "10", "--no-status-log"});
    EXPECT_EQ(r.status, 1);
    const std::string named =
        "quillmark-cli: " + (dir / "gap2.gout").string() + ": File not found\n";
    EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), named.size())), named) << r.err;
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
    EXPECT_EQ(
        test::run_cli({"--threads", "3", "units", "--from", "ev", "--to", "kjmol", "1"}).status, 0);
    EXPECT_EQ(worker_threads(), 3u);
    EXPECT_EQ(
        test::run_cli({"units", "--from", "ev", "--to", "kjmol", "1", "--threads", "0"}).status, 2);
    set_worker_threads(0);
}

} // namespace
} // namespace qm
