// The notebook writer: the head, elements and trailer of a TDM notebook, and its failed writes.
#include "transformation/notebook_writer.h"

#include "support/as_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qm {
namespace {

// An older notebook is rewritten from its head (transcribed from the notebook layout apart from
// the writer: 99 CR LF lines, the last the open list "    \(ES1TDMs = {"); the elements go on in
// print forms with Mathematica's exponents; 27 trailer lines differ by the state label only.
TEST(NotebookWriter, OneFileNotebookThroughTheFile) {
    const auto golden =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "notebook_head.txt";
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    test::temp_dir dir;
    const auto path = dir / "raw_tdm.1.nb";
    test::write_file(path, std::string(5000, 'x'));
    write_notebook_head(path);
    append_notebook_element(path, 1.5, -2.25, 3.5, false);
    append_notebook_element(path, 0.0, -0.0, 1E-05, false);
    append_notebook_element(path, -2.5E+16, 0, 0, true);
    append_notebook_trailer(path, 12);
    const std::string trailer = notebook_trailer(12);
    EXPECT_EQ(test::read_file(path), test::read_file(golden) +
                                         "{{0,0,0},{ 1.5 ,-2.25 , 3.5 }},\r\n"
                                         "{{0,0,0},{ 0 , 0 , 1*^-05 }},\r\n"
                                         "{{0,0,0},{-2.5*^+16 , 0 , 0 }}\r\n" +
                                         trailer);
    const auto lines = test::lines_of(trailer);
    ASSERT_EQ(lines.size(), 27u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.ends_with('\r') && line.find('\r') == line.size() - 1) << line;
    EXPECT_EQ(
        lines[0] + lines[1] + lines[2] + lines[15] + lines[20] + lines[21] + lines[22] + lines[23] +
            lines[25] + lines[26],
        "}\\)], \"Input\"],\r\rCell[\"State 12\", \"Subsection\"],\rFrontEndVersion->\"4.1 for "
        "Microsoft Windows\",\r]\r\r\r\rEnd of Mathematica Notebook file.\r" +
            std::string(67, '*') + ")\r");
    std::string other = notebook_trailer(1);
    other.replace(other.find("State 1"), 7, "State 12");
    EXPECT_EQ(other, trailer);
    // FailuresAreRunErrors: every write is checked, the close included (it reports lost bytes).
    EXPECT_EQ(test::error_of([&] { append_notebook_element(dir / "no" / "a.nb", 1, 2, 3, true); }),
              "76 Path not found [a.nb]");
    EXPECT_EQ(test::error_of([] { append_notebook_trailer("/tmp", 1); }),
              "75 Path/File access error [tmp]");
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(test::error_of([] { append_notebook_trailer("/dev/full", 1); }),
                  "61 Disk full [full]");
    }
}

} // namespace
} // namespace qm
