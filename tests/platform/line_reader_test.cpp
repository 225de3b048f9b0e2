#include "platform/line_reader.h"
#include "platform/run_error.h"

#include "support/td_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace qm {
namespace {

std::vector<std::string> all_lines(const std::string& text, last_line rule) {
    std::istringstream in(text);
    line_reader reader(in, rule);
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

TEST(LineReader, CarriageReturnStaysInTheLine) {
    EXPECT_EQ(all_lines("a\r\nb\n\n", last_line::must_end_with_lf),
              (std::vector<std::string>{"a\r", "b", ""}));
}

TEST(LineReader, UnterminatedLastLine) {
    EXPECT_EQ(all_lines("a\nlast", last_line::may_end_without_lf),
              (std::vector<std::string>{"a", "last"}));
    try {
        all_lines("a\nlast", last_line::must_end_with_lf);
        FAIL() << "no error";
    } catch (const run_error& e) {
        EXPECT_EQ(e.number, 62);
    }
    EXPECT_TRUE(all_lines("", last_line::must_end_with_lf).empty());
}

TEST(LineReader, LinesLongerThanItsBufferAndPositions) {
    const std::string long_line(200000, 'x');
    std::istringstream in(long_line + "\nshort\n");
    line_reader reader(in, last_line::must_end_with_lf);
    std::string line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, long_line);
    EXPECT_EQ(reader.position(), 200001u);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "short");
    EXPECT_EQ(reader.position(), 200007u);
    EXPECT_FALSE(reader.next(line));
    EXPECT_FALSE(reader.next(line)); // stays at the end
}

TEST(LineReader, OpenFailuresNameTheCause) {
    test::temp_dir dir;
    auto error_of = [](const std::filesystem::path& p) {
        try {
            line_reader reader(p, last_line::must_end_with_lf);
        } catch (const run_error& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(error_of(dir / "missing.xyz"), 53);
    EXPECT_EQ(error_of(dir / "no-folder" / "x.xyz"), 76);
    EXPECT_EQ(error_of(dir.path()), 75);
    EXPECT_EQ(error_of(""), 75);
}

std::vector<std::string> file_lines(const std::filesystem::path& path) {
    line_reader reader(path, last_line::may_end_without_lf);
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

std::string error_text(const std::function<void()>& read) {
    try {
        read();
    } catch (const run_error& e) {
        return std::to_string(e.number) + " " + e.description + " [" + e.file.filename().string() +
               "]";
    }
    return "no error";
}

// Whatever a file is called, its first bytes say how it is read; outputs of other tools come
// in every one of these forms.
TEST(CompressedInput, EveryFormReadsAsItsText) {
    test::temp_dir dir;
    const std::string text = "first line\nsecond\n";
    test::write_file(dir / "plain", text);
    test::write_compressed(dir / "gz", text, archive_write_add_filter_gzip);
    test::write_compressed(dir / "bz2", text, archive_write_add_filter_bzip2);
    test::write_compressed(dir / "xz", text, archive_write_add_filter_xz);
    test::write_compressed(dir / "zst", text, archive_write_add_filter_zstd);
    test::write_zip(dir / "zip", text);
    for (const char* name : {"plain", "gz", "bz2", "xz", "zst", "zip"}) {
        EXPECT_EQ(file_lines(dir / name), (std::vector<std::string>{"first line", "second"}))
            << name;
        EXPECT_EQ(open_input(dir / name)->compressed(), std::string(name) != "plain") << name;
    }
    // Progress runs over the stored file, never beyond it.
    line_reader reader(dir / "gz", last_line::must_end_with_lf);
    std::string line;
    while (reader.next(line))
        EXPECT_LE(reader.position(), file_length(dir / "gz"));
}

// gzip itself reads past the zeros a tape or a block device leaves after the data.
TEST(CompressedInput, readsGzipWithTrailingZeroPadding) {
    test::temp_dir dir;
    test::write_gzip(dir / "gz", "data\n");
    test::write_file(dir / "padded", test::read_file(dir / "gz") + std::string(512, '\0'));
    EXPECT_EQ(file_lines(dir / "padded"), std::vector<std::string>{"data"});
}

TEST(CompressedInput, takesTheOneFileOfAZipWhoseFirstEntriesAreAFolderAndAReadme) {
    test::temp_dir dir;
    test::write_zip_entries(dir / "run.zip", {{"run/", ""},
                                              {"run/README.txt", "how this was made\n"},
                                              {"__MACOSX/run/._gap1.log", "fork"},
                                              {"run/gap1.log", "the output\n"}});
    EXPECT_EQ(file_lines(dir / "run.zip"), std::vector<std::string>{"the output"});
}

TEST(CompressedInput, refusesAZipOfSeveralFilesNamingIt) {
    test::temp_dir dir;
    test::write_zip_entries(dir / "two.zip", {{"a.log", "a\n"}, {"b.log", "b\n"}, {"c.log", ""}});
    EXPECT_EQ(error_text([&] { file_lines(dir / "two.zip"); }),
              "75 Path/File access error - the zip archive " + (dir / "two.zip").string() +
                  " holds several files (a.log, b.log, ...): cannot tell which one to read "
                  "[two.zip]");
    test::write_zip_entries(dir / "empty.zip", {{"only/", ""}});
    EXPECT_EQ(error_text([&] { file_lines(dir / "empty.zip"); }),
              "75 Path/File access error - the zip archive " + (dir / "empty.zip").string() +
                  " holds no file to read [empty.zip]");
}

TEST(CompressedInput, DamagedDataIsAnErrorNeverAShortText) {
    test::temp_dir dir;
    test::write_compressed(dir / "whole.xz", std::string(100000, 'x') + "\n",
                           archive_write_add_filter_xz);
    const std::string whole = test::read_file(dir / "whole.xz");
    test::write_file(dir / "cut.xz", whole.substr(0, whole.size() / 2));
    EXPECT_EQ(error_text([&] { file_lines(dir / "cut.xz"); }),
              "75 Path/File access error - cannot decompress [cut.xz]");
    test::write_file(dir / "not-gzip", "\x1f\x8b but no gzip header\n");
    EXPECT_EQ(error_text([&] { file_lines(dir / "not-gzip"); }),
              "75 Path/File access error - cannot decompress [not-gzip]");
}

// A file without line feeds (a core dump, a decompression bomb) must not take the machine's
// memory: every line reader stops at a length no text line reaches.
TEST(LineReader, refusesALineLongerThan16MBInsteadOfHoldingTheFile) {
    test::temp_dir dir;
    test::write_compressed(dir / "bomb.gz", std::string(max_line_bytes + 1, 'x'),
                           archive_write_add_filter_gzip);
    EXPECT_EQ(error_text([&] { file_lines(dir / "bomb.gz"); }),
              "14 Out of string space - more than 16 MB in one line (not a text file?) [bomb.gz]");
}

TEST(WholeInput, refusesMoreThanItsLimitOfDecompressedText) {
    test::temp_dir dir;
    test::write_compressed(dir / "bomb.gz", std::string(3 << 20, '\0'),
                           archive_write_add_filter_gzip);
    std::string text;
    input_stream in(dir / "bomb.gz");
    EXPECT_EQ(error_text([&] { read_whole_input(in, text, 1 << 20); }),
              "14 Out of string space - more than 1 MB of text in one file [bomb.gz]");
    EXPECT_LT(text.capacity(), std::size_t{2} << 20); // held no more than the limit
    input_stream again(dir / "bomb.gz");
    read_whole_input(again, text, 3 << 20);
    EXPECT_EQ(text, std::string(3 << 20, '\0'));
}

TEST(Progress, BlocksOf128Bytes) {
    EXPECT_EQ(progress_maximum(0), 1);
    EXPECT_EQ(progress_maximum(255), 2);
    EXPECT_EQ(progress_maximum(256), 3);
    EXPECT_EQ(progress_blocks(127), 0);
}

} // namespace
} // namespace qm
