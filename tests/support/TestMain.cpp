// The main() of every suite: a core application, and the locale and time zone every test relies on.
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    velumark::test::configureProcess();
    QCoreApplication app(argc, argv);
    velumark::test::configureApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
