#include "platform/line_reader.h"
#include "platform/run_error.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

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

TEST(Progress, BlocksOf128Bytes) {
    EXPECT_EQ(progress_maximum(0), 1);
    EXPECT_EQ(progress_maximum(255), 2);
    EXPECT_EQ(progress_maximum(256), 3);
    EXPECT_EQ(progress_blocks(127), 0);
}

} // namespace
} // namespace qm
