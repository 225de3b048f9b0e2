// Reading one ORCA 5 or 6 TD-DFT/TDA/CIS output into the same record as a Gaussian output, so
// every root rule, time series and TDM routine works on it unchanged.
//
// The banner in the first lines names the program and its version:
//                                  * O   R   C   A *
//                          Program Version 6.0.0  -   RELEASE  -
//
// The states, singlets first, then triplets (ORCA 5 numbers them from 1 again under the
// triplet heading, ORCA 6 goes on after the singlets; both number them on in the spectrum):
//   TD-DFT/TDA EXCITED STATES (SINGLETS)
//   STATE  1:  E=   0.196682 au      5.352 eV    43166.7 cm**-1 <S**2> =   0.000000
//       33a ->  35a  :     0.563022 (c=  0.75034767)
// ORCA 6 adds "Sym: Bu Mult 1" to the state line. The eV value there has 3 decimals only, so the
// energy is the spectrum's eV column (ORCA 6) or the state line's hartree value converted
// (ORCA 5, whose spectrum has no eV column).
//
// Strengths and transition dipoles come from the spectrum of the electric dipole moments:
//   ORCA 5:  State   Energy    Wavelength  fosc         T2        TX        TY        TZ
//               1   43166.7    231.7   0.005267213   0.04017  -0.16816  -0.10906   0.00000
//               6   25241.0    396.2   spin forbidden (mult=3)
//   ORCA 6:  Transition      Energy     Energy  Wavelength fosc(D2)      D2        DX   DY   DZ
//             0-1Ag ->  2-1Bu   5.731321   46226.2   216.3   1.170940055   8.33915   2.88656 ...
// where "2-1Bu" is the second state of multiplicity 1 (symmetry Bu).
//
// The SCF energy is the "Total Energy       :" line of the SCF section (in Eh), not the final
// single point energy, which adds the followed root's excitation; the cycles are those of
// "SCF CONVERGED AFTER n CYCLES".
#pragma once

#include "ev_extract/excited_state_parser.h"

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// ORCA numbers its orbitals from 0, Gaussian and the window from 1: ORCA's orbital n is the
// window's orbital n + 1. The one place that mapping is made.
inline constexpr int orca_orbital_offset = 1;

// Hartree to eV as ORCA 5's state lines need it (CODATA 2018).
inline constexpr double orca_ev_per_hartree = 27.211386245988;

// "6.0.0" when the first lines hold ORCA's banner and its "Program Version" line.
std::optional<std::string> orca_banner_version(std::string_view text);

parsed_output parse_orca_output(std::string_view text, const parse_options& options);

} // namespace qm
