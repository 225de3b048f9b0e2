// Character extraction: the pre-scan, the ranges and their checks, the job and its command.
#include "platform/run_error.h"
#include "text_tools/character_extraction.h"

#include "stokes/job_checks.h"

#include <sstream>

namespace qm {
namespace {

prescan_result scan(const std::string& text) {
    std::istringstream in(text);
    return prescan_text_file(in);
}

// A measured line is a leading blank, the line's bytes and its carriage return; only the first
// 200 lines count, and the preview holds their first 2000 characters. Each scan as
// "<max> <preview size> <preview start>".
TEST(Prescan, MeasuresTheFirst200LinesWithALeadingBlankAndTheirCarriageReturn) {
    const std::pair<std::string, std::string> cases[] = {
        {"short\r\n" + std::string(80, 'x') + "\r\nend\r\n", "82 100 \r\n short\r\r\n x"},
        {"ab\r\ncd", "4 11 \r\n ab\r\r\n cd"},
        {"", "0 0 "},
        {test::repeated(200, "1234\n") + std::string(500, 'y') + "\n", "5 1400 \r\n 1234\r"},
        {test::repeated(300, std::string(30, 'z') + "\n"), "31 2000 \r\n zzz"},
        {"a\n" + std::string(70000, 'q') + "\r\nb\n", "70002 2000 \r\n a\r"}};
    for (const auto& [text, expected] : cases) {
        const prescan_result r = scan(text);
        const std::string head =
            std::to_string(r.max_line_length) + " " + std::to_string(r.preview.size()) + " ";
        EXPECT_EQ(head + r.preview.substr(0, expected.size() - head.size()), expected);
    }
}

// Each line gives its pieces in range order and one line feed.
TEST(Extraction, CutsTheRangesOfEveryLineInTheirOrder) {
    const std::string crlf = "ab\r\nccc\r\n", lf = "a\nbb\n\nccc\nd";
    const std::tuple<std::string, std::vector<char_range>, std::string> cases[] = {
        {"abcdef\r", {{1, 3}}, "abc\n"},
        {"abcdef\r", {{3, 100}}, "cdef\r\n"}, // reaching the line's end copies its CR
        {"abcde", {{5, 5}}, "\n"},            // a start on the last character gives nothing
        {"abc", {{4, 6}}, "\n"},
        {"ab\r", {{2, 9}, {1, 1}}, "b\ra\n"},
        {"0123456789", {{8, 9}, {1, 2}, {4, 4}}, "78013\n"},
        {"abcdef\r\nxy\r\n\nlast", {{1, 3}}, "abc\nxy\r\n\nlas\n"},
        // Range 1 as the scan proposes it reproduces a CR LF text.
        {crlf, {{1, scan(crlf).max_line_length}}, crlf},
        {lf, {{1, scan(lf).max_line_length}}, "\nbb\n\nccc\n\n"}};
    for (const auto& [text, ranges, expected] : cases) {
        std::istringstream in(text);
        std::string out;
        extract_character_ranges(in, ranges, [&out](std::string_view b) { out.append(b); });
        EXPECT_EQ(out, expected) << text;
    }
}

const std::string first = "Please Enter a valid start and finish range";

// Checked in order; a failure leaves the ranges as they were. Each check as its message or
// the ranges taken, "<start>-<finish>," each.
TEST(Ranges, AreCheckedInOrderAndLeftAloneOnAFailure) {
    const std::pair<range_entry, std::string> cases[] = {
        {{{{"1", ""}}}, first},
        {{{{"0", "5"}}}, first},
        {{{{"6", "5"}}}, first},
        {{{{"1", "21"}}}, first},
        {{{{"1", "1e30"}}}, first},
        {{{{"1.9", "20.7"}}}, "1-20,"}, // fractions are cut
        {{{{"1", "20"}, {"3", ""}}}, first + " for range 2"},
        {{{{"2", "3"}, {"", "9"}, {"5", "20"}}}, "2-3,5-20,"}, // a range without a start is out
        {{{{"1", "20"}, {"", ""}, {"4", "3"}}}, first + " for range 3"},
        {{{{"1", "2"}, {"1", "2"}, {"1", "2"}, {"1", "2"}, {"0", "2"}}}, first + " for range 5"}};
    for (const auto& [texts, expected] : cases) {
        std::vector<char_range> ranges{{9, 9}};
        const auto message = check_ranges(texts, 20, ranges);
        std::string taken;
        for (const char_range& r : ranges)
            taken += std::to_string(r.start) + "-" + std::to_string(r.finish) + ",";
        EXPECT_EQ(message.value_or(taken), expected) << texts[0].start;
        EXPECT_EQ(message ? taken : "9-9,", "9-9,"); // a failure leaves them alone
    }
    std::vector<char_range> ranges;
    EXPECT_THROW(check_ranges({{{"1", "x"}}}, 20, ranges), run_error);
}

// What the window and the command line do not show: the bar, and the input never truncated
// as its own output.
TEST(Extraction, RunsUnderTheBarAndNeverTruncatesItsInput) {
    test::temp_dir dir;
    const std::string text = test::repeated(200, "abcd\r\n") + "0123456789\r\n";
    test::write_file(dir / "in.txt", text);
    test::recording_ui ui;
    EXPECT_EQ(run_character_extraction(dir / "in.txt", dir / "out.txt", {{{"1", "6"}}}, 6, ui),
              extraction_outcome::completed);
    EXPECT_EQ(std::to_string(ui.progress) + " of " + std::to_string(ui.progress_max),
              "1212 of 1212");
    ui = {};
    EXPECT_EQ(run_character_extraction(dir / "in.txt", dir / "." / "in.txt", {{{"1", "2"}}}, 6, ui),
              extraction_outcome::failed);
    EXPECT_EQ(test::only_box(ui.messages),
              "Exclamation: Quillmark: " +
                  test::report("File already open", "cmd_execute - click"));
    EXPECT_EQ(test::read_file(dir / "in.txt"), text);
}

// The command line scans like the window and checks the ranges against the scan.
TEST(CliCharExtract, PrescansAndExtractsWithTheWindowsChecks) {
    test::temp_dir dir;
    const auto in = dir / "in.txt", out = dir / "out.txt";
    test::write_file(in, "0123456789\nabc\n");
    EXPECT_EQ(test::run_cli({"char-extract", "--prescan", in.string()}).out,
              "Line Length Max = 11\nMin = 1\nPreview:\r\n 0123456789\r\n abc\n");
    EXPECT_EQ(test::run_on("char-extract", in, out, {"--range", "1:12"}).out,
              "Exclamation: Quillmark: " + first + "\n");
    const std::vector<std::string> six_ranges = {"--range", "1:2", "--range", "1:2",
                                                 "--range", "1:2", "--range", "1:2",
                                                 "--range", "1:2", "--range", "1:2"};
    for (const auto& usage : {std::vector<std::string>{}, {"--range", "1-2"}, six_ranges})
        EXPECT_EQ(test::run_on("char-extract", in, out, usage).status, 2) << usage.size();
}

} // namespace
} // namespace qm
