#include "stokes/frm_spectrum.h"

#include "platform/qt/chart_panel.h"
#include "shell/frm_stokes_shift_tools.h"
#include "stokes/tool_window_fixture.h"

#include <QChartView>
#include <QRadioButton>

namespace qm {
namespace {

struct spectrum_window : test::tool_window<frm_spectrum> {
    void SetUp() override { open<frm_stokes_shift_tools>("cmd_spectrum"); }
    std::vector<QChartView*> charts() {
        return test::control<chart_panel>(w, "chart_spectrum")->views();
    }
};

// The window runs the job of `spectrum` with its boxes' settings: a Lorentzian of the chosen
// roots, both files written, the curve drawn over the sticks with wavelengths along the top.
TEST_F(spectrum_window, BroadensTheChosenRootsIntoBothFilesAndCharts) {
    EXPECT_EQ(w->windowTitle().toStdString(), "Spectrum from Excited States");
    EXPECT_FALSE(enabled("cmd_execute"));
    test::write_file(dir / "states.csv",
                     "file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,"
                     "osc_strength,tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root\n"
                     "1,a.gout,0.5,1,Singlet,Singlet-A,3.0,413,0.4,,,,1\n"
                     "1,a.gout,0.5,2,Singlet,Singlet-A,3.5,354,0.9,,,,\n");
    choose("cmd_input_file", "states.csv");
    choose("cmd_output_file", "spectrum.csv");
    choose("cmd_stokes_file", "absfq.dat");
    button("opt_chosen_states")->click();
    button("opt_lorentzian")->click();
    set("txt_step", "0.01");
    click("cmd_execute");
    EXPECT_EQ(box(1), "Information: Spectrum from Excited States: 1 states of 1 snapshots, peak "
                      "at 3 eV (413.28066 nm)");
    EXPECT_EQ(test::read_file(dir / "spectrum.csv").substr(0, 9), "energy_ev");
    EXPECT_TRUE(std::filesystem::exists(dir / "absfq.dat"));
    ASSERT_EQ(charts().size(), 1u);
    const QChart* chart = charts()[0]->chart();
    const auto lines = test::chart_lines(chart);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name + "|" + lines[1].name, "States (f / max f)|Spectrum");
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{3, 0}, {3, 1}, {3, 0}}));
    EXPECT_EQ(chart->axes(Qt::Horizontal).size(), 2); // eV below, nm above
    // A box that holds no number is a message; nothing runs.
    set("txt_fwhm", "wide");
    click("cmd_execute");
    EXPECT_EQ(box(2), "Exclamation: Spectrum from Excited States: \"wide\" in the box FWHM (eV): "
                      "is not a number");
    expect_return_to_menu("cmd_return");
}

} // namespace
} // namespace qm
