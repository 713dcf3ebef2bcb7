#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Before the application exists, so the tests need no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
