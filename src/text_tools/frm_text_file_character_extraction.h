// "Text File Character Extraction": choose the input, choose the output (which pre-scans the
// input and proposes range 1), fill up to five ranges, Execute. Opened from the main menu.
#pragma once

#include "text_tools/character_extraction.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qm {

class path_label;

class frm_text_file_character_extraction : public QWidget {
    Q_OBJECT
public:
    explicit frm_text_file_character_extraction(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label5;
    QLabel* Label4;
    QPushButton* cmd_input;
    QPushButton* cmd_output;
    path_label* lbl_input_path;
    path_label* lbl_output_path;
    QPushButton* cmd_execute;
    QPushButton* cmd_reset;
    QPushButton* cmd_return;
    QLabel* Label2;
    QPlainTextEdit* txt_preview;
    QLabel* lbl_Characters_Selected;
    QLabel* lbl_line_position;
    QLabel* Label6;
    QLineEdit* txt_status;
    QLabel* Label3;
    QProgressBar* progress_pre_scan;
    QLabel* Label7;
    QLabel* Label8;
    QGroupBox* frame_extract;
    QLabel *lbl_range1, *lbl_range2, *lbl_range3, *lbl_range4, *lbl_range5;
    QLabel *lbl_range1_start, *lbl_range2_start, *lbl_range3_start, *lbl_range4_start,
        *lbl_range5_start;
    QLabel *lbl_range1_finish, *lbl_range2_finish, *lbl_range3_finish, *lbl_range4_finish,
        *lbl_range5_finish;
    QLineEdit *txt_range1_start, *txt_range2_start, *txt_range3_start, *txt_range4_start,
        *txt_range5_start;
    QLineEdit *txt_range1_finish, *txt_range2_finish, *txt_range3_finish, *txt_range4_finish,
        *txt_range5_finish;

    // Result of the last pre-scan (64 bits: lines of any length).
    std::uint64_t max_line_length() const { return max_line_length_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The five controls of one range, index 0 for range 1.
    struct range_row {
        QLabel* label;
        QLabel* start_label;
        QLabel* finish_label;
        QLineEdit* start;
        QLineEdit* finish;
    };

    void build_controls();
    void connect_events();
    void choose_input();
    void choose_output();
    void range_changed(std::size_t n);
    void set_range_enabled(std::size_t n, bool enabled);
    void show_preview_position();
    void execute();
    void reset_form();
    void reset_after_run();

    std::array<range_row, range_count> rows_{};
    std::string input_path_;
    std::string output_path_;
    std::uint64_t max_line_length_ = 0;
    std::uint64_t min_value_ = 0;
    bool job_running_ = false;
};

} // namespace qm
