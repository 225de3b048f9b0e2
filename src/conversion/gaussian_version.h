// The Gaussian versions the convertor reads, each with the layout rules of its output, and the
// banner that tells them apart. The Gaussian 94 route reads Gaussian 94 alone; the Gaussian 98
// route reads Gaussian 98 and its successors 03, 09 and 16.
//
// The copyright banner, within the first 14 lines of every output:
//
//  Copyright (c) 1988,1990,1992,1993,1995,1998 Gaussian, Inc.                   Gaussian 98
//  Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2004, Gaussian, Inc.       Gaussian 03
//  Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2009, Gaussian, Inc.       Gaussian 09 A
//  Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2009,2013,                 Gaussian 09 D
//             Gaussian, Inc.  All Rights Reserved.
//  Copyright (c) 1988,1990,1992,1993,1995,1998,2003,2009,2016,                 Gaussian 16 A
//             Gaussian, Inc.  All Rights Reserved.
//  Copyright (c) 1988-2019, Gaussian, Inc.  All Rights Reserved.                Gaussian 16 C
//
// The latest year names the version: 2003 to 2008 Gaussian 03, 2009 to 2015 Gaussian 09, 2016
// on Gaussian 16. (The "Gaussian 16, Revision A.03" line of the citation stands some 60 lines
// further down, beyond the lines the test reads.) Gaussian 94 and 98 banners match whole.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace qm {

// The routines of a route, named in its error reports whatever version the file is.
struct gaussian_route {
    std::string_view test_routine;
    std::string_view extract_routine;
    std::string_view multiple_routine;
};

inline constexpr gaussian_route g98_route{"g98_test", "g98_extract", "g98_multiple_extract"};
inline constexpr gaussian_route g94_route{"g94_test", "g94_extract", "g94_multiple_extract"};

// The table a Gaussian output's geometries are read from: the Standard orientation, or, in a
// job run with NoSymm (which prints none), the Input orientation, laid out alike.
enum class orientation { standard, input };

// The header line above a table of one orientation.
struct table_header {
    std::string_view start; // a header line begins with this (single geometry)
    std::string_view line;  // ... and is exactly this (every geometry)
};

// The heading of the frequency section ends with `line` (a line beginning with it), directly
// after a line beginning with `line_before` when that is not empty.
struct frequency_heading {
    std::string_view line_before;
    std::string_view line;
};

struct gaussian_version {
    std::string_view name;       // "Gaussian 09"
    const gaussian_route* route; // the route that reads it
    std::string_view banner;     // the whole banner line (94 and 98; later ones vary)
    table_header standard_header;
    table_header input_header;
    std::size_t centre_columns;      // the centre number's columns, before the atomic number
    std::size_t columns_after_label; // from the atomic number's end to the x text
    // Either heading opens the frequency section; an unused one is empty.
    std::array<frequency_heading, 2> frequency_headings;

    const table_header& header(orientation table) const {
        return table == orientation::standard ? standard_header : input_header;
    }
};

extern const gaussian_version gaussian_94;
extern const gaussian_version gaussian_98;
extern const gaussian_version gaussian_03;
extern const gaussian_version gaussian_09;
extern const gaussian_version gaussian_16;

// The version, among those `route` reads, whose banner begins on `line`; `next` is the line
// after it, which carries the rest of the two-line banners. nullptr for any other line.
const gaussian_version* banner_version(const gaussian_route& route, std::string_view line,
                                       std::string_view next);

// Whether `line` opens a banner whose rest stands on the next line (its year list ends in a
// comma at the end of the line).
bool banner_continues(std::string_view line);

// Whether the frequency section's heading ends on `line` (`before` is the line above it).
bool opens_frequency_section(const gaussian_version& version, std::string_view before,
                             std::string_view line);

} // namespace qm
