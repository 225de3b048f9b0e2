#include "cli/commands.h"
#include "ev_extract/frm_ev_extract.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"

#include "support/cli_support.h"
#include "support/gui_support.h"
#include "support/td_files.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace qm {
namespace {

struct ev_window : ::testing::Test {
    scoped_test_services services;
    test::temp_dir dir;
    frm_stokes_shift_tools* menu = window_registry::instance().load<frm_stokes_shift_tools>();
    frm_ev_extract* w = open_from_sub_menu<frm_ev_extract>(menu);

    void TearDown() override {
        window_registry::instance().destroy_all();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* edit(const char* name) { return test::control<QLineEdit>(w, name); }
    QCheckBox* check(const char* name) { return test::control<QCheckBox>(w, name); }
    void click(const char* name) { test::control<QAbstractButton>(w, name)->click(); }
    void pick(const std::string& name) {
        services.dialogs.queue_path((dir / name).string());
        click("cmd_Gaussian_files");
    }
    void set(const char* name, const char* text) { edit(name)->setText(text); }
    void type(const char* name, char key) {
        // Qt's key codes of printable characters are their upper-case code points.
        QKeyEvent press(QEvent::KeyPress, QChar(key).toUpper().unicode(), Qt::NoModifier,
                        QString(QChar(key)));
        QCoreApplication::sendEvent(edit(name), &press);
    }
    std::string status() { return edit("txtCurrentStatus")->text().toStdString(); }
};

TEST_F(ev_window, OpensWithOnlyTheSeriesControls) {
    EXPECT_EQ(w->windowTitle(), "Ev Extraction");
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(status(), "Waiting for Input Files");
    EXPECT_EQ(test::control<QPushButton>(w, "cmd_execute")->text(), "E&xecute");
    for (const char* name : {"txt_output_prefix", "txtno_roots", "cmd_execute", "chk_TDM_sep_files",
                             "chk_calc_tdm_angle", "frm_extract_mode", "txt_orb_state1_from"})
        EXPECT_FALSE(test::control<QWidget>(w, name)->isEnabled()) << name;
    // Return shows the sub-menu again.
    click("cmd_return");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_ev_extract>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(ev_window, PickedFileFillsPrefixSuffixAndZipped) {
    pick("run5.gout.gz");
    EXPECT_EQ(edit("txt_File_Prefix")->text(), "run");
    EXPECT_EQ(edit("txt_File_suffix")->text(), ".gout.gz");
    EXPECT_EQ(edit("txt_current_data_path")->text().toStdString(), dir.path().string() + "/");
    EXPECT_TRUE(check("chk_zipped_files")->isChecked());
    pick("snapshot12");
    EXPECT_EQ(edit("txt_File_Prefix")->text(), "snapshot");
    EXPECT_EQ(edit("txt_File_suffix")->text(), "");
    EXPECT_TRUE(check("chk_zipped_files")->isChecked()); // left as it was
}

TEST_F(ev_window, ScansAndTheirMessages) {
    set("txt_file_end", "20");
    set("txt_interval", "5");
    click("cmd_scan_file");
    EXPECT_EQ(status(), "Ready to Process 16 Files.");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_files_remaining")->text(), "Files Remaining = 16");
    EXPECT_EQ(w->series().file_name(11), "11.gout");
    EXPECT_TRUE(test::control<QWidget>(w, "cmd_execute")->isEnabled());
    EXPECT_TRUE(test::control<QWidget>(w, "txtno_roots")->isEnabled());
    set("txt_interval", "1");
    set("txt_file_start", "21"); // start after end: no files, and no message
    click("cmd_scan_file");
    EXPECT_EQ(status(), "Ready to Process 0 Files.");
    EXPECT_TRUE(services.messages.shown.empty());

    set("txt_file_start", "1");
    set("txt_interval", "0");
    click("cmd_scan_file");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Interval invalid");
    EXPECT_EQ(services.messages.shown[0].icon, message_icon::critical);
    EXPECT_EQ(services.messages.shown[0].text,
              "Interval is not valid within specified file limits.");
    // A range too large to hold is a message, not a name made for every number of it.
    set("txt_interval", "1");
    set("txt_file_end", "99999999999");
    click("cmd_scan_file");
    EXPECT_EQ(services.messages.shown.back().title, "File Range Too Large");
    EXPECT_EQ(w->series().file_count, 0);
}

TEST_F(ev_window, intervalThatClearsTheRelativeBoxClearsAndDisablesTheMethodBox) {
    click("cmd_scan_file");
    set("txtno_roots", "2");
    click("chk_calc_rel_tdm");
    click("chk_tdm_align_only");
    set("txt_interval", "2");
    EXPECT_FALSE(check("chk_tdm_align_only")->isEnabled());
    EXPECT_FALSE(check("chk_tdm_align_only")->isChecked());
    set("txt_interval", "1");
    EXPECT_FALSE(check("chk_tdm_align_only")->isEnabled()); // the relative box is still clear
}

TEST_F(ev_window, RootCountIntervalAndEmptyBoxRules) {
    click("cmd_scan_file");
    click("chk_calc_rel_tdm");
    set("txtno_roots", "2");
    EXPECT_TRUE(check("chk_calc_tdm_angle")->isEnabled());
    EXPECT_TRUE(check("chk_tdm_align_only")->isEnabled());
    click("opt_orbital_profile");
    EXPECT_TRUE(edit("txt_orb_state2_to")->isEnabled());
    set("txtno_roots", "3");
    EXPECT_FALSE(check("chk_calc_tdm_angle")->isEnabled());
    EXPECT_FALSE(edit("txt_orb_state1_from")->isEnabled());
    EXPECT_FALSE(test::control<QLabel>(w, "lbl_orb_state2")->isEnabled());

    set("txt_interval", "2");
    EXPECT_FALSE(check("chk_calc_rel_tdm")->isEnabled());
    EXPECT_FALSE(check("chk_calc_rel_tdm")->isChecked());
    set("txt_interval", "1");
    EXPECT_TRUE(check("chk_calc_rel_tdm")->isEnabled());

    click("chk_tdm_data");
    EXPECT_TRUE(check("chk_TDM_sep_files")->isEnabled());
    set("txt_points", "");
    EXPECT_FALSE(test::control<QWidget>(w, "cmd_execute")->isEnabled());
    set("txt_points", "10");
    EXPECT_TRUE(test::control<QWidget>(w, "cmd_execute")->isEnabled());
}

TEST_F(ev_window, RejectedKeysBeepAndChangeNothing) {
    click("cmd_scan_file"); // the settings boxes take keys once the series is scanned
    set("txt_points", "1");
    type("txt_points", '.'); // digits only here
    type("txt_points", 'a');
    EXPECT_EQ(edit("txt_points")->text(), "1");
    EXPECT_EQ(services.messages.beeps, 2);
    type("txt_points", '5');
    EXPECT_EQ(edit("txt_points")->text(), "15");
    set("txt_time_step", "2");
    type("txt_time_step", '.');
    type("txt_time_step", '-');
    EXPECT_EQ(edit("txt_time_step")->text(), "2.");
    EXPECT_EQ(services.messages.beeps, 3);
}

TEST_F(ev_window, CompletedRunLeavesTheWindowReadyAndWritesTheCommandLinesFiles) {
    for (int i = 1; i <= 12; ++i)
        test::write_file(
            dir / ("gap" + std::to_string(i) + ".gout"),
            test::td_output({{3.5 + 0.01 * i, 0.2}, {2.5, 0.4 - 0.01 * i}, {4.0, 0.3}}));
    pick("gap1.gout");
    set("txt_file_end", "12");
    click("cmd_scan_file");
    set("txt_root_end", "3");
    set("txt_limit_low", "0");
    set("txt_limit_high", "10");
    set("txtno_roots", "2");
    set("txt_points", "5");
    for (const char* box :
         {"chk_tdm_data", "chk_scfenergies", "chk_SCF_cycles", "chk_orbitals", "chk_status_file"})
        click(box);
    click("cmd_execute");
    ASSERT_EQ(services.messages.shown.back().text, "Extraction Complete");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_files_processed")->text(), "Files Processed=24");
    EXPECT_EQ(window_registry::instance().find<frm_ev_extract>(), w);
    EXPECT_TRUE(test::control<QWidget>(w, "cmd_execute")->isEnabled());
    EXPECT_TRUE(test::control<QWidget>(w, "cmd_show_chart")->isEnabled());
    std::map<std::string, std::string> window_files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().starts_with("freqgap"))
            window_files[entry.path().filename().string()] = test::read_file(entry.path());
    EXPECT_EQ(window_files.size(), 2u * (1 + 3 + 1 + 1 + 1 + 3)); // per root: EV, SCF x3, ...
    // The energies and TDM lengths chosen, against time, in chart windows over this one.
    const auto charts = test::shown_charts();
    ASSERT_EQ(charts.size(), 2u);
    EXPECT_EQ(test::axis_titles(charts[0]),
              (std::pair<QString, QString>{"Time (fs)", "Energy (eV)"}));
    EXPECT_EQ(test::chart_lines(charts[0])[0].points[1], QPointF(4, 2.5));
    EXPECT_EQ(test::axis_titles(charts[1]).second, "|TDM| (au)");
    const auto lengths = test::chart_lines(charts[1]);
    ASSERT_EQ(lengths.size(), 2u);
    EXPECT_EQ(lengths[1].name, "Root 2");
    EXPECT_EQ(lengths[1].points.size(), 12);

    std::vector<std::string> args{"ev-extract", "--pick", (dir / "gap1.gout").string()};
    std::istringstream options("--end 12 --root-end 3 --limit-low 0 --limit-high 10 --roots 2 "
                               "--points 5 --tdm --scf-energies --scf-cycles --orbitals "
                               "--no-status-log");
    for (std::string option; options >> option;)
        args.push_back(option);
    for (const auto& [name, content] : window_files)
        std::filesystem::remove(dir / name);
    const auto run = test::run_cli(args);
    ASSERT_EQ(run.status, 0) << run.out;
    for (const auto& [name, content] : window_files)
        EXPECT_EQ(test::read_file(dir / name), content) << name;

    // A new scan, started by Return on its focused button, shows its own counts, none of the
    // run before.
    set("txt_file_end", "1");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(test::control<QPushButton>(w, "cmd_scan_file"), &enter);
    EXPECT_EQ(test::control<QLabel>(w, "lbl_files_processed")->text(), "Files Processed = 0");
    EXPECT_EQ(test::control<QLabel>(w, "lbl_files_remaining")->text(), "Files Remaining = 1");
}

TEST_F(ev_window, ErrorReportUnloadsTheWindowAndShowsTheSubMenu) {
    pick("gap1.gout"); // no such files
    click("cmd_scan_file");
    click("chk_status_file");
    click("cmd_execute");
    ASSERT_FALSE(services.messages.shown.empty());
    EXPECT_EQ(services.messages.shown.back().text,
              "Error (File not found53) in (frm_ev_extract: cmd_execute_click) routine.\n\r"
              "Returning to main menu");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_ev_extract>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
}

} // namespace
} // namespace qm
