// The Quillmark desktop program: the main menu, and every tool it opens.
#include "platform/qt/window_registry.h"
#include "shell/frm_init.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillmark");
    // The windows' remembered settings: ~/.config/Quillmark/Quillmark.conf.
    QApplication::setOrganizationName("Quillmark");
    // Hiding the main menu while a tool is open must not end the program; Exit and the main
    // menu's close box do.
    QApplication::setQuitOnLastWindowClosed(false);

    qm::window_registry::instance().load<qm::frm_init>();
    const int status = QApplication::exec();
    // Exit ends at once: the windows go without running their close steps.
    qm::window_registry::instance().destroy_all();
    return status;
}
