#include "shell/frm_about.h"

#include "platform/qt/widgets.h"
#include "platform/qt/window_registry.h"
#include "shell/frm_history.h"
#include "shell/version_history.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

frm_about::frm_about(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_about");
    setWindowTitle("About");

    Label1 = named(new QLabel("Quillmark Collection"), "Label1");
    QFont title = Label1->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    Label1->setFont(title);
    lbl_version = named(new QLabel(QString::fromLatin1(program_version.data(),
                                                       static_cast<int>(program_version.size()))),
                        "lbl_version");
    Label3 = named(new QLabel("Currently Under Development"), "Label3");
    // Two blanks after "correction." as the notice has always been written.
    lbl_not = named(new QLabel("Please note - This program was originally written as an in house "
                               "tool for use with computational chemistry research and thus has "
                               "only limited error trapping and correction.  It is therefore left "
                               "to the user to determine the cause of any errors or adverse "
                               "program behaviour."),
                    "lbl_not");
    lbl_not->setWordWrap(true);
    lbl_not->setFixedWidth(400); // a wrapped label gets its height from a fixed width
    cmd_history = named(new QPushButton("&Version History"), "cmd_history");

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    for (QLabel* label : {Label1, lbl_version, Label3})
        column->addWidget(label, 0, Qt::AlignHCenter);
    column->addSpacing(10);
    column->addWidget(lbl_not);
    column->addSpacing(10);
    column->addWidget(cmd_history, 0, Qt::AlignHCenter);

    // The About window stays open beside the history.
    connect(cmd_history, &QPushButton::clicked, this,
            [this] { window_registry::instance().load<frm_history>(this); });
}

} // namespace qm
