#include "stokes/stokes_shift_function.h"

#include "stokes/job_checks.h"
#include "stokes/spectroscopy_constants.h"

#include <cmath>
#include <numbers>

namespace qm {
namespace {

spectral_density_table table_of(std::vector<std::array<double, 3>> rows) {
    spectral_density_table t;
    t.row_count = static_cast<std::int32_t>(rows.size());
    t.rows = std::move(rows);
    return t;
}

// Rows of wavenumber 0 are passed over; the trapezoid weights follow the remaining rows' own
// uneven spacing (10, 20, 50: weights 5, 20, 15); the times run to t_max included.
TEST(StokesShiftFunction, WeightsFollowTheRowsOwnSpacingAndPassOverZero) {
    const auto table = table_of({{0, 99, 0}, {10, 1, 0}, {20, 2, 0}, {50, 3, 0}, {7, 7, 7}});
    auto open_row = table;
    open_row.row_count = 4; // the fifth row is the open one: never used
    const stokes_shift_function s = compute_stokes_shift_function(open_row, {3, 1.5});
    EXPECT_EQ(s.times, (std::vector<double>{0, 1.5, 3}));
    const double w[] = {5, 20, 15}, nu[] = {10, 20, 50}, j[] = {1, 2, 3};
    double norm = 0, at3 = 0, lambda = 0;
    for (int i = 0; i < 3; ++i) {
        const double omega = angular_frequency(nu[i]);
        norm += w[i] * j[i] / omega;
        at3 += w[i] * j[i] / omega * std::cos(omega * 3);
        lambda += w[i] * j[i] / nu[i];
    }
    EXPECT_EQ(s.values[0], 1);
    EXPECT_NEAR(s.values[2], at3 / norm, 1e-15);
    EXPECT_NEAR(s.reorganisation_energy, lambda / std::numbers::pi, 1e-14);
    EXPECT_EQ(stokes_shift_function_csv(s).substr(0, 18), "time_fs,s\n0,1\n1.5,");
}

TEST(StokesShiftFunction, TablesAndGridsWithoutAFunctionAreAMessage) {
    const std::pair<spectral_density_table, std::string> cases[] = {
        {table_of({{0, 1, 0}, {10, 1, 0}}), "at least two rows with a wavenumber other than 0"},
        {table_of({{10, 0, 0}, {20, 0, 0}}), "the sum of W J / omega is 0"},
    };
    for (const auto& [table, problem] : cases) {
        test::temp_dir dir;
        test::recording_ui ui;
        EXPECT_FALSE(run_stokes_shift_function(table, {}, dir / "S.csv", ui));
        EXPECT_NE(test::only_box(ui.messages).find(problem), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(dir / "S.csv"));
    }
    EXPECT_THROW(compute_stokes_shift_function(table_of({{1, 1, 0}, {2, 1, 0}}), {10, 0}),
                 stokes_shift_function_problem);
}

} // namespace
} // namespace qm
