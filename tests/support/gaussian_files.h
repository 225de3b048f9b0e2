// Builders of Gaussian 98 and 94 output texts in the programs' own layouts, for tests.
#pragma once

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace qm::test {

struct test_atom {
    int atomic_number;
    double x, y, z;
};

inline const std::string g98_banner = " Copyright (c) 1988,1990,1992,1993,1995,1998 Gaussian, Inc.";
inline const std::string g94_banner =
    "       Copyright (c) 1988,1990,1992,1993,1995 Gaussian, Inc.";
inline const std::string g16_banner_start =
    " Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2009,2016,";
inline const std::string g16_banner_end = "            Gaussian, Inc.  All Rights Reserved.";
inline const std::string g98_header =
    "                         Standard orientation:                         ";
inline const std::string g94_header = "                   Standard orientation:";
// What a NoSymm job prints instead.
inline const std::string g98_input_header =
    "                          Input orientation:                          ";

// A number right-aligned in `width` columns with `decimals` decimals (Fortran Fw.d).
// to_chars, not printf: the windows' tests run under the user's locale, whose decimal point
// may be a comma.
inline std::string fixed(double value, int width, int decimals) {
    char buf[64];
    const std::string text(
        buf, std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr);
    return std::string(std::max(0, width - static_cast<int>(text.size())), ' ') + text;
}

// Rules of `rule` dashes around the heads, a row per atom: numbers, `type_columns`, x, y, z.
inline std::string orientation_table(const std::vector<test_atom>& atoms, const std::string& header,
                                     int rule, const char* heads, int centre_width,
                                     const std::string& type_columns) {
    const std::string line = " " + std::string(rule, '-') + "\n";
    std::string t = header + "\n" + line + heads + line;
    int centre = 0;
    for (const auto& a : atoms)
        t += fixed(++centre, centre_width, 0) + fixed(a.atomic_number, 11, 0) + type_columns +
             fixed(a.x, 12, 6) + fixed(a.y, 12, 6) + fixed(a.z, 12, 6) + "\n";
    return t + line;
}

// From Gaussian 09 the centre and atomic numbers stand two columns further right.
inline std::string g98_table(const std::vector<test_atom>& atoms,
                             const std::string& header = g98_header, bool from_g09 = false) {
    return orientation_table(
        atoms, header, 70,
        " Center     Atomic     Atomic              Coordinates (Angstroms)\n"
        " Number     Number      Type              X           Y           Z\n",
        from_g09 ? 7 : 5, fixed(0, from_g09 ? 12 : 14, 0) + "    ");
}

inline std::string g94_table(const std::vector<test_atom>& atoms,
                             const std::string& header = g94_header) {
    return orientation_table(atoms, header, 58,
                             " Center     Atomic              Coordinates (Angstroms)\n"
                             " Number     Number             X           Y           Z\n",
                             5, "       ");
}

// Seven lines of preamble with the banner on line `banner_line` (1-based), then `body`.
inline std::string gaussian_output(const std::string& banner, const std::string& body,
                                   int banner_line = 8) {
    std::string text;
    for (int line = 1; line < banner_line; ++line)
        text += " Entering Gaussian System, Link 0=g98\n";
    return text + banner + "\n" + " Cite this work as:\n" + body + " Normal termination.\n";
}

inline const std::vector<test_atom> water = {
    {8, 0.0, 0.0, 0.119262}, {1, 0.0, 0.763239, -0.477047}, {1, 0.0, -0.763239, -0.477047}};

// A frequency section: one block per entry of `block_sizes`, for `atoms` atoms; frequencies
// 100, 200, ... with IR intensities 1.1, 2.1, ... and Raman activities 0.5, 1.5, ...
inline std::string frequency_section(const std::vector<int>& block_sizes, int atoms,
                                     bool raman = true) {
    std::string t = " Harmonic frequencies (cm**-1), IR intensities (KM/Mole),\n"
                    " reduced masses (AMU), force constants (mDyne/A) and normal coordinates:\n";
    int first = 1;
    for (const int size : block_sizes) {
        const int last = first + size - 1;
        // `label`, then base + step * mode for every mode of the block, 12 blanks apart.
        const auto row = [&](const char* label, double base, double step) {
            std::string r = label;
            for (int m = first; m <= last; ++m)
                r += std::string(m > first ? 12 : 0, ' ') + fixed(base + step * m, 11, 4);
            return r + "\n";
        };
        std::string numbers, symmetry, head = " Atom AN", motion;
        for (int m = first; m <= last; ++m) {
            numbers += fixed(m, m == first ? 22 : 23, 0);
            symmetry += std::string(m == first ? 20 : 21, ' ') + "A\"";
            head += "      X      Y      Z  ";
            motion += "   0.00   0.10  -0.20  ";
        }
        t += numbers + "\n" + symmetry + "\n" + row(" Frequencies --", 0.1234, 100) +
             row(" Red. masses --", 1, 0) + row(" Frc consts  --", 0.5, 0) +
             row(" IR Inten    --", 0.1, 1) + (raman ? row(" Raman Activ --", -0.5, 1) : "") +
             row(" Depolar     --", 0.75, 0) + head + "\n";
        for (int a = 1; a <= atoms; ++a)
            t += fixed(a, 4, 0) + fixed(6, 4, 0) + "  " + motion + "\n";
        first = last + 1;
    }
    return t + "\n -------------------\n - Thermochemistry -\n -------------------\n";
}

} // namespace qm::test
