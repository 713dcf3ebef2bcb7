#include <QApplication>
#include <QStandardPaths>
#include <QByteArray>
#include <gtest/gtest.h>

// The views are tested without a display: the offscreen platform is chosen before the
// application exists.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    // Settings go to the toolkit's test folder, never to the user's own.
    QStandardPaths::setTestModeEnabled(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
