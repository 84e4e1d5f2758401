// The main() of the editing suite: a GUI application (without windows), since printing lays text
// out with the desktop's fonts; the locale and time zone every test relies on.
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    velumark::test::configureProcess();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    velumark::test::configureApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
