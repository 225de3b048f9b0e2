#include "correlation/fft_correlation.h"

#include <unsupported/Eigen/FFT>

#include <algorithm>
#include <complex>

namespace qm {

std::size_t fft_correlation_length(std::size_t n) {
    // At least 2: the half-spectrum transform of a real series wants an even length.
    std::size_t length = 2;
    while (length < 2 * n - 1)
        length *= 2;
    return length;
}

std::vector<double> fft_correlation(std::span<const double> x1, std::span<const double> x2,
                                    std::size_t max_lag) {
    const std::size_t n = std::min(x1.size(), x2.size());
    if (n == 0)
        return {};
    const std::size_t lags = std::min(max_lag, n - 1) + 1;
    const std::size_t length = fft_correlation_length(n);
    const bool same = x1.data() == x2.data() && x1.size() == x2.size();

    // Eigen's FFT (KISS FFT underneath) with half spectra: a real series of even length has a
    // conjugate-symmetric transform, so only its bins 0..length/2 are formed.
    Eigen::FFT<double> fft;
    fft.SetFlag(Eigen::FFT<double>::HalfSpectrum);
    std::vector<double> padded(length, 0.0);
    std::vector<std::complex<double>> spectrum1, spectrum2;
    std::copy_n(x1.begin(), n, padded.begin());
    fft.fwd(spectrum1, padded);
    if (!same) {
        std::fill(padded.begin(), padded.end(), 0.0);
        std::copy_n(x2.begin(), n, padded.begin());
        fft.fwd(spectrum2, padded);
    }
    // Correlation theorem: sum_i x2(i) x1(i + tau) is the inverse transform of X1 conj(X2).
    for (std::size_t k = 0; k < spectrum1.size(); ++k)
        spectrum1[k] *= std::conj(same ? spectrum1[k] : spectrum2[k]);
    // Eigen's inverse transform divides by the length already.
    fft.inv(padded, spectrum1, length);
    padded.resize(lags);
    return padded;
}

} // namespace qm
