#include "platform/qtapp.h"
#include <QLocale>

#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv)
{
    // gtest_discover_tests runs this binary at build time without the test environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QuarnelTestEnvironment);
    return RUN_ALL_TESTS();
}
