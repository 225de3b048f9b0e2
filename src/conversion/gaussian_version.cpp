#include "conversion/gaussian_version.h"

#include <cctype>

namespace qm {
namespace {

// Gaussian 98 on centres each header in a line of 71 columns; Gaussian 94 prints the title
// alone after 19 blanks.
constexpr table_header standard_98{
    "                         Standard orientation:",
    "                         Standard orientation:                         "};
constexpr table_header input_98{
    "                          Input orientation:",
    "                          Input orientation:                          "};
constexpr table_header standard_94{"                   Standard orientation:",
                                   "                   Standard orientation:"};
constexpr table_header input_94{"                   Input orientation:",
                                "                   Input orientation:"};

// Up to Gaussian 98 the heading is one line; from Gaussian 09 it runs over four, ending
//  incident light, reduced masses (AMU), force constants (mDyne/A),
//  and normal coordinates:
// Gaussian 03 revisions print either.
constexpr frequency_heading one_line_heading{
    "", " reduced masses (AMU), force constants (mDyne/A) and normal coordinates:"};
constexpr frequency_heading four_line_heading{
    " incident light, reduced masses (AMU), force constants (mDyne/A),", " and normal coordinates:"};

// From Gaussian 09 the centre number takes 7 columns and the atomic number ends in column 18,
// two further right than before; the coordinates stay in columns 38-46, 50-58 and 62-70.
constexpr std::size_t centre_98 = 5;
constexpr std::size_t after_label_98 = 20;
constexpr std::size_t centre_09 = 7;
constexpr std::size_t after_label_09 = 18;

constexpr std::string_view copyright = " Copyright (c) ";
constexpr std::string_view years_to_98 = "1988,1990,1992,1993,1995,1998,";
constexpr std::string_view company = "Gaussian, Inc.";

std::string_view without_leading_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The four-digit year at the start of `text` followed by a comma, consumed; 0 when none.
int take_year(std::string_view& text) {
    if (text.size() < 5 || text[4] != ',')
        return 0;
    int year = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return 0;
        year = year * 10 + (text[i] - '0');
    }
    text.remove_prefix(5);
    return year;
}

// The latest year of a banner after Gaussian 98's (a list "1988,...,1998,2003,...," or a span
// "1988-2019,"), followed by the company on the same line or opening the next; 0 otherwise.
int latest_banner_year(std::string_view line, std::string_view next) {
    if (!line.starts_with(copyright))
        return 0;
    std::string_view rest = line.substr(copyright.size());
    int latest = 0;
    if (rest.starts_with("1988-")) {
        rest.remove_prefix(5);
        latest = take_year(rest);
    } else if (rest.starts_with(years_to_98)) {
        rest.remove_prefix(years_to_98.size());
        while (const int year = take_year(rest))
            latest = year;
    }
    if (latest == 0)
        return 0;
    if (rest.empty())
        return without_leading_blanks(next).starts_with(company) ? latest : 0;
    return rest.starts_with(' ') && without_leading_blanks(rest).starts_with(company) ? latest : 0;
}

const gaussian_version* version_of_year(int year) {
    if (year >= 2016)
        return &gaussian_16;
    if (year >= 2009)
        return &gaussian_09;
    if (year >= 2003)
        return &gaussian_03;
    return nullptr;
}

} // namespace

const gaussian_version gaussian_94{"Gaussian 94",
                                   &g94_route,
                                   "       Copyright (c) 1988,1990,1992,1993,1995 Gaussian, Inc.",
                                   standard_94,
                                   input_94,
                                   5,
                                   9,
                                   {one_line_heading, {}}};

const gaussian_version gaussian_98{"Gaussian 98",
                                   &g98_route,
                                   " Copyright (c) 1988,1990,1992,1993,1995,1998 Gaussian, Inc.",
                                   standard_98,
                                   input_98,
                                   centre_98,
                                   after_label_98,
                                   {one_line_heading, {}}};

const gaussian_version gaussian_03{"Gaussian 03", &g98_route, "",        standard_98,
                                   input_98,      centre_98,  after_label_98,
                                   {four_line_heading, one_line_heading}};

const gaussian_version gaussian_09{"Gaussian 09", &g98_route, "",        standard_98,
                                   input_98,      centre_09,  after_label_09,
                                   {four_line_heading, {}}};

const gaussian_version gaussian_16{"Gaussian 16", &g98_route, "",        standard_98,
                                   input_98,      centre_09,  after_label_09,
                                   {four_line_heading, {}}};

const gaussian_version* banner_version(const gaussian_route& route, std::string_view line,
                                       std::string_view next) {
    for (const gaussian_version* v : {&gaussian_94, &gaussian_98})
        if (v->route == &route && line == v->banner)
            return v;
    const gaussian_version* later = version_of_year(latest_banner_year(line, next));
    return later != nullptr && later->route == &route ? later : nullptr;
}

bool banner_continues(std::string_view line) {
    return line.starts_with(copyright) && line.ends_with(',');
}

bool opens_frequency_section(const gaussian_version& version, std::string_view before,
                             std::string_view line) {
    for (const frequency_heading& h : version.frequency_headings)
        if (!h.line.empty() && line.starts_with(h.line) &&
            (h.line_before.empty() || before.starts_with(h.line_before)))
            return true;
    return false;
}

} // namespace qm
