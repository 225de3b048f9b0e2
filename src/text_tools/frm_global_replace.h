// "Global Search & Replace": choose files of one folder, one or two search/replace pairs,
// optional backups; Execute rewrites every changed file in place.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class path_label;

class frm_global_replace : public QWidget {
    Q_OBJECT
public:
    explicit frm_global_replace(QWidget* parent = nullptr);

    QPushButton* cmd_input;
    path_label* lbl_input_path; // the files chosen
    QLabel* Label1;
    QCheckBox* chk_backups;
    QGroupBox* frm_replacement1;
    QLabel* lbl_search1;
    QLineEdit* txt_search1;
    QLabel* lbl_replace1;
    QLineEdit* txt_replace1;
    QGroupBox* frm_replacement2;
    QLabel* lbl_search2;
    QLineEdit* txt_search2;
    QLabel* lbl_replace2;
    QLineEdit* txt_replace2;
    QPushButton* cmd_execute;
    QPushButton* cmd_return_to_menu;
    QGroupBox* Frame1;
    QLabel* lbl_files_processed;
    QLabel* lbl_files_remaining;
    QLabel* lbl_replacements_made;
    QLabel* Label3;
    QProgressBar* ProgressBar;
    QLabel* Label7;
    QLabel* Label8;

    // The selection: full paths of the chosen files.
    const std::vector<std::string>& files() const { return files_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void choose_files();
    void search1_changed();
    void execute();

    std::vector<std::string> files_;
    bool job_running_ = false;
};

} // namespace qm
