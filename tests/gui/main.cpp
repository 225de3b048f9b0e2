// Window tests run offscreen (unless another platform is asked for), one QApplication for all.
// Windows remember their settings: every test starts with none remembered, in a settings
// folder of the test program's own, never the user's nor another test program's.
#include "platform/qt/remembered_settings.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

class forget_settings_between_tests final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { QSettings().clear(); }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Quillmark");
    QApplication::setApplicationName("Quillmark tests");
    const QTemporaryDir settings_folder;
    if (!settings_folder.isValid())
        return 1;
    qm::set_settings_folder(settings_folder.path());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new forget_settings_between_tests);
    return RUN_ALL_TESTS();
}
