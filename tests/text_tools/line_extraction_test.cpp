// Line extraction: every nth line from a start line, its failures and its command.
#include "platform/input_stream.h"
#include "text_tools/line_extraction.h"

#include "stokes/job_checks.h"

#include <limits>

namespace qm {
namespace {

constexpr std::uint64_t max_line = std::numeric_limits<std::uint64_t>::max();
const std::string done = "Information: Job Finished: Extraction Completed.";
const std::string beyond_end =
    "Critical: Fatal Error - Aborting: Error - Start line is larger than number of lines in file.";

std::string ten_lines() {
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

TEST(LineExtraction, WritesTheChosenLinesOrRefusesAStartLineBeyondTheEnd) {
    const std::string long_line(70000, 'x'); // longer than 16 bits and than one read chunk
    // The input, the start line, the frequency and the output, "none" when none is made.
    const std::tuple<std::string, std::uint64_t, std::uint64_t, std::string> cases[] = {
        {ten_lines(), 1, 4, "line 1\nline 5\nline 9\n"},
        {ten_lines(), 10, 4, "line 10\n"},
        {ten_lines(), 11, 4, "none"},
        {"", 1, 1, "none"},
        {ten_lines(), 4294967297ull, 1, "none"}, // 2^32 + 1 would wrap to line 1 in 32 bits
        {ten_lines(), max_line, 1, "none"},
        {ten_lines(), 2, max_line, "line 2\n"},
        {"a\nb\nc", 1, 2, "a\nc\n"}, // a last line without a line feed counts and gets one
        {"a\nb\n", 3, 1, "none"},    // a final line feed makes no empty line
        {"a\r\n\r\nb\r\n\r\n", 2, 2, "\r\n\r\n"},
        {"a\n" + long_line + "\nb\n" + long_line, 2, 2, long_line + "\n" + long_line + "\n"}};
    for (const auto& [input, start, frequency, output] : cases) {
        SCOPED_TRACE(input.substr(0, 12) + " from " + std::to_string(start));
        test::temp_dir dir;
        test::write_file(dir / "in.txt", input);
        test::recording_ui ui;
        const auto out = dir / "out.txt";
        const auto outcome = extract_every_nth_line({dir / "in.txt", out, start, frequency}, ui);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        const bool beyond = output == "none";
        EXPECT_EQ(outcome == line_extraction_outcome::start_beyond_end, beyond);
        EXPECT_EQ(test::only_box(ui.messages), beyond ? beyond_end : done);
        EXPECT_EQ(std::filesystem::exists(out) ? test::read_file(out) : "none", output);
    }
}

// A pipe cannot be read a second time: the lines must come from the one reading.
TEST(LineExtractionStreaming, readsAPipeOnceInsteadOfWritingAnEmptyFile) {
    test::temp_dir dir;
    const auto r = test::run_shell(dir.path(), "seq 10 | $Q line-extract --input /dev/stdin "
                                               "--output out --start 2");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::read_file(dir / "out"), "2\n6\n10\n");
}

// Reports in number form; the input is never lost, and the job never loops.
TEST(LineExtractionFailures, ReportTheRoutineInNumberFormAndLeaveTheInputWhole) {
    test::temp_dir dir;
    const auto in = dir / "in.txt", out = dir / "out.txt";
    test::write_file(in, ten_lines());
    test::write_file(dir / "no-lines.bin", std::string(max_line_bytes + 1, 'x'));
    std::filesystem::create_symlink(in, dir / "link.txt");
    const std::pair<line_extraction_settings, std::string> failures[] = {
        // A file without line feeds is refused, never held whole in memory.
        {{dir / "no-lines.bin", out, 1, 4},
         "Out of string space - more than 16 MB in one line (not a text file?)14"},
        {{in, dir / "no-folder" / "out.txt", 1, 4}, "Path not found76"},
        // The window never runs with a 0, but the job must not take line 0 or loop forever.
        {{in, out, 0, 4}, "Subscript out of range9"},
        {{in, out, 1, 0}, "Invalid procedure call or argument5"},
        {{in, in, 1, 4}, "File already open55"},
        {{in, dir / "link.txt", 1, 4}, "File already open55"}};
    for (const auto& [settings, error] : failures) {
        test::recording_ui ui;
        EXPECT_EQ(extract_every_nth_line(settings, ui), line_extraction_outcome::error_report);
        EXPECT_EQ(test::only_report(ui),
                  test::report(error, "frm_text_line_extraction: cmd_execute_click"));
        EXPECT_EQ(test::read_file(in), ten_lines());
    }
    for (const auto& [start, every] :
         {std::pair{"00", "4"}, {"1", "00"}, {"", "4"}, {"1", ""}, {"0", "4"}, {"1", "0"}})
        EXPECT_FALSE(line_numbers_usable(start, every)) << start << " / " << every;
    EXPECT_TRUE(line_numbers_usable("01", "4"));
}

TEST(CliLineExtract, RunsWithTheWindowDefaultsAndRefusesWhatTheWindowWouldNotRun) {
    test::temp_dir dir;
    const auto in = dir / "in.txt";
    test::write_file(in, ten_lines());
    const auto run = [&](std::vector<std::string> numbers) {
        const std::string shown = test::run_on("line-extract", in, dir / "out.txt", numbers).out;
        return shown + test::read_file(dir / "out.txt");
    };
    EXPECT_EQ(run({}), done + "\nline 1\nline 5\nline 9\n");
    EXPECT_EQ(run({"--start", "010", "--every", "3"}), done + "\nline 10\n");
    // A zero is refused like the window refuses it.
    for (const std::string option : {"--start", "--every"})
        EXPECT_EQ(test::run_on("line-extract", in, dir / "x", {option, "000"}).status, 2);
}

} // namespace
} // namespace qm
