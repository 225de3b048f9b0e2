#include "cli/commands.h"
#include "platform/run_error.h"
#include "text_tools/character_extraction.h"

#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

prescan_result scan(const std::string& text) {
    std::istringstream in(text);
    return prescan_text_file(in);
}

std::string cut(const std::string& text, const std::vector<char_range>& ranges) {
    std::istringstream in(text);
    std::string out;
    extract_character_ranges(in, ranges, [&out](std::string_view b) { out.append(b); });
    return out;
}

std::string lines(int count, const std::string& line, const std::string& end) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line + end;
    return text;
}

TEST(Prescan, MeasuresLeadingSpaceAndCarriageReturn) {
    const std::string eighty(80, 'x');
    const auto crlf = scan("short\r\n" + eighty + "\r\nend\r\n");
    EXPECT_EQ(crlf.max_line_length, 82u);
    EXPECT_EQ(crlf.min_value, 1u);
    const auto lf = scan("short\n" + eighty + "\nend\n");
    EXPECT_EQ(lf.max_line_length, 81u);
    EXPECT_EQ(lf.min_value, 1u);
    EXPECT_EQ(scan("ab\r\ncd").preview, "\r\n ab\r\r\n cd");
    const auto empty = scan("");
    EXPECT_EQ(empty.max_line_length, 0u);
    EXPECT_EQ(empty.min_value, 1u);
    EXPECT_EQ(empty.preview, "");
}

TEST(Prescan, OnlyTheFirst200LinesAndAShortPreview) {
    const auto result = scan(lines(200, "1234", "\n") + std::string(500, 'y') + "\n");
    EXPECT_EQ(result.max_line_length, 5u);
    EXPECT_EQ(result.preview.size(), 1400u); // 200 x ("\r\n" + " 1234")
    const auto wide = scan(lines(300, std::string(30, 'z'), "\n"));
    EXPECT_EQ(wide.preview.size(), preview_limit);
    EXPECT_EQ(wide.preview.substr(0, 6), "\r\n zzz");
}

TEST(Prescan, LinesBeyondSixteenBits) {
    const auto result = scan("a\n" + std::string(70000, 'q') + "\r\nb\n");
    EXPECT_EQ(result.max_line_length, 70002u);
    EXPECT_EQ(result.preview.size(), preview_limit);
}

struct piece_case {
    const char* name;
    std::string line;
    std::vector<char_range> ranges;
    std::string pieces;
};

class Pieces : public ::testing::TestWithParam<piece_case> {};

TEST_P(Pieces, OfOneLine) {
    std::string out;
    append_pieces(GetParam().line, GetParam().ranges, out);
    EXPECT_EQ(out, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    CharacterExtraction, Pieces,
    ::testing::Values(
        piece_case{"ShortOfTheCarriageReturn", "abcdef\r", {{1, 3}}, "abc"},
        piece_case{"ReachingTheEndCopiesTheCr", "abcdef\r", {{3, 100}}, "cdef\r"},
        piece_case{"StartOnLastCharacter", "abcde", {{5, 5}}, ""},
        piece_case{"StartOnLastCharacterOpenEnd", "abcde", {{5, 9}}, ""},
        piece_case{"OneCharacterLine", "x", {{1, 81}}, ""},
        piece_case{"StartBeyondTheLine", "abc", {{4, 6}}, ""},
        piece_case{"EmptyLine", "", {{1, 5}}, ""},
        piece_case{"CrBetweenPieces", "ab\r", {{2, 9}, {1, 1}}, "b\ra"},
        piece_case{"OrderAsGivenNotAsInLine", "0123456789", {{8, 9}, {1, 2}, {4, 4}}, "78013"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Extraction, WholeStreamLineByLine) {
    EXPECT_EQ(cut("abcdef\r\nxy\r\n\nlast", {{1, 3}}), "abc\nxy\r\n\nlas\n");
    // Range 1 as proposed (1 .. max) reproduces CR LF text; a one-character line starts on its
    // last character and gives nothing; a last line without a line feed gets one.
    const std::string crlf = "ab\r\nccc\r\n";
    EXPECT_EQ(cut(crlf, {{1, scan(crlf).max_line_length}}), crlf);
    const std::string text = "a\nbb\n\nccc\nd";
    EXPECT_EQ(cut(text, {{1, scan(text).max_line_length}}), "\nbb\n\nccc\n\n");
}

struct check_case {
    const char* name;
    range_entry texts;
    std::string message; // empty: accepted
};

class Ranges : public ::testing::TestWithParam<check_case> {};

TEST_P(Ranges, AreCheckedInOrder) {
    std::vector<char_range> ranges{{9, 9}};
    const auto message = check_ranges(GetParam().texts, 20, ranges);
    if (GetParam().message.empty()) {
        EXPECT_FALSE(message) << *message;
    } else {
        ASSERT_TRUE(message);
        EXPECT_EQ(*message, GetParam().message);
        EXPECT_EQ(ranges.size(), 1u); // untouched on a failure
    }
}

const std::string first = "Please Enter a valid start and finish range";

INSTANTIATE_TEST_SUITE_P(
    CharacterExtraction, Ranges,
    ::testing::Values(check_case{"Range1Empty", {{{"1", ""}}}, first},
                      check_case{"Range1StartZero", {{{"0", "5"}}}, first},
                      check_case{"Range1StartAboveFinish", {{{"6", "5"}}}, first},
                      check_case{"Range1FinishAboveMax", {{{"1", "21"}}}, first},
                      check_case{"Range1HugeFinish", {{{"1", "1e30"}}}, first},
                      check_case{"Range1FractionsCut", {{{"1.9", "20.7"}}}, ""},
                      check_case{
                          "Range2FinishEmpty", {{{"1", "20"}, {"3", ""}}}, first + " for range 2"},
                      check_case{"Range2StartEmptyIgnored", {{{"1", "20"}, {"", "7"}}}, ""},
                      check_case{"Range3CheckedAfterEmptyRange2",
                                 {{{"1", "20"}, {"", ""}, {"4", "3"}}},
                                 first + " for range 3"},
                      check_case{"Range5",
                                 {{{"1", "2"}, {"1", "2"}, {"1", "2"}, {"1", "2"}, {"0", "2"}}},
                                 first + " for range 5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ranges, SkippedRangeLeavesLaterOnesInPlaceAndTextIsNotANumber) {
    std::vector<char_range> ranges;
    ASSERT_FALSE(check_ranges({{{"2", "3"}, {"", "9"}, {"5", "20"}}}, 20, ranges));
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1].start, 5u);
    EXPECT_EQ(ranges[1].finish, 20u);
    try {
        check_ranges({{{"1", "x"}}}, 20, ranges);
        FAIL() << "no run error";
    } catch (const run_error& e) {
        EXPECT_EQ(e.number, 13);
    }
}

struct extraction_run : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    std::filesystem::path in = dir / "in.txt";
    std::filesystem::path out = dir / "out.txt";

    extraction_outcome run(const range_entry& texts, std::uint64_t max) {
        return run_character_extraction(in, out, texts, max, ui);
    }
};

TEST_F(extraction_run, DefaultRangeCopiesTheScannedHeadAndCutsLaterLongLines) {
    const std::string head = lines(200, "abcd", "\r\n");
    test::write_file(in, head + "0123456789\r\n");
    const auto scanned = run_prescan(in, ui);
    ASSERT_TRUE(scanned);
    EXPECT_EQ(ui.statuses.back(), "File Scanned - Line Length Max = 6 Min = 1");
    EXPECT_EQ(run({{{"1", "6"}}}, scanned->max_line_length), extraction_outcome::completed);
    EXPECT_EQ(test::read_file(out), head + "012345\n");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::information);
    EXPECT_EQ(ui.messages[0].title, "Process completed");
    EXPECT_EQ(ui.messages[0].text, "File Extraction Completed");
    EXPECT_FALSE(ui.busy_at_message[0]);
    EXPECT_EQ(ui.progress, ui.progress_max);
    EXPECT_EQ(ui.progress_max, static_cast<long long>(head.size() + 12));
}

TEST_F(extraction_run, InvalidRangeOpensNothing) {
    test::write_file(in, "abc\n");
    EXPECT_EQ(run({{{"1", "3"}, {"2", ""}}}, 4), extraction_outcome::invalid_ranges);
    EXPECT_FALSE(std::filesystem::exists(out));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
    EXPECT_EQ(ui.messages[0].title, "Quillmark");
    EXPECT_EQ(ui.messages[0].text, first + " for range 2");
    EXPECT_TRUE(ui.busy_at_message[0]);
    EXPECT_FALSE(ui.busy_now);
}

TEST_F(extraction_run, ErrorReportsCarryTheApplicationTitle) {
    test::write_file(in, "abc\n");
    EXPECT_EQ(run({{{"1", "2"}, {"one", "2"}}}, 4), extraction_outcome::failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Quillmark");
    EXPECT_EQ(ui.messages[0].text,
              "Error (Type mismatch) in (cmd_execute - click) routine.\n\rReturning to main menu");
    EXPECT_FALSE(ui.busy_at_message[0]);

    // Choosing the input as the output would truncate it: refused before anything is opened.
    EXPECT_EQ(run_character_extraction(in, dir / "." / "in.txt", {{{"1", "2"}}}, 4, ui),
              extraction_outcome::failed);
    EXPECT_EQ(ui.messages.back().text,
              "Error (File already open) in (cmd_execute - click) routine.\n\rReturning to main "
              "menu");
    EXPECT_EQ(test::read_file(in), "abc\n");

    EXPECT_FALSE(run_prescan(dir / "missing.txt", ui));
}

test::cli_run run_cli(std::vector<std::string> args) {
    args.insert(args.begin(), "char-extract");
    return test::run_cli(std::move(args));
}

TEST(CliCharExtract, PrescanAndExtract) {
    test::temp_dir dir;
    const auto in = (dir / "in.txt").string();
    const auto out = (dir / "out.txt").string();
    test::write_file(in, "0123456789\nabc\n");
    auto r = run_cli({"--prescan", in});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Line Length Max = 11\nMin = 1\nPreview:\r\n 0123456789\r\n abc\n");

    r = run_cli({"--input", in, "--output", out, "--range", "2:3", "--range", "8:11"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Information: Process completed: File Extraction Completed\n");
    EXPECT_EQ(test::read_file(out), "12789\nbc\n");

    // Checked against the pre-scan like the window's boxes.
    r = run_cli({"--input", in, "--output", out, "--range", "1:12"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Exclamation: Quillmark: " + first + "\n");
    r = run_cli({"--input", in, "--output", out, "--range", "1:2", "--range", "3:"});
    EXPECT_EQ(r.out, "Exclamation: Quillmark: " + first + " for range 2\n");
    r = run_cli(
        {"--input", in, "--output", out, "--range", "1:2", "--range", ":5", "--range", "4:4"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::read_file(out), "013\nab\n");
}

TEST(CliCharExtract, UsageErrors) {
    test::temp_dir dir;
    const auto in = (dir / "in.txt").string();
    test::write_file(in, "abc\n");
    const auto out = (dir / "o").string();
    EXPECT_EQ(run_cli({"--input", in, "--output", out}).status, 2);
    EXPECT_EQ(run_cli({"--input", in, "--output", out, "--range", "1-2"}).status, 2);
    std::vector<std::string> six{"--input", in, "--output", out};
    for (int i = 0; i < 6; ++i)
        six.insert(six.end(), {"--range", "1:2"});
    EXPECT_EQ(run_cli(six).status, 2);
    EXPECT_EQ(run_cli({"--prescan", in, "--range", "1:2"}).status, 2);
    EXPECT_EQ(run_cli({"--prescan", (dir / "none").string()}).status, 1);
}

} // namespace
} // namespace qm
