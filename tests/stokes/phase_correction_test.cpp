#include "stokes/phase_correction.h"

#include "stokes/job_checks.h"

namespace qm {
namespace {

// Every field is written back followed by a blank, the phase column unwrapped, each line ended
// in CR LF; a bad line stops the run with the output keeping what was written before it, and
// the input is never the output.
TEST(PhaseCorrection, WritesEveryFieldWithTheColumnUnwrappedOrReportsTheBadLine) {
    const struct {
        const char* name;
        std::string input, column, output; // "-": no output file
        std::string error = "";            // the report's error, when there is one
        const char *in = "in.dat", *out = "out.dat";
    } cases[] = {
        // -6.1 is one jump down, +6.1 one jump up: the two cancel.
        {"JumpDownThenUpCancel", "3.0\r\n-3.1\r\n3.0\r\n", "1",
         "3 \r\n3.18318530717958 \r\n3 \r\n"},
        {"FirstPhaseIsComparedWithZero", "6.0\r\n", "1", "-0.28318530717958 \r\n"},
        {"OtherFieldsKeepTheirText", "1.500 2.0 0.10\r\n", "3", "1.500 2.0 0.1 \r\n"},
        {"AStepOfExactlyFiveIsNoJump", "5.0\r\n0\r\n5\r\n", "1", "5 \r\n0 \r\n5 \r\n"},
        // A one-character phase at the end of the line used to be dropped.
        {"OneCharacterLastFieldIsCorrected", "10 20 3\r\n10 20 9.5\r\n", "3",
         "10 20 3 \r\n10 20 3.21681469282042 \r\n"},
        {"OneCharacterLastFieldIsCopied", "1.5 7\r\n", "1", "1.5 7 \r\n"},
        // LF and CR line ends lose no character of the next line.
        {"LfLineEnds", "0 1.0\n1 -2.0\n2 4.5\n", "2", "0 1 \r\n1 -2 \r\n2 -1.78318530717958 \r\n"},
        {"CrLineEnds", "0 1.0\r1 -2.0\r", "2", "0 1 \r\n1 -2 \r\n"},
        {"BlanksAtTheEndsMakeEmptyFields", " 1.0 2.0 \r\n", "2", " 1 2.0  \r\n"},
        {"ColumnTextWithBlanksAndZeroFraction", "1 2\r\n", " 2.0 ", "1 2 \r\n"},
        {"EmptyFile", "", "3", ""},
        // A blank line used to end the run with "Subscript out of range".
        {"blankLinesAreWrittenAsEmptyFieldsAndTheRunGoesOn", "1 2 3\r\n\r\n1 2 9.5\r\n  \r\n", "3",
         "1 2 3 \r\n \r\n1 2 3.21681469282042 \r\n  \r\n"},
        {"trailingBlankLineDoesNotFailAGoodFile", "3.0\r\n\r\n", "1", "3 \r\n \r\n"},
        {"ALineWithoutTheColumn", "1 2 3\r\n1 2\r\n1 2 4\r\n", "3", "1 2 3 \r\n",
         "Subscript out of range9"},
        {"APhaseThatIsNoNumber", "1 2 3\r\n1 2 x\r\n", "3", "1 2 3 \r\n", "Type mismatch13"},
        {"AnEmptyPhaseField", " 1 2\r\n", "1", "", "Type mismatch13"},
        {"ALastLineWithoutItsEndIsWrittenThenReported", "1 2 3\r\n1 2 4", "3",
         "1 2 3 \r\n1 2 4 \r\n", "Input past end of file62"},
        {"AMissingInput", "1 2 3\r\n", "3", "-", "File not found53", "missing.dat"},
        {"TheInputAsTheOutput", "1 2 3\r\n", "3", "-", "File already open55", "in.dat", "in.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        test::write_file(dir / "in.dat", c.input);
        test::recording_ui ui;
        const auto outcome = correct_phases({dir / c.in, dir / c.out, c.column}, ui);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        if (c.error.empty()) {
            EXPECT_EQ(outcome, phase_correction_outcome::completed);
            EXPECT_EQ(test::only_box(ui.messages),
                      "Information: Processing Complete: Conversion Complete");
            EXPECT_EQ(ui.progress_max, static_cast<long long>(c.input.size()) + 129);
        } else {
            EXPECT_EQ(outcome, phase_correction_outcome::error_report);
            EXPECT_EQ(test::only_report(ui),
                      test::report(c.error, "frm_Phase_Correction: cmd_execute_click"));
        }
        EXPECT_EQ(test::read_file(dir / "in.dat"), c.input);
        EXPECT_EQ(std::filesystem::exists(dir / "out.dat") ? test::read_file(dir / "out.dat") : "-",
                  c.output);
    }
}

TEST(PhaseUnwrapper, CountsAccumulateOverTheWholeRun) {
    const double two_pi = 2 * 3.14159265358979;
    phase_unwrapper p;
    EXPECT_EQ(p.correct(3.0), 3.0);
    EXPECT_EQ(p.correct(-3.0), -3.0 + two_pi);
    EXPECT_EQ(p.correct(-9.0), -9.0 + 2 * two_pi) << "the steps, not the values, count";
    EXPECT_EQ(p.correct(-14.5), -14.5 + 3 * two_pi);
    EXPECT_EQ(p.correct(-8.0), -8.0 - two_pi + 3 * two_pi);
}

TEST(PhaseCorrection, AColumnThatNamesNoFieldIsRefusedBeforeAnyFileIsTouched) {
    test::temp_dir dir;
    test::write_file(dir / "in.dat", "1 2 3\r\n");
    test::write_file(dir / "out.dat", "keep");
    for (const char* column : {"0", "-1", "0.5", "abc", "", "3x", "1e99"}) {
        test::recording_ui ui;
        EXPECT_EQ(correct_phases({dir / "in.dat", dir / "out.dat", column}, ui),
                  phase_correction_outcome::column_invalid);
        EXPECT_EQ(test::only_box(ui.messages), "Exclamation: Invalid Phase Column: The phase "
                                               "column must be a number of at least 1.");
    }
    EXPECT_EQ(test::read_file(dir / "out.dat"), "keep");
    EXPECT_EQ(phase_column_from_text(" 2.5 "), 2); // its integer part
    EXPECT_EQ(phase_column_from_text("2147483647"), 2147483647);
    EXPECT_EQ(phase_column_from_text("2147483648"), std::nullopt);
}

TEST(CliPhaseCorrect, RunsWithTheWindowDefaultColumn) {
    test::temp_dir dir;
    test::write_file(dir / "in.dat", "0 0 3.0\n1 0 -3.1\n");
    const auto correct = [&](std::vector<std::string> column) {
        return test::run_on("phase-correct", dir / "in.dat", dir / "out.dat", column);
    };
    EXPECT_EQ(correct({}).out, "Information: Processing Complete: Conversion Complete\n");
    EXPECT_EQ(test::read_file(dir / "out.dat"), "0 0 3 \r\n1 0 3.18318530717958 \r\n");
    EXPECT_EQ(correct({"--column", "1"}).status, 0);
    EXPECT_EQ(test::read_file(dir / "out.dat"), "0 0 3.0 \r\n1 0 -3.1 \r\n");
    EXPECT_EQ(correct({"--column", "4"}).status, 1);
    EXPECT_EQ(correct({"--column", "0"}).status, 1);
}

} // namespace
} // namespace qm
