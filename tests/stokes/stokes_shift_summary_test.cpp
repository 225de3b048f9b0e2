#include "cli/console_job_ui.h"
#include "platform/number_form.h"
#include "stokes/stokes_shift_summary.h"

#include "support/as_text.h"
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
};

TEST_F(stokes_shift, FortranLayoutAndCrLfLinesReadLikeTheWellFormedOnes) {
    // Right-aligned columns: the blanks before the frequency used to read it as 0 and the
    // frequency as an intensity.
    spectra("   900.0    0.5\r\n  1000.0    1.0\r\n  1100.0   0.25\r\n",
            "   500.0  1 \r\n   450.0  0.5\r\n");
    test::recording_ui ui;
    chart_data chart;
    EXPECT_EQ(stokes_shift_summary({data_path, summary}, ui, &chart).outcome,
              stokes_shift_outcome::completed);
    EXPECT_EQ(test::only_box(ui.messages), done);
    // The chart takes each line's intensity, never the empty fields between the columns.
    std::string intensities;
    for (const chart_point& p : chart.lines.at(0).points)
        intensities += text_form(p.y) + " ";
    EXPECT_EQ(intensities, "0.5 1 0.25 ");
    EXPECT_TRUE(chart.run_description.starts_with("Data folder: " + data_path + "; Summary: "))
        << chart.run_description;
}

// The peak is the last line of intensity exactly 1; each further blank adds an intensity of 0
// and a third number is one more intensity. Shown: peak (THz), intensity sum, weighted sum (THz).
TEST(SpectrumLines, PeakIsTheLastLineOfIntensityExactlyOne) {
    const auto totals = [](std::initializer_list<const char*> lines) {
        spectrum_totals t;
        for (const char* line : lines)
            add_spectrum_line(t, line);
        return text_form(t.peak_energy / thz_to_ev(1)) + " " + text_form(t.weight_sum) + " " +
               text_form(t.weighted_sum / thz_to_ev(1));
    };
    EXPECT_EQ(totals({"10 1", "20 0.5", "30 1", "40 0.99999999999999989"}), "30 3.5 90");
    EXPECT_EQ(totals({"10 0.99999999999999989"}), "0 1 10") << "just below 1 is no peak";
    EXPECT_EQ(totals({"10 2  3 "}), "0 5 50") << "above 1 is no peak either";
}

// Every failure is reported before the summary is touched; the spectra stay as they were.
TEST_F(stokes_shift, FailuresAppendNothing) {
    std::filesystem::create_directories(dir / "run1");
    std::filesystem::create_symlink(dir / "run1" / "emisfq.dat", dir / "link.dat");
    const std::optional<std::string> missing;
    const struct {
        std::optional<std::string> abs, emis;
        std::string error, path = ""; // the data path when not the usual one
        std::filesystem::path summary = "";
    } cases[] = {
        // Intensities adding up to zero, and a frequency beyond a double's range.
        {"900 0\n1000 0\n", emission, "Overflow6"},
        {"900 1\n1000 -1\n", emission, "Division by zero11"},
        {"1e300 1\n", emission, "Overflow6"},
        {absorption, "", "Subscript out of range9"},
        {"", missing, "Subscript out of range9"}, // the absorption is counted first
        {absorption, missing, "File not found53"},
        // A path typed without its final separator runs into the file names.
        {absorption, emission, "File not found53", data_path.substr(0, data_path.size() - 1)},
        {absorption, emission, "Path not found76", "", dir / "no-folder" / "summary.dat"},
        {absorption, emission, "File already open55", "", dir / "run1" / "absfq.dat"},
        {absorption, emission, "File already open55", "", dir / "link.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error + " " + c.abs.value_or("none"));
        spectra(c.abs, c.emis);
        test::recording_ui ui;
        const stokes_shift_settings settings{c.path.empty() ? data_path : c.path,
                                             c.summary.empty() ? summary : c.summary};
        EXPECT_EQ(stokes_shift_summary(settings, ui).outcome, stokes_shift_outcome::error_report);
        EXPECT_EQ(test::only_report(ui), test::report(c.error, routine));
        EXPECT_EQ(test::read_file(dir / "run1" / "absfq.dat") + "|" +
                      test::read_file(dir / "run1" / "emisfq.dat"),
                  c.abs.value_or("") + "|" + c.emis.value_or(""));
    }
    EXPECT_FALSE(std::filesystem::exists(summary));
}

TEST(SummaryDestination, aWindowsNameGoesToItsLastPartInTheCurrentFolder) {
    const auto destination = [](const char* name) { return summary_destination(name).string(); };
    EXPECT_EQ(
        test::each(destination, {"c:\\QMMM_Summary.dat", "D:\\runs\\all.dat", "runs\\all.dat",
                                 "c:all.dat", "c:\\", "runs/all.dat", "/data/c:x.dat"}),
        "QMMM_Summary.dat|all.dat|all.dat|all.dat|QMMM_Summary.dat|runs/all.dat|/data/c:x.dat|");
}

// The window's default text on Linux: the line goes to QMMM_Summary.dat here, and says so. The
// command line takes the folder with or without its final separator.
TEST_F(stokes_shift, TheDefaultSummaryNameAppendsInTheCurrentFolderAndSaysWhere) {
    spectra(absorption, emission);
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    test::recording_ui ui;
    stokes_shift_summary({data_path, "c:\\QMMM_Summary.dat"}, ui);
    const auto shift = [](const std::string& folder) {
        return test::run_cli({"stokes-shift", "--data-dir", folder});
    };
    const auto cli = shift(data_path), bare = shift((dir / "run1").string());
    std::filesystem::current_path(saved);
    const std::string appended = "Summary line appended to " + (dir / "QMMM_Summary.dat").string();
    EXPECT_EQ(ui.statuses.back(), appended);
    EXPECT_NE(cli.err.find(appended), std::string::npos) << cli.err;
    EXPECT_EQ(bare.out, cli::one_line(done) + "\n");
    EXPECT_EQ(test::read_file(dir / "QMMM_Summary.dat"),
              test::repeated(3, data_path + summary_values));
}

} // namespace
} // namespace qm
