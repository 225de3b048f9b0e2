// The windows' Qt services: file dialogs, the job's widgets, path labels and saved charts.
#include "platform/qt/chart_panel.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"

#include "support/test_support.h"

#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace qm {
namespace {

// Only a file that is replaced is asked about, "*.*" is every file, the title is the button's
// without access key or step number, and a dialog starts in the last chosen file's folder.
TEST(FileDialogs, KindFilterTitleAndFolderFollowWhatIsChosenAndTheButton) {
    qt_file_dialogs dialogs;
    for (const auto purpose : {file_purpose::read, file_purpose::overwrite, file_purpose::keep}) {
        QFileDialog dialog;
        dialogs.prepare(dialog, {"Text (*.txt;*.dat)|*.txt;*.dat|All Files (*.*)|*.*|", 2,
                                 "Select Output File", purpose});
        EXPECT_EQ(dialog.windowTitle() + " | " + dialog.nameFilters().join(";;") + " | " +
                      dialog.selectedNameFilter(),
                  "Select Output File | Text (*.txt *.dat);;All Files (*) | All Files (*)");
        const bool read = purpose == file_purpose::read;
        EXPECT_EQ(dialog.fileMode(), read ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        EXPECT_EQ(dialog.acceptMode(), read ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        EXPECT_TRUE(read || dialog.testOption(QFileDialog::DontConfirmOverwrite) ==
                                (purpose == file_purpose::keep));
    }
    for (const char* caption :
         {"&3) Select Output File", "1) &Select Output File", "Select  &Output File"}) {
        QPushButton button(caption);
        EXPECT_EQ(file_button_dialog(&button, file_purpose::read).title, "Select Output File");
    }
    test::temp_dir dir;
    dialogs.remember_folder_of(QString::fromStdString((dir / "gap1.gout").string()));
    QFileDialog next;
    dialogs.prepare(next, {});
    EXPECT_EQ(next.directory().absolutePath().toStdString(), dir.path().string());
}

// A value past the end is shown full, never an error, and a bar over a 5 GiB file in bytes
// stays in proportion.
TEST(WidgetJobUi, DrivesTheWindowsWidgetsAndPointerAndABarOverTwoGigabytesStaysInProportion) {
    QWidget window;
    auto* bar = new QProgressBar(&window);
    widget_job_ui ui({&window, nullptr, nullptr, nullptr, bar, {&window}});
    {
        busy_pointer hourglass(ui);
        EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
        ui.progress_range(0, 10);
        ui.progress_value(25);
        EXPECT_EQ(bar->value(), 10);
    }
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    ui.progress_range(0, 5LL << 30);
    ui.progress_value(5LL << 29);
    EXPECT_EQ(bar->value() * 2LL, bar->maximum() - bar->maximum() % 2);
    ui.progress_range(0, 100);
    ui.progress_value(40);
    EXPECT_EQ(bar->value(), 40);
    ui.progress_to_maximum();
    EXPECT_EQ(bar->value(), 100);
}

// A long path keeps its start and file name, whole in the tooltip, and never widens its window.
TEST(PathLabel, ElidesTheMiddleAndKeepsTheWholePathAsTooltip) {
    path_label label("lbl_input_path");
    const std::string path = "/home/researcher/runs/solvated_dye/trajectory_frames/gap0001.gout";
    label.set_path(path);
    label.resize(label.minimumSizeHint());
    label.show();
    EXPECT_EQ(label.toolTip().toStdString(), path);
    EXPECT_TRUE(QRegularExpression("^/ho.*\u2026.*out$").match(label.text()).hasMatch())
        << label.text().toStdString();
    EXPECT_LT(label.sizeHint().width(), 600);
}

TEST(ChartPanel, SavesPngOrSvgByTheNameAndSaysWhenItCannot) {
    scoped_test_services services;
    test::temp_dir dir;
    chart_panel panel("chart_results");
    panel.resize(400, 300);
    panel.show_charts({chart_data{"Test", "x (s)", "y (m)", {{"line", {{0, 0}, {1, 1}}}}}});
    for (const char* name : {"chart.svg", "chart.png", "no folder/chart.png"}) {
        services.dialogs.queue_path((dir / name).string());
        panel.cmd_save_chart->click();
    }
    EXPECT_TRUE(test::read_file(dir / "chart.svg").starts_with("<?xml"));
    EXPECT_EQ(test::read_file(dir / "chart.png").substr(1, 3), "PNG");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Chart Not Saved");
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::overwrite);
}

} // namespace
} // namespace qm
