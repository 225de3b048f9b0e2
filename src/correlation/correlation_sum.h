// The direct summation of a discrete correlation function:
//
//   C(tau) = sum over i = 0..n-1 of x2(i) * x1(i + tau),   tau = 0..n-1,  x1(j) = 0 for j >= n
//
// Every C(tau) is one running sum that starts at +0 and takes its products in the order of
// rising i, each product rounded on its own before it is added (never a fused multiply-add).
// The result is therefore the same, bit for bit, as the plain double loop, on any machine and
// with any number of threads.
//
// What makes it fast without changing a bit:
// * Several tau are summed at once, one vector lane per tau (never several i of one tau).
// * The terms with i + tau >= n are products with a zero and are left out. For finite x2 such
//   a product is +0 or -0, and adding a signed zero to a running sum s gives s back unless s is
//   -0 and the zero is +0. A sum that starts at +0 never becomes -0 (round to nearest gives -0
//   only for (-0) + (-0)), so leaving those terms out changes nothing. The series must be
//   finite: inf * 0 and NaN * 0 are NaN, which a skipped term would not spread. Callers check
//   their data (Val never yields inf or NaN; a non-finite mean adjustment is an overflow).
// * The tau are dealt out in blocks to every core; the calling thread works too and reports
//   the progress after each of its blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace qm {

// Told how many tau are finished so far (rising, at most n); called on the calling thread only.
using correlation_progress = std::function<void(std::int64_t done)>;

// C(0..n-1) of two series of the same length n (x1.size() == x2.size(); otherwise the shorter
// length counts). `threads` 0 chooses by itself: one thread for small series, else every core.
std::vector<double> direct_correlation(std::span<const double> x1, std::span<const double> x2,
                                       const correlation_progress& progress = {},
                                       unsigned threads = 0);

} // namespace qm
