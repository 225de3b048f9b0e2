#include "stokes/ensemble_spectrum.h"

#include "platform/number_form.h"
#include "stokes/job_checks.h"
#include "stokes/spectroscopy_constants.h"
#include "stokes/stokes_shift_summary.h"

#include <cmath>
#include <numbers>

namespace qm {
namespace {

const std::string table_header =
    "file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,osc_strength,"
    "tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root\n";

// Two snapshots of two states each, the first state of each file chosen as root 1; a triplet
// of f = 0 and empty TDM cells, as the extraction writes them.
const std::string two_snapshots =
    table_header +
    "1,run/gap1.gout,0.5,1,Singlet,Singlet-A,3.0,413.28,0.4,0.1,0.2,0.3,1\n"
    "1,run/gap1.gout,0.5,2,Triplet,Triplet-A,3.2,387.45,0,,,,\n"
    "2,\"run/gap,2.gout\",1,1,Singlet,Singlet-A,3.1,399.95,0.2,0.1,0.2,0.3,1\n"
    "2,\"run/gap,2.gout\",1,2,Singlet,Singlet-A,3.5,354.24,0.6,0.1,0.2,0.3,\n";

double gaussian(double x, double fwhm) {
    const double s = fwhm / (2 * std::sqrt(2 * std::log(2.0)));
    return std::exp(-x * x / (2 * s * s)) / (s * std::sqrt(2 * std::numbers::pi));
}

spectrum_settings settings_for(const std::filesystem::path& input) {
    spectrum_settings s;
    s.input = input;
    return s;
}

// S(E) = (1/N) sum f g(E - E_i) with N the files of the table (also under --states chosen),
// on the default grid from the lowest state - 3 FWHM to the highest + 3 FWHM by 0.005 eV.
TEST(EnsembleSpectrum, StatesTableAveragesOverItsFilesOnTheDefaultGrid) {
    test::temp_dir dir;
    test::write_file(dir / "states.csv", two_snapshots);
    spectrum_settings s = settings_for(dir / "states.csv");
    const spectrum_states all = read_spectrum_states(s);
    EXPECT_EQ(all.snapshots, 2);
    ASSERT_EQ(all.states.size(), 4u);
    const ensemble_spectrum spectrum = broaden_states(all, s);
    // 2.4 .. 4.1 by 0.005: 341 points.
    ASSERT_EQ(spectrum.energies.size(), 341u);
    EXPECT_DOUBLE_EQ(spectrum.energies.front(), 3.0 - 0.6);
    EXPECT_NEAR(spectrum.energies.back(), 3.5 + 0.6, 1e-12);
    for (const std::size_t j : {0u, 100u, 140u, 340u}) {
        const double e = spectrum.energies[j];
        const double want = (0.4 * gaussian(e - 3.0, 0.2) + 0.2 * gaussian(e - 3.1, 0.2) +
                             0.6 * gaussian(e - 3.5, 0.2)) / 2;
        EXPECT_NEAR(spectrum.density[j], want, 1e-13 * want) << e; // within the rounding of the recurrence
    }
    s.states = state_choice::chosen;
    const spectrum_states chosen = read_spectrum_states(s);
    EXPECT_EQ(chosen.snapshots, 2);
    ASSERT_EQ(chosen.states.size(), 2u);
    EXPECT_EQ(chosen.states[1].energy, 3.1);
    // Lorentzian of FWHM 0.2: gamma = 0.1, on a grid of the settings' own.
    s.shape = line_shape::lorentzian;
    s.from = 3.0;
    s.to = 3.1;
    s.step = 0.05;
    const ensemble_spectrum lorentz = broaden_states(chosen, s);
    ASSERT_EQ(lorentz.energies.size(), 3u);
    const double g0 = (0.1 / std::numbers::pi) / (0.01);
    const double g1 = (0.1 / std::numbers::pi) / (0.01 + 0.01);
    EXPECT_NEAR(lorentz.density[0], (0.4 * g0 + 0.2 * g1) / 2, 1e-13);
}

// The CSV has its header, every grid point with its wavelength, wavenumber, epsilon and the
// intensity that is 1 at the peak; the Stokes file read by the Stokes shift window's reader
// finds its peak at the grid point of the maximum.
TEST(EnsembleSpectrum, OutputsReadBackThroughTheStokesShiftReader) {
    test::temp_dir dir;
    test::write_file(dir / "two.dat", "3.0 0.5\r\n\r\n3.4\t0.25\r\n");
    spectrum_settings s = settings_for(dir / "two.dat");
    s.output = dir / "spectrum.csv";
    s.stokes_file = dir / "absfq.dat";
    // Steps that are binary fractions put the grid points exactly on the states.
    s.from = 2.5;
    s.step = 0.125;
    test::recording_ui ui;
    ASSERT_EQ(run_spectrum(s, ui), spectrum_outcome::completed);
    EXPECT_EQ(test::only_box(ui.messages),
              "Information: Spectrum from Excited States: 2 states of 1 snapshots, peak at 3 eV "
              "(413.28066 nm)");
    const auto csv = test::lines_of(test::read_file(dir / "spectrum.csv"));
    ASSERT_EQ(csv.size(), 1u + 13u); // 2.5 .. 4.0
    EXPECT_EQ(csv[0], std::string(spectrum_csv_header));
    const double peak = 0.5 * gaussian(0, 0.2) + 0.25 * gaussian(-0.4, 0.2);
    const std::string peak_line = csv[5];
    EXPECT_EQ(peak_line.substr(0, peak_line.find(',')), "3");
    EXPECT_EQ(peak_line.substr(peak_line.rfind(',')), ",1");
    double wavelength = 0, wavenumber = 0, density = 0, epsilon = 0;
    ASSERT_EQ(std::sscanf(peak_line.c_str(), "3,%lf,%lf,%lf,%lf", &wavelength, &wavenumber,
                          &density, &epsilon),
              4);
    EXPECT_EQ(wavelength, hc_ev_nm / 3);
    EXPECT_EQ(wavenumber, 3 * wavenumbers_per_ev);
    EXPECT_NEAR(density, peak, 1e-15);
    EXPECT_DOUBLE_EQ(epsilon, density / (4.319e-9 * 8065.543937));

    std::vector<chart_point> points;
    const spectrum_totals totals = read_spectrum(dir / "absfq.dat", &points);
    EXPECT_EQ(points.size(), 13u);
    EXPECT_NEAR(totals.peak_energy, 3.0, 1e-14);
    // The Stokes shift of two such spectra is the distance of their peaks on the grid.
    spectrum_settings emission = s;
    test::write_file(dir / "emis.dat", "2.6 0.5\n2.2 0.1\n");
    emission.input = dir / "emis.dat";
    emission.from = 1.5; // the peak's grid point is 2.625
    emission.output.clear();
    emission.stokes_file = dir / "emisfq.dat";
    ASSERT_EQ(run_spectrum(emission, ui), spectrum_outcome::completed);
    stokes_shift_settings summary{dir.path().string() + "/", dir / "summary.dat"};
    const stokes_shift_result shift = stokes_shift_summary(summary, ui);
    ASSERT_EQ(shift.outcome, stokes_shift_outcome::completed);
    EXPECT_NEAR(shift.stokes_shift, 3.0 - 2.625, 1e-13);
}

// Damaged input is one message naming the file and line; nothing is written.
TEST(EnsembleSpectrum, DamagedInputIsAMessageNamingTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {table_header + "1,a,0.5,1,Singlet,S,x,1,0.1,,,,1\n",
         ": line 2: energy_ev \"x\" is not a number"},
        {table_header + "1,a,0.5,1,Singlet,S,3,1,0.1,,,\n", ": line 2: 12 cells where the header names 13"},
        {"energy_ev,osc_strength\n3,0.1\n", ": line 1: the states table names no column file"},
        {"3.0 0.1\n3.1\n", ": line 2: two columns expected"},
        {"\n\n", ": no excited states to broaden"},
        {"3.0 0\n", "The spectrum is 0 everywhere on the grid"},
    };
    for (const auto& [input, problem] : cases) {
        SCOPED_TRACE(input);
        test::temp_dir dir;
        test::write_file(dir / "in.csv", input);
        spectrum_settings s = settings_for(dir / "in.csv");
        s.output = dir / "out.csv";
        test::recording_ui ui;
        EXPECT_EQ(run_spectrum(s, ui), spectrum_outcome::stopped);
        const std::string box = test::only_box(ui.messages);
        EXPECT_NE(box.find(problem), std::string::npos) << box;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.csv"));
    }
}

TEST(CliSpectrum, ChosenRootsOfAStatesTableToTheStokesFile) {
    test::temp_dir dir;
    test::write_file(dir / "states.csv", two_snapshots);
    const auto r = test::run_cli({"spectrum", "--input", (dir / "states.csv").string(),
                                  "--states", "chosen", "--fwhm", "0.1", "--from", "2.9",
                                  "--to", "3.2", "--step", "0.1", "--stokes-file",
                                  (dir / "absfq.dat").string()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto lines = test::lines_of(test::read_file(dir / "absfq.dat"));
    ASSERT_EQ(lines.size(), 4u);
    // The peak line holds exactly 1; frequencies are E / 4.13566727e-3 THz.
    EXPECT_EQ(lines[1], round_trip_form(ev_to_thz(2.9 + 0.1)) + " 1");
    EXPECT_EQ(test::run_cli({"spectrum", "--input", (dir / "states.csv").string(), "--shape",
                             "voigt"})
                  .status,
              2);
}

} // namespace
} // namespace qm
