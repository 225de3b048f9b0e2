// A chart's points as CSV for other programs.
#include "platform/chart_data.h"
#include "platform/number_form.h"

#include "support/as_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::each;

// Shortest round-trip: reads back to the very same double, and a negative zero is a zero.
TEST(ChartCsv, NumbersReadBackExactlyInTheShortestForm) {
    EXPECT_EQ(each(round_trip_form, {0.1, 0.1 + 0.2, -0.0, 1e-5, 2.0 / 3.0, 1e300, -42.0}),
              "0.1|0.30000000000000004|0|1e-05|0.6666666666666666|1e+300|-42|");
    for (const double v : {0.1 + 0.2, std::nextafter(1.0, 2.0), 6.02214076e23,
                           std::numeric_limits<double>::denorm_min()}) {
        const std::string text = round_trip_form(v);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, v) << text;
    }
}

TEST(ChartCsv, HeaderNamesTheAxesWithUnitsAndEveryLineFollows) {
    chart_data chart{"C(t)", "Lag (fs)", "", {{"auto, 1", {{0, 1}, {2.5, 0.25}}}, {"mark", {{1, -0.0}}, true}}};
    EXPECT_EQ(chart_csv(chart), "series,lag_fs,y\n"
                                "\"auto, 1\",0,1\n"
                                "\"auto, 1\",2.5,0.25\n"
                                "mark,1,0\n");
    EXPECT_EQ(each([](const char* t) { return column_name(t, "x"); },
                   {"Energy (eV)", "  Time / ps ", "\xc3\x85ngstr\xc3\xb6m", "", "()",
                    "\xcf\x84 (data points)", "C(\xcf\x84) / C(0)"}),
              "energy_ev|time_ps|ngstr_m|x|x|tau_data_points|c_tau_c_0|");
    EXPECT_EQ(chart_csv({}), "series,x,y\n");
}

} // namespace
} // namespace qm
