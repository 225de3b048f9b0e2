// The physical constants of the spectrum, fluctuation and Stokes shift function tools, each
// named once. They are the values these tools have always been checked against (not all of
// them the latest CODATA figures: k_B and c are CODATA 2018 exact, hc is rounded to 9
// significant digits).
#pragma once

#include <numbers>

namespace qm {

inline constexpr double boltzmann_ev_per_k = 8.617333262e-5; // k_B, eV/K
inline constexpr double wavenumbers_per_ev = 8065.543937;    // 1 eV in cm^-1
inline constexpr double light_cm_per_fs = 2.99792458e-5;     // c, cm/fs
inline constexpr double hc_ev_nm = 1239.84198;               // h c, eV nm: lambda = hc / E
// f = 4.319e-9 x integral of epsilon d(wavenumber), epsilon in L mol^-1 cm^-1, wavenumber in
// cm^-1: the oscillator strength of an absorption band.
inline constexpr double oscillator_strength_per_epsilon_area = 4.319e-9;

// Angular frequency in rad/fs of a wavenumber in cm^-1: omega = 2 pi c wavenumber.
inline double angular_frequency(double wavenumber) {
    return 2 * std::numbers::pi * light_cm_per_fs * wavenumber;
}

} // namespace qm
