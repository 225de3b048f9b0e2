// "Data Extraction 1": choose the folder of absfq.dat and emisfq.dat (through either file of
// it) or type it, name the summary file, and Execute appends the Stokes shift and the
// reorganisation energy of that folder to the summary. Opened from the Stokes shift tools
// sub-menu, which it shows again when it is unloaded.
#pragma once

#include "platform/chart_data.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class frm_data_extraction1 : public QWidget {
    Q_OBJECT
public:
    explicit frm_data_extraction1(QWidget* parent = nullptr);

    QLabel* lbl_title;
    QLabel* lbl_Input_Path;
    QPushButton* cmd_Input_Path;
    QLabel* lbl_current_path;
    QLineEdit* txt_current_data_path;
    QLabel* lblOutput_Pathname;
    QLineEdit* txt_output_file;
    QPushButton* cmd_Execute;
    QPushButton* cmd_return;
    QPushButton* cmd_show_chart; // the chart of the last completed run
    QLineEdit* txt_status; // where the last summary line went

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_path();
    void execute();

    chart_data chart_;
    bool job_running_ = false;
};

} // namespace qm
