#include "units/time_conversion.h"

#include "platform/input_stream.h"
#include "platform/run_error.h"

#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qm {
namespace {

// The line of the examples: a label, then 0 days, 1 hours, 2 minutes and 3.5 seconds with two
// blanks between the groups.
const std::string sample = "Run 7:  0 days  1 hours  2 minutes  3.5 seconds";

std::optional<std::vector<std::string>> values_of(std::string_view line) {
    const auto texts = find_duration(line);
    if (!texts)
        return std::nullopt;
    return std::vector<std::string>{std::string(texts->days), std::string(texts->hours),
                                    std::string(texts->minutes), std::string(texts->seconds)};
}

TEST(find_duration, TakesTheRunBeforeEachMarkerInOrder) {
    using values = std::vector<std::string>;
    EXPECT_EQ(values_of(" " + sample), (values{"0", "1", "2", "3.5"}));
    EXPECT_EQ(values_of(" x 1.5e1 days 02 hours -3 minutes abc seconds"),
              (values{"1.5e1", "02", "-3", "abc"}));
    // " seconds" needs no blank after it; a carriage return may follow.
    EXPECT_EQ(values_of(" 1 days 2 hours 3 minutes 4 seconds\r"), (values{"1", "2", "3", "4"}));
    EXPECT_EQ(values_of(" 1 days 2 hours 3 minutes 4 secondsX"), (values{"1", "2", "3", "4"}));
}

TEST(find_duration, LinesWithoutAllFourGroupsInOrderGiveNothing) {
    for (const char* line : {" 1 hours 2 minutes 3 seconds",         // no days
                             " 1 days 2 hours 3 minutes",            // no seconds
                             " 3 seconds 2 minutes 1 hours 0 days",  // wrong order
                             " 1 days 2 hours 3 minutes 4 Seconds",  // case counts
                             " 1 days 2 hours 3 minutes 4  seconds", // nothing before it
                             " 1 days\t2 hours 3 minutes 4 seconds", // a tab is no blank
                             " 0  days 1 hours 2 minutes 3 seconds", // two blanks before days
                             " days 1 hours 2 minutes 3 seconds", "", " "}) // days starts the line
        EXPECT_EQ(values_of(line), std::nullopt) << line;
}

TEST(find_duration, AnEmptyMatchIsSkippedAndTheSearchGoesOn) {
    using values = std::vector<std::string>;
    // The first " days " has a blank before it; the second counts.
    EXPECT_EQ(values_of(" a  days 5 days 1 hours 2 minutes 3 seconds"),
              (values{"5", "1", "2", "3"}));
    EXPECT_EQ(values_of(" 1 days 2 hours  hours 3 minutes 4  seconds 5 seconds"),
              (values{"1", "2", "3", "5"}));
    // Without the leading blank the job adds, the line's start ends the first value.
    EXPECT_EQ(values_of("1 days 2 hours 3 minutes 4 seconds"), (values{"1", "2", "3", "4"}));
}

TEST(duration_total, SumsInDoubleAndRoundsToSingle) {
    const duration_texts t{"0", "1", "2", "3.5"};
    EXPECT_EQ(total_lines(duration_total(t, time_unit::seconds), time_unit::seconds),
              " 3723.5  Seconds\n\n");
    EXPECT_EQ(total_lines(duration_total(t, time_unit::minutes), time_unit::minutes),
              " 62.05833  Minutes\n\n");
    EXPECT_EQ(total_lines(duration_total(t, time_unit::hours), time_unit::hours),
              " 1.034306  Hours\n\n");
    EXPECT_EQ(total_lines(duration_total(t, time_unit::days), time_unit::days),
              " 0.04309607  Days\n\n");
    EXPECT_EQ(
        total_lines(duration_total({"-1", "0", "0", "0"}, time_unit::seconds), time_unit::seconds),
        "-86400  Seconds\n\n");
    EXPECT_EQ(total_lines(duration_total({"1000", "0", "0", "0"}, time_unit::seconds),
                          time_unit::seconds),
              " 8.64E+07  Seconds\n\n");
}

TEST(duration_total, ValuesAreHeldInSinglePrecision) {
    // 45.6 s read as the nearest float, 45.59999847..., gives an hours total one unit in the
    // last place below the one the exact 45.6 would give.
    const float total = duration_total({"0", "0", "0", "45.6"}, time_unit::hours);
    EXPECT_EQ(total, static_cast<float>(static_cast<double>(45.6f) / 3600));
    EXPECT_NE(total, static_cast<float>(45.6 / 3600));
    EXPECT_EQ(total_lines(total, time_unit::hours), " 0.01266667  Hours\n\n");
}

TEST(duration_total, ValuesThatAreNotNumbersOrTooLargeAreRunErrors) {
    const auto error_of = [](const duration_texts& t, time_unit unit) {
        try {
            duration_total(t, unit);
        } catch (const run_error& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(error_of({"x", "1", "2", "3"}, time_unit::seconds), 13);
    EXPECT_EQ(error_of({"1", "2", "3", "4,5"}, time_unit::seconds), 13);
    EXPECT_EQ(error_of({"1e39", "0", "0", "0"}, time_unit::days), 6);
    EXPECT_EQ(error_of({"3e38", "0", "0", "0"}, time_unit::seconds), 6); // the total overflows
    EXPECT_EQ(error_of({"3e38", "0", "0", "0"}, time_unit::days), 0);
}

// A JobUi that keeps every progress value.
struct progress_ui : test::recording_ui {
    void progress_value(long long value) override {
        recording_ui::progress_value(value);
        values.push_back(value);
    }
    std::vector<long long> values;
};

struct time_file : ::testing::Test {
    test::temp_dir dir;
    progress_ui ui;

    std::string run(const std::string& input, time_unit unit,
                    time_conversion_outcome expected = time_conversion_outcome::completed) {
        test::write_file(dir / "in.txt", input);
        EXPECT_EQ(convert_time_file(dir / "in.txt", dir / "out.txt", unit, ui), expected);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
        return test::read_file(dir / "out.txt");
    }
    void expect_completed() {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, message_icon::information);
        EXPECT_EQ(ui.messages[0].title, "Conversion Complete");
        EXPECT_EQ(ui.messages[0].text, "Conversion Completed");
        EXPECT_FALSE(ui.busy_at_message[0]) << "the pointer is normal again before the box";
        EXPECT_EQ(ui.progress, ui.progress_max);
    }
    void expect_report(const std::string& description, const std::string& routine) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, message_icon::exclamation);
        EXPECT_EQ(ui.messages[0].title, "Fatal - Error");
        EXPECT_EQ(ui.messages[0].text, "Error (" + description + ") in (" + routine +
                                           ") routine.\n\rReturning to main menu");
    }
};

TEST_F(time_file, WritesEachDurationLineItsTotalAndAnEmptyLine) {
    const std::string out =
        run("header\n" + sample + "\nno groups here\n" + sample + "\r\n", time_unit::seconds);
    EXPECT_EQ(out,
              " " + sample + "\n 3723.5  Seconds\n\n" + " " + sample + "\r\n 3723.5  Seconds\n\n");
    expect_completed();
}

TEST_F(time_file, EveryUnitAndAnUnterminatedLastLine) {
    EXPECT_EQ(run(sample, time_unit::minutes), " " + sample + "\n 62.05833  Minutes\n\n");
    ui = {};
    EXPECT_EQ(run(sample, time_unit::hours), " " + sample + "\n 1.034306  Hours\n\n");
    ui = {};
    EXPECT_EQ(run(sample + "\n", time_unit::days), " " + sample + "\n 0.04309607  Days\n\n");
    expect_completed();
}

TEST_F(time_file, WithoutDurationLinesTheOutputIsEmptyAndTheRunCompletes) {
    EXPECT_EQ(run("1 hours 2 minutes 3 seconds\nx  days 1 hours 2 minutes 3 seconds\n\n",
                  time_unit::seconds),
              "");
    expect_completed();
    ui = {};
    EXPECT_EQ(run("", time_unit::hours), "");
    expect_completed();
}

// Positions were 16-bit once: a line past 32767 characters must still convert.
TEST_F(time_file, LinesLongerThan32767CharactersWork) {
    const std::string line = std::string(40000, 'x') + " 1 days 0 hours 0 minutes 1 seconds";
    EXPECT_EQ(run(line + "\n", time_unit::seconds), " " + line + "\n 86401  Seconds\n\n");
    expect_completed();
}

TEST_F(time_file, AValueThatIsNotANumberStopsTheConversionKeepingWhatWasWritten) {
    const std::string out = run(sample + "\nx days 1 hours 2 minutes 3 seconds\n" + sample + "\n",
                                time_unit::seconds, time_conversion_outcome::error_report);
    EXPECT_EQ(out, " " + sample + "\n 3723.5  Seconds\n\n");
    expect_report("Type mismatch", "frm_time_conversion submodule: convert");
    EXPECT_TRUE(ui.busy_at_message[0]) << "the pointer is restored after the report";
}

TEST_F(time_file, AnInputThatCannotBeReadIsAReadingStepReport) {
    EXPECT_EQ(convert_time_file(dir / "missing.txt", dir / "out.txt", time_unit::seconds, ui),
              time_conversion_outcome::error_report);
    expect_report("File not found", "frm_time_conversion cmd_execute_click");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.txt"));
    EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
}

// A file without line feeds is refused at its first 16 MB instead of being held whole.
TEST_F(time_file, refusesALineOver16MBInsteadOfHoldingTheWholeFile) {
    run(std::string(max_line_bytes + 1, 'x'), time_unit::seconds,
        time_conversion_outcome::error_report);
    expect_report("Out of string space - more than 16 MB in one line (not a text file?)",
                  "frm_time_conversion cmd_execute_click");
}

TEST_F(time_file, TheOutputIsNeverTheInput) {
    const std::string input = sample + "\n";
    test::write_file(dir / "in.txt", input);
    EXPECT_EQ(convert_time_file(dir / "in.txt", dir / "." / "in.txt", time_unit::seconds, ui),
              time_conversion_outcome::error_report);
    expect_report("File already open", "frm_time_conversion submodule: convert");
    EXPECT_EQ(test::read_file(dir / "in.txt"), input);
}

TEST_F(time_file, AnOutputThatCannotBeWrittenIsAConversionStepReport) {
    test::write_file(dir / "in.txt", sample + "\n");
    EXPECT_EQ(convert_time_file(dir / "in.txt", dir / "no" / "out.txt", time_unit::seconds, ui),
              time_conversion_outcome::error_report);
    expect_report("Path not found", "frm_time_conversion submodule: convert");
}

TEST_F(time_file, ProgressRunsOverTwiceTheLengthReadingThenConverting) {
    std::string input;
    for (int i = 0; i < 400; ++i)
        input += (i % 2 == 0 ? sample : std::string("filler line")) + "\n";
    const auto length = static_cast<long long>(input.size());
    run(input, time_unit::seconds);
    EXPECT_EQ(ui.progress_min, 0);
    EXPECT_EQ(ui.progress_max, 2 * length);
    ASSERT_FALSE(ui.values.empty());
    EXPECT_EQ(ui.values.front(), 0);
    EXPECT_EQ(ui.values.back(), 2 * length);
    for (std::size_t i = 1; i < ui.values.size(); ++i)
        EXPECT_LT(ui.values[i - 1], ui.values[i]) << "only moves are reported";
    // The reading half moves in whole blocks of 128 bytes.
    std::size_t reading = 0;
    for (const long long v : ui.values)
        if (v <= length && v % 128 == 0)
            ++reading;
    EXPECT_EQ(reading, static_cast<std::size_t>(length / 128) + 1);
    // The converting half: one step per line, length / 400 bytes each.
    EXPECT_EQ(ui.values.size(), reading + 400);
    EXPECT_NEAR(static_cast<double>(ui.values[reading]), length + length / 400.0, 0.5);
}

TEST(time_convert_cli, ConvertsAndReportsLikeTheWindow) {
    test::temp_dir dir;
    test::write_file(dir / "in.txt", sample + "\n");
    const auto in = (dir / "in.txt").string();
    const auto out = (dir / "out.txt").string();
    auto run = test::run_cli({"time-convert", "--input", in, "--output", out, "--unit", "minutes"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Information: Conversion Complete: Conversion Completed\n");
    EXPECT_EQ(test::read_file(out), " " + sample + "\n 62.05833  Minutes\n\n");

    test::write_file(dir / "in.txt", "a days 1 hours 2 minutes 3 seconds\n");
    run = test::run_cli({"time-convert", "--input", in, "--output", out, "--unit", "days"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Exclamation: Fatal - Error: Error (Type mismatch) in "
                       "(frm_time_conversion submodule: convert) routine.\n\rReturning to main "
                       "menu\n");

    run = test::run_cli({"time-convert", "--input", in, "--output", out, "--unit", "weeks"});
    EXPECT_EQ(run.status, 2);
    run = test::run_cli({"time-convert", "--input", in, "--output", out});
    EXPECT_EQ(run.status, 2);
}

} // namespace
} // namespace qm
