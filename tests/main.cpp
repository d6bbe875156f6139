#include "platform/qtapp.h"
#include <QLocale>

#include <gtest/gtest.h>

#include "support/test_env.h"
#include "update/update_server.h"

int main(int argc, char** argv)
{
    // gtest_discover_tests runs this binary at build time without the test environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    // Windows made by the tests ask for updates at start-up: they reach this stub,
    // which knows no file, and never the build's update server.
    UpdateServer noUpdates;
    qputenv("QUARNEL_UPDATE_SERVER", noUpdates.Address().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QuarnelTestEnvironment);
    return RUN_ALL_TESTS();
}
