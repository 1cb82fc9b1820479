// Test entry for suites that need a QApplication: the offscreen platform
// unless another is asked for, so listing and running tests never needs a
// screen, and no platform theme, so dialogs look the same on every machine.
// A child mode that plays a host without any application object sets
// ZUB_TEST_WITHOUT_APPLICATION.
#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    std::unique_ptr<QApplication> app;
    if (!qEnvironmentVariableIsSet("ZUB_TEST_WITHOUT_APPLICATION"))
        app = std::make_unique<QApplication>(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
