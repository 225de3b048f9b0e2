#include "shell/frm_convertor_status.h"

#include "platform/qt/widgets.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace qm {

frm_convertor_status::frm_convertor_status(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_convertor_status");
    setWindowTitle("Conversion Status");

    Label1 = named(new QLabel("Conversion in Progress - Please Wait ..."), "Label1");
    lbl_status = named(new QLabel("Current Status:"), "lbl_status");
    txt_status = named(new QLineEdit, "txt_status");
    txt_status->setReadOnly(true);
    txt_status->setMinimumWidth(420);
    Label5 = named(new QLabel("Progress:"), "Label5");
    bar_progress = progress_bar("bar_progress", 100);
    Label6 = named(new QLabel("0 %"), "Label6");
    Label7 = named(new QLabel("100 %"), "Label7");
    Label7->setAlignment(Qt::AlignRight);

    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->setFont(heading);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(lbl_status, 1, 0, 1, 2);
    grid->addWidget(txt_status, 2, 0, 1, 2);
    grid->addWidget(Label5, 3, 0, 1, 2);
    grid->addWidget(bar_progress, 4, 0, 1, 2);
    grid->addWidget(Label6, 5, 0, Qt::AlignLeft);
    grid->addWidget(Label7, 5, 1);
}

void frm_convertor_status::closeEvent(QCloseEvent* event) {
    if (job_running)
        event->ignore();
    else
        event->accept();
}

} // namespace qm
