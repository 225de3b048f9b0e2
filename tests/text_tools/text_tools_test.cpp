#include "platform/input_stream.h"
#include "platform/run_error.h"
#include "text_tools/character_extraction.h"
#include "text_tools/global_replace.h"
#include "text_tools/line_extraction.h"

#include "stokes/job_checks.h"

#include <chrono>
#include <limits>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace qm {
namespace {

namespace fs = std::filesystem;

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

// The passes done the plain way: every replacement looks for its text from the very start.
replace_outcome plain_passes(std::string s, const replace_pair& p1, const replace_pair& p2,
                             std::int64_t limit) {
    replace_outcome out;
    for (bool made = true; made;) {
        made = false;
        for (const replace_pair* p : {&p1, &p2}) {
            const auto at = p->search.empty() ? std::string::npos : s.find(p->search);
            if (at == std::string::npos)
                continue;
            s.replace(at, p->search.size(), p->replace);
            made = true;
            if (++out.replacements > limit)
                return {"", out.replacements, true};
        }
    }
    out.text = s;
    return out;
}

TEST(apply_replacements, tabsToBlanksThenBlanksToDotsIsNotRefusedForTheFileSize) {
    // 7 KB needing 45000 replacements: far more than the file's bytes, yet finite.
    const auto r =
        apply_replacements(test::repeated(1000, "\t\t\t\t\tab"), {"\t", "        "}, {" ", "."});
    ASSERT_FALSE(r.endless);
    EXPECT_EQ(r.replacements, 45000);
    EXPECT_EQ(r.text.substr(0, 42), std::string(40, '.') + "ab");
}

TEST(apply_replacements, EndlessPassesAreDetectedQuicklyEvenWhereThePairsFeedEachOther) {
    const std::pair<replace_pair, replace_pair> endless[] = {
        {{"x", "y"}, {"y", "x"}}, // swapping pairs
        {{"a", "aa"}, {}},        // replace text holds the search text
        {{"a", "ba"}, {}},
        {{"a", "b"}, {"b", "ab"}}}; // feed each other and grow: only the limit catches it
    for (const auto& [p1, p2] : endless)
        for (const std::string text : {"xy", "yyy", "a", "some a text with x"})
            EXPECT_EQ(apply_replacements(text, p1, p2).endless,
                      text.find_first_of(p1.search + p2.search) != std::string::npos)
                << p1.search << " " << text;
    // The cost follows the text and the replacements, never their product.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(apply_replacements(std::string(1 << 20, 'x'), {"x", "y"}, {"y", "x"}).endless);
    EXPECT_TRUE(apply_replacements(std::string(1 << 20, 'x'), {"x", "xx"}, {}).endless);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Random small alphabets make replacements create, destroy and overlap each other's matches,
// across the chunk boundaries of a long text too.
TEST(apply_replacements, MatchesThePlainPassesOnRandomTexts) {
    std::mt19937 rng(12345);
    const auto word = [&](std::size_t size) {
        std::string w(size, ' ');
        for (char& c : w)
            c = "abc"[rng() % 3];
        return w;
    };
    const auto pair = [&] { return replace_pair{word(1 + rng() % 3), word(rng() % 5)}; };
    const auto shown = [](const replace_outcome& r) {
        return r.endless ? "endless" : r.text + " after " + std::to_string(r.replacements);
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string text = word(round % 100 == 0 ? 9000 + rng() % 9000 : rng() % 60);
        const replace_pair p1 = pair(), p2 = round % 3 == 0 ? replace_pair{} : pair();
        const std::int64_t limit = 2 * static_cast<std::int64_t>(text.size()) + 50;
        const auto expected = plain_passes(text, p1, p2, limit);
        const auto got = apply_replacements(text, p1, p2, limit);
        SCOPED_TRACE(p1.search + ">" + p1.replace + " " + p2.search + ">" + p2.replace + " on " +
                     text);
        ASSERT_EQ(shown(got), shown(expected));
    }
}

struct replace_files : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    std::string file(const std::string& name, const std::string& bytes) {
        test::write_file(dir / name, bytes);
        return (dir / name).string();
    }
    // How many files the folder holds: a run leaves no temporary file behind.
    long files() { return std::distance(fs::directory_iterator(dir.path()), {}); }
};

TEST_F(replace_files, RewritesChangedFilesOnlyAndCounts) {
    const auto a = file("a.txt", "abbb\r\nab\n"), b = file("b.txt", "no match");
    const auto c = file("c.txt", "x ab");
    file("temp.tmp", "mine"); // the name the old program used as its temporary file
    chmod(a.c_str(), 0640);
    const auto old_b = fs::last_write_time(b);
    EXPECT_TRUE(replace_in_files({{a, b, c}, {"ab", "a"}, {"x", ""}}, ui).completed);
    EXPECT_EQ(test::read_file(a) + "|" + test::read_file(c) + "|" +
                  test::read_file(dir / "temp.tmp"),
              "a\r\na\n| a|mine");
    EXPECT_EQ(fs::last_write_time(b), old_b);
    EXPECT_EQ(fs::status(a).permissions(), fs::perms(0640));
    EXPECT_EQ(files(), 4);
    EXPECT_EQ(test::only_box(ui.messages), "Information: Process Complete: Search and Replace "
                                           "Finished\n\rMade 6 replacements in 2 files.");
    EXPECT_EQ(ui.progress, 3);
}

TEST_F(replace_files, EndlessFileIsRefusedAndLeftAsItWas) {
    const auto c = file("c.txt", "xyz");
    const auto r = replace_in_files({{c, file("d.txt", "zz")}, {"x", "y"}, {"y", "x"}}, ui);
    EXPECT_EQ(r.refused, std::vector<std::string>{c});
    EXPECT_EQ(test::read_file(c), "xyz");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
    EXPECT_NE(ui.messages[0].text.find(c), std::string::npos);
    // The run went on to d; the completion counts only what was really done.
    EXPECT_EQ(ui.messages[1].text,
              "Search and Replace Finished\n\rMade 0 replacements in 0 files.");
}

// A backup that exists, or a file gone, stops the run; files before it keep their new text.
TEST_F(replace_files, BackupsAndErrorsThatStopTheRun) {
    const auto a = file("a.txt", "one ab");
    replace_in_files({{a, (dir / "gone.txt").string()}, {"ab", "cd"}, {}, true}, ui);
    EXPECT_EQ(test::read_file(a) + "|" + test::read_file(a + ".bak"), "one cd|one ab");
    const std::string routine(replace_routine);
    EXPECT_EQ(test::only_box(ui.messages), test::fatal("File not found53", routine));
    test::write_file(a, "two ab");
    ui = {};
    EXPECT_FALSE(replace_in_files({{a}, {"ab", "cd"}, {}, true}, ui).completed);
    EXPECT_EQ(test::read_file(a) + "|" + test::read_file(a + ".bak"), "two ab|one ab");
    EXPECT_EQ(files(), 2);
    EXPECT_EQ(test::only_box(ui.messages), test::fatal("File already exists58", routine));
}

TEST_F(replace_files, CliTakesOneFileOrSeveralOfOneFolder) {
    const auto run = [](std::string args) { return test::run_words("replace " + args); };
    const auto a = file("a.txt", "abbb"), b = file("b.txt", "a-a"), x = file("x.txt", "x");
    EXPECT_EQ(
        run("--search1 ab --replace1 a --search2 - --replace2 + --backups " + a + " " + b).out,
        "Information: Process Complete: Search and Replace Finished\n\rMade 4 "
        "replacements in 2 files.\n");
    EXPECT_EQ(test::read_file(a) + test::read_file(b) + test::read_file(dir / "b.txt.bak"),
              "aa+aa-a");
    // An endless file is work not done; an empty first search, or files of two folders, are
    // usage errors.
    EXPECT_EQ(run("--search1 x --replace1 y --search2 y --replace2 x " + x).status, 1);
    EXPECT_EQ(test::run_cli({"replace", "--search1", "", x}).status, 2);
    fs::create_directory(dir / "sub");
    EXPECT_EQ(run("--search1 x " + x + " " + file("sub/y.txt", "x")).status, 2);
}

} // namespace
} // namespace qm
