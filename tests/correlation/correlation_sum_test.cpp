#include "correlation/correlation_sum.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace qm {
namespace {

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

TEST(direct_correlation, MatchesThePlainLoopBitForBitAtEveryBlockEdgeOnEveryCore) {
    // Block widths are 16, 32 or 128 tau depending on the processor; 0 threads is every core
    // for a long series.
    for (const std::size_t n : {0u, 1u, 2u, 3u, 15u, 16u, 17u, 31u, 32u, 33u, 127u, 128u, 129u,
                                130u, 257u, 1000u, 3001u}) {
        const auto x1 = awkward_series(n, 7 * n);
        const auto x2 = awkward_series(n, 7 * n + 1);
        const auto cross = plain_correlation(x1, x2), autocorrelation = plain_correlation(x1, x1);
        for (const unsigned threads : {0u, 1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "n " << n << ", threads " << threads);
            expect_same_bits(direct_correlation(x1, x2, {}, threads), cross);
            expect_same_bits(direct_correlation(x1, x1, {}, threads), autocorrelation);
        }
    }
}

TEST(direct_correlation, SumsOfNegativeZerosArePositiveZeroAsInTheLoop) {
    // Every product is -0 (negative x2 times +0, positive x2 times -0); the running sum
    // starts at +0 and stays there, skipped zero terms or not.
    const auto c = direct_correlation(std::vector{0.0, -0.0, 0.0, -0.0, 0.0},
                                      std::vector{-1.0, 2.0, -3.0, 4.0, -5.0}, {}, 1);
    ASSERT_EQ(c.size(), 5u);
    for (const double v : c)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(v), 0u);
}

TEST(direct_correlation, ReportsRisingProgressOnTheCallingThreadOnly) {
    const auto x = awkward_series(2000, 5);
    std::vector<std::int64_t> seen;
    bool other_thread = false;
    const auto caller = std::this_thread::get_id();
    direct_correlation(
        x, x,
        [&](std::int64_t done) {
            other_thread = other_thread || std::this_thread::get_id() != caller;
            seen.push_back(done);
        },
        2);
    EXPECT_FALSE(other_thread);
    // How many blocks the calling thread gets depends on the scheduler: at least the end.
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 2000);
    EXPECT_GT(seen.front(), 0);
}

} // namespace
} // namespace qm
