#include "correlation/correlation_functions_module.h"
#include "correlation/correlation_sum.h"
#include "correlation/fft_correlation.h"
#include "platform/number_form.h"

#include "stokes/job_checks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <thread>

namespace qm {
namespace {

// What each run wrote (one value a line, CR LF) or, when it stopped, its one message: a run
// that stops writes nothing and touches no file the user had.
TEST(correlation, RunsWriteOneValueALineOrStopWithOneMessage) {
    const auto load = [](auto e) { return test::report(e, std::string(load_routine)); };
    const auto sum = [](auto e) { return test::report(e, std::string(correlation_routine)); };
    const struct {
        const char* input1; // null: no such file
        const char* input2;
        std::string box; // the one box ticked: mean, msd or unity
        std::string result;
        const char* output = "out.dat"; // holds an older, longer result beforehand
    } cases[] = {
        {"1\n2\n3\n", "1\n2\n3\n", "", " 14 \r\n 8 \r\n 3 \r\n"},
        // C(tau) = sum x2(i) x1(i + tau): the first series shifts; CR LF lines read like LF.
        {"0\r\n0\r\n1\r\n", "2\r\n3\r\n-4\r\n", "", "-4 \r\n 3 \r\n 2 \r\n"},
        {"1\n2\n3\n", "1\n2\n3\n", "unity",
         " 1 \r\n 0.571428571428571 \r\n 0.214285714285714 \r\n"},
        // D = 14 / 2 - 6^2 / (2 * 2) = -2.
        {"1\n2\n3\n", "1\n2\n3\n", "msd", "-7 \r\n-4 \r\n-1.5 \r\n"},
        // Each series less its own mean, its sum over n - 1: 6 / 2 = 3 and 9 / 2 = 4.5.
        {"1\n2\n3\n", "1\n2\n6\n", "mean", " 9.5 \r\n 3.5 \r\n 0 \r\n"},
        {"1\n2\n\n", "1\n2\n\n", "", " 5 \r\n 2 \r\n 0 \r\n"}, // a trailing empty line is a 0
        {"2\n", "2\n", "unity", " 1 \r\n"},                    // a function of one point
        {"", "", "", ""},
        // Different lengths are reported with the last indices.
        {"1\n2\n3\n\n", "1\n2\n3\n", "",
         "Error - Input files are different lengths - File 1 = 3 "
         "File 2 = 2\n\rReturning to main menu"},
        {"1\n2\n3", "1\n2\n3\n", "", load("Input past end of file")},
        {"1\n1e999\n", "1\n2\n", "", load("Overflow")},
        // A single value has no mean and no deviation.
        {"2\n", "2\n", "mean", single_value_text()},
        {"2\n", "2\n", "msd", single_value_text()},
        {"0\n0\n0\n", "1\n2\n3\n", "msd", sum("Division by zero")}, // D = 0
        {"0\n1\n", "1\n0\n", "unity", sum("Division by zero")},     // C(0) = 0
        {"1e200\n1\n", "1e200\n1\n", "", sum("Overflow")},          // C(0) past the largest double
        {"", "", "unity", sum("Subscript out of range")},           // no C(0) to scale by
        {"1\n2\n", "3\n4\n", "", sum("File already open"), "in2.dat"},
        {"1\n2\n", "3\n4\n", "", sum("Path not found"), "missing/out.dat"},
    };
    const std::string older = "an older, longer result\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        test::temp_dir dir;
        if (c.input1 != nullptr)
            test::write_file(dir / "in1.dat", c.input1);
        test::write_file(dir / "in2.dat", c.input2);
        test::write_file(dir / "out.dat", older);
        test::recording_ui ui;
        const auto outcome = run_correlation({dir / "in1.dat", dir / "in2.dat", dir / c.output,
                                              c.box == "mean", c.box == "msd", c.box == "unity"},
                                             ui);
        EXPECT_FALSE(ui.busy_now);
        EXPECT_EQ(test::read_file(dir / "in2.dat"), c.input2);
        if (outcome == correlation_outcome::completed) {
            EXPECT_EQ(test::read_file(dir / "out.dat"), c.result);
            EXPECT_EQ(
                test::only_box(ui.messages),
                "Information: Processing Finished: Correlation Function Calculation Complete");
            const auto lines = std::count(c.result.begin(), c.result.end(), '\n');
            EXPECT_EQ(ui.progress_max, std::max<long long>(lines - 1, 0));
            EXPECT_EQ(ui.progress, ui.progress_max);
        } else {
            EXPECT_EQ(test::only_box(ui.messages), "Exclamation: Fatal - Error: " + c.result);
            EXPECT_EQ(test::read_file(dir / "out.dat"), older);
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
}

// The double loop as written down: x1 extended with zeros, every i for every tau.
std::vector<double> plain_correlation(const std::vector<double>& x1,
                                      const std::vector<double>& x2) {
    const std::size_t n = x1.size();
    std::vector<double> c(n);
    for (std::size_t tau = 0; tau < n; ++tau) {
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i)
            sum += x2[i] * (i + tau < n ? x1[i + tau] : 0.0);
        c[tau] = sum;
    }
    return c;
}

// Values of both signs over 300 orders of magnitude, with zeros of both signs and products
// that fall below the normal range: any change in the order of the additions shows.
std::vector<double> awkward_series(std::size_t n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> small(-20, 20), large(-540, 500);
    std::vector<double> x(n);
    for (double& v : x) {
        const auto kind = rng() % 11;
        const int exponent = rng() % 8 == 0 ? large(rng) : small(rng);
        v = kind == 0 ? 0.0 : kind == 1 ? -0.0 : std::ldexp(mantissa(rng), exponent);
    }
    return x;
}

void expect_same_bits(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < got.size(); ++k)
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got[k]), std::bit_cast<std::uint64_t>(want[k]))
            << "tau " << k << ": " << got[k] << " vs " << want[k];
}

// Progress comes on the calling thread only and rises to the series' length.
TEST(direct_correlation, MatchesThePlainLoopBitForBitAtEveryBlockEdgeOnEveryCore) {
    // Block widths are 16, 32 or 128 tau depending on the processor; 0 threads is every core
    // for a long series.
    std::vector<std::pair<std::vector<double>, std::vector<double>>> series;
    for (const std::size_t n : {0u, 1u, 2u, 3u, 15u, 16u, 17u, 31u, 32u, 33u, 127u, 128u, 129u,
                                130u, 257u, 1000u, 3001u}) {
        series.emplace_back(awkward_series(n, 7 * n), awkward_series(n, 7 * n + 1));
        series.emplace_back(series.back().first, series.back().first); // autocorrelation
    }
    // Every product -0 (negative x2 times +0, positive x2 times -0): the running sum starts
    // at +0 and stays there, skipped zero terms or not.
    series.push_back({{0.0, -0.0, 0.0, -0.0, 0.0}, {-1.0, 2.0, -3.0, 4.0, -5.0}});
    const auto caller = std::this_thread::get_id();
    std::int64_t last = 0;
    const auto progress = [&](std::int64_t done) {
        EXPECT_TRUE(std::this_thread::get_id() == caller && done > 0 && done >= last);
        last = done;
    };
    for (const auto& [x1, x2] : series) {
        const auto plain = plain_correlation(x1, x2);
        for (const unsigned threads : {0u, 1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "n " << x1.size() << ", threads " << threads);
            last = 0;
            expect_same_bits(direct_correlation(x1, x2, progress, threads), plain);
            EXPECT_EQ(last, static_cast<std::int64_t>(x1.size()));
        }
    }
}

// The Fourier route gives the direct sum within 1e-9 of C(0), at the padded lengths' edges
// (n = 2^k and 2^k + 1 pad to different powers of two), for a series whose mean is far from
// 0 (the case a wrapped-around term or a wrong padding shows at once) and for two series.
TEST(fft_correlation, EqualsTheDirectSumWithinRoundingOfCZero) {
    for (const std::size_t n : {1u, 2u, 3u, 64u, 65u, 1000u, 4097u}) {
        std::mt19937_64 rng(n);
        std::normal_distribution<double> noise(2.5, 0.1);
        std::vector<double> x1(n), x2(n);
        for (std::size_t i = 0; i < n; ++i) {
            x1[i] = noise(rng);
            x2[i] = noise(rng) - 2.5;
        }
        EXPECT_GE(fft_correlation_length(n), 2 * n - 1);
        for (const auto* second : {&x1, &x2}) {
            SCOPED_TRACE(testing::Message() << "n " << n << (second == &x1 ? " auto" : " cross"));
            const auto want = plain_correlation(x1, *second);
            const auto got = fft_correlation(x1, *second, n - 1);
            ASSERT_EQ(got.size(), n);
            double worst = 0;
            for (std::size_t k = 0; k < n; ++k)
                worst = std::max(worst, std::abs(got[k] - want[k]));
            EXPECT_LE(worst, 1e-9 * std::abs(plain_correlation(x1, x1)[0]));
            // A shorter lag range is the start of the whole function.
            EXPECT_EQ(fft_correlation(x1, *second, n / 2).size(), n / 2 + 1);
        }
    }
    EXPECT_TRUE(fft_correlation({}, {}, 5).empty());
}

// correlate --method fft writes what the exact order writes, within rounding, and the
// window's choice "FFT" runs the same job.
TEST(correlation, FftMethodWritesTheDirectSumWithinRounding) {
    test::temp_dir dir;
    std::string values;
    std::mt19937_64 rng(3);
    std::normal_distribution<double> noise(0, 1);
    for (int i = 0; i < 500; ++i)
        values += round_trip_form(noise(rng)) + "\n";
    test::write_file(dir / "x.dat", values);
    const auto run = [&](const char* method, const char* out) {
        return test::run_cli({"correlate", "--input1", (dir / "x.dat").string(), "--input2",
                              (dir / "x.dat").string(), "--output", (dir / out).string(),
                              "--mean", "--unity", "--method", method});
    };
    ASSERT_EQ(run("exact", "exact.dat").status, 0);
    ASSERT_EQ(run("fft", "fft.dat").status, 0);
    const auto exact = test::lines_of(test::read_file(dir / "exact.dat"));
    const auto fft = test::lines_of(test::read_file(dir / "fft.dat"));
    ASSERT_EQ(exact.size(), 500u);
    ASSERT_EQ(fft.size(), exact.size());
    for (std::size_t k = 0; k < exact.size(); ++k)
        ASSERT_NEAR(std::stod(fft[k]), std::stod(exact[k]), 1e-9) << "tau " << k;
    EXPECT_EQ(fft[0], " 1 \r");
    EXPECT_EQ(run("fast", "x.out").status, 2); // only the two methods
}

} // namespace
} // namespace qm
