#include "transformation/notebook_writer.h"

#include "platform/run_error.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace qm {
namespace {

// Transcribed line by line from the notebook layout, independently of the writer's table:
// 99 lines with CR LF breaks, the last one the open list "    \(ES1TDMs = {".
std::string golden_head() {
    const auto path =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "notebook_head.txt";
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
    return test::read_file(path);
}

TEST(NotebookWriter, HeadMatchesGolden) {
    EXPECT_EQ(notebook_head(), golden_head());
}

TEST(NotebookWriter, ElementInPrintForms) {
    EXPECT_EQ(notebook_element(1.5, -2.25, 3.5, false), "{{0,0,0},{ 1.5 ,-2.25 , 3.5 }},\r\n");
    EXPECT_EQ(notebook_element(1.5, -2.25, 3.5, true), "{{0,0,0},{ 1.5 ,-2.25 , 3.5 }}\r\n");
    // Exponents in Mathematica's own notation.
    EXPECT_EQ(notebook_element(0.0, -0.0, 1E-05, true), "{{0,0,0},{ 0 , 0 , 1*^-05 }}\r\n");
    EXPECT_EQ(notebook_element(-2.5E+16, 0, 0, false), "{{0,0,0},{-2.5*^+16 , 0 , 0 }},\r\n");
}

TEST(NotebookWriter, TrailerLines) {
    const std::string trailer = notebook_trailer(12);
    const auto lines = test::lines_of(trailer);
    ASSERT_EQ(lines.size(), 27u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.ends_with('\r') && line.find('\r') == line.size() - 1) << line;
    EXPECT_EQ(lines[0], "}\\)], \"Input\"],\r");
    EXPECT_EQ(lines[1], "\r");
    EXPECT_EQ(lines[2], "Cell[\"State 12\", \"Subsection\"],\r");
    EXPECT_EQ(lines[15], "FrontEndVersion->\"4.1 for Microsoft Windows\",\r");
    EXPECT_EQ(lines[20], "]\r");
    EXPECT_EQ(std::count(lines.begin() + 21, lines.begin() + 24, "\r"), 3);
    EXPECT_EQ(lines[25], "End of Mathematica Notebook file.\r");
    EXPECT_EQ(lines[26], std::string(67, '*') + ")\r");
    // Only the state label depends on the slot.
    std::string other = notebook_trailer(1);
    other.replace(other.find("State 1"), 7, "State 12");
    EXPECT_EQ(other, trailer);
}

// An older notebook of the same name is rewritten from its head; the elements continue the
// head's open list in file order.
TEST(NotebookWriter, OneFileNotebookThroughTheFile) {
    test::temp_dir dir;
    const auto path = dir / "raw_tdm.1.nb";
    test::write_file(path, std::string(5000, 'x'));
    write_notebook_head(path);
    append_notebook_element(path, 1, 2, 3, false);
    append_notebook_element(path, -0.5, 0.25, 100, true);
    append_notebook_trailer(path, 1);
    EXPECT_EQ(test::read_file(path), golden_head() +
                                         "{{0,0,0},{ 1 , 2 , 3 }},\r\n"
                                         "{{0,0,0},{-0.5 , 0.25 , 100 }}\r\n" +
                                         notebook_trailer(1));
}

TEST(NotebookWriter, FailuresAreRunErrors) {
    const auto error_number = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const run_error& e) {
            return e.number;
        }
        return 0;
    };
    test::temp_dir dir;
    const auto missing = dir / "no-folder" / "raw_tdm.1.nb";
    EXPECT_EQ(error_number([&] { write_notebook_head(missing); }), 76);
    EXPECT_EQ(error_number([&] { append_notebook_element(missing, 1, 2, 3, true); }), 76);
    EXPECT_EQ(error_number([&] { append_notebook_trailer(dir.path(), 1); }), 75);
    if (access("/dev/full", W_OK) == 0) { // the close reports the lost bytes
        EXPECT_EQ(error_number([] { append_notebook_trailer("/dev/full", 1); }), 61);
    }
}

} // namespace
} // namespace qm
