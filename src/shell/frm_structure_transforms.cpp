#include "shell/frm_structure_transforms.h"

#include "platform/qt/widgets.h"
#include "shell/navigation.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

frm_structure_transforms::frm_structure_transforms(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_structure_transforms");
    setWindowTitle("Structure Transformation Tools");

    cmd_TDM_transforms = named(new QPushButton("&TDM Transformation"), "cmd_TDM_transforms");
    cmd_structure_transform =
        named(new QPushButton("&Structure Transformation"), "cmd_structure_transform");
    cmd_structure_transform->setEnabled(false);
    cmd_return = named(new QPushButton("&Return to Main Menu"), "cmd_return");

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QPushButton* button : {cmd_TDM_transforms, cmd_structure_transform, cmd_return}) {
        button->setMinimumWidth(280);
        column->addWidget(button);
    }

    connect(cmd_return, &QPushButton::clicked, this, [this] { return_to_main_menu(this); });
}

void frm_structure_transforms::closeEvent(QCloseEvent* event) {
    show_main_menu();
    event->accept();
}

} // namespace qm
