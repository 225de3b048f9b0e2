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
// 200 lines count, and the preview holds their first 2000 characters.
TEST(Prescan, MeasuresTheFirst200LinesWithALeadingBlankAndTheirCarriageReturn) {
    const struct {
        std::string text;
        std::uint64_t max;
        std::size_t preview_size;
        std::string preview_start;
    } cases[] = {
        {"short\r\n" + std::string(80, 'x') + "\r\nend\r\n", 82, 100, "\r\n short\r\r\n x"},
        {"short\n" + std::string(80, 'x') + "\nend\n", 81, 97, "\r\n short\r\n x"},
        {"ab\r\ncd", 4, 11, "\r\n ab\r\r\n cd"},
        {"", 0, 0, ""},
        {test::repeated(200, "1234\n") + std::string(500, 'y') + "\n", 5, 1400, "\r\n 1234\r"},
        {test::repeated(300, std::string(30, 'z') + "\n"), 31, preview_limit, "\r\n zzz"},
        {"a\n" + std::string(70000, 'q') + "\r\nb\n", 70002, preview_limit, "\r\n a\r"}};
    for (const auto& c : cases) {
        const prescan_result r = scan(c.text);
        EXPECT_EQ(r.max_line_length, c.max) << c.text.substr(0, 9);
        EXPECT_EQ(r.min_value, 1u);
        EXPECT_EQ(r.preview.size(), c.preview_size) << c.text.substr(0, 9);
        EXPECT_EQ(r.preview.substr(0, c.preview_start.size()), c.preview_start);
    }
}

// Each line gives its pieces in range order and one line feed.
TEST(Extraction, CutsTheRangesOfEveryLineInTheirOrder) {
    const std::string crlf = "ab\r\nccc\r\n", lf = "a\nbb\n\nccc\nd";
    const struct {
        std::string text;
        std::vector<char_range> ranges;
        std::string out;
    } cases[] = {{"abcdef\r", {{1, 3}}, "abc\n"},
                 {"abcdef\r", {{3, 100}}, "cdef\r\n"}, // reaching the line's end copies its CR
                 {"abcde", {{5, 5}}, "\n"}, // a start on the last character gives nothing
                 {"abcde", {{5, 9}}, "\n"},
                 {"abc", {{4, 6}}, "\n"},
                 {"ab\r", {{2, 9}, {1, 1}}, "b\ra\n"},
                 {"0123456789", {{8, 9}, {1, 2}, {4, 4}}, "78013\n"},
                 {"abcdef\r\nxy\r\n\nlast", {{1, 3}}, "abc\nxy\r\n\nlas\n"},
                 // Range 1 as the scan proposes it reproduces a CR LF text.
                 {crlf, {{1, scan(crlf).max_line_length}}, crlf},
                 {lf, {{1, scan(lf).max_line_length}}, "\nbb\n\nccc\n\n"}};
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        std::string out;
        extract_character_ranges(in, c.ranges, [&out](std::string_view b) { out.append(b); });
        EXPECT_EQ(out, c.out) << c.text;
    }
}

const std::string first = "Please Enter a valid start and finish range";

TEST(Ranges, AreCheckedInOrderAndLeftAloneOnAFailure) {
    const std::pair<range_entry, std::string> cases[] = {
        {{{{"1", ""}}}, first},
        {{{{"0", "5"}}}, first},
        {{{{"6", "5"}}}, first},
        {{{{"1", "21"}}}, first},
        {{{{"1", "1e30"}}}, first},
        {{{{"1.9", "20.7"}}}, ""}, // fractions are cut
        {{{{"1", "20"}, {"3", ""}}}, first + " for range 2"},
        {{{{"1", "20"}, {"", "7"}}}, ""}, // a range without a start is left out
        {{{{"1", "20"}, {"", ""}, {"4", "3"}}}, first + " for range 3"},
        {{{{"1", "2"}, {"1", "2"}, {"1", "2"}, {"1", "2"}, {"0", "2"}}}, first + " for range 5"}};
    for (const auto& [texts, message] : cases) {
        std::vector<char_range> ranges{{9, 9}};
        EXPECT_EQ(check_ranges(texts, 20, ranges).value_or(""), message) << texts[0].start;
        EXPECT_EQ(ranges.size(), 1u);
    }
    std::vector<char_range> ranges;
    ASSERT_FALSE(check_ranges({{{"2", "3"}, {"", "9"}, {"5", "20"}}}, 20, ranges));
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1].start, 5u);
    EXPECT_EQ(ranges[1].finish, 20u);
    EXPECT_THROW(check_ranges({{{"1", "x"}}}, 20, ranges), run_error);
}

// What the window and the command line do not show: the bar, the pointer during the messages,
// and the input never truncated as its own output.
TEST(Extraction, RunsUnderTheBarAndNeverTruncatesItsInput) {
    test::temp_dir dir;
    const std::string head = test::repeated(200, "abcd\r\n");
    test::write_file(dir / "in.txt", head + "0123456789\r\n");
    test::recording_ui ui;
    ASSERT_EQ(run_prescan(dir / "in.txt", ui)->max_line_length, 6u);
    EXPECT_EQ(run_character_extraction(dir / "in.txt", dir / "out.txt", {{{"1", "6"}}}, 6, ui),
              extraction_outcome::completed);
    EXPECT_EQ(test::read_file(dir / "out.txt"), head + "012345\n");
    EXPECT_FALSE(ui.busy_at_message.at(0));
    EXPECT_EQ(ui.progress, ui.progress_max);
    EXPECT_EQ(ui.progress_max, static_cast<long long>(head.size() + 12));

    ui = {};
    EXPECT_EQ(run_character_extraction(dir / "in.txt", dir / "x", {{{"1", "3"}, {"2", ""}}}, 6, ui),
              extraction_outcome::invalid_ranges);
    EXPECT_TRUE(ui.busy_at_message.at(0)) << "a range message comes under the hourglass";
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
    ui = {};
    EXPECT_EQ(run_character_extraction(dir / "in.txt", dir / "." / "in.txt", {{{"1", "2"}}}, 6, ui),
              extraction_outcome::failed);
    EXPECT_EQ(test::only_box(ui.messages),
              "Exclamation: Quillmark: Error (File already open) in "
              "(cmd_execute - click) routine.\n\rReturning to main menu");
    EXPECT_EQ(test::read_file(dir / "in.txt"), head + "0123456789\r\n");
}

TEST(CliCharExtract, PrescansAndExtractsWithTheWindowsChecks) {
    test::temp_dir dir;
    const auto in = (dir / "in.txt").string();
    test::write_file(in, "0123456789\nabc\n");
    const auto run = [&](std::vector<std::string> ranges) {
        std::vector<std::string> args{"char-extract", "--input", in, "--output", in + ".out"};
        for (const std::string& range : ranges)
            args.insert(args.end(), {"--range", range});
        return test::run_cli(args);
    };
    EXPECT_EQ(test::run_cli({"char-extract", "--prescan", in}).out,
              "Line Length Max = 11\nMin = 1\nPreview:\r\n 0123456789\r\n abc\n");
    EXPECT_EQ(run({"2:3", "8:11"}).out,
              "Information: Process completed: File Extraction Completed\n");
    EXPECT_EQ(test::read_file(in + ".out"), "12789\nbc\n");
    EXPECT_EQ(run({"1:2", ":5", "4:4"}).status, 0);
    EXPECT_EQ(test::read_file(in + ".out"), "013\nab\n");
    // Checked against the pre-scan like the window's boxes.
    EXPECT_EQ(run({"1:12"}).out, "Exclamation: Quillmark: " + first + "\n");
    EXPECT_EQ(run({"1:2", "3:"}).status, 1);
    for (const auto& usage : std::vector<std::vector<std::string>>{
             {}, {"1-2"}, {"1:2", "1:2", "1:2", "1:2", "1:2", "1:2"}})
        EXPECT_EQ(run(usage).status, 2) << usage.size();
}

} // namespace
} // namespace qm
