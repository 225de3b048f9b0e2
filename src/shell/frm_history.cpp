#include "shell/frm_history.h"

#include "platform/qt/widgets.h"
#include "shell/version_history.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

frm_history::frm_history(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_history");
    setWindowTitle("Version History");

    txt_history = named(new QPlainTextEdit, "txt_history");
    txt_history->setReadOnly(true);
    txt_history->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_history->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    txt_history->setFont(fixed);
    cmd_close = named(new QPushButton("&Close"), "cmd_close");

    auto* column = new QVBoxLayout(this);
    column->addWidget(txt_history, 1);
    column->addWidget(cmd_close, 0, Qt::AlignHCenter);
    resize(700, 520);

    // Rebuilt on every load: the text is the same each time.
    txt_history->setPlainText(QString::fromStdString(version_history_text()));
    connect(cmd_close, &QPushButton::clicked, this, [this] { close(); });
}

} // namespace qm
