// "Quillmark": the main menu, the program's start window. Its picture changes every six seconds
// while the menu is in front.
#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class QPushButton;
class QTimer;

namespace qm {

class frm_init : public QWidget {
    Q_OBJECT
public:
    explicit frm_init(QWidget* parent = nullptr);

    // 0 while the start picture is shown, otherwise the number of the picture (101 to 104).
    int current_picture() const { return current_picture_; }

    // Left column.
    QPushButton* cmd_output;
    QPushButton* cmd_text_file_character_extraction;
    QPushButton* cmd_global_replace;
    QPushButton* cmd_time_conversion;
    QPushButton* cmd_unit_conversion;
    QPushButton* cmd_Amber;
    QPushButton* cmd_stokes_shift_tools;
    QPushButton* cmd_structures;
    // Right column.
    QLabel* Picture1;
    QPushButton* cmd_Correlation;
    QPushButton* cmd_about;
    QPushButton* cmd_exit;

    QTimer* timer_pic_change;

public slots:
    // One tick of timer_pic_change: the next picture of the cycle.
    void change_picture();

protected:
    // The close box ends the program, as Exit does.
    void closeEvent(QCloseEvent* event) override;

private:
    std::int16_t picture_counter_ = 1;
    int current_picture_ = 0;
};

} // namespace qm
