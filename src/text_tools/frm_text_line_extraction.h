// "Text File Line Extraction Utility": choose an input, then an output, set the start line and
// the frequency, and Execute writes every n-th line. Opened from the Amber tools sub-menu,
// which it shows again when it is unloaded.
#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class path_label;

class frm_text_line_extraction : public QWidget {
    Q_OBJECT
public:
    explicit frm_text_line_extraction(QWidget* parent = nullptr);

    QPushButton* cmd_Input;
    QPushButton* cmd_Output;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QLabel* lbl_Start_Line;
    QLineEdit* txt_Start_Line;
    QLabel* lbl_frequency;
    QLineEdit* txt_Frequency;
    QPushButton* cmd_Execute;
    QPushButton* cmd_return;

    const std::string& input_path() const { return input_path_; }
    const std::string& output_path() const { return output_path_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_input();
    void choose_output();
    void execute();
    void update_execute();

    std::string input_path_;
    std::string output_path_;
    bool output_chosen_ = false;
    bool job_running_ = false;
};

} // namespace qm
