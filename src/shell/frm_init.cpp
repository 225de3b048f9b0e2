#include "shell/frm_init.h"

#include "conversion/frm_convertor.h"
#include "correlation/frm_correlation_functions.h"
#include "platform/qt/widgets.h"
#include "shell/frm_Amber_Tools.h"
#include "shell/frm_about.h"
#include "shell/frm_stokes_shift_tools.h"
#include "shell/frm_structure_transforms.h"
#include "shell/navigation.h"
#include "shell/pictures.h"
#include "text_tools/frm_global_replace.h"
#include "text_tools/frm_text_file_character_extraction.h"
#include "units/frm_time_conversion.h"
#include "units/frm_unit_conversion.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace qm {

namespace {
// Room for the start picture (225 x 161) and for the tallest of the others (222 x 162).
constexpr QSize picture_box(225, 162);
constexpr int picture_interval_ms = 6000;
} // namespace

frm_init::frm_init(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_init");
    setWindowTitle("Quillmark");

    cmd_output = named(new QPushButton("&Output Conversion/Extraction Tool"), "cmd_output");
    cmd_text_file_character_extraction = named(new QPushButton("&Text File Character Extraction"),
                                               "cmd_text_file_character_extraction");
    cmd_global_replace = named(new QPushButton("&Global Search and Replace"), "cmd_global_replace");
    cmd_time_conversion = named(new QPushButton("T&ime Conversion"), "cmd_time_conversion");
    cmd_unit_conversion = named(new QPushButton("&Unit Conversion"), "cmd_unit_conversion");
    cmd_Amber = named(new QPushButton("&Amber File Manipulation Tools"), "cmd_Amber");
    cmd_stokes_shift_tools =
        named(new QPushButton("&Stokes Shift QMMM Investigation Tools"), "cmd_stokes_shift_tools");
    cmd_structures = named(new QPushButton("Structure Transformation Tools"), "cmd_structures");
    cmd_structures->setEnabled(false); // nothing in the program enables it

    Picture1 = named(new QLabel, "Picture1");
    Picture1->setFixedSize(picture_box);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setPixmap(start_picture());
    cmd_Correlation = named(new QPushButton("Calculate Correlation Function"), "cmd_Correlation");
    cmd_about = named(new QPushButton("About"), "cmd_about");
    cmd_exit = named(new QPushButton("&Exit"), "cmd_exit");

    // The picture spans the first five rows on the right, so its three buttons line up with
    // the last three on the left; five rows of buttons as tall as the picture keep the gaps of
    // the left column even.
    constexpr int spacing = 6;
    const int row_height = (picture_box.height() - 4 * spacing + 4) / 5;
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(spacing);
    QPushButton* const left[] = {cmd_output,
                                 cmd_text_file_character_extraction,
                                 cmd_global_replace,
                                 cmd_time_conversion,
                                 cmd_unit_conversion,
                                 cmd_Amber,
                                 cmd_stokes_shift_tools,
                                 cmd_structures};
    for (int row = 0; row < 8; ++row)
        grid->addWidget(left[row], row, 0);
    grid->addWidget(Picture1, 0, 1, 5, 1, Qt::AlignCenter);
    grid->addWidget(cmd_Correlation, 5, 1);
    grid->addWidget(cmd_about, 6, 1);
    grid->addWidget(cmd_exit, 7, 1);
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setMinimumHeight(row_height);

    connect(cmd_output, &QPushButton::clicked, this, [] { open_from_main_menu<frm_convertor>(); });
    connect(cmd_text_file_character_extraction, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_text_file_character_extraction>(); });
    connect(cmd_global_replace, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_global_replace>(); });
    connect(cmd_time_conversion, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_time_conversion>(); });
    connect(cmd_unit_conversion, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_unit_conversion>(); });
    connect(cmd_Amber, &QPushButton::clicked, this, [] { open_from_main_menu<frm_Amber_Tools>(); });
    connect(cmd_stokes_shift_tools, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_stokes_shift_tools>(); });
    connect(cmd_structures, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_structure_transforms>(); });
    connect(cmd_Correlation, &QPushButton::clicked, this,
            [] { open_from_main_menu<frm_correlation_functions>(); });
    // About opens beside the menu, which stays in front with its pictures running.
    connect(cmd_about, &QPushButton::clicked, this,
            [this] { window_registry::instance().load<frm_about>(this); });
    // Exit ends at once: main deletes the windows without running their close steps.
    connect(cmd_exit, &QPushButton::clicked, this, [] { QCoreApplication::exit(0); });

    timer_pic_change = named(new QTimer(this), "timer_pic_change");
    timer_pic_change->setInterval(picture_interval_ms);
    connect(timer_pic_change, &QTimer::timeout, this, &frm_init::change_picture);
    timer_pic_change->start();
}

void frm_init::change_picture() {
    // The counter starts at 1 when the menu loads, so the first tick shows 102; after 104 it
    // falls back to 0 and the next tick shows 101.
    ++picture_counter_;
    switch (picture_counter_) {
    case 1:
        current_picture_ = 101;
        break;
    case 2:
        current_picture_ = 102;
        break;
    case 3:
        current_picture_ = 103;
        break;
    case 4:
        current_picture_ = 104;
        picture_counter_ = 0;
        break;
    default:
        return;
    }
    Picture1->setPixmap(menu_picture(current_picture_));
}

void frm_init::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace qm
