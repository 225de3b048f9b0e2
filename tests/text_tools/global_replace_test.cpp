#include "cli/commands.h"
#include "text_tools/global_replace.h"

#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace qm {
namespace {

namespace fs = std::filesystem;

// The passes done the plain way: rebuild the whole text for every replacement.
replace_outcome plain_passes(std::string s, const replace_pair& p1, const replace_pair& p2,
                             std::int64_t limit) {
    replace_outcome out;
    for (bool made = true; made;) {
        made = false;
        for (const replace_pair* p : {&p1, &p2}) {
            if (p->search.empty())
                continue;
            const auto at = s.find(p->search);
            if (at == std::string::npos)
                continue;
            s = s.substr(0, at) + p->replace + s.substr(at + p->search.size());
            made = true;
            if (++out.replacements > limit) {
                out.endless = true;
                return out;
            }
        }
    }
    out.text = s;
    return out;
}

struct pass_case {
    const char* text;
    replace_pair p1, p2;
    const char* expected;
    std::int64_t replacements;
};

TEST(apply_replacements, KnownCases) {
    const pass_case cases[] = {
        {"abbb", {"ab", "a"}, {}, "a", 3},
        {"xaxbx", {"x", ""}, {}, "ab", 3}, // empty replace text deletes
        {"nothing here", {"zz", "y"}, {}, "nothing here", 0},
        {"bbbba", {"ba", "a"}, {}, "a", 4},        // each replacement moves back one
        {"aab", {"a", "b"}, {"bb", "c"}, "cb", 3}, // pair 2 eats what pair 1 made
        {"a", {"a", "ab"}, {"ab", "c"}, "c", 2},   // replace 1 holds search 1, yet it ends
        {"", {"a", "b"}, {}, "", 0},
    };
    for (const auto& c : cases) {
        const auto r = apply_replacements(c.text, c.p1, c.p2);
        EXPECT_FALSE(r.endless) << c.text;
        EXPECT_EQ(r.text, c.expected) << c.text;
        EXPECT_EQ(r.replacements, c.replacements) << c.text;
    }
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

TEST(apply_replacements, EndlessPassesAreDetected) {
    const std::pair<replace_pair, replace_pair> endless[] = {
        {{"x", "y"}, {"y", "x"}}, // swapping pairs
        {{"a", "aa"}, {}},        // replace text holds the search text
        {{"a", "ba"}, {}},
        {{"a", "b"}, {"b", "ab"}}, // feed each other and grow: only the limit catches it
    };
    for (const auto& [p1, p2] : endless) {
        for (const char* text : {"xy", "yyy", "a", "some a text with x"}) {
            const bool contains =
                std::string(text).find_first_of(p1.search + p2.search) != std::string::npos;
            const auto r = apply_replacements(text, p1, p2);
            EXPECT_EQ(r.endless, contains) << p1.search << " " << text;
        }
    }
    // Large files are refused quickly too, not after billions of passes.
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
    const auto word = [&](std::size_t max_len, bool may_be_empty) {
        std::uniform_int_distribution<std::size_t> len(may_be_empty ? 0 : 1, max_len);
        std::string w(len(rng), ' ');
        for (char& c : w)
            c = "abc"[rng() % 3];
        return w;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::size_t size = round % 40 == 0 ? 9000 + rng() % 9000 : rng() % 60;
        std::string text(size, ' ');
        for (char& c : text)
            c = "abc"[rng() % 3];
        const replace_pair p1{word(3, false), word(4, true)};
        const replace_pair p2 =
            round % 3 == 0 ? replace_pair{} : replace_pair{word(3, false), word(4, true)};
        const std::int64_t limit = 2 * static_cast<std::int64_t>(size) + 50;
        const auto expected = plain_passes(text, p1, p2, limit);
        const auto got = apply_replacements(text, p1, p2, limit);
        if (expected.endless) {
            EXPECT_TRUE(got.endless) << text << " " << p1.search << ">" << p1.replace << " "
                                     << p2.search << ">" << p2.replace;
            continue;
        }
        ASSERT_FALSE(got.endless) << text << " " << p1.search << ">" << p1.replace;
        ASSERT_EQ(got.text, expected.text) << text << " " << p1.search << ">" << p1.replace << " "
                                           << p2.search << ">" << p2.replace;
        ASSERT_EQ(got.replacements, expected.replacements);
    }
}

TEST(apply_replacements, ManyOccurrencesInALargeTextAreQuick) {
    // 20 MB holding 200000 occurrences of each pair, in the two halves of the text: the
    // passes alternate between places far apart.
    std::string text;
    text.reserve(20'000'000);
    const std::string filler(45, '.');
    for (int i = 0; i < 200000; ++i)
        text += "foo" + filler + "\n";
    for (int i = 0; i < 200000; ++i)
        text += "barb" + filler + "\n";
    text.resize(20'000'000, '-');
    const auto start = std::chrono::steady_clock::now();
    const auto r = apply_replacements(text, {"foo", "f"}, {"bar", "ba"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    // "barb" -> "bab" -> no new "bar": one replacement each.
    EXPECT_EQ(r.replacements, 400000);
    std::string expected;
    for (int i = 0; i < 200000; ++i)
        expected += "f" + filler + "\n";
    for (int i = 0; i < 200000; ++i)
        expected += "bab" + filler + "\n";
    expected += std::string(20'000'000 - (200000 * 49 + 200000 * 50), '-');
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
    const auto a = file("a.txt", "abbb\r\nab\n");
    const auto b = file("b.txt", "no match");
    const auto c = file("c.txt", "x ab");
    // The user's own file of the name the old program used as its temporary file.
    file("temp.tmp", "mine");
    chmod(a.c_str(), 0640);
    const auto old_b = fs::last_write_time(b);
    const auto r = replace_in_files({{a, b, c}, {"ab", "a"}, {"x", ""}, false}, ui);
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(test::read_file(a), "a\r\na\n");
    EXPECT_EQ(test::read_file(b), "no match");
    EXPECT_EQ(test::read_file(c), " a");
    EXPECT_EQ(fs::last_write_time(b), old_b);
    EXPECT_EQ(test::read_file(dir / "temp.tmp"), "mine");
    EXPECT_EQ(fs::status(a).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "temp.tmp"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::information);
    EXPECT_EQ(ui.messages[0].title, "Process Complete");
    EXPECT_EQ(ui.messages[0].text,
              "Search and Replace Finished\n\rMade 6 replacements in 2 files.");
    EXPECT_EQ(ui.count_texts.first, "Files Processed = 3");
    EXPECT_EQ(ui.count_texts.second, "Files Remaining = 0");
    EXPECT_EQ(ui.statuses.back(), "Replacements Made = 6");
    EXPECT_EQ(ui.progress, 3);
    EXPECT_FALSE(ui.busy_now);
}

TEST_F(replace_files, EndlessFileIsRefusedAndLeftAsItWas) {
    const auto a = file("a.txt", "x");
    const auto b = file("b.txt", "zz");
    const auto r = replace_in_files({{a, b}, {"x", "y"}, {"z", "x"}, false}, ui);
    EXPECT_TRUE(r.refused.empty());
    const auto c = file("c.txt", "xyz");
    const auto d = file("d.txt", "zz");
    const auto r3 = replace_in_files({{c, d}, {"x", "y"}, {"y", "x"}, false}, ui);
    EXPECT_EQ(r3.refused, std::vector<std::string>{c});
    EXPECT_EQ(test::read_file(c), "xyz");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].icon, message_icon::exclamation);
    EXPECT_NE(ui.messages[1].text.find(c), std::string::npos);
    // The run went on to d; the completion counts only what was really done.
    EXPECT_EQ(ui.messages[2].text,
              "Search and Replace Finished\n\rMade 0 replacements in 0 files.");
}

TEST_F(replace_files, BackupsAndASecondRunThatMeetsThem) {
    const auto a = file("a.txt", "one ab");
    replace_in_files({{a}, {"ab", "cd"}, {}, true}, ui);
    EXPECT_EQ(test::read_file(a), "one cd");
    EXPECT_EQ(test::read_file(a + ".bak"), "one ab");
    test::write_file(a, "two ab");
    const auto r = replace_in_files({{a}, {"ab", "cd"}, {}, true}, ui);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(test::read_file(a), "two ab");
    EXPECT_EQ(test::read_file(a + ".bak"), "one ab");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt", "a.txt.bak"}));
    EXPECT_EQ(ui.messages.back().title, "Fatal - Error");
    EXPECT_EQ(ui.messages.back().text,
              "Error (File already exists58) in (frm_global_replace: cmd_execute_click) "
              "routine.\n\rReturning to main menu");
}

TEST_F(replace_files, VanishedFileStopsTheRunKeepingEarlierFiles) {
    const auto a = file("a.txt", "ab");
    const auto r = replace_in_files({{a, (dir / "gone.txt").string()}, {"ab", "c"}, {}, false}, ui);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(test::read_file(a), "c");
    EXPECT_EQ(ui.messages.back().text,
              "Error (File not found53) in (frm_global_replace: cmd_execute_click) "
              "routine.\n\rReturning to main menu");
}

struct replace_cli : replace_files {
    std::ostringstream out, err;
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "replace");
        const auto r = test::run_cli(std::move(args));
        out << r.out;
        err << r.err;
        return r.status;
    }
};

TEST_F(replace_cli, OneFileOrSeveralOfOneFolder) {
    const auto a = file("a.txt", "abbb");
    EXPECT_EQ(run({"--search1", "ab", "--replace1", "a", a}), 0);
    EXPECT_EQ(test::read_file(a), "a");
    EXPECT_NE(out.str().find("Information: Process Complete: Search and Replace Finished\n\rMade 3 "
                             "replacements in 1 files."),
              std::string::npos);
    const auto b = file("b.txt", "a-a");
    EXPECT_EQ(run({"--search1", "a", "--replace1", "", "--search2", "-", "--replace2", "+",
                   "--backups", a, b}),
              0);
    EXPECT_EQ(test::read_file(a), "");
    EXPECT_EQ(test::read_file(b), "+");
    EXPECT_EQ(test::read_file(dir / "b.txt.bak"), "a-a");
}

TEST_F(replace_cli, RefusalsAndUsageErrors) {
    const auto a = file("a.txt", "x");
    EXPECT_EQ(run({"--search1", "x", "--replace1", "y", "--search2", "y", "--replace2", "x", a}),
              1);
    EXPECT_EQ(test::read_file(a), "x");
    EXPECT_EQ(run({"--search1", "", a}), 2);
    fs::create_directory(dir / "sub");
    const auto b = file("sub/b.txt", "x");
    EXPECT_EQ(run({"--search1", "x", a, b}), 2);
    EXPECT_EQ(test::read_file(b), "x");
}

} // namespace
} // namespace qm
