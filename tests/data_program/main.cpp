#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before the application exists, so the tests need no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // Settings go to the toolkit's test folder, never to the user's own.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
