#include "shell/frm_Amber_Tools.h"

#include "amber/frm_mdcrd_strip.h"
#include "platform/qt/widgets.h"
#include "shell/navigation.h"
#include "text_tools/frm_text_line_extraction.h"

#include <QCloseEvent>
#include <QPushButton>

namespace qm {

frm_Amber_Tools::frm_Amber_Tools(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_Amber_Tools");
    setWindowTitle("Amber Tools");

    cmd_mdcrd = named(new QPushButton("&Amber MDCRD Atom Stripper"), "cmd_mdcrd");
    Command1 = named(new QPushButton("&Text File Line Extraction Tool"), "Command1");
    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    arrange_sub_menu(this, {cmd_mdcrd, Command1}, cmd_return);

    connect(cmd_mdcrd, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_mdcrd_strip>(this); });
    connect(Command1, &QPushButton::clicked, this,
            [this] { open_from_sub_menu<frm_text_line_extraction>(this); });
}

void frm_Amber_Tools::closeEvent(QCloseEvent* event) {
    show_main_menu();
    event->accept();
}

} // namespace qm
