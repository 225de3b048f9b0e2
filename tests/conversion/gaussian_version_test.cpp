#include "conversion/gaussian_version.h"

#include "support/gaussian_files.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The latest year names the version; a banner of the Gaussian 94 route, one whose second line
// is not the company's, one with a CR LF line end or with no known year is none.
TEST(BannerVersion, EveryVersionByItsYears) {
    const std::string years = " Copyright (c) 1988,1990,1992,1993,1995,1998,";
    const auto versions = [](const std::string& next, std::initializer_list<std::string> lines) {
        std::string names;
        for (const std::string& line : lines) {
            const gaussian_version* v = banner_version(g98_route, line, next);
            names += (v ? std::string(v->name) : "none") + "|";
        }
        return names;
    };
    EXPECT_EQ(versions("", {years + "2003, Gaussian, Inc.", years + "2003,2004, Gaussian, Inc.",
                            years + "2003,2009, Gaussian, Inc.",
                            " Copyright (c) 1988-2019, Gaussian, Inc.  All Rights Reserved.",
                            test::g94_banner, years + "1999, Gaussian, Inc.",
                            years + "20O3, Gaussian, Inc."}),
              "Gaussian 03|Gaussian 03|Gaussian 09|Gaussian 16|none|none|none|");
    EXPECT_EQ(
        versions(test::g16_banner_end, {test::g98_banner, years + "2003,2009,2013,",
                                        years + "2003,2009,2016,", years + "2003,2009,2016,\r"}),
        "Gaussian 98|Gaussian 09|Gaussian 16|none|");
    EXPECT_EQ(versions("                  All Rights Reserved.", {years + "2003,2009,2016,"}),
              "none|");
    EXPECT_EQ(banner_version(g94_route, test::g94_banner, ""), &gaussian_94);
    EXPECT_EQ(banner_version(g94_route, years + "2003,2009,2016,", test::g16_banner_end), nullptr);
}

} // namespace
} // namespace qm
