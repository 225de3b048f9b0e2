// Builders of Gaussian 98 and 94 output texts in the programs' own layouts, for tests.
#pragma once

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
// Gaussian 16's banner runs over two lines.
inline const std::string g16_banner_start =
    " Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2009,2016,";
inline const std::string g16_banner_end = "            Gaussian, Inc.  All Rights Reserved.";
inline const std::string g98_header =
    "                         Standard orientation:                         ";
inline const std::string g94_header = "                   Standard orientation:";

// A number right-aligned in `width` columns with `decimals` decimals (Fortran Fw.d).
inline std::string fixed(double value, int width, int decimals) {
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
    std::string text(buf, end);
    return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0,
                       ' ') +
           text;
}

inline std::string right(long long n, int width) {
    return fixed(static_cast<double>(n), width, 0);
}

inline std::string g98_table(const std::vector<test_atom>& atoms,
                             const std::string& header = g98_header, bool from_g09 = false) {
    const std::string rule(70, '-');
    std::string t = header + "\n " + rule + "\n" +
                    " Center     Atomic     Atomic              Coordinates (Angstroms)\n"
                    " Number     Number      Type              X           Y           Z\n " +
                    rule + "\n";
    // From Gaussian 09 the centre and atomic numbers stand two columns further right.
    const int centre_width = from_g09 ? 7 : 5, type_width = from_g09 ? 12 : 14;
    int centre = 0;
    for (const auto& a : atoms)
        t += right(++centre, centre_width) + right(a.atomic_number, 11) + right(0, type_width) +
             "    " + fixed(a.x, 12, 6) + fixed(a.y, 12, 6) + fixed(a.z, 12, 6) + "\n";
    return t + " " + rule + "\n";
}

inline std::string g94_table(const std::vector<test_atom>& atoms,
                             const std::string& header = g94_header) {
    const std::string rule(58, '-');
    std::string t = header + "\n " + rule + "\n" +
                    " Center     Atomic              Coordinates (Angstroms)\n"
                    " Number     Number             X           Y           Z\n " +
                    rule + "\n";
    int centre = 0;
    for (const auto& a : atoms)
        t += right(++centre, 5) + right(a.atomic_number, 11) + "       " + fixed(a.x, 12, 6) +
             fixed(a.y, 12, 6) + fixed(a.z, 12, 6) + "\n";
    return t + " " + rule + "\n";
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
    int mode = 0;
    for (int size : block_sizes) {
        std::string numbers, symmetry, freq = " Frequencies --", red = " Red. masses --",
                                       frc = " Frc consts  --", ir = " IR Inten    --",
                                       ram = " Raman Activ --", dep = " Depolar     --",
                                       head = " Atom AN";
        for (int j = 0; j < size; ++j) {
            ++mode;
            numbers += right(mode, j == 0 ? 22 : 23);
            symmetry += std::string(j == 0 ? 20 : 21, ' ') + "A\"";
            freq += fixed(100.0 * mode + 0.1234, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            red += fixed(1.0, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            frc += fixed(0.5, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            ir += fixed(mode + 0.1, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            ram += fixed(mode - 0.5, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            dep += fixed(0.75, 11, 4) + std::string(j + 1 < size ? 12 : 0, ' ');
            head += "      X      Y      Z  ";
        }
        t += numbers + "\n" + symmetry + "\n" + freq + "\n" + red + "\n" + frc + "\n" + ir + "\n";
        if (raman)
            t += ram + "\n";
        t += dep + "\n" + head + "\n";
        for (int a = 1; a <= atoms; ++a) {
            t += right(a, 4) + right(6, 4) + "  ";
            for (int j = 0; j < size; ++j)
                t += "   0.00   0.10  -0.20  ";
            t += "\n";
        }
    }
    return t + "\n -------------------\n - Thermochemistry -\n -------------------\n";
}

} // namespace qm::test
