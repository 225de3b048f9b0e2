#include "correlation/correlation_functions_module.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qm {
namespace {

struct boxes {
    bool mean = false, msd = false, unity = false;
};

// One run over in1.dat and in2.dat (no file when the text is null) into out.dat, which holds an
// older, longer result beforehand.
struct run {
    test::temp_dir dir;
    test::recording_ui ui;
    correlation_outcome outcome;

    run(const char* input1, const std::string& input2, boxes b, const char* output = "out.dat") {
        if (input1 != nullptr)
            test::write_file(dir / "in1.dat", input1);
        test::write_file(dir / "in2.dat", input2);
        if (output == std::string("out.dat"))
            test::write_file(dir / "out.dat", "an older, longer result\r\n");
        outcome = run_correlation(
            {dir / "in1.dat", dir / "in2.dat", dir / output, b.mean, b.msd, b.unity}, ui);
    }
};

std::string report(const char* description, std::string_view routine) {
    return "Error (" + std::string(description) + ") in (" + std::string(routine) +
           ") routine.\n\rReturning to main menu";
}
std::string load(const char* description) {
    return report(description, load_routine);
}
std::string sum(const char* description) {
    return report(description, correlation_routine);
}

// What each run wrote (one value a line, CR LF) or, when it stopped, its one message: a run
// that stops writes nothing and touches no file the user had.
TEST(correlation, RunsWriteOneValueALineOrStopWithOneMessage) {
    const struct {
        const char* input1; // null: no such file
        const char* input2;
        boxes b;
        std::string result;
        const char* output = "out.dat";
    } cases[] = {
        {"1\n2\n3\n", "1\n2\n3\n", {}, " 14 \r\n 8 \r\n 3 \r\n"},
        // C(tau) = sum x2(i) x1(i + tau): the first series shifts; CR LF lines read like LF.
        {"1\r\n0\r\n0\r\n", "2\r\n3\r\n-4\r\n", {}, " 2 \r\n 0 \r\n 0 \r\n"},
        {"0\n0\n1\n", "2\n3\n-4\n", {}, "-4 \r\n 3 \r\n 2 \r\n"},
        {"1\n2\n3\n",
         "1\n2\n3\n",
         {.unity = true},
         " 1 \r\n 0.571428571428571 \r\n 0.214285714285714 \r\n"},
        // D = 14 / 2 - 6^2 / (2 * 2) = -2.
        {"1\n2\n3\n", "1\n2\n3\n", {.msd = true}, "-7 \r\n-4 \r\n-1.5 \r\n"},
        // Each series less its own mean, its sum over n - 1: 6 / 2 = 3 and 9 / 2 = 4.5.
        {"1\n2\n3\n", "1\n2\n6\n", {.mean = true}, " 9.5 \r\n 3.5 \r\n 0 \r\n"},
        {"1\n2\n\n", "1\n2\n\n", {}, " 5 \r\n 2 \r\n 0 \r\n"}, // a trailing empty line is a 0
        {"2\n", "2\n", {.unity = true}, " 1 \r\n"},            // a function of one point
        {"", "", {}, ""},
        // Different lengths are reported with the last indices.
        {"1\n2\n3\n\n",
         "1\n2\n3\n",
         {},
         "Error - Input files are different lengths - File 1 = 3 File 2 = 2\n\rReturning to main "
         "menu"},
        {"1\n2\n3", "1\n2\n3\n", {}, load("Input past end of file")},
        {nullptr, "1\n", {}, load("File not found")},
        {"1\n1e999\n", "1\n2\n", {}, load("Overflow")},
        // A single value has no mean and no deviation.
        {"2\n", "2\n", {.mean = true}, single_value_text()},
        {"2\n", "2\n", {.msd = true}, single_value_text()},
        {"0\n0\n0\n", "1\n2\n3\n", {.msd = true}, sum("Division by zero")}, // D = 0
        {"0\n1\n", "1\n0\n", {.unity = true}, sum("Division by zero")},     // C(0) = 0
        {"1e200\n1\n", "1e200\n1\n", {}, sum("Overflow")},        // C(0) past the largest double
        {"", "", {.unity = true}, sum("Subscript out of range")}, // no C(0) to scale by
        {"1\n2\n", "3\n4\n", {}, sum("File already open"), "in2.dat"},
        {"1\n2\n", "3\n4\n", {}, sum("Path not found"), "missing/out.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        run r(c.input1, c.input2, c.b, c.output);
        ASSERT_EQ(r.ui.messages.size(), 1u);
        const test::recorded_message& m = r.ui.messages[0];
        if (r.outcome == correlation_outcome::completed) {
            EXPECT_EQ(test::read_file(r.dir / "out.dat"), c.result);
            EXPECT_EQ(m.icon, message_icon::information);
            EXPECT_EQ(m.title + ": " + m.text,
                      "Processing Finished: Correlation Function Calculation Complete");
            EXPECT_EQ(r.ui.busy_at_message, std::vector<bool>{false});
            const auto lines = std::count(c.result.begin(), c.result.end(), '\n');
            EXPECT_EQ(r.ui.progress_max, std::max<long long>(lines - 1, 0));
            EXPECT_EQ(r.ui.progress, r.ui.progress_max);
        } else {
            EXPECT_EQ(m.text, c.result);
            EXPECT_EQ(m.icon, message_icon::exclamation);
            EXPECT_EQ(m.title, "Fatal - Error");
            EXPECT_FALSE(r.ui.busy_now);
            EXPECT_EQ(test::read_file(r.dir / "in2.dat"), c.input2);
            if (c.output == std::string("out.dat")) {
                EXPECT_EQ(test::read_file(r.dir / "out.dat"), "an older, longer result\r\n");
            }
        }
    }
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
