#include "stokes/frm_data_extraction1.h"

#include "stokes/stokes_shift_summary.h"
#include "stokes/tool_window_fixture.h"

#include <QLabel>
#include <QLineEdit>

namespace qm {
namespace {

struct data_extraction_window : test::tool_window<frm_data_extraction1> {
    void SetUp() override { open("cmd_Data_extract1"); }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(w, name); }
    void spectra() {
        std::filesystem::create_directories(dir / "run");
        test::write_file(dir / "run" / "absfq.dat", "100 1\n");
        test::write_file(dir / "run" / "emisfq.dat", "50 1\n");
    }
};

TEST_F(data_extraction_window, OpensFromTheSubMenuWithItsTexts) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(w->windowTitle(), "Data Extraction 1");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_title")->text(),
              "This module takes the output from the Steady State Program (emisfq.dat and "
              "absfq.dat) and produces a summary file of the data giving the stokes shift and "
              "reorganisation energies.");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_Input_Path")->text(), "Stage 1: Select Data Path:");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_current_path")->text(), "Current Data Path");
    EXPECT_EQ(test::control<QLabel>(w, "lblOutput_Pathname")->text(),
              "Enter Output Path + Filename:");
    EXPECT_EQ(button("cmd_Input_Path")->text(), "&Select Path to Absfq.dat File");
    EXPECT_EQ(button("cmd_Execute")->text(), "E&xecute");
    EXPECT_EQ(button("cmd_return")->text(), "&Return to Stokes Shift Menu");
    EXPECT_EQ(edit("txt_current_data_path")->text(), "");
    EXPECT_EQ(edit("txt_output_file")->text(), "c:\\QMMM_Summary.dat");
    EXPECT_TRUE(button("cmd_Execute")->isEnabled());
}

TEST_F(data_extraction_window, ReturnShowsTheSubMenuAgain) {
    expect_return_to_menu();
}

TEST_F(data_extraction_window, TheChosenFilesFolderIsTheDataPathAndExecuteAppends) {
    spectra();
    services.dialogs.queue_path((dir / "run" / "absfq.dat").string());
    button("cmd_Input_Path")->click();
    const std::string folder = (dir / "run").string() + "/";
    EXPECT_EQ(edit("txt_current_data_path")->text().toStdString(), folder);
    services.dialogs.queue_cancel();
    button("cmd_Input_Path")->click();
    EXPECT_EQ(edit("txt_current_data_path")->text().toStdString(), folder);

    edit("txt_output_file")->setText(QString::fromStdString((dir / "summary.dat").string()));
    button("cmd_Execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::information);
    EXPECT_EQ(services.messages.shown[0].title, "Processing Complete");
    EXPECT_EQ(test::read_file(dir / "summary.dat"),
              folder + "\t 0.2067833635 \t 0.2067833635 \r\n");
    EXPECT_EQ(edit("txt_status")->text().toStdString(),
              "Summary line appended to " + (dir / "summary.dat").string());
    EXPECT_TRUE(button("cmd_Execute")->isEnabled());
    EXPECT_EQ(services.dialogs.asked[0].title, "Select Path to Absfq.dat File");
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::read);

    // Both spectra, a dashed line up each peak and the Stokes shift across between them.
    const auto lines = test::one_chart("Energy (eV)", "Intensity (peak = 1)");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].name, "Absorption");
    EXPECT_EQ(lines[0].points, (QList<QPointF>{{thz_to_ev(100), 1}}));
    EXPECT_EQ(lines[1].name, "Emission");
    EXPECT_EQ(lines[2].name, "Absorption Peak = 0.414 eV");
    EXPECT_EQ(lines[3].name, "Emission Peak = 0.207 eV");
    EXPECT_EQ(lines[4].name, "Stokes Shift = 0.207 eV");
    EXPECT_EQ(lines[4].points, (QList<QPointF>{{thz_to_ev(50), 1}, {thz_to_ev(100), 1}}));
    EXPECT_TRUE(button("cmd_show_chart")->isEnabled());
}

TEST_F(data_extraction_window, AFailureLeavesOnlyTheWayBack) {
    spectra();
    // A typed path without its final separator: the file names run into the folder name.
    edit("txt_current_data_path")->setText(QString::fromStdString((dir / "run").string()));
    edit("txt_output_file")->setText(QString::fromStdString((dir / "summary.dat").string()));
    button("cmd_Execute")->click();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::exclamation);
    EXPECT_EQ(services.messages.shown[0].title, "Fatal - Error");
    EXPECT_EQ(services.messages.shown[0].text,
              "Error (File not found53) in (frm_data_extraction1 submodule: cmd_Execute) "
              "routine.\n\rReturning to main menu");
    EXPECT_FALSE(std::filesystem::exists(dir / "summary.dat"));
    EXPECT_FALSE(button("cmd_Execute")->isEnabled());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    expect_return_to_menu();
}

} // namespace
} // namespace qm
