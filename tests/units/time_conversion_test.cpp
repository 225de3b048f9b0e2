#include "units/time_conversion.h"

#include "platform/input_stream.h"

#include "support/as_text.h"
#include "stokes/job_checks.h"

namespace qm {
namespace {

const std::string sample = "Run 7:  0 days  1 hours  2 minutes  3.5 seconds";

// Each marker's value is the run before it back to a blank; an empty run is skipped and the
// search goes on. Lines without the four groups in order give nothing.
TEST(find_duration, TakesTheRunBeforeEachMarkerInOrder) {
    const std::pair<std::string, std::string> lines[] = {
        {" " + sample, "0 1 2 3.5"},
        {" x 1.5e1 days 02 hours -3 minutes abc seconds", "1.5e1 02 -3 abc"},
        // " seconds" needs no blank after it; a carriage return may follow.
        {" 1 days 2 hours 3 minutes 4 seconds\r", "1 2 3 4"},
        // The first " days " has a blank before it; the second counts.
        {" a  days 5 days 1 hours 2 minutes 3 seconds", "5 1 2 3"},
        {" 1 days 2 hours  hours 3 minutes 4  seconds 5 seconds", "1 2 3 5"},
        // Without the leading blank the job adds, the line's start ends the first value.
        {"1 days 2 hours 3 minutes 4 seconds", "1 2 3 4"},
        {" 1 hours 2 minutes 3 seconds", "-"},         // no days
        {" 1 days 2 hours 3 minutes", "-"},            // no seconds
        {" 3 seconds 2 minutes 1 hours 0 days", "-"},  // wrong order
        {" 1 days 2 hours 3 minutes 4 Seconds", "-"},  // case counts
        {" 1 days 2 hours 3 minutes 4  seconds", "-"}, // nothing before it
        {" 1 days\t2 hours 3 minutes 4 seconds", "-"}, // a tab is no blank
        {" 0  days 1 hours 2 minutes 3 seconds", "-"}, // two blanks before days
        {" days 1 hours 2 minutes 3 seconds", "-"}};   // days starts the line
    for (const auto& [line, expected] : lines) {
        const auto t = find_duration(line);
        EXPECT_EQ(t ? std::string(t->days) + " " + std::string(t->hours) + " " +
                          std::string(t->minutes) + " " + std::string(t->seconds)
                    : "-",
                  expected)
            << line;
    }
}

// Summed in double from single-precision values, rounded to single; a value that is not a
// number is Type mismatch (13), a value or total beyond single precision Overflow (6).
TEST(duration_total, SumsInDoubleAndRoundsToSingle) {
    const std::tuple<duration_texts, time_unit, std::string> cases[] = {
        {{"0", "1", "2", "3.5"}, time_unit::seconds, " 3723.5  Seconds\n\n"},
        {{"0", "1", "2", "3.5"}, time_unit::minutes, " 62.05833  Minutes\n\n"},
        {{"0", "1", "2", "3.5"}, time_unit::hours, " 1.034306  Hours\n\n"},
        {{"0", "1", "2", "3.5"}, time_unit::days, " 0.04309607  Days\n\n"},
        {{"-1", "0", "0", "0"}, time_unit::seconds, "-86400  Seconds\n\n"},
        {{"3e38", "0", "0", "0"}, time_unit::days, " 3E+38  Days\n\n"},
        {{"x", "1", "2", "3"}, time_unit::seconds, "13 Type mismatch"},
        {{"1", "2", "3", "4,5"}, time_unit::seconds, "13 Type mismatch"},
        {{"1e39", "0", "0", "0"}, time_unit::days, "6 Overflow"},
        {{"3e38", "0", "0", "0"}, time_unit::seconds, "6 Overflow"}}; // the total overflows
    for (const auto& [texts, unit, lines] : cases) {
        std::string shown;
        const std::string error = test::error_of([&, &texts = texts, &unit = unit] {
            shown = total_lines(duration_total(texts, unit), unit);
        });
        EXPECT_EQ(shown.empty() ? error : shown, lines) << texts.days;
    }
    // 45.6 s read as the nearest float, 45.59999847..., gives an hours total one unit in the
    // last place below the one the exact 45.6 would give.
    const float total = duration_total({"0", "0", "0", "45.6"}, time_unit::hours);
    EXPECT_EQ(total, static_cast<float>(static_cast<double>(45.6f) / 3600));
    EXPECT_NE(total, static_cast<float>(45.6 / 3600));
}

TEST(time_file, WritesEachDurationLineItsTotalAndAnEmptyLine) {
    // Positions were 16-bit once: a line past 32767 characters must still convert.
    const std::string long_line = std::string(40000, 'x') + " 1 days 0 hours 0 minutes 1 seconds";
    const std::string seconds = " " + sample + "\n 3723.5  Seconds\n\n";
    const std::tuple<std::string, time_unit, std::string> cases[] = {
        {"header\n" + sample + "\nno groups here\n" + sample + "\r\n", time_unit::seconds,
         seconds + " " + sample + "\r\n 3723.5  Seconds\n\n"},
        {sample, time_unit::hours, " " + sample + "\n 1.034306  Hours\n\n"}, // no line end
        {"", time_unit::days, ""},
        // CrOnlyLineEndsConvertEveryDuration: files from old Macs end lines with CR alone.
        {"header\r" + sample + "\r" + sample + "\r", time_unit::seconds, seconds + seconds},
        {long_line + "\n", time_unit::seconds, " " + long_line + "\n 86401  Seconds\n\n"}};
    for (const auto& [input, unit, output] : cases) {
        SCOPED_TRACE(input.substr(0, 20));
        test::temp_dir dir;
        test::write_file(dir / "in.txt", input);
        test::recording_ui ui;
        EXPECT_EQ(convert_time_file(dir / "in.txt", dir / "out.txt", unit, ui),
                  time_conversion_outcome::completed);
        EXPECT_EQ(test::only_box(ui.messages) + "\n" + test::read_file(dir / "out.txt"),
                  "Information: Conversion Complete: Conversion Completed\n" + output);
        EXPECT_EQ(ui.busy_at_message, std::vector<bool>{false}) << "the pointer is normal first";
        EXPECT_EQ(ui.progress_max, 2 * static_cast<long long>(input.size()));
        EXPECT_EQ(ui.progress, ui.progress_max);
    }
}

// Each failure names its step; a failed run leaves no output, and the output is never the input.
TEST(time_file, FailuresAreReportedByTheirStep) {
    test::temp_dir dir;
    const std::string read_step = "frm_time_conversion cmd_execute_click";
    const std::string convert_step = "frm_time_conversion submodule: convert";
    const struct {
        const char* name;
        std::string input, description, routine, output = "-"; // what out.txt holds afterwards
        const char *in = "in.txt", *out = "out.txt";
    } cases[] = {
        // AFailureLeavesNoPartialOutput: the output is put in place only when complete.
        {"ANonNumberStopsTheConversionAndLeavesNoPartialOutput",
         sample + "\nx days 1 hours 2 minutes 3 seconds\n" + sample, "Type mismatch", convert_step},
        {"refusesALineOver16MBInsteadOfHoldingTheWholeFile", std::string(max_line_bytes + 1, 'x'),
         "Out of string space - more than 16 MB in one line (not a text file?)", read_step},
        {"TheOutputIsNeverTheInput", sample, "File already open", convert_step, "-", "in.txt",
         "./in.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir / "out.txt");
        test::write_file(dir / "in.txt", c.input);
        test::recording_ui ui;
        EXPECT_EQ(convert_time_file(dir / c.in, dir / c.out, time_unit::seconds, ui),
                  time_conversion_outcome::error_report);
        EXPECT_EQ(test::only_report(ui), test::report(c.description, c.routine));
        EXPECT_EQ(ui.busy_at_message, std::vector<bool>{true}) << "the pointer comes back after";
        const bool written = std::filesystem::exists(dir / "out.txt");
        EXPECT_EQ(test::read_file(dir / "in.txt") + "|" +
                      (written ? test::read_file(dir / "out.txt") : "-"),
                  c.input + "|" + c.output);
    }
}

} // namespace
} // namespace qm
