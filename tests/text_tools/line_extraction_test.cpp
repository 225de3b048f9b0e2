#include "cli/commands.h"
#include "platform/input_stream.h"
#include "text_tools/line_extraction.h"

#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>
#include <unistd.h>

namespace qm {
namespace {

constexpr std::uint64_t max_line = std::numeric_limits<std::uint64_t>::max();

std::string ten_lines() {
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "line " + std::to_string(i) + "\n";
    return text;
}

struct extraction_case {
    const char* name;
    std::string input;
    std::uint64_t start, frequency;
    std::string expected; // output bytes; unused when the start line is beyond the end
    bool beyond_end = false;
};

void PrintTo(const extraction_case& c, std::ostream* os) {
    *os << c.name;
}

struct line_extraction : ::testing::TestWithParam<extraction_case> {};

TEST_P(line_extraction, WritesTheChosenLinesOrRefusesTheStartLine) {
    const extraction_case& c = GetParam();
    test::temp_dir dir;
    test::write_file(dir / "in.txt", c.input);
    test::recording_ui ui;
    const auto outcome =
        extract_every_nth_line({dir / "in.txt", dir / "out.txt", c.start, c.frequency}, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
    if (c.beyond_end) {
        EXPECT_EQ(outcome, line_extraction_outcome::start_beyond_end);
        EXPECT_EQ(ui.messages[0].icon, message_icon::critical);
        EXPECT_EQ(ui.messages[0].title, "Fatal Error - Aborting");
        EXPECT_EQ(ui.messages[0].text,
                  "Error - Start line is larger than number of lines in file.");
        EXPECT_FALSE(std::filesystem::exists(dir / "out.txt")) << "no output is created";
        return;
    }
    EXPECT_EQ(outcome, line_extraction_outcome::completed);
    EXPECT_EQ(ui.messages[0].icon, message_icon::information);
    EXPECT_EQ(ui.messages[0].title, "Job Finished");
    EXPECT_EQ(ui.messages[0].text, "Extraction Completed.");
    EXPECT_EQ(test::read_file(dir / "out.txt"), c.expected);
}

const std::string long_line(70000, 'x'); // longer than 16 bits and than one read chunk

INSTANTIATE_TEST_SUITE_P(
    Cases, line_extraction,
    ::testing::Values(extraction_case{"EveryFourthFromOne", ten_lines(), 1, 4,
                                      "line 1\nline 5\nline 9\n"},
                      extraction_case{"StartAtLastLine", ten_lines(), 10, 4, "line 10\n"},
                      extraction_case{"StartOnePastTheEnd", ten_lines(), 11, 4, "", true},
                      extraction_case{"EmptyFile", "", 1, 1, "", true},
                      // 2^32 + 1 would wrap to line 1 in a 32-bit counter.
                      extraction_case{"StartBeyond32Bits", ten_lines(), 4294967297ull, 1, "", true},
                      extraction_case{"StartAtLargestNumber", ten_lines(), max_line, 1, "", true},
                      extraction_case{"LastLineWithoutLineFeedGetsOne", "a\nb\nc", 3, 1, "c\n"},
                      extraction_case{"UnterminatedLastLineCounts", "a\nb\nc", 1, 2, "a\nc\n"},
                      extraction_case{"FinalLineFeedMakesNoEmptyLine", "a\nb\n", 3, 1, "", true},
                      extraction_case{"EmptyLinesKeepTheirCarriageReturn", "a\r\n\r\nb\r\n\r\n", 2,
                                      2, "\r\n\r\n"},
                      extraction_case{"BareEmptyLine", "a\n\nb\n", 2, 5, "\n"},
                      extraction_case{"HugeFrequencyStopsAfterTheStartLine", ten_lines(), 2,
                                      max_line, "line 2\n"},
                      extraction_case{"FrequencyOneCopiesEveryLine", "x\r\ny", 1, 1, "x\r\ny\n"},
                      extraction_case{"LongLines", "a\n" + long_line + "\nb\n" + long_line, 2, 2,
                                      long_line + "\n" + long_line + "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The old program held the file whole; streaming must write the same bytes. The in-memory
// algorithm is the oracle, on texts with read-chunk-sized lines, CRs and either ending.
std::string whole_file_oracle(const std::string& text, std::uint64_t start, std::uint64_t every) {
    const std::vector<std::string> lines = test::lines_of(text);
    std::string out;
    for (std::uint64_t n = start; n <= lines.size(); n += every)
        out += lines[n - 1] + "\n";
    return out;
}

TEST(LineExtractionStreaming, MatchesTheWholeFileAlgorithmOnRandomTexts) {
    std::mt19937 rng(12345);
    test::temp_dir dir;
    for (int round = 0; round < 12; ++round) {
        std::string text;
        const int lines = std::uniform_int_distribution<int>(1, 400)(rng);
        for (int i = 0; i < lines; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
            const int length = kind == 0 ? std::uniform_int_distribution<int>(60000, 140000)(rng)
                                         : std::uniform_int_distribution<int>(0, 80)(rng);
            for (int k = 0; k < length; ++k)
                text += static_cast<char>('a' + k % 26);
            if (kind == 1)
                text += '\r';
            text += '\n';
        }
        if (round % 2 == 1)
            text.pop_back(); // last line without a line feed
        test::write_file(dir / "in.txt", text);
        const std::uint64_t count = test::lines_of(text).size();
        const std::uint64_t start = std::uniform_int_distribution<std::uint64_t>(1, count)(rng);
        const std::uint64_t every = std::uniform_int_distribution<std::uint64_t>(1, 7)(rng);
        test::recording_ui ui;
        ASSERT_EQ(extract_every_nth_line({dir / "in.txt", dir / "out.txt", start, every}, ui),
                  line_extraction_outcome::completed);
        EXPECT_EQ(test::read_file(dir / "out.txt"), whole_file_oracle(text, start, every))
            << "round " << round << " start " << start << " every " << every;
    }
}

std::string report(const std::string& error) {
    return "Error (" + error +
           ") in (frm_text_line_extraction: cmd_execute_click) routine.\n\rReturning to main menu";
}

TEST(LineExtractionFailures, ReportTheRoutineInNumberFormAndNeverLoop) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", ten_lines());
    test::write_file(dir / "no-lines.bin", std::string(max_line_bytes + 1, 'x'));
    struct failure {
        line_extraction_settings settings;
        std::string text;
    };
    const failure failures[] = {
        // A file without line feeds is refused, never held whole in memory.
        {{dir / "no-lines.bin", dir / "out.txt", 1, 4},
         report("Out of string space - more than 16 MB in one line (not a text file?)14")},
        {{dir / "missing.txt", dir / "out.txt", 1, 4}, report("File not found53")},
        {{dir / "in.txt", dir / "no-folder" / "out.txt", 1, 4}, report("Path not found76")},
        // The window never runs with a 0, but the job must not take line 0 or loop forever.
        {{dir / "in.txt", dir / "out.txt", 0, 4}, report("Subscript out of range9")},
        {{dir / "in.txt", dir / "out.txt", 1, 0}, report("Invalid procedure call or argument5")},
    };
    for (const failure& f : failures) {
        test::recording_ui ui;
        EXPECT_EQ(extract_every_nth_line(f.settings, ui), line_extraction_outcome::error_report);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
        EXPECT_EQ(ui.messages[0].title, "Fatal - Error");
        EXPECT_EQ(ui.messages[0].text, f.text);
        EXPECT_FALSE(ui.busy_now);
    }
}

TEST(LineExtractionFailures, OutputThatIsTheInputLeavesTheInputWhole) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", ten_lines());
    std::filesystem::create_symlink(dir / "in.txt", dir / "link.txt");
    for (const char* output : {"in.txt", "link.txt"}) {
        test::recording_ui ui;
        EXPECT_EQ(extract_every_nth_line({dir / "in.txt", dir / output, 1, 4}, ui),
                  line_extraction_outcome::error_report);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, report("File already open55"));
        EXPECT_EQ(test::read_file(dir / "in.txt"), ten_lines());
    }
}

// A pipe cannot be read a second time: the lines must come from the one reading.
TEST(LineExtractionStreaming, readsAPipeOnceInsteadOfWritingAnEmptyFile) {
    test::temp_dir dir;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text = ten_lines();
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(ends[1]);
    test::recording_ui ui;
    EXPECT_EQ(
        extract_every_nth_line({"/dev/fd/" + std::to_string(ends[0]), dir / "out.txt", 2, 4}, ui),
        line_extraction_outcome::completed);
    ::close(ends[0]);
    EXPECT_EQ(test::read_file(dir / "out.txt"), "line 2\nline 6\nline 10\n");
}

TEST(LineNumberText, ExecuteNeedsTwoNumbersOfAtLeastOne) {
    EXPECT_TRUE(line_numbers_usable("1", "4"));
    for (const auto& [start, every] :
         {std::pair{"00", "4"}, {"1", "00"}, {"", "4"}, {"1", ""}, {"0", "4"}, {"1", "0"}})
        EXPECT_FALSE(line_numbers_usable(start, every)) << start << " / " << every;
}

int run_cli(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
    const auto r = test::run_cli(std::move(args));
    if (out != nullptr)
        *out = r.out;
    if (err != nullptr)
        *err = r.err;
    return r.status;
}

TEST(CliLineExtract, RunsTheJobWithTheWindowDefaults) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", ten_lines());
    const std::string in = (dir / "in.txt").string(), out_path = (dir / "out.txt").string();
    std::string out;
    EXPECT_EQ(run_cli({"line-extract", "--input", in, "--output", out_path}, &out), 0);
    EXPECT_EQ(out, "Information: Job Finished: Extraction Completed.\n");
    EXPECT_EQ(test::read_file(dir / "out.txt"), "line 1\nline 5\nline 9\n");

    EXPECT_EQ(run_cli({"line-extract", "--input", in, "--output", out_path, "--start", "010",
                       "--every", "3"}),
              0);
    EXPECT_EQ(test::read_file(dir / "out.txt"), "line 10\n");

    EXPECT_EQ(run_cli({"line-extract", "--input", in, "--output", (dir / "o2.txt").string(),
                       "--start", "11"},
                      &out),
              1);
    EXPECT_EQ(out, "Critical: Fatal Error - Aborting: Error - Start line is larger than number "
                   "of lines in file.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "o2.txt"));
}

TEST(CliLineExtract, RefusesWhatTheWindowWouldNotRun) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", ten_lines());
    const std::string in = (dir / "in.txt").string(), out_path = (dir / "out.txt").string();
    for (const auto& [option, text] : {std::pair{"--start", "0"},
                                       {"--start", "00"},
                                       {"--every", "000"},
                                       {"--every", ""},
                                       {"--start", "-1"},
                                       {"--every", "1.5"},
                                       {"--start", "x"}}) {
        std::string err;
        EXPECT_EQ(run_cli({"line-extract", "--input", in, "--output", out_path, option, text},
                          nullptr, &err),
                  2)
            << option << " " << text;
        EXPECT_NE(err.find(option), std::string::npos) << err;
    }
    EXPECT_EQ(run_cli({"line-extract", "--input", in}), 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
}

} // namespace
} // namespace qm
