#include "shell/frm_structure_transforms.h"

#include "platform/qt/widgets.h"
#include "shell/navigation.h"

#include <QCloseEvent>
#include <QPushButton>

namespace qm {

frm_structure_transforms::frm_structure_transforms(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_structure_transforms");
    setWindowTitle("Structure Transformation Tools");

    cmd_TDM_transforms = named(new QPushButton("&TDM Transformation"), "cmd_TDM_transforms");
    cmd_structure_transform =
        named(new QPushButton("&Structure Transformation"), "cmd_structure_transform");
    cmd_structure_transform->setEnabled(false);
    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    arrange_sub_menu(this, {cmd_TDM_transforms, cmd_structure_transform}, cmd_return);
}

void frm_structure_transforms::closeEvent(QCloseEvent* event) {
    show_main_menu();
    event->accept();
}

} // namespace qm
