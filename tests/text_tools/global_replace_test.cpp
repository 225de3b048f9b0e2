// Global replace: the replacement passes, endless ones refused, the files rewritten, the command.
#include "text_tools/global_replace.h"

#include "stokes/job_checks.h"
#include "support/cli_support.h"
#include "support/td_files.h"

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

// replace edited compressed files byte by byte and destroyed them; it turned a FIFO into a file.
// Both are refused, naming the file, before any file of the run is written.
TEST_F(replace_files, CompressedDataAndSpecialFilesAreRefusedBeforeAnythingIsWritten) {
    const auto a = file("a.txt", "a a a");
    const std::string routine(replace_routine);
    const std::pair<const char*, std::string> kinds[] = {
        {"z.gz", "gzip"}, {"z.bz2", "bzip2"}, {"z.xz", "xz"}, {"z.zst", "zstd"}, {"z.zip", "zip"}};
    test::write_compressed(dir / "z.gz", "a a a", archive_write_add_filter_gzip);
    test::write_compressed(dir / "z.bz2", "a a a", archive_write_add_filter_bzip2);
    test::write_compressed(dir / "z.xz", "a a a", archive_write_add_filter_xz);
    test::write_compressed(dir / "z.zst", "a a a", archive_write_add_filter_zstd);
    test::write_zip(dir / "z.zip", "a a a");
    for (const auto& [name, kind] : kinds) {
        const std::string before = test::read_file(dir / name);
        ui = {};
        EXPECT_FALSE(
            replace_in_files({{a, (dir / name).string()}, {"a", "b"}, {}}, ui).completed);
        EXPECT_EQ(test::only_box(ui.messages),
                  test::fatal("Path/File access error - " + std::string(name) + " holds " +
                                  kind + " compressed data: only text is replaced in75",
                              routine));
        EXPECT_EQ(test::read_file(a) + "|" + test::read_file(dir / name), "a a a|" + before);
    }
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const auto r = test::run_cli({"replace", "--search1", "a", a, (dir / "fifo").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find((dir / "fifo").string() +
                         ": Path/File access error - fifo is no regular file (a FIFO, socket "
                         "or device)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::read_file(a), "a a a");
    EXPECT_EQ(fs::status(dir / "fifo").type(), fs::file_type::fifo);
}

// replace turned a link into a file (its target unchanged) and changed a file's owner; a file
// missing or a folder was reported without its name.
TEST_F(replace_files, LinksOwnersAndMissingFilesAreHandledAsSedDoes) {
    const auto target = file("target.txt", "a b");
    fs::create_symlink("target.txt", dir / "link.txt");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 1234, 1235), 0);
    }
    EXPECT_TRUE(replace_in_files({{(dir / "link.txt").string()}, {"a", "c"}, {}}, ui).completed);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(test::read_file(target), "c b");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    if (root) {
        EXPECT_EQ(std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid), "1234:1235");
    }
    for (const std::string name : {"gone.txt", "sub"}) {
        fs::create_directory(dir / "sub");
        const auto r = test::run_cli({"replace", "--search1", "a", (dir / name).string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("quillmark-cli replace: " + (dir / name).string() + ": "),
                  std::string::npos)
            << r.err;
    }
}

TEST_F(replace_files, CliTakesOneFileOrSeveralOfOneFolder) {
    const auto run = [](std::string args) { return test::run_words("replace " + args); };
    const auto a = file("a.txt", "abbb"), b = file("b.txt", "a-a"), x = file("x.txt", "x");
    EXPECT_EQ(
        run("--search1 ab --replace1 a --search2 - --replace2 + --backups " + a + " " + b).out,
        "Information: Process Complete: Search and Replace Finished Made 4 "
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
