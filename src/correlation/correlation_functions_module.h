// correlation_functions_module: the discrete correlation function of two equally long series,
// each a text file of one value per line, by direct summation:
//
//   C(tau) = sum over i = 0..L1 of x2(i) * x1(i + tau),   tau = 0..L1,   x1(j) = 0 past L1
//
// written as one print-form value per line, lines ended by CR LF. The same file twice gives an
// autocorrelation function. Options: fluctuations about the mean (each series minus its sum
// divided by n - 1), scaling by the mean square deviation D of series 1, or scaling to C(0) = 1.
//
// A run is four routines over one state, in this order (each returns false when it ended the
// run with its message or error report):
//   correlation_functions_load_input_files
//   correlation_functions_adjust_by_mean                 (fluctuations option)
//   correlation_functions_calculate_msd                  (mean square deviation option)
//   correlation_functions_calculate_correlation_function
#pragma once

#include "platform/chart_data.h"
#include "platform/job_ui.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// How C is summed: the direct sum in its exact order (the default), or by Fourier transform,
// equal to it within rounding (a few 1e-16 of C(0)) in O(n log n) instead of O(n^2).
enum class correlation_method { exact_order, fft };

struct correlation_settings {
    std::filesystem::path input1;
    std::filesystem::path input2;
    std::filesystem::path output;
    bool adjust_by_mean = false; // chk_adjust_by_mean
    bool adjust_by_msd = false;  // chk_adjust_by_msd
    bool norm_to_one = false;    // chk_norm_to_one
    correlation_method method = correlation_method::exact_order; // cbo_method
};

// What one run keeps between its routines.
struct correlation_state {
    std::vector<double> x1; // series 1, x1(0..l1)
    std::vector<double> x2; // series 2, x2(0..l2)
    // Last index of each series (values less one; -1 for an empty file). 64 bits wide, so the
    // products and counts formed from them never overflow.
    std::int64_t l1 = -1;
    std::int64_t l2 = -1;
    double d = 0;          // mean square deviation of series 1
    std::vector<double> c; // C(0..l1)
};

enum class correlation_outcome { completed, stopped };

inline constexpr std::string_view load_routine = "correlation_functions_load_input_files";
inline constexpr std::string_view mean_routine = "correlation_functions_adjust_by_mean";
inline constexpr std::string_view msd_routine = "correlation_functions_calculate_msd";
inline constexpr std::string_view correlation_routine =
    "correlation_functions_calculate_correlation_function";

inline constexpr std::string_view correlation_done_title = "Processing Finished";
inline constexpr std::string_view correlation_done_text =
    "Correlation Function Calculation Complete";

// "Error - Input files are different lengths - File 1 = <l1> File 2 = <l2><LF CR>Returning to
// main menu", title "Fatal - Error".
std::string different_lengths_text(std::int64_t l1, std::int64_t l2);
// A series of one value has no n - 1 to divide by; said instead of a division by zero.
std::string single_value_text();

// Reads both files (every line one value, Val of the line; the last line must end with a line
// feed) and checks that their lengths agree.
bool correlation_functions_load_input_files(correlation_state& state,
                                            const correlation_settings& settings, JobUi& ui);
// Replaces each series by its deviations from its mean, the sum of its n values over n - 1.
bool correlation_functions_adjust_by_mean(correlation_state& state, JobUi& ui);
// D = (sum of x1(i)^2) / L1 - (sum of x1(i))^2 / (L1 * L1).
bool correlation_functions_calculate_msd(correlation_state& state, JobUi& ui);
// Sums C, applies the chosen scaling and writes the output file (an existing one is replaced).
bool correlation_functions_calculate_correlation_function(correlation_state& state,
                                                          const correlation_settings& settings,
                                                          JobUi& ui);

// The whole run of Execute: the routines in order, then "Correlation Function Calculation
// Complete" (title "Processing Finished") when none of them ended it. With `chart`, a completed
// run also gives C(tau) against tau.
correlation_outcome run_correlation(const correlation_settings& settings, JobUi& ui,
                                    chart_data* chart = nullptr);

} // namespace qm
