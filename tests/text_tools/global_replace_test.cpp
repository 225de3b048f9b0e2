#include "text_tools/global_replace.h"

#include "stokes/job_checks.h"

#include <chrono>
#include <random>
#include <sys/stat.h>

namespace qm {
namespace {

namespace fs = std::filesystem;

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
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "\t\t\t\t\tab";
    const auto r = apply_replacements(text, {"\t", "        "}, {" ", "."});
    ASSERT_FALSE(r.endless);
    EXPECT_EQ(r.replacements, 45000);
    EXPECT_EQ(r.text.substr(0, 42), std::string(40, '.') + "ab");
}

TEST(apply_replacements, EndlessPassesAreDetectedQuicklyEvenInLargeTexts) {
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
    const std::string big(1 << 20, 'x');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(apply_replacements(big, {"x", "y"}, {"y", "x"}).endless);
    EXPECT_TRUE(apply_replacements(big, {"x", "xx"}, {}).endless);
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
    for (int round = 0; round < 2000; ++round) {
        const std::string text = word(round % 100 == 0 ? 9000 + rng() % 9000 : rng() % 60);
        const replace_pair p1 = pair(), p2 = round % 3 == 0 ? replace_pair{} : pair();
        const std::int64_t limit = 2 * static_cast<std::int64_t>(text.size()) + 50;
        const auto expected = plain_passes(text, p1, p2, limit);
        const auto got = apply_replacements(text, p1, p2, limit);
        const std::string pairs =
            p1.search + ">" + p1.replace + " " + p2.search + ">" + p2.replace + " on " + text;
        ASSERT_EQ(got.endless, expected.endless) << pairs;
        if (!expected.endless) {
            ASSERT_EQ(got.text, expected.text) << pairs;
            ASSERT_EQ(got.replacements, expected.replacements) << pairs;
        }
    }
}

TEST(apply_replacements, ManyOccurrencesInALargeTextAreQuick) {
    // 20 MB holding 200000 occurrences of each pair, in the two halves of the text: the
    // passes alternate between places far apart. "barb" -> "bab" makes no new "bar".
    const std::string filler(45, '.');
    std::string text, expected;
    for (const auto& [from, to] : {std::pair{"foo", "f"}, {"barb", "bab"}})
        for (int i = 0; i < 200000; ++i) {
            text += from + filler + "\n";
            expected += to + filler + "\n";
        }
    expected.resize(20'000'000 - (text.size() - expected.size()), '-');
    text.resize(20'000'000, '-');
    const auto start = std::chrono::steady_clock::now();
    const auto r = apply_replacements(text, {"foo", "f"}, {"bar", "ba"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.replacements, 400000);
    EXPECT_TRUE(r.text == expected);
}

struct replace_files : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;

    std::string file(const std::string& name, const std::string& bytes) {
        test::write_file(dir / name, bytes);
        return (dir / name).string();
    }
    std::vector<std::string> names() {
        std::vector<std::string> all;
        for (const auto& e : fs::directory_iterator(dir.path()))
            all.push_back(e.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }
};

TEST_F(replace_files, RewritesChangedFilesOnlyAndCounts) {
    const auto a = file("a.txt", "abbb\r\nab\n"), b = file("b.txt", "no match");
    const auto c = file("c.txt", "x ab");
    file("temp.tmp", "mine"); // the name the old program used as its temporary file
    chmod(a.c_str(), 0640);
    const auto old_b = fs::last_write_time(b);
    EXPECT_TRUE(replace_in_files({{a, b, c}, {"ab", "a"}, {"x", ""}}, ui).completed);
    EXPECT_EQ(test::read_file(a), "a\r\na\n");
    EXPECT_EQ(test::read_file(c), " a");
    EXPECT_EQ(fs::last_write_time(b), old_b);
    EXPECT_EQ(test::read_file(dir / "temp.tmp"), "mine");
    EXPECT_EQ(fs::status(a).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "temp.tmp"}));
    EXPECT_EQ(test::only_box(ui.messages), "Information: Process Complete: Search and Replace "
                                           "Finished\n\rMade 6 replacements in 2 files.");
    EXPECT_EQ(ui.count_texts.first + ", " + ui.count_texts.second + ", " + ui.statuses.back(),
              "Files Processed = 3, Files Remaining = 0, Replacements Made = 6");
    EXPECT_EQ(ui.progress, 3);
    EXPECT_FALSE(ui.busy_now);
}

TEST_F(replace_files, EndlessFileIsRefusedAndLeftAsItWas) {
    // Pairs that only feed each other where the text lets them are not endless.
    EXPECT_TRUE(
        replace_in_files({{file("a.txt", "x"), file("b.txt", "zz")}, {"x", "y"}, {"z", "x"}}, ui)
            .refused.empty());
    const auto c = file("c.txt", "xyz");
    const auto r = replace_in_files({{c, file("d.txt", "zz")}, {"x", "y"}, {"y", "x"}}, ui);
    EXPECT_EQ(r.refused, std::vector<std::string>{c});
    EXPECT_EQ(test::read_file(c), "xyz");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].icon, message_icon::exclamation);
    EXPECT_NE(ui.messages[1].text.find(c), std::string::npos);
    // The run went on to d; the completion counts only what was really done.
    EXPECT_EQ(ui.messages[2].text,
              "Search and Replace Finished\n\rMade 0 replacements in 0 files.");
}

// A backup that exists, or a file gone, stops the run; files before it keep their new text.
TEST_F(replace_files, BackupsAndErrorsThatStopTheRun) {
    const auto a = file("a.txt", "one ab");
    replace_in_files({{a, (dir / "gone.txt").string()}, {"ab", "cd"}, {}, true}, ui);
    EXPECT_EQ(test::read_file(a), "one cd");
    EXPECT_EQ(test::read_file(a + ".bak"), "one ab");
    const std::string report = "Exclamation: Fatal - Error: Error (%) in (frm_global_replace: "
                               "cmd_execute_click) routine.\n\rReturning to main menu";
    EXPECT_EQ(test::only_box(ui.messages),
              std::string(report).replace(report.find('%'), 1, "File not found53"));
    test::write_file(a, "two ab");
    ui = {};
    EXPECT_FALSE(replace_in_files({{a}, {"ab", "cd"}, {}, true}, ui).completed);
    EXPECT_EQ(test::read_file(a), "two ab");
    EXPECT_EQ(test::read_file(a + ".bak"), "one ab");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt", "a.txt.bak"}));
    EXPECT_EQ(test::only_box(ui.messages),
              std::string(report).replace(report.find('%'), 1, "File already exists58"));
}

TEST_F(replace_files, CliTakesOneFileOrSeveralOfOneFolder) {
    const auto run = [](std::vector<std::string> args) {
        args.insert(args.begin(), "replace");
        return test::run_cli(args);
    };
    const auto a = file("a.txt", "abbb"), b = file("b.txt", "a-a"), x = file("x.txt", "x");
    EXPECT_EQ(run({"--search1", "ab", "--replace1", "a", a}).out,
              "Information: Process Complete: Search and Replace Finished\n\rMade 3 "
              "replacements in 1 files.\n");
    EXPECT_EQ(test::read_file(a), "a");
    EXPECT_EQ(
        run({"--search1", "a", "--search2", "-", "--replace2", "+", "--backups", a, b}).status, 0);
    EXPECT_EQ(test::read_file(a) + test::read_file(b) + test::read_file(dir / "b.txt.bak"), "+a-a");
    // An endless file is work not done; an empty first search, or files of two folders, are
    // usage errors.
    EXPECT_EQ(
        run({"--search1", "x", "--replace1", "y", "--search2", "y", "--replace2", "x", x}).status,
        1);
    EXPECT_EQ(run({"--search1", "", x}).status, 2);
    fs::create_directory(dir / "sub");
    EXPECT_EQ(run({"--search1", "x", x, file("sub/y.txt", "x")}).status, 2);
    EXPECT_EQ(test::read_file(x) + test::read_file(dir / "sub" / "y.txt"), "xx");
}

} // namespace
} // namespace qm
