#include "stokes/phase_correction.h"

#include "stokes/only_report.h"
#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

std::string report(const std::string& error) {
    return "Error (" + error +
           ") in (frm_Phase_Correction: cmd_execute_click) routine.\n\rReturning to main menu";
}

struct phase_case {
    const char* name;
    std::string input;
    std::string column;
    std::string expected;
};

void PrintTo(const phase_case& c, std::ostream* os) {
    *os << c.name;
}

struct phase_correction : ::testing::TestWithParam<phase_case> {};

TEST_P(phase_correction, WritesEveryFieldWithTheColumnUnwrapped) {
    const phase_case& c = GetParam();
    test::temp_dir dir;
    test::write_file(dir / "in.dat", c.input);
    test::recording_ui ui;
    EXPECT_EQ(correct_phases({dir / "in.dat", dir / "out.dat", c.column}, ui),
              phase_correction_outcome::completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, message_icon::information);
    EXPECT_EQ(ui.messages[0].title, "Processing Complete");
    EXPECT_EQ(ui.messages[0].text, "Conversion Complete");
    EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.progress_max, static_cast<long long>(c.input.size()) + 129);
    EXPECT_EQ(test::read_file(dir / "out.dat"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, phase_correction,
    ::testing::Values(
        // -6.1 is one jump down, +6.1 one jump up: the two cancel.
        phase_case{"JumpDownThenUpCancel", "3.0\r\n-3.1\r\n3.0\r\n", "1",
                   "3 \r\n3.18318530717958 \r\n3 \r\n"},
        phase_case{"FirstPhaseIsComparedWithZero", "6.0\r\n", "1", "-0.28318530717958 \r\n"},
        phase_case{"OtherFieldsKeepTheirText", "10 3.00\r\n", "2", "10 3 \r\n"},
        phase_case{"TrailingZerosStayOutsideTheColumn", "1.500 2.0 0.10\r\n", "3",
                   "1.500 2.0 0.1 \r\n"},
        phase_case{"AStepOfExactlyFiveIsNoJump", "5.0\r\n0\r\n5\r\n", "1", "5 \r\n0 \r\n5 \r\n"},
        // A one-character phase at the end of the line used to be dropped.
        phase_case{"OneCharacterLastFieldIsCorrected", "10 20 3\r\n10 20 9.5\r\n", "3",
                   "10 20 3 \r\n10 20 3.21681469282042 \r\n"},
        phase_case{"OneCharacterLastFieldIsCopied", "1.5 7\r\n", "1", "1.5 7 \r\n"},
        // LF and CR line ends lose no character of the next line.
        phase_case{"LfLineEnds", "0 1.0\n1 -2.0\n2 4.5\n", "2",
                   "0 1 \r\n1 -2 \r\n2 -1.78318530717958 \r\n"},
        phase_case{"CrLineEnds", "0 1.0\r1 -2.0\r", "2", "0 1 \r\n1 -2 \r\n"},
        phase_case{"BlanksAtTheEndsMakeEmptyFields", " 1.0 2.0 \r\n", "2", " 1 2.0  \r\n"},
        phase_case{"ColumnTextWithBlanksAndZeroFraction", "1 2\r\n", " 2.0 ", "1 2 \r\n"},
        phase_case{"EmptyFile", "", "3", ""},
        // A blank line used to end the run with "Subscript out of range".
        phase_case{"blankLinesAreWrittenAsEmptyFieldsAndTheRunGoesOn",
                   "1 2 3\r\n\r\n1 2 9.5\r\n  \r\n", "3",
                   "1 2 3 \r\n \r\n1 2 3.21681469282042 \r\n  \r\n"},
        phase_case{"trailingBlankLineDoesNotFailAGoodFile", "3.0\r\n\r\n", "1", "3 \r\n \r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PhaseUnwrapper, CountsAccumulateOverTheWholeRun) {
    phase_unwrapper p;
    EXPECT_EQ(p.correct(3.0), 3.0);
    EXPECT_EQ(p.correct(-3.0), -3.0 + 2 * 3.14159265358979);
    EXPECT_EQ(p.correct(-9.0), -9.0 + 4 * 3.14159265358979) << "the steps, not the values, count";
    EXPECT_EQ(p.correct(-14.5), -14.5 + 6 * 3.14159265358979);
    EXPECT_EQ(p.correct(-8.0), -8.0 - 2 * 3.14159265358979 + 6 * 3.14159265358979);
}

struct phase_failure : ::testing::Test {
    test::temp_dir dir;
    std::string run(const std::string& input, const std::string& column = "3") {
        test::write_file(dir / "in.dat", input);
        test::recording_ui ui;
        EXPECT_EQ(correct_phases({dir / "in.dat", dir / "out.dat", column}, ui),
                  phase_correction_outcome::error_report);
        return test::only_report(ui);
    }
};

TEST_F(phase_failure, BadLinesAreReportedAndTheOutputKeepsWhatWasWritten) {
    EXPECT_EQ(run("1 2 3\r\n1 2\r\n1 2 4\r\n"), report("Subscript out of range9"));
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 2 3 \r\n");
    EXPECT_EQ(run("1 2 3\r\n1 2 x\r\n"), report("Type mismatch13"));
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 2 3 \r\n");
    EXPECT_EQ(run(" 1 2\r\n", "1"), report("Type mismatch13")) << "an empty phase field";
}

TEST_F(phase_failure, ALastLineWithoutLineEndIsWrittenThenReported) {
    EXPECT_EQ(run("1 2 3\r\n1 2 4"), report("Input past end of file62"));
    EXPECT_EQ(test::read_file(dir / "out.dat"), "1 2 3 \r\n1 2 4 \r\n");
}

TEST_F(phase_failure, UnreadableInputAndTheInputAsOutput) {
    test::recording_ui ui;
    EXPECT_EQ(correct_phases({dir / "missing.dat", dir / "out.dat", "3"}, ui),
              phase_correction_outcome::error_report);
    EXPECT_EQ(test::only_report(ui), report("File not found53"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.dat"));

    const std::string data = "1 2 3\r\n";
    test::write_file(dir / "in.dat", data);
    test::recording_ui same;
    EXPECT_EQ(correct_phases({dir / "in.dat", dir / "in.dat", "3"}, same),
              phase_correction_outcome::error_report);
    EXPECT_EQ(test::only_report(same), report("File already open55"));
    EXPECT_EQ(test::read_file(dir / "in.dat"), data);
}

TEST_F(phase_failure, AColumnThatNamesNoFieldIsRefusedBeforeAnyFileIsTouched) {
    test::write_file(dir / "in.dat", "1 2 3\r\n");
    test::write_file(dir / "out.dat", "keep");
    for (const char* column : {"0", "-1", "0.5", "abc", "", "3x", "1e99"}) {
        test::recording_ui ui;
        EXPECT_EQ(correct_phases({dir / "in.dat", dir / "out.dat", column}, ui),
                  phase_correction_outcome::column_invalid)
            << column;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
        EXPECT_EQ(ui.messages[0].title, "Invalid Phase Column");
        EXPECT_EQ(ui.messages[0].text, "The phase column must be a number of at least 1.");
    }
    EXPECT_EQ(test::read_file(dir / "out.dat"), "keep");
    EXPECT_EQ(phase_column_from_text("12"), 12);
    EXPECT_EQ(phase_column_from_text(" 2.5 "), 2); // its integer part
    EXPECT_EQ(phase_column_from_text("2147483647"), 2147483647);
    EXPECT_EQ(phase_column_from_text("2147483648"), std::nullopt);
}

TEST(CliPhaseCorrect, RunsWithTheWindowDefaultColumn) {
    test::temp_dir dir;
    test::write_file(dir / "in.dat", "0 0 3.0\n1 0 -3.1\n");
    const std::string in = (dir / "in.dat").string(), out = (dir / "out.dat").string();
    const auto r = test::run_cli({"phase-correct", "--input", in, "--output", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Information: Processing Complete: Conversion Complete\n");
    EXPECT_EQ(test::read_file(dir / "out.dat"), "0 0 3 \r\n1 0 3.18318530717958 \r\n");

    const auto first =
        test::run_cli({"phase-correct", "--input", in, "--output", out, "--column", "1"});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(test::read_file(dir / "out.dat"), "0 0 3.0 \r\n1 0 -3.1 \r\n");

    const auto bad =
        test::run_cli({"phase-correct", "--input", in, "--output", out, "--column", "4"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "Exclamation: Fatal - Error: " + report("Subscript out of range9") + "\n");
    const auto zero =
        test::run_cli({"phase-correct", "--input", in, "--output", out, "--column", "0"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(
        zero.out,
        "Exclamation: Invalid Phase Column: The phase column must be a number of at least 1.\n");
    EXPECT_EQ(test::run_cli({"phase-correct", "--input", in}).status, 2);
}

} // namespace
} // namespace qm
