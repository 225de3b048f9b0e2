#include "stokes/phase_correction.h"

#include "support/as_text.h"
#include "platform/number_form.h"
#include "stokes/job_checks.h"

namespace qm {
namespace {

// Every field is written back followed by a blank, each line ended in CR LF; a bad line stops
// the run, and a failed run leaves no partial output (it is put in place only when complete).
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
        {"OtherFieldsKeepTheirText", "1.500 2.0 0.10 7\r\n", "3", "1.500 2.0 0.1 7 \r\n"},
        {"AStepOfExactlyFiveIsNoJump", "5.0\r\n0\r\n5\r\n", "1", "5 \r\n0 \r\n5 \r\n"},
        // A one-character phase at the end of the line used to be dropped.
        {"OneCharacterLastFieldIsCorrected", "10 20 3\r\n10 20 9.5\r\n", "3",
         "10 20 3 \r\n10 20 3.21681469282042 \r\n"},
        // LF and CR line ends lose no character of the next line.
        {"LfAndCrLineEnds", "0 1.0\n1 -2.0\r2 4.5\n", "2",
         "0 1 \r\n1 -2 \r\n2 -1.78318530717958 \r\n"},
        {"BlanksAtTheEndsMakeEmptyFields", " 1.0 2.0 \r\n", "2", " 1 2.0  \r\n"},
        {"EmptyFile", "", "3", ""},
        // A blank line used to end the run with "Subscript out of range".
        {"blankLinesAreWrittenAsEmptyFieldsAndTheRunGoesOn", "1 2 3\r\n\r\n1 2 9.5\r\n  \r\n", "3",
         "1 2 3 \r\n \r\n1 2 3.21681469282042 \r\n  \r\n"},
        {"trailingBlankLineDoesNotFailAGoodFile", "3.0\r\n\r\n", "1", "3 \r\n \r\n"},
        {"ALineWithoutTheColumn", "1 2 3\r\n1 2\r\n1 2 4\r\n", "3", "-",
         "Subscript out of range9"},
        {"APhaseThatIsNoNumber", "1 2 3\r\n1 2 x\r\n", "3", "-", "Type mismatch13"},
        {"AnEmptyPhaseField", " 1 2\r\n", "1", "-", "Type mismatch13"},
        {"ALastLineWithoutItsEndIsReportedLeavingNoPartialOutput", "1 2 3\r\n1 2 4", "3", "-",
         "Input past end of file62"},
        {"TheInputAsTheOutput", "1 2 3\r\n", "3", "-", "File already open55", "in.dat", "in.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        test::write_file(dir / "in.dat", c.input);
        test::recording_ui ui;
        const auto outcome = correct_phases({dir / c.in, dir / c.out, c.column}, ui);
        const bool good = c.error.empty();
        EXPECT_EQ(outcome, good ? phase_correction_outcome::completed
                                : phase_correction_outcome::error_report);
        EXPECT_EQ(test::only_box(ui.messages),
                  good ? "Information: Processing Complete: Conversion Complete"
                       : test::fatal(c.error, "frm_Phase_Correction: cmd_execute_click"));
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        EXPECT_EQ(ui.progress_max,
                  good ? static_cast<long long>(c.input.size()) + 129 : ui.progress_max);
        EXPECT_EQ(test::read_file(dir / "in.dat"), c.input);
        EXPECT_EQ(std::filesystem::exists(dir / "out.dat") ? test::read_file(dir / "out.dat") : "-",
                  c.output);
    }
}

TEST(PhaseCorrection, AColumnThatNamesNoFieldIsRefusedBeforeAnyFileIsTouched) {
    test::temp_dir dir;
    test::write_file(dir / "out.dat", "keep");
    for (const char* column : {"0", "-1", "0.5", "abc", "", "3x", "1e99"}) {
        test::recording_ui ui;
        EXPECT_EQ(correct_phases({dir / "in.dat", dir / "out.dat", column}, ui),
                  phase_correction_outcome::column_invalid);
        EXPECT_EQ(test::only_box(ui.messages), "Exclamation: Invalid Phase Column: The phase "
                                               "column must be a number of at least 1.");
    }
    EXPECT_EQ(test::read_file(dir / "out.dat"), "keep");
    const auto column = [](const char* t) { // its integer part
        return std::to_string(phase_column_from_text(t).value_or(0));
    };
    EXPECT_EQ(test::each(column, {" 2.5 ", " 2.0 ", "2147483647", "2147483648"}),
              "2|2|2147483647|0|");
}

TEST(CliPhaseCorrect, RunsWithTheWindowDefaultColumn) {
    test::temp_dir dir;
    test::write_file(dir / "in.dat", "0 0 3.0\n1 0 -3.1\n");
    EXPECT_EQ(test::run_on("phase-correct", dir / "in.dat", dir / "out.dat").status, 0);
    EXPECT_EQ(test::read_file(dir / "out.dat"), "0 0 3 \r\n1 0 3.18318530717958 \r\n");
}

} // namespace
} // namespace qm
