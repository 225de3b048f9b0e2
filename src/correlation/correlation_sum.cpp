#include "correlation/correlation_sum.h"

#include "platform/worker_threads.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

namespace qm {
namespace {

using v2d = double __attribute__((vector_size(16)));
using v4d = double __attribute__((vector_size(32)));
using v8d = double __attribute__((vector_size(64)));

// Widest block of tau any kernel sums at once.
constexpr int widest_block = 128;

// One block of tau: `Acc` vectors of running sums, lane k of vector a for tau0 + a * lanes + k.
// `x1` points at x1(tau0) of a series padded with at least one block of zeros, `count` is the
// number of i the block's first tau needs (n - tau0). Each lane adds its products in the order
// of rising i to a sum that starts at +0: the same operations, in the same order, as the plain
// loop for that tau.
template <class V, int Acc>
[[gnu::always_inline]] inline void sum_block(const double* x1, const double* x2, std::int64_t count,
                                             double* out) {
    constexpr int lanes = sizeof(V) / sizeof(double);
    // Fully unrolled, so the sums stay in registers.
    V acc[Acc];
#pragma GCC unroll 32
    for (int a = 0; a < Acc; ++a)
        acc[a] = V{};
    for (std::int64_t i = 0; i < count; ++i) {
        V factor;
#pragma GCC unroll 8
        for (int k = 0; k < lanes; ++k)
            factor[k] = x2[i];
        const double* window = x1 + i;
#pragma GCC unroll 32
        for (int a = 0; a < Acc; ++a) {
            V x;
            std::memcpy(&x, window + a * lanes, sizeof x);
            acc[a] += factor * x;
        }
    }
    std::memcpy(out, acc, sizeof acc);
}

using block_function = void (*)(const double*, const double*, std::int64_t, double*);

struct kernel {
    block_function sum;
    int width; // tau per block
};

// Eight vectors of sums keep both adders busy while each sum waits for its previous addition.
void block_baseline(const double* x1, const double* x2, std::int64_t count, double* out) {
    sum_block<v2d, 8>(x1, x2, count, out);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void block_avx2(const double* x1, const double* x2, std::int64_t count,
                                        double* out) {
    sum_block<v4d, 8>(x1, x2, count, out);
}

[[gnu::target("avx512f")]] void block_avx512(const double* x1, const double* x2, std::int64_t count,
                                             double* out) {
    sum_block<v8d, 16>(x1, x2, count, out);
}
#endif

kernel best_kernel() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return {block_avx512, 128};
    if (__builtin_cpu_supports("avx2"))
        return {block_avx2, 32};
#endif
    return {block_baseline, 16};
}

// Below this many products one thread finishes before a second one would have started.
constexpr double products_per_thread = 4e6;

unsigned thread_count(std::int64_t n, std::int64_t blocks, unsigned asked) {
    unsigned threads = asked;
    const double products = static_cast<double>(n) * static_cast<double>(n) / 2;
    if (threads == 0)
        threads = products < products_per_thread ? 1 : worker_threads();
    return static_cast<unsigned>(std::min<std::int64_t>(threads, blocks));
}

} // namespace

std::vector<double> direct_correlation(std::span<const double> x1, std::span<const double> x2,
                                       const correlation_progress& progress, unsigned threads) {
    const auto n = static_cast<std::int64_t>(std::min(x1.size(), x2.size()));
    std::vector<double> c(static_cast<std::size_t>(n));
    if (n == 0)
        return c;
    static const kernel k = best_kernel();

    // x1 followed by zeros: the lanes of a block whose tau run past the data read only zeros.
    std::vector<double> padded(static_cast<std::size_t>(n + k.width), 0.0);
    std::copy_n(x1.begin(), n, padded.begin());

    const std::int64_t blocks = (n + k.width - 1) / k.width;
    std::atomic<std::int64_t> next_block{0};
    std::atomic<std::int64_t> finished{0};
    // Blocks are taken in the order of rising tau, the longest sums first, so the cores run
    // out of work together.
    auto work = [&](bool reports) {
        alignas(64) double sums[widest_block];
        for (;;) {
            const std::int64_t block = next_block.fetch_add(1, std::memory_order_relaxed);
            if (block >= blocks)
                return;
            const std::int64_t tau0 = block * k.width;
            k.sum(padded.data() + tau0, x2.data(), n - tau0, sums);
            const std::int64_t width = std::min<std::int64_t>(k.width, n - tau0);
            std::copy_n(sums, width, c.begin() + tau0);
            const std::int64_t done = finished.fetch_add(width, std::memory_order_relaxed) + width;
            if (reports && progress)
                progress(done);
        }
    };

    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < thread_count(n, blocks, threads); ++t) {
        try {
            helpers.emplace_back(work, false);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the others share the work
        }
    }
    work(true);
    helpers.clear(); // joins
    if (progress)
        progress(n);
    return c;
}

} // namespace qm
