#include "correlation/correlation_functions_module.h"

#include "platform/number_form.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

struct correlation : ::testing::Test {
    test::temp_dir dir;
    test::recording_ui ui;
    correlation_settings settings{dir / "in1.dat", dir / "in2.dat", dir / "out.dat"};

    // Both inputs (one text for an autocorrelation).
    void inputs(const std::string& first, const std::string& second) {
        test::write_file(settings.input1, first);
        test::write_file(settings.input2, second);
    }
    std::string output() { return test::read_file(settings.output); }
    bool output_exists() { return std::filesystem::exists(settings.output); }
    // The one message of a run that ended early.
    const test::recorded_message& only_message() {
        EXPECT_EQ(ui.messages.size(), 1u);
        static const test::recorded_message none{};
        return ui.messages.empty() ? none : ui.messages.front();
    }
    void expect_report(std::string_view description, std::string_view routine) {
        const auto& m = only_message();
        EXPECT_EQ(m.icon, message_icon::exclamation);
        EXPECT_EQ(m.title, "Fatal - Error");
        EXPECT_EQ(m.text, "Error (" + std::string(description) + ") in (" + std::string(routine) +
                              ") routine.\n\rReturning to main menu");
        EXPECT_FALSE(ui.busy_now);
    }
};

std::string lines(std::initializer_list<double> values) {
    std::string text;
    for (const double v : values)
        text += print_form(v) + "\r\n";
    return text;
}

TEST_F(correlation, AutocorrelationOfOneTwoThreeIsFourteenEightThree) {
    inputs("1\n2\n3\n", "1\n2\n3\n");
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 14 \r\n 8 \r\n 3 \r\n");
    const auto& m = only_message();
    EXPECT_EQ(m.icon, message_icon::information);
    EXPECT_EQ(m.title, "Processing Finished");
    EXPECT_EQ(m.text, "Correlation Function Calculation Complete");
    EXPECT_EQ(ui.busy_at_message, std::vector<bool>{false});
    EXPECT_EQ(ui.progress_max, 2);
    EXPECT_EQ(ui.progress, 2);
}

TEST_F(correlation, CrossCorrelationShiftsTheFirstSeries) {
    // C(tau) = sum x2(i) x1(i + tau); CR LF lines read like LF lines.
    inputs("1\r\n0\r\n0\r\n", "2\r\n3\r\n-4\r\n");
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 2 \r\n 0 \r\n 0 \r\n");
    inputs("0\n0\n1\n", "2\n3\n-4\n");
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), "-4 \r\n 3 \r\n 2 \r\n");
}

TEST_F(correlation, ScalingsAndTheMeanAdjustment) {
    inputs("1\n2\n3\n", "1\n2\n3\n");
    settings.norm_to_one = true;
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), lines({1, 8.0 / 14, 3.0 / 14}));

    // D = 14 / 2 - 6^2 / (2 * 2) = -2.
    settings.norm_to_one = false;
    settings.adjust_by_msd = true;
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), "-7 \r\n-4 \r\n-1.5 \r\n");

    // The mean is 6 / 2 = 3: the series becomes -2, -1, 0.
    settings.adjust_by_msd = false;
    settings.adjust_by_mean = true;
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 5 \r\n 2 \r\n 0 \r\n");

    correlation_state state;
    state.x1 = {1, 2, 3};
    state.x2 = {1, 2, 3, 6}; // 12 / 3 = 4
    ASSERT_TRUE(correlation_functions_adjust_by_mean(state, ui));
    EXPECT_EQ(state.x1, (std::vector<double>{-2, -1, 0}));
    EXPECT_EQ(state.x2, (std::vector<double>{-3, -2, -1, 2}));
}

TEST_F(correlation, DifferentLengthsAreReportedWithTheLastIndices) {
    std::string hundred, hundred_one;
    for (int i = 0; i < 100; ++i)
        hundred += std::to_string(i) + "\n";
    hundred_one = hundred + "100\n";
    inputs(hundred, hundred_one);
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    const auto& m = only_message();
    EXPECT_EQ(m.icon, message_icon::exclamation);
    EXPECT_EQ(m.title, "Fatal - Error");
    EXPECT_EQ(m.text, "Error - Input files are different lengths - File 1 = 99 File 2 = 100\n\r"
                      "Returning to main menu");
    EXPECT_FALSE(ui.busy_now);
    EXPECT_FALSE(output_exists());
}

TEST_F(correlation, ATrailingEmptyLineAddsAZero) {
    inputs("1\n2\n\n", "1\n2\n\n");
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 5 \r\n 2 \r\n 0 \r\n");

    ui.messages.clear();
    inputs("1\n2\n3\n\n", "1\n2\n3\n");
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    EXPECT_EQ(only_message().text,
              "Error - Input files are different lengths - File 1 = 3 File 2 = 2\n\r"
              "Returning to main menu");
}

TEST_F(correlation, UnreadableInputsEndTheRunInTheLoadRoutine) {
    inputs("1\n2\n3", "1\n2\n3\n");
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Input past end of file", "correlation_functions_load_input_files");
    EXPECT_FALSE(output_exists());

    ui.messages.clear();
    std::filesystem::remove(settings.input1);
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("File not found", "correlation_functions_load_input_files");

    ui.messages.clear();
    inputs("1\n1e999\n", "1\n2\n");
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Overflow", "correlation_functions_load_input_files");
}

TEST_F(correlation, ASingleValueCannotGiveAMeanOrADeviation) {
    inputs("2\n", "2\n");
    for (const bool mean : {true, false}) {
        ui.messages.clear();
        settings.adjust_by_mean = mean;
        settings.adjust_by_msd = !mean;
        EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
        const auto& m = only_message();
        EXPECT_EQ(m.icon, message_icon::exclamation);
        EXPECT_EQ(m.title, "Fatal - Error");
        EXPECT_EQ(m.text, single_value_text());
        EXPECT_FALSE(output_exists());
    }
    // Without them a single value is a function of one point.
    settings.adjust_by_mean = settings.adjust_by_msd = false;
    settings.norm_to_one = true;
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 1 \r\n");
}

TEST_F(correlation, ZeroDivisorsAreReportedNeverWritten) {
    inputs("0\n0\n0\n", "1\n2\n3\n"); // D = 0
    settings.adjust_by_msd = true;
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Division by zero", "correlation_functions_calculate_correlation_function");
    EXPECT_FALSE(output_exists());

    ui.messages.clear();
    inputs("0\n1\n", "1\n0\n"); // C(0) = 0, C(1) = 1
    settings.adjust_by_msd = false;
    settings.norm_to_one = true;
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Division by zero", "correlation_functions_calculate_correlation_function");
    EXPECT_FALSE(output_exists());

    ui.messages.clear();
    inputs("1e200\n1\n", "1e200\n1\n"); // C(0) past the largest double
    settings.norm_to_one = false;
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Overflow", "correlation_functions_calculate_correlation_function");
    EXPECT_FALSE(output_exists());
}

TEST_F(correlation, TheOutputIsNeverAnInputAndIsWrittenChecked) {
    inputs("1\n2\n", "3\n4\n");
    settings.output = settings.input2;
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("File already open", "correlation_functions_calculate_correlation_function");
    EXPECT_EQ(test::read_file(settings.input2), "3\n4\n");

    ui.messages.clear();
    settings.output = dir / "missing" / "out.dat";
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Path not found", "correlation_functions_calculate_correlation_function");

    ui.messages.clear();
    settings.output = dir / "out.dat";
    test::write_file(settings.output, "an older, longer result\r\n");
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), " 11 \r\n 6 \r\n");
}

TEST_F(correlation, EmptyInputsGiveAnEmptyFunctionButNoFirstValue) {
    inputs("", "");
    ASSERT_EQ(run_correlation(settings, ui), correlation_outcome::completed);
    EXPECT_EQ(output(), "");
    ui.messages.clear();
    settings.norm_to_one = true;
    EXPECT_EQ(run_correlation(settings, ui), correlation_outcome::stopped);
    expect_report("Subscript out of range", "correlation_functions_calculate_correlation_function");
}

TEST(correlation_msd, LongSeriesSquareTheLastIndexIn64Bits) {
    // 46342 values: L1 * L1 = 2147488281 does not fit 32 bits.
    correlation_state state;
    state.x1.assign(46342, 1.0);
    state.l1 = 46341;
    test::recording_ui ui;
    ASSERT_TRUE(correlation_functions_calculate_msd(state, ui));
    EXPECT_EQ(state.d, 46342.0 / 46341.0 - (46342.0 * 46342.0) / 2147488281.0);
    EXPECT_LT(state.d, 0);
    EXPECT_GT(state.d, -1e-4);
}

} // namespace
} // namespace qm
