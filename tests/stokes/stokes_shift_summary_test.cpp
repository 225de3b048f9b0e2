#include "platform/number_form.h"
#include "stokes/stokes_shift_summary.h"

#include "stokes/job_checks.h"

#include <optional>

namespace qm {
namespace {

// Absorption peak at 1000 THz, emission peak at 500 THz.
const std::string absorption = "900 0.5\n1000 1\n1100 0.25\n";
const std::string emission = "500 1\n450 0.5\n";
const std::string done = "Information: Processing Complete: Processing Complete \n\rStokes Shift "
                         "= 2.067833635 eV\n\rReorganisation Energy = 2.07768046183333 eV";
const std::string summary_values = "\t 2.067833635 \t 2.07768046183333 \r\n";

const std::string routine = "frm_data_extraction1 submodule: cmd_Execute";

struct stokes_shift : ::testing::Test {
    test::temp_dir dir;
    std::string data_path = (dir.path() / "run1").string() + "/";
    std::filesystem::path summary = dir / "summary.dat";

    // The spectra of the run folder; a missing one is not there.
    void spectra(const std::optional<std::string>& abs, const std::optional<std::string>& emis) {
        std::filesystem::create_directories(dir / "run1");
        for (const auto& [name, text] : {std::pair{"absfq.dat", abs}, {"emisfq.dat", emis}}) {
            std::filesystem::remove(dir / "run1" / name);
            if (text)
                test::write_file(dir / "run1" / name, *text);
        }
    }
    stokes_shift_result run(test::recording_ui& ui, chart_data* chart = nullptr) {
        return stokes_shift_summary({data_path, summary}, ui, chart);
    }
};

TEST_F(stokes_shift, FortranLayoutAndCrLfLinesReadLikeTheWellFormedOnes) {
    // Right-aligned columns: the blanks before the frequency used to read it as 0 and the
    // frequency as an intensity.
    spectra("   900.0    0.5\r\n  1000.0    1.0\r\n  1100.0   0.25\r\n",
            "   500.0  1 \r\n   450.0  0.5\r\n");
    test::recording_ui ui;
    chart_data chart;
    EXPECT_EQ(run(ui, &chart).outcome, stokes_shift_outcome::completed);
    EXPECT_EQ(test::only_box(ui.messages), done);
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
    EXPECT_EQ(text_form(thz_to_ev(1)), "0.00413566727"); // Planck's constant in eV / THz
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
    EXPECT_EQ(extra.peak_energy, 0) << "above 1 is no peak either";
    EXPECT_EQ(extra.weighted_sum, 2 * thz_to_ev(10) + 3 * thz_to_ev(10));
}

// Every failure is reported before the summary is touched; the spectra stay as they were.
TEST_F(stokes_shift, FailuresAppendNothing) {
    std::filesystem::create_directories(dir / "run1");
    std::filesystem::create_symlink(dir / "run1" / "emisfq.dat", dir / "link.dat");
    const std::string no_separator = data_path.substr(0, data_path.size() - 1);
    const std::optional<std::string> missing;
    const struct {
        std::optional<std::string> abs, emis;
        std::string error;
        std::string path = ""; // the data path when not the usual one
        std::filesystem::path summary = "";
    } cases[] = {
        // Intensities adding up to zero, and a frequency beyond a double's range.
        {"900 0\n1000 0\n", emission, "Overflow6"},
        {"900 1\n1000 -1\n", emission, "Division by zero11"},
        {absorption, "500 0\n", "Overflow6"},
        {"1e300 1\n", emission, "Overflow6"},
        {absorption, "", "Subscript out of range9"},
        {"", missing, "Subscript out of range9"}, // the absorption is counted first
        {absorption, missing, "File not found53"},
        // A path typed without its final separator runs into the file names.
        {absorption, emission, "File not found53", no_separator},
        {absorption, emission, "Path not found76", "", dir / "no-folder" / "summary.dat"},
        {absorption, emission, "File already open55", "", dir / "run1" / "absfq.dat"},
        {absorption, emission, "File already open55", "", dir / "link.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error + " " + c.abs.value_or("none"));
        spectra(c.abs, c.emis);
        test::recording_ui ui;
        EXPECT_EQ(
            stokes_shift_summary(
                {c.path.empty() ? data_path : c.path, c.summary.empty() ? summary : c.summary}, ui)
                .outcome,
            stokes_shift_outcome::error_report);
        EXPECT_EQ(test::only_report(ui), test::report(c.error, routine));
        EXPECT_EQ(test::read_file(dir / "run1" / "absfq.dat"), c.abs.value_or(""));
        EXPECT_EQ(test::read_file(dir / "run1" / "emisfq.dat"), c.emis.value_or(""));
    }
    EXPECT_FALSE(std::filesystem::exists(summary));
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
    const std::string appended = "Summary line appended to " + (dir / "QMMM_Summary.dat").string();
    EXPECT_EQ(r.outcome, stokes_shift_outcome::completed);
    EXPECT_EQ(ui.statuses.back(), appended);
    EXPECT_EQ(cli.status, 0);
    EXPECT_NE(cli.err.find(appended), std::string::npos) << cli.err;
    EXPECT_EQ(test::read_file(dir / "QMMM_Summary.dat"),
              data_path + summary_values + data_path + summary_values);
}

TEST_F(stokes_shift, CliAcceptsTheFolderWithOrWithoutItsSeparator) {
    spectra(absorption, emission);
    const auto shift = [&](const std::string& folder) {
        return test::run_cli({"stokes-shift", "--data-dir", folder, "--summary", summary.string()});
    };
    EXPECT_EQ(shift((dir / "run1").string()).out, done + "\n");
    EXPECT_EQ(shift(data_path).status, 0);
    EXPECT_EQ(test::read_file(summary), data_path + summary_values + data_path + summary_values);
    EXPECT_EQ(shift((dir / "nowhere").string()).out,
              test::fatal("Path not found76", routine) + "\n");
    EXPECT_EQ(test::run_cli({"stokes-shift"}).status, 2);
    EXPECT_EQ(test::run_cli({"stokes-shift", "--data-dir", ""}).status, 2);
}

} // namespace
} // namespace qm
