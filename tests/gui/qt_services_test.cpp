#include "platform/qt/chart_panel.h"
#include "platform/qt/path_label.h"
#include "platform/qt/ui_services.h"
#include "platform/qt/widget_job_ui.h"

#include "support/test_support.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(QtFilter, EveryFileMeansEveryFile) {
    EXPECT_EQ(qt_filter("All Files (*.*)|*.*|"), "All Files (*)");
    EXPECT_EQ(qt_filter("Text (*.txt;*.dat)|*.txt;*.dat|All Files (*.*)|*.*|"),
              "Text (*.txt *.dat);;All Files (*)");
}

TEST(WidgetJobUi, DrivesTheWindowsWidgetsAndPointerAndABarOverTwoGigabytesStaysInProportion) {
    scoped_test_services services;
    QWidget window;
    auto* status = new QLineEdit(&window);
    auto* bar = new QProgressBar(&window);
    widget_job_ui ui({&window, status, nullptr, nullptr, bar, {&window}});
    {
        busy_pointer hourglass(ui);
        EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
        ui.status("Lines Scanned = 12");
        ui.progress_range(0, 10);
        ui.progress_value(25); // past the end: shown full, never an error
        EXPECT_EQ(bar->value(), 10);
        ui.progress_value(3);
        ui.progress_to_maximum();
        ui.message(message_icon::information, "Done", "All\n\rdone");
    }
    EXPECT_EQ(status->text(), "Lines Scanned = 12");
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text, "All\n\rdone"); // the job's own break is kept
    ui.progress_range(0, 5LL << 30);                           // a 5 GiB file in bytes
    ui.progress_value(5LL << 29);                              // half of it read
    EXPECT_EQ(bar->value() * 2LL, bar->maximum() - bar->maximum() % 2);
    ui.progress_range(0, 100);
    ui.progress_value(40);
    EXPECT_EQ(bar->value(), 40);
}

TEST(FileDialogs, KindTitleAndFolderFollowWhatIsChosenAndTheButton) {
    qt_file_dialogs dialogs;
    for (const auto purpose : {file_purpose::read, file_purpose::overwrite, file_purpose::keep}) {
        QFileDialog dialog;
        dialogs.prepare(dialog, {"All Files (*.*)|*.*|", 1, "Select Output File", purpose});
        EXPECT_EQ(dialog.windowTitle(), "Select Output File");
        const bool read = purpose == file_purpose::read;
        EXPECT_EQ(dialog.fileMode(), read ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        EXPECT_EQ(dialog.acceptMode(), read ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        // Only a dialog for a file that is replaced asks before replacing it.
        EXPECT_TRUE(read || dialog.testOption(QFileDialog::DontConfirmOverwrite) ==
                                (purpose == file_purpose::keep));
    }
    // Titled by the button, without its access key or step number.
    for (const auto& [caption, title] :
         {std::pair{"&3) Select Output File", "Select Output File"},
          std::pair{"1) &Select Spectral Density File", "Select Spectral Density File"},
          std::pair{"Select  &Input Trajectory File", "Select Input Trajectory File"}}) {
        QPushButton button(caption);
        EXPECT_EQ(file_button_dialog(&button, file_purpose::read).title, title);
    }
    // The next dialog starts where the last one was left.
    test::temp_dir dir;
    dialogs.remember_folder_of(QString::fromStdString((dir / "gap1.gout").string()));
    QFileDialog next;
    dialogs.prepare(next, {});
    EXPECT_EQ(next.directory().absolutePath().toStdString(), dir.path().string());
}

TEST(PathLabel, ElidesTheMiddleAndKeepsTheWholePathAsTooltip) {
    path_label label("lbl_input_path");
    const std::string path = "/home/researcher/runs/solvated_dye/trajectory_frames/gap0001.gout";
    label.set_path(path);
    label.resize(label.minimumSizeHint());
    label.show();
    EXPECT_EQ(label.toolTip().toStdString(), path);
    const QString shown = label.text();
    EXPECT_TRUE(shown.startsWith("/ho") && shown.contains(QChar(0x2026)) && shown.endsWith("out"))
        << shown.toStdString();
    EXPECT_LT(label.sizeHint().width(), 600) << "a long path never widens its window";

    label.set_paths({"/data/run/a.dat", "/data/run/b.dat"});
    EXPECT_EQ(label.full_text(), "2 files in /data/run");
    EXPECT_EQ(label.toolTip(), "/data/run/a.dat\n/data/run/b.dat");
}

TEST(ChartPanel, SavesPngOrSvgByTheNameAndSaysWhenItCannot) {
    scoped_test_services services;
    test::temp_dir dir;
    chart_panel panel("chart_results");
    panel.resize(400, 300);
    panel.show_charts({chart_data{"Test", "x (s)", "y (m)", {{"line", {{0, 0}, {1, 1}}}}}});
    services.dialogs.queue_path((dir / "chart.svg").string());
    services.dialogs.queue_path((dir / "chart.png").string());
    services.dialogs.queue_path((dir / "no folder" / "chart.png").string());
    for (int i = 0; i < 3; ++i)
        panel.cmd_save_chart->click();
    EXPECT_TRUE(test::read_file(dir / "chart.svg").starts_with("<?xml"));
    EXPECT_EQ(test::read_file(dir / "chart.png").substr(1, 3), "PNG");
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].title, "Chart Not Saved");
    EXPECT_EQ(services.dialogs.asked[0].purpose, file_purpose::overwrite);
}

} // namespace
} // namespace qm
