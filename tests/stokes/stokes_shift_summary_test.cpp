#include "platform/number_form.h"
#include "stokes/stokes_shift_summary.h"

#include "stokes/only_report.h"
#include "support/cli_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Absorption peak at 1000 THz, emission peak at 500 THz.
const std::string absorption = "900 0.5\n1000 1\n1100 0.25\n";
const std::string emission = "500 1\n450 0.5\n";
const std::string done_text = "Processing Complete \n\rStokes Shift = 2.067833635 eV\n\r"
                              "Reorganisation Energy = 2.07768046183333 eV";
const std::string summary_values = "\t 2.067833635 \t 2.07768046183333 \r\n";

std::string report(const std::string& error) {
    return "Error (" + error +
           ") in (frm_data_extraction1 submodule: cmd_Execute) routine.\n\rReturning to main menu";
}

struct stokes_shift : ::testing::Test {
    test::temp_dir dir;
    std::string data_path = (dir.path() / "run1").string() + "/";
    std::filesystem::path summary = dir / "summary.dat";

    void spectra(const std::string& abs, const std::string& emis) {
        std::filesystem::create_directories(dir / "run1");
        test::write_file(dir / "run1" / "absfq.dat", abs);
        test::write_file(dir / "run1" / "emisfq.dat", emis);
    }
    stokes_shift_result run(test::recording_ui& ui) {
        return stokes_shift_summary({data_path, summary}, ui);
    }
    // Runs a job that must fail; returns its one report.
    std::string failure() {
        test::recording_ui ui;
        EXPECT_EQ(run(ui).outcome, stokes_shift_outcome::error_report);
        return test::only_report(ui);
    }
};

TEST_F(stokes_shift, AppendsOneSummaryLinePerRunAndShowsBothValues) {
    spectra(absorption, emission);
    for (int n = 1; n <= 2; ++n) {
        test::recording_ui ui;
        const stokes_shift_result r = run(ui);
        EXPECT_EQ(r.outcome, stokes_shift_outcome::completed);
        EXPECT_NEAR(r.stokes_shift, 2.067833635, 1e-12);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].icon, message_icon::information);
        EXPECT_EQ(ui.messages[0].title, "Processing Complete");
        EXPECT_EQ(ui.messages[0].text, done_text);
        EXPECT_EQ(ui.busy_calls, (std::vector<bool>{true, false}));
    }
    const std::string line = data_path + summary_values;
    EXPECT_EQ(test::read_file(summary), line + line);
}

TEST_F(stokes_shift, FortranLayoutAndCrLfLinesReadLikeTheWellFormedOnes) {
    // Right-aligned columns: the blanks before the frequency used to read it as 0 and the
    // frequency as an intensity.
    spectra("   900.0    0.5\r\n  1000.0    1.0\r\n  1100.0   0.25\r\n",
            "   500.0  1 \r\n   450.0  0.5\r\n");
    test::recording_ui ui;
    chart_data chart;
    EXPECT_EQ(stokes_shift_summary({data_path, summary}, ui, &chart).outcome,
              stokes_shift_outcome::completed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, done_text);
    EXPECT_EQ(test::read_file(summary), data_path + summary_values);
    // The chart takes each line's intensity, never the empty fields between the columns.
    ASSERT_EQ(chart.lines.size(), 5u);
    std::vector<double> intensities;
    for (const chart_point& p : chart.lines[0].points)
        intensities.push_back(p.y);
    EXPECT_EQ(intensities, (std::vector<double>{0.5, 1.0, 0.25}));
    EXPECT_EQ(chart.lines[1].points.back().x, thz_to_ev(450));
    EXPECT_TRUE(chart.lines[4].mark);
}

TEST(SpectrumLines, PeakIsTheLastLineOfIntensityExactlyOne) {
    spectrum_totals t;
    for (const char* line : {"10 1", "20 0.5", "30 1", "40 0.99999999999999989"})
        add_spectrum_line(t, line);
    EXPECT_EQ(t.peak_energy, thz_to_ev(30)) << "the later line of intensity 1, not the last line";
    EXPECT_EQ(t.weight_sum, 1 + 0.5 + 1 + 0.99999999999999989);

    spectrum_totals none;
    add_spectrum_line(none, "10 0.99999999999999989");
    EXPECT_EQ(none.peak_energy, 0) << "just below 1 is no peak";

    // Each further blank adds an intensity of 0; a third number is one more intensity.
    spectrum_totals extra;
    add_spectrum_line(extra, "10 2  3 ");
    EXPECT_EQ(extra.weight_sum, 5);
    EXPECT_EQ(extra.weighted_sum, 2 * thz_to_ev(10) + 3 * thz_to_ev(10));
}

TEST(SpectrumLines, OneTerahertzIsTheEnergyOfPlancksConstant) {
    const double e = thz_to_ev(1);
    EXPECT_EQ(e, ((1e12 * 1.0) * 4.13566727) * 1e-15);
    EXPECT_NEAR(e, 4.13566727E-03, 1e-17);
    EXPECT_EQ(text_form(e), "0.00413566727");
}

TEST_F(stokes_shift, ASpectrumWithoutPeakHasPeakEnergyZero) {
    spectra(absorption, "500 0.5\n");
    test::recording_ui ui;
    const stokes_shift_result r = run(ui);
    ASSERT_EQ(r.outcome, stokes_shift_outcome::completed);
    EXPECT_EQ(r.stokes_shift, thz_to_ev(1000));
}

TEST_F(stokes_shift, IntensitiesAddingUpToZeroAreReportedNeverWritten) {
    spectra("900 0\n1000 0\n", emission);
    EXPECT_EQ(failure(), report("Overflow6"));
    spectra("900 1\n1000 -1\n", emission);
    EXPECT_EQ(failure(), report("Division by zero11"));
    spectra(absorption, "500 0\n");
    EXPECT_EQ(failure(), report("Overflow6"));
    // A frequency beyond a double's range overflows too.
    spectra("1e300 1\n", emission);
    EXPECT_EQ(failure(), report("Overflow6"));
    EXPECT_FALSE(std::filesystem::exists(summary));
}

TEST_F(stokes_shift, MissingOrEmptySpectraAndBadSummariesAppendNothing) {
    spectra(absorption, "");
    EXPECT_EQ(failure(), report("Subscript out of range9"));
    spectra("", "missing too");
    std::filesystem::remove(dir / "run1" / "emisfq.dat");
    EXPECT_EQ(failure(), report("Subscript out of range9")) << "the absorption is counted first";
    spectra(absorption, emission);
    std::filesystem::remove(dir / "run1" / "emisfq.dat");
    EXPECT_EQ(failure(), report("File not found53"));
    EXPECT_FALSE(std::filesystem::exists(summary));

    // A path typed without its final separator runs into the file names.
    spectra(absorption, emission);
    data_path.pop_back();
    EXPECT_EQ(failure(), report("File not found53"));
    data_path += "/";

    summary = dir / "no-folder" / "summary.dat";
    EXPECT_EQ(failure(), report("Path not found76"));
}

TEST_F(stokes_shift, TheSummaryIsNeverOneOfTheSpectra) {
    spectra(absorption, emission);
    std::filesystem::create_symlink(dir / "run1" / "emisfq.dat", dir / "link.dat");
    for (const auto& target : {dir / "run1" / "absfq.dat", dir / "link.dat"}) {
        summary = target;
        EXPECT_EQ(failure(), report("File already open55"));
    }
    EXPECT_EQ(test::read_file(dir / "run1" / "absfq.dat"), absorption);
    EXPECT_EQ(test::read_file(dir / "run1" / "emisfq.dat"), emission);
}

TEST(SummaryDestination, aWindowsNameGoesToItsLastPartInTheCurrentFolder) {
    for (const auto& [name, destination] : {std::pair{"c:\\QMMM_Summary.dat", "QMMM_Summary.dat"},
                                            {"D:\\runs\\all.dat", "all.dat"},
                                            {"runs\\all.dat", "all.dat"},
                                            {"c:all.dat", "all.dat"},
                                            {"c:\\", "QMMM_Summary.dat"},
                                            {"runs/all.dat", "runs/all.dat"},
                                            {"/data/c:x.dat", "/data/c:x.dat"}})
        EXPECT_EQ(summary_destination(name), destination) << name;
}

// The window's default text on Linux: the line goes to QMMM_Summary.dat here, and says so.
TEST_F(stokes_shift, TheDefaultSummaryNameAppendsInTheCurrentFolderAndSaysWhere) {
    spectra(absorption, emission);
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    test::recording_ui ui;
    summary = "c:\\QMMM_Summary.dat";
    const stokes_shift_result r = run(ui);
    const auto cli = test::run_cli({"stokes-shift", "--data-dir", data_path});
    std::filesystem::current_path(saved);
    EXPECT_EQ(r.outcome, stokes_shift_outcome::completed);
    EXPECT_EQ(ui.statuses.back(),
              "Summary line appended to " + (dir / "QMMM_Summary.dat").string());
    EXPECT_EQ(cli.status, 0);
    EXPECT_NE(cli.err.find("Summary line appended to " + (dir / "QMMM_Summary.dat").string()),
              std::string::npos)
        << cli.err;
    EXPECT_EQ(test::read_file(dir / "QMMM_Summary.dat"),
              data_path + summary_values + data_path + summary_values);
}

TEST_F(stokes_shift, CliAcceptsTheFolderWithOrWithoutItsSeparator) {
    spectra(absorption, emission);
    const std::string folder = (dir / "run1").string();
    const auto first =
        test::run_cli({"stokes-shift", "--data-dir", folder, "--summary", summary.string()});
    EXPECT_EQ(first.status, 0) << first.err;
    std::string shown = done_text;
    EXPECT_EQ(first.out, "Information: Processing Complete: " + shown + "\n");
    const auto second =
        test::run_cli({"stokes-shift", "--data-dir", folder + "/", "--summary", summary.string()});
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(test::read_file(summary), data_path + summary_values + data_path + summary_values);

    const auto missing = test::run_cli(
        {"stokes-shift", "--data-dir", (dir / "nowhere").string(), "--summary", summary.string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "Exclamation: Fatal - Error: " + report("Path not found76") + "\n");
    EXPECT_EQ(test::run_cli({"stokes-shift"}).status, 2);
    EXPECT_EQ(test::run_cli({"stokes-shift", "--data-dir", ""}).status, 2);
}

} // namespace
} // namespace qm
