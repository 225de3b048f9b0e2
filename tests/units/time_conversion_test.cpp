#include "units/time_conversion.h"

#include "platform/input_stream.h"
#include "platform/run_error.h"

#include "stokes/job_checks.h"

namespace qm {
namespace {

// The line of the examples: a label, then 0 days, 1 hours, 2 minutes and 3.5 seconds with two
// blanks between the groups.
const std::string sample = "Run 7:  0 days  1 hours  2 minutes  3.5 seconds";

// Each marker's value is the run before it back to a blank; an empty run is skipped and the
// search goes on. Lines without the four groups in order give nothing.
TEST(find_duration, TakesTheRunBeforeEachMarkerInOrder) {
    using values = std::vector<std::string>;
    const std::pair<std::string, values> lines[] = {
        {" " + sample, {"0", "1", "2", "3.5"}},
        {" x 1.5e1 days 02 hours -3 minutes abc seconds", {"1.5e1", "02", "-3", "abc"}},
        // " seconds" needs no blank after it; a carriage return may follow.
        {" 1 days 2 hours 3 minutes 4 seconds\r", {"1", "2", "3", "4"}},
        // The first " days " has a blank before it; the second counts.
        {" a  days 5 days 1 hours 2 minutes 3 seconds", {"5", "1", "2", "3"}},
        {" 1 days 2 hours  hours 3 minutes 4  seconds 5 seconds", {"1", "2", "3", "5"}},
        // Without the leading blank the job adds, the line's start ends the first value.
        {"1 days 2 hours 3 minutes 4 seconds", {"1", "2", "3", "4"}},
        {" 1 hours 2 minutes 3 seconds", {}},         // no days
        {" 1 days 2 hours 3 minutes", {}},            // no seconds
        {" 3 seconds 2 minutes 1 hours 0 days", {}},  // wrong order
        {" 1 days 2 hours 3 minutes 4 Seconds", {}},  // case counts
        {" 1 days 2 hours 3 minutes 4  seconds", {}}, // nothing before it
        {" 1 days\t2 hours 3 minutes 4 seconds", {}}, // a tab is no blank
        {" 0  days 1 hours 2 minutes 3 seconds", {}}, // two blanks before days
        {" days 1 hours 2 minutes 3 seconds", {}},    // days starts the line
        {" ", {}}};
    for (const auto& [line, expected] : lines) {
        const auto t = find_duration(line);
        const values found = t ? values{std::string(t->days), std::string(t->hours),
                                        std::string(t->minutes), std::string(t->seconds)}
                               : values{};
        EXPECT_EQ(found, expected) << line;
    }
}

// Summed in double from single-precision values, rounded to single; a value that is not a
// number is Type mismatch (13), a value or total beyond single precision Overflow (6).
TEST(duration_total, SumsInDoubleAndRoundsToSingle) {
    const std::tuple<duration_texts, time_unit, std::string, int> cases[] = {
        {{"0", "1", "2", "3.5"}, time_unit::seconds, " 3723.5  Seconds\n\n", 0},
        {{"0", "1", "2", "3.5"}, time_unit::minutes, " 62.05833  Minutes\n\n", 0},
        {{"0", "1", "2", "3.5"}, time_unit::hours, " 1.034306  Hours\n\n", 0},
        {{"0", "1", "2", "3.5"}, time_unit::days, " 0.04309607  Days\n\n", 0},
        {{"-1", "0", "0", "0"}, time_unit::seconds, "-86400  Seconds\n\n", 0},
        {{"1000", "0", "0", "0"}, time_unit::seconds, " 8.64E+07  Seconds\n\n", 0},
        {{"3e38", "0", "0", "0"}, time_unit::days, " 3E+38  Days\n\n", 0},
        {{"x", "1", "2", "3"}, time_unit::seconds, "", 13},
        {{"1", "2", "3", "4,5"}, time_unit::seconds, "", 13},
        {{"1e39", "0", "0", "0"}, time_unit::days, "", 6},
        {{"3e38", "0", "0", "0"}, time_unit::seconds, "", 6}}; // the total overflows
    for (const auto& [texts, unit, lines, error] : cases) {
        try {
            EXPECT_EQ(total_lines(duration_total(texts, unit), unit), lines);
            EXPECT_EQ(error, 0) << texts.days;
        } catch (const run_error& e) {
            EXPECT_EQ(e.number, error) << texts.days;
        }
    }
    // 45.6 s read as the nearest float, 45.59999847..., gives an hours total one unit in the
    // last place below the one the exact 45.6 would give.
    const float total = duration_total({"0", "0", "0", "45.6"}, time_unit::hours);
    EXPECT_EQ(total, static_cast<float>(static_cast<double>(45.6f) / 3600));
    EXPECT_NE(total, static_cast<float>(45.6 / 3600));
}

// A JobUi that keeps every progress value.
struct progress_ui : test::recording_ui {
    void progress_value(long long value) override {
        recording_ui::progress_value(value);
        values.push_back(value);
    }
    std::vector<long long> values;
};

// The bar runs over twice the input's length: the reading half in whole blocks of 128 bytes,
// the converting half one step per line; only moves are reported.
TEST(time_file, WritesEachDurationLineItsTotalAndAnEmptyLine) {
    // Positions were 16-bit once: a line past 32767 characters must still convert.
    const std::string long_line = std::string(40000, 'x') + " 1 days 0 hours 0 minutes 1 seconds";
    const std::string seconds = " " + sample + "\n 3723.5  Seconds\n\n";
    const std::string filler = test::repeated(200, sample + "\nfiller line\n"); // 12800 bytes
    // The input, the unit, the output, and how often the reading half moves.
    const std::tuple<std::string, time_unit, std::string, std::size_t> cases[] = {
        {"header\n" + sample + "\nno groups here\n" + sample + "\r\n", time_unit::seconds,
         seconds + " " + sample + "\r\n 3723.5  Seconds\n\n", 0},
        {sample, time_unit::hours, " " + sample + "\n 1.034306  Hours\n\n", 0},
        {"1 hours 2 minutes 3 seconds\nx  days 1 hours 2 minutes 3 seconds\n\n", time_unit::seconds,
         "", 0},
        {"", time_unit::days, "", 0},
        {long_line + "\n", time_unit::seconds, " " + long_line + "\n 86401  Seconds\n\n", 1},
        {filler, time_unit::seconds, test::repeated(200, seconds), filler.size() / 128}};
    for (const auto& [input, unit, output, moves] : cases) {
        SCOPED_TRACE(input.substr(0, 20));
        test::temp_dir dir;
        test::write_file(dir / "in.txt", input);
        progress_ui ui;
        EXPECT_EQ(convert_time_file(dir / "in.txt", dir / "out.txt", unit, ui),
                  time_conversion_outcome::completed);
        EXPECT_EQ(test::read_file(dir / "out.txt"), output);
        EXPECT_EQ(test::only_box(ui.messages),
                  "Information: Conversion Complete: Conversion Completed");
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        EXPECT_FALSE(ui.busy_at_message[0]) << "the pointer is normal again before the box";
        const auto length = static_cast<long long>(input.size());
        EXPECT_EQ(ui.progress_max, 2 * length);
        EXPECT_EQ(ui.values.front(), 0);
        EXPECT_EQ(ui.values.back(), 2 * length);
        std::size_t reading = 0;
        for (std::size_t i = 1; i < ui.values.size(); ++i) {
            EXPECT_LT(ui.values[i - 1], ui.values[i]);
            if (ui.values[i] <= length) {
                EXPECT_EQ(ui.values[i] % 128, 0);
                ++reading;
            }
        }
        EXPECT_EQ(reading, moves);
        EXPECT_EQ(ui.values.size(), 1 + moves + test::lines_of(input).size());
    }
}

// Each failure names its step; the output keeps what was written and is never the input.
TEST(time_file, FailuresAreReportedByTheirStep) {
    test::temp_dir dir;
    const auto in = dir / "in.txt", out = dir / "out.txt";
    const std::string read_step = "frm_time_conversion cmd_execute_click";
    const std::string convert_step = "frm_time_conversion submodule: convert";
    const struct {
        const char* name;
        std::string input; // written to in.txt
        std::filesystem::path input_path, output_path;
        std::string description, routine;
        std::string output = ""; // what out.txt holds afterwards, when there is one
    } cases[] = {{"ANonNumberStopsTheConversionKeepingWhatWasWritten",
                  sample + "\nx days 1 hours 2 minutes 3 seconds\n" + sample, in, out,
                  "Type mismatch", convert_step, " " + sample + "\n 3723.5  Seconds\n\n"},
                 {"AnInputThatCannotBeReadIsAReadingStepReport", sample, dir / "missing.txt", out,
                  "File not found", read_step},
                 {"refusesALineOver16MBInsteadOfHoldingTheWholeFile",
                  std::string(max_line_bytes + 1, 'x'), in, out,
                  "Out of string space - more than 16 MB in one line (not a text file?)",
                  read_step},
                 {"TheOutputIsNeverTheInput", sample, in, dir / "." / "in.txt", "File already open",
                  convert_step},
                 {"AnOutputThatCannotBeWrittenIsAConversionStepReport", sample, in,
                  dir / "no" / "out.txt", "Path not found", convert_step}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(out);
        test::write_file(in, c.input);
        test::recording_ui ui;
        EXPECT_EQ(convert_time_file(c.input_path, c.output_path, time_unit::seconds, ui),
                  time_conversion_outcome::error_report);
        EXPECT_EQ(test::only_report(ui), test::report(c.description, c.routine));
        EXPECT_EQ(ui.busy_at_message, std::vector<bool>{true}) << "the pointer comes back after";
        EXPECT_EQ(test::read_file(in), c.input);
        EXPECT_EQ(std::filesystem::exists(out), !c.output.empty());
        EXPECT_EQ(test::read_file(out), c.output);
    }
}

TEST(time_convert_cli, ConvertsAndReportsLikeTheWindow) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", sample + "\n");
    const auto convert = [&](std::vector<std::string> unit) {
        return test::run_on("time-convert", dir / "in.txt", dir / "out.txt", unit);
    };
    EXPECT_EQ(convert({"--unit", "minutes"}).out,
              "Information: Conversion Complete: Conversion Completed\n");
    EXPECT_EQ(test::read_file(dir / "out.txt"), " " + sample + "\n 62.05833  Minutes\n\n");
    test::write_file(dir / "in.txt", "a days 1 hours 2 minutes 3 seconds\n");
    EXPECT_EQ(convert({"--unit", "days"}).status, 1);
    EXPECT_EQ(convert({"--unit", "weeks"}).status, 2);
    EXPECT_EQ(convert({}).status, 2);
}

} // namespace
} // namespace qm
