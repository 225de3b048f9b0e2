// The line readers: line ends, lines longer than their buffer, positions and open failures.
#include "platform/line_reader.h"

#include "read_all.h"
#include "support/as_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

using test::each;

TEST(LineReader, LinesKeepTheirCarriageReturnWholeHoweverLongUnterminatedLastByRule) {
    const auto must = last_line::must_end_with_lf;
    EXPECT_EQ(read_all(std::istringstream("a\r\nb\n\n"), must), "a\r|b||");
    EXPECT_EQ(read_all(std::istringstream(""), must), "");
    EXPECT_EQ(read_all(std::istringstream("a\nlast"), last_line::may_end_without_lf), "a|last|");
    EXPECT_EQ(read_all(std::istringstream("a\nlast"), must), "62 Input past end of file");
    // Lines longer than the reader's buffer; positions past each line feed.
    std::istringstream in(std::string(200000, 'x') + "\nshort\n");
    line_reader reader(in, last_line::must_end_with_lf);
    std::string read;
    for (std::string line; reader.next(line);)
        read += line.substr(0, 5) + " " + std::to_string(line.size()) + " @" +
                std::to_string(reader.position()) + "|";
    EXPECT_EQ(read, "xxxxx 200000 @200001|short 5 @200007|");
}

// Every line end read as a line feed, for readers of files that passed through other platforms;
// a CR that is the last byte of the reader's buffer still joins the LF that opens the next one.
TEST(LineReader, AnyLineEndsReadAsTheLineFeedCopy) {
    const auto must = last_line::must_end_with_lf;
    for (const auto& [text, lines] :
         std::vector<std::pair<std::string, std::string>>{{"a\r\nb\n\n", "a|b||"},
                                                          {"a\rb\r\r", "a|b||"},
                                                          {"a\r\n\rb\n", "a||b|"},
                                                          {"a\r", "a|"},
                                                          {"a\nlast", "62 Input past end of file"}})
        EXPECT_EQ(read_all(std::istringstream(text), must, line_ends::any), lines) << text;
    const std::string chunk_end = std::string(65535, 'x') + "\r\nnext\r\n";
    std::istringstream in(chunk_end);
    line_reader reader(in, must, line_ends::any);
    std::string line, read;
    while (reader.next(line))
        read += std::to_string(line.size()) + "@" + std::to_string(reader.position()) + "|";
    EXPECT_EQ(read, "65535@65537|4@65543|");
}

TEST(LineReader, OpenFailuresNameTheCause) {
    test::temp_dir dir;
    const auto may = last_line::may_end_without_lf;
    EXPECT_EQ(read_all(dir / "missing.xyz", may), "53 File not found [missing.xyz]");
    EXPECT_EQ(read_all(dir / "no-folder" / "x.xyz", may), "76 Path not found [x.xyz]");
    EXPECT_EQ(read_all(dir.path(), may).substr(0, 25), "75 Path/File access error");
    EXPECT_EQ(read_all(std::filesystem::path(), may).substr(0, 25), "75 Path/File access error");
}

TEST(DataLineReader, CrLfLfAndCrEndLinesAlikeAndLoseNoCharacter) {
    // Each line as "<text>@<position>," ('~' before the '@' when it has no end), each data '|'.
    auto data_lines = [](const char* data) {
        std::istringstream in(data);
        data_line_reader reader(in);
        std::string t;
        for (std::string line; reader.next(line);)
            t +=
                line + (reader.line_ended() ? "@" : "~@") + std::to_string(reader.position()) + ",";
        return t;
    };
    // Empty lines are lines; a CR LF pair is one end, an LF CR pair two.
    EXPECT_EQ(each(data_lines, {"ab\r\ncd\r\n", "ab\ncd\n", "ab\rcd\r", "a\rb\r\nc\nd", "\r\n\n\r",
                                "a\r\r", ""}),
              "ab@4,cd@8,|ab@3,cd@6,|ab@3,cd@6,|a@2,b@5,c@7,d~@8,|@2,@3,@4,|a@2,@3,||");
}

} // namespace
} // namespace qm
