#include "ev_extract/frm_ev_extract.h"
#include "platform/qt/ui_services.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/navigation.h"

#include "support/cli_support.h"
#include "support/gui_support.h"
#include "support/td_files.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>

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
    void type(const char* name, char key) { // a printable key's code: its upper-case character
        QKeyEvent press(QEvent::KeyPress, QChar(key).toUpper().unicode(), Qt::NoModifier,
                        QString(QChar(key)));
        QCoreApplication::sendEvent(edit(name), &press);
    }
    std::string status() { return edit("txtCurrentStatus")->text().toStdString(); }
    std::string label(const char* name) {
        return test::control<QLabel>(w, name)->text().toStdString();
    }
    // '+' for each control that is enabled, '-' for each that is not.
    std::string enabled(std::initializer_list<const char*> names) {
        std::string marks;
        for (const char* name : names)
            marks += test::control<QWidget>(w, name)->isEnabled() ? '+' : '-';
        return marks;
    }
};

// Only the series controls until a scan; a refused scan shows why and leaves no series.
TEST_F(ev_window, OpensWithOnlyTheSeriesControls) {
    EXPECT_EQ(w->windowTitle() + "|" + test::control<QPushButton>(w, "cmd_execute")->text(),
              "Ev Extraction|E&xecute");
    EXPECT_EQ(status(), "Waiting for Input Files");
    const auto scanned = {"txt_output_prefix", "txtno_roots", "cmd_execute", "frm_extract_mode"};
    EXPECT_EQ(enabled(scanned) + enabled({"chk_TDM_sep_files", "chk_calc_tdm_angle"}), "------");
    set("txt_file_end", "20");
    set("txt_interval", "5");
    click("cmd_scan_file");
    EXPECT_EQ(status() + "|" + label("lbl_files_remaining"),
              "Ready to Process 16 Files.|Files Remaining = 16");
    EXPECT_EQ(enabled(scanned), "++++");
    set("txt_interval", "0");
    click("cmd_scan_file");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Interval invalid");
    EXPECT_EQ(w->series().file_count, 0);
}

// A compressed pick sets the zipped box; a plain one leaves it as it was.
TEST_F(ev_window, PickedFileFillsPrefixSuffixAndZipped) {
    QString picked;
    for (const char* name : {"run5.gout.gz", "snapshot12"}) {
        pick(name);
        picked += edit("txt_File_Prefix")->text() + "|" + edit("txt_File_suffix")->text() +
                  (check("chk_zipped_files")->isChecked() ? "|zipped;" : "|plain;");
    }
    EXPECT_EQ(picked, "run|.gout.gz|zipped;snapshot||zipped;");
}

// The angle box takes exactly two roots, the orbital boxes fewer than three; an interval above
// 1 clears and takes away the relative-TDM box; Execute needs every setting.
TEST_F(ev_window, RootCountIntervalAndEmptyBoxRules) {
    click("cmd_scan_file");
    click("chk_calc_rel_tdm");
    click("opt_orbital_profile");
    const auto boxes = {"chk_calc_tdm_angle",  "chk_tdm_align_only", "txt_orb_state2_to",
                        "txt_orb_state1_from", "lbl_orb_state2",     "chk_calc_rel_tdm"};
    set("txtno_roots", "3");
    EXPECT_EQ(enabled(boxes), "-+---+");
    set("txtno_roots", "2");
    EXPECT_EQ(enabled(boxes), "++++++");
    // intervalThatClearsTheRelativeBoxClearsAndDisablesTheMethodBox, which stays so while the
    // relative box is clear.
    click("chk_tdm_align_only");
    set("txt_interval", "2");
    EXPECT_EQ(enabled(boxes), "+-+++-");
    EXPECT_FALSE(check("chk_calc_rel_tdm")->isChecked() ||
                 check("chk_tdm_align_only")->isChecked());
    set("txt_interval", "1");
    EXPECT_EQ(enabled(boxes), "+-++++");

    click("chk_tdm_data");
    set("txt_points", "");
    EXPECT_EQ(enabled({"chk_TDM_sep_files", "cmd_execute"}), "+-");
    set("txt_points", "10");
    EXPECT_EQ(enabled({"cmd_execute"}), "+");
}

TEST_F(ev_window, RejectedKeysBeepAndChangeNothing) {
    click("cmd_scan_file"); // the settings boxes take keys once the series is scanned
    set("txt_points", "1");
    set("txt_time_step", "2");
    for (char key : {'.', 'a', '5'}) // digits only here
        type("txt_points", key);
    for (char key : {'.', '-'})
        type("txt_time_step", key);
    EXPECT_EQ(edit("txt_points")->text() + "|" + edit("txt_time_step")->text(), "15|2.");
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
    EXPECT_EQ(label("lbl_files_processed"), "Files Processed=24");
    EXPECT_EQ(window_registry::instance().find<frm_ev_extract>(), w);
    EXPECT_EQ(enabled({"cmd_execute", "cmd_show_chart"}), "++");
    std::map<std::string, std::string> window_files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().starts_with("freqgap"))
            window_files[entry.path().filename().string()] = test::read_file(entry.path());
    EXPECT_EQ(window_files.size(), 2u * (1 + 3 + 1 + 1 + 1 + 3)); // per root: EV, SCF x3, ...
    // The energies and TDM lengths chosen, against time, in chart windows over this one.
    const auto charts = test::shown_charts();
    ASSERT_EQ(charts.size(), 2u);
    EXPECT_EQ(test::chart_lines(charts[0]).at(0).points.at(1), QPointF(4, 2.5));
    EXPECT_EQ(test::axis_titles(charts[1]).second + " " + test::chart_lines(charts[1]).at(1).name,
              "|TDM| (au) Root 2");

    for (const auto& [name, content] : window_files)
        std::filesystem::remove(dir / name);
    const auto run = test::run_words(
        "ev-extract --end 12 --root-end 3 --limit-low 0 --limit-high 10 --roots 2 --points 5 --tdm "
        "--scf-energies --scf-cycles --orbitals --no-status-log --pick " +
        (dir / "gap1.gout").string());
    ASSERT_EQ(run.status, 0) << run.out;
    for (const auto& [name, content] : window_files)
        EXPECT_EQ(test::read_file(dir / name), content) << name;

    // A new scan shows its own counts, none of the run before.
    set("txt_file_end", "1");
    click("cmd_scan_file");
    EXPECT_EQ(label("lbl_files_processed") + "|" + label("lbl_files_remaining"),
              "Files Processed = 0|Files Remaining = 1");
}

// A zero-padded series with a missing file, skipped, and the results table: the window's run
// and the command line's give the same table. A picked name without a number is refused, and
// a table without its file.
TEST_F(ev_window, PaddedSeriesSkippedFileAndTableLikeTheCommandLine) {
    for (int i = 1; i <= 4; ++i)
        if (i != 3)
            test::write_file(dir / ("frame_000" + std::to_string(i) + ".gout"),
                             test::td_output({{3.5 + 0.01 * i, 0.2}, {2.5, 0.1}}));
    pick("frame_0001.gout");
    EXPECT_EQ(edit("txt_File_Prefix")->text() + "|" + edit("txt_digits")->text(), "frame_|4");
    pick("run.gout");
    EXPECT_EQ(services.messages.shown.back().title + ": " + services.messages.shown.back().text,
              "No File Number: The file name run.gout holds no number: pick one file of a "
              "numbered series.");
    EXPECT_EQ(edit("txt_File_Prefix")->text(), "frame_");
    set("txt_file_end", "4");
    click("cmd_scan_file");
    set("txt_root_end", "2");
    set("txt_limit_low", "0");
    set("txt_limit_high", "10");
    click("chk_status_file");
    click("chk_skip_failed");
    click("chk_results_table");
    click("cmd_execute");
    EXPECT_EQ(services.messages.shown.back().text, "Choose the file of the results table first.");
    set("txt_results_table", (dir / "window.csv").string().c_str());
    click("cmd_execute");
    EXPECT_EQ(services.messages.shown.back().text, "Extraction Complete\n\r4 files, 1 skipped");
    const auto run = test::run_words("ev-extract --end 4 --root-end 2 --limit-low 0 --limit-high "
                                     "10 --skip-failed --no-status-log --table " +
                                     (dir / "cli.csv").string() + " --pick " +
                                     (dir / "frame_0002.gout").string());
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string table = test::read_file(dir / "window.csv");
    EXPECT_EQ(test::read_file(dir / "cli.csv"), table);
    EXPECT_NE(table.find("\n3,frame_0003.gout,6,1,,,,,,,,,,,,skipped: File not found\n"),
              std::string::npos);
}

TEST_F(ev_window, ErrorReportUnloadsTheWindowAndShowsTheSubMenu) {
    pick("gap1.gout"); // no such files
    click("cmd_scan_file");
    click("chk_status_file");
    click("cmd_execute");
    ASSERT_FALSE(services.messages.shown.empty());
    EXPECT_EQ(services.messages.shown.back().text.substr(0, 24), "Error (File not found53)");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_registry::instance().find<frm_ev_extract>(), nullptr);
    EXPECT_TRUE(menu->isVisible());
}

} // namespace
} // namespace qm
