#include "stokes/gap_fluctuations.h"

#include "platform/number_form.h"
#include "stokes/job_checks.h"
#include "stokes/spectral_density.h"
#include "stokes/spectroscopy_constants.h"
#include "stokes/stokes_shift_function.h"

#include <cmath>
#include <random>

namespace qm {
namespace {

constexpr double kt300 = boltzmann_ev_per_k * 300; // eV

// An Ornstein-Uhlenbeck energy gap: C(t) = s^2 exp(-t/tau) exactly, written as the extraction
// writes freqgapEV files (print form, CR LF).
std::string ornstein_uhlenbeck(std::size_t n, double step, double tau, double sigma,
                               unsigned seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> normal(0, 1);
    const double keep = std::exp(-step / tau);
    const double kick = sigma * std::sqrt(1 - keep * keep);
    double u = sigma * normal(rng);
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        text += print_form(static_cast<double>(i) * step) + print_form(2.5 + u) + "\r\n";
        u = keep * u + kick * normal(rng);
    }
    return text;
}

// The analytic case end to end: gap-fluctuations, its spectral density read back through the
// Time Dependent Stokes Shift window's reader, then tdss. Within the statistical error of
// 400000 points (about 2% on s^2 for tau = 100 fs), every result is the analytic one:
// lambda = s^2/2kT, C(t)/C(0) = S(t) = exp(-t/tau), and the build-up of lambda over the
// wavenumbers reaches C(0)/2kT.
TEST(GapFluctuations, OrnsteinUhlenbeckGivesTheAnalyticStatisticsCorrelationAndStokesShift) {
    const double step = 2, tau = 100, sigma = 0.05;
    test::temp_dir dir;
    test::write_file(dir / "freqgapEV.1", ornstein_uhlenbeck(400000, step, tau, sigma, 11));
    const auto r = test::run_cli({"gap-fluctuations", "--input", (dir / "freqgapEV.1").string(),
                                  "--max-lag", "800", "--correlation",
                                  (dir / "c.csv").string(), "--spectral-density",
                                  (dir / "J.dat").string()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Information: Energy Gap Fluctuations: Mean = 2."), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("dt = 2 fs, N = 400000, M = 400\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Warning"), std::string::npos); // a Gaussian process has no skew

    gap_fluctuation_settings settings;
    settings.max_lag = 800;
    const auto series = read_energy_gap_series(dir / "freqgapEV.1");
    const gap_fluctuation_results g = analyse_energy_gap(series, settings);
    EXPECT_NEAR(g.sigma, sigma, 0.02 * sigma);
    EXPECT_NEAR(g.reorganisation_energy, sigma * sigma / (2 * kt300), 0.05 * sigma * sigma / (2 * kt300));
    EXPECT_DOUBLE_EQ(g.reorganisation_energy, g.sigma * g.sigma / (2 * kt300));
    EXPECT_LT(std::abs(g.skewness), 0.05);
    for (std::size_t k = 0; k <= 200; k += 10)
        EXPECT_NEAR(g.correlation[k] / g.correlation[0], std::exp(-2.0 * k / tau), 0.04) << k;
    // lambda(nu) tends to C(0)/2kT: the grid's end (4000 cm^-1, 40 widths of the Lorentzian
    // spectrum out) leaves about 1% of it.
    EXPECT_NEAR(g.cumulative_lambda.back(), g.correlation[0] / (2 * kt300) * wavenumbers_per_ev,
                0.02 * g.correlation[0] / (2 * kt300) * wavenumbers_per_ev);

    const auto c_lines = test::lines_of(test::read_file(dir / "c.csv"));
    ASSERT_EQ(c_lines.size(), 402u);
    EXPECT_EQ(c_lines[0], "time_fs,c_ev2,c_over_c0");
    EXPECT_EQ(c_lines[1], "0," + round_trip_form(g.correlation[0]) + ",1");

    // The spectral density file reads back whole, every number as written.
    test::recording_ui ui;
    const spectral_density_result table = read_spectral_density(dir / "J.dat", ui);
    ASSERT_EQ(table.outcome, spectral_density_outcome::completed);
    ASSERT_EQ(table.table.row_count, 4001);
    for (std::size_t j = 0; j < 4001; j += 500)
        EXPECT_EQ(table.table.rows[j],
                  (std::array<double, 3>{g.wavenumbers[j], g.spectral_density[j],
                                         g.cumulative_lambda[j]}));

    ASSERT_EQ(test::run_cli({"tdss", "--input", (dir / "J.dat").string(), "--output",
                             (dir / "S.csv").string(), "--t-max", "400", "--t-step", "2"})
                  .status,
              0);
    const auto s_lines = test::lines_of(test::read_file(dir / "S.csv"));
    ASSERT_EQ(s_lines.size(), 202u);
    EXPECT_EQ(s_lines[0] + " " + s_lines[1], "time_fs,s 0,1");
    for (std::size_t i = 1; i <= 200; i += 10) {
        const auto comma = s_lines[i].find(',');
        const double t = std::stod(s_lines[i].substr(0, comma));
        EXPECT_NEAR(std::stod(s_lines[i].substr(comma + 1)), std::exp(-t / tau), 0.05) << t;
    }
    const stokes_shift_function s = compute_stokes_shift_function(table.table, {400, 2});
    EXPECT_NEAR(s.reorganisation_energy, g.reorganisation_energy * wavenumbers_per_ev,
                0.03 * g.reorganisation_energy * wavenumbers_per_ev);
}

// A four-point series worked by hand: mean 2.5, deviations -1.5 -0.5 0.5 1.5, s^2 = 1.25,
// C = 1.25, 0.3125, -0.375 (sums over N, not over the terms), and at nu = 0 the trapezoid
// I(0) = dt (C0/2 + C1 + C2/2); with damping tau_d = dt the lags shrink by e^-k.
TEST(GapFluctuations, FourPointsWorkedByHand) {
    const energy_gap_series series{{1, 2, 3, 4}, 0.5};
    gap_fluctuation_settings settings;
    settings.max_lag = 1; // M = 2
    settings.wavenumber_max = 1;
    auto r = analyse_energy_gap(series, settings);
    ASSERT_EQ(r.correlation.size(), 3u); // by FFT: equal within rounding
    const double c[] = {1.25, 0.3125, -0.375};
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(r.correlation[k], c[k], 1e-15);
    EXPECT_EQ(r.wavenumbers, (std::vector<double>{0, 1}));
    EXPECT_EQ(r.spectral_density[0], 0);
    EXPECT_EQ(r.skewness, 0);
    const double i0 = 0.5 * (1.25 / 2 + 0.3125 - 0.375 / 2);
    const double omega = angular_frequency(1);
    const double i1 = 0.5 * (1.25 / 2 + 0.3125 * std::cos(omega * 0.5) -
                             0.375 * std::cos(omega * 1.0) / 2);
    EXPECT_NEAR(r.spectral_density[1], omega * i1 / kt300 * wavenumbers_per_ev, 1e-12);
    EXPECT_NEAR(r.cumulative_lambda[1],
                omega * (i0 + i1) / 2 / (std::numbers::pi * kt300) * wavenumbers_per_ev, 1e-12);
    settings.damping = 0.5;
    r = analyse_energy_gap(series, settings);
    EXPECT_NEAR(r.spectral_density[1] / (omega / kt300 * wavenumbers_per_ev),
                0.5 * (1.25 / 2 + 0.3125 * std::exp(-1.0) * std::cos(omega * 0.5) -
                       0.375 * std::exp(-2.0) * std::cos(omega * 1.0) / 2),
                1e-12);
    // Skewed: one big excursion among small ones.
    const auto skewed = analyse_energy_gap({{0, 0, 0, 0, 0, 0, 0, 1}, 1}, settings);
    EXPECT_GT(skewed.skewness, 0.3);
    EXPECT_NE(gap_fluctuation_summary(skewed).find("\n\rWarning: |skewness| > 0.3"),
              std::string::npos);
}

// Every series that cannot be used is one message naming the file and line; nothing is
// written then.
TEST(GapFluctuations, DamagedSeriesAreAMessageNamingTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {" 0  1 \r\n 1  2 \r\n 2.5  3 \r\n", "line 3: the time step is not uniform (first step 1 fs, here 1.5 fs)"},
        {"0 1\n1 x\n2 3\n", "line 2: \"x\" is not a number"},
        {"0 1\n1\n2 3\n", "line 2: two columns expected: time (fs) and energy (eV)"},
        {"0 1\n0 2\n", "line 2: the times must rise"},
        {"0 1\n\n1 2\n", ": a series needs at least three points"},
        {"0 1\n1 1\n2 1\n", "The energy gap does not fluctuate: its variance is 0"},
    };
    for (const auto& [input, problem] : cases) {
        SCOPED_TRACE(input);
        test::temp_dir dir;
        test::write_file(dir / "gap.dat", input);
        test::recording_ui ui;
        gap_fluctuation_settings settings;
        settings.input = dir / "gap.dat";
        settings.spectral_density = dir / "J.dat";
        EXPECT_EQ(run_gap_fluctuations(settings, ui), gap_fluctuation_outcome::stopped);
        const std::string box = test::only_box(ui.messages);
        EXPECT_NE(box.find(problem), std::string::npos) << box;
        EXPECT_EQ(box.rfind("Exclamation: Energy Gap Fluctuations: ", 0), 0u) << box;
        EXPECT_FALSE(std::filesystem::exists(dir / "J.dat"));
        EXPECT_FALSE(ui.busy_now);
    }
    // Tabs and blank lines between the points are fine.
    test::temp_dir dir;
    test::write_file(dir / "gap.dat", "0\t1\n\n1\t2\n  \n2\t4\n");
    EXPECT_EQ(read_energy_gap_series(dir / "gap.dat").energies, (std::vector<double>{1, 2, 4}));
}

} // namespace
} // namespace qm
