#include "shell/frm_stokes_shift_tools.h"

#include "ev_extract/frm_ev_extract.h"
#include "platform/qt/widgets.h"
#include "shell/navigation.h"
#include "stokes/frm_Phase_Correction.h"
#include "stokes/frm_data_extraction1.h"
#include "stokes/frm_gap_fluctuations.h"
#include "stokes/frm_spectrum.h"
#include "stokes/frm_tdss.h"

#include <QCloseEvent>
#include <QPushButton>

namespace qm {

frm_stokes_shift_tools::frm_stokes_shift_tools(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_stokes_shift_tools");
    setWindowTitle("Stokes Shift QMMM Investigation Tools");

    cmd_ev_extract =
        named(new QPushButton("&EV to Rad Per Sec Extractor / Convertor"), "cmd_ev_extract");
    cmd_Data_extract1 = named(new QPushButton("&Data Extraction"), "cmd_Data_extract1");
    cmd_Phase_correct = named(new QPushButton("&Phase Correction Tool"), "cmd_Phase_correct");
    cmd_TDSS = named(new QPushButton("&Time Dependent Stokes Shift (attempt 1)"), "cmd_TDSS");
    cmd_spectrum = named(new QPushButton("&Spectrum from Excited States"), "cmd_spectrum");
    cmd_gap_fluctuations =
        named(new QPushButton("Energy &Gap Fluctuations"), "cmd_gap_fluctuations");
    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    arrange_sub_menu(this,
                     {cmd_ev_extract, cmd_Data_extract1, cmd_Phase_correct, cmd_TDSS, cmd_spectrum,
                      cmd_gap_fluctuations},
                     cmd_return);

    connect(cmd_ev_extract, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_ev_extract>(this); });
    connect(cmd_Data_extract1, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_data_extraction1>(this); });
    connect(cmd_Phase_correct, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_Phase_Correction>(this); });
    connect(cmd_TDSS, &QPushButton::clicked, this, [this] { open_from_sub_menu<frm_tdss>(this); });
    connect(cmd_spectrum, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_spectrum>(this); });
    connect(cmd_gap_fluctuations, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_gap_fluctuations>(this); });
}

void frm_stokes_shift_tools::closeEvent(QCloseEvent* event) {
    show_main_menu();
    event->accept();
}

} // namespace qm
