// The discrete correlation function by fast Fourier transforms, in O(n log n):
//
//   C(tau) = sum over i = 0..n-1-tau of x2(i) * x1(i + tau),   tau = 0..max_lag
//
// the same function as the direct sum (correlation_sum.h), without its bit-exact order: both
// series are zero-padded to a length of at least 2n - 1, so the circular correlation the
// transforms give has no wrapped-around terms, and the result differs from the direct sum
// only by rounding, a few 1e-16 of C(0) for n = 10^6 (every C(tau) is bounded by the norms of
// the two series, whose product the transform's rounding scales).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace qm {

// C(0..max_lag) of two series of the same length n (otherwise the shorter length counts);
// max_lag is cut to n - 1. The same span twice (an autocorrelation) takes one transform less.
std::vector<double> fft_correlation(std::span<const double> x1, std::span<const double> x2,
                                    std::size_t max_lag);

// The padded transform length for a series of n values: the smallest power of two >= 2n - 1,
// and at least 2.
std::size_t fft_correlation_length(std::size_t n);

} // namespace qm
