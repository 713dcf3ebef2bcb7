#include "core/qt/WindowGeometryKeeper.h"

#include <QApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace quantem::ui::test {
namespace {

    class KeptWindows : public ::testing::Test
    {
    protected:
        KeptWindows()
        {
            QSettings().remove(QStringLiteral("windows"));
            qApp->installEventFilter(&keeper);
        }
        ~KeptWindows() override { qApp->removeEventFilter(&keeper); }

        static std::unique_ptr<QWidget> window(const char* name, QRect geometry)
        {
            auto widget = std::make_unique<QWidget>();
            widget->setObjectName(QString::fromLatin1(name));
            widget->setGeometry(geometry);
            return widget;
        }

        // Shows a window, lets the user leave it at `left`, and closes it.
        static void leave(const char* name, QRect left)
        {
            auto widget = window(name, QRect(50, 60, 200, 150));
            widget->show();
            widget->setGeometry(left);
            widget->close();
        }

        WindowGeometryKeeper keeper { { { QStringLiteral("Placed"), KeptGeometry::Whole },
            { QStringLiteral("Centred"), KeptGeometry::Size } } };
    };

    TEST_F(KeptWindows, AWindowComesBackWhereItWasLeftAndOnlyOnItsFirstShow)
    {
        auto first = window("Placed", QRect(50, 60, 200, 150));
        first->show(); // nothing saved yet: its own geometry
        EXPECT_EQ(first->geometry(), QRect(50, 60, 200, 150));
        first->close();

        leave("Placed", QRect(110, 120, 420, 310));
        auto again = window("Placed", QRect(0, 0, 100, 100));
        again->show();
        EXPECT_EQ(again->geometry(), QRect(110, 120, 420, 310));
        // Moved within the session, hidden and shown again: it stays where the user put it.
        again->setGeometry(QRect(130, 140, 300, 200));
        again->hide();
        again->show();
        EXPECT_EQ(again->geometry(), QRect(130, 140, 300, 200));
    }

    TEST_F(KeptWindows, ACentredWindowTakesItsSizeBackAroundItsOwnCentre)
    {
        leave("Centred", QRect(10, 10, 500, 340));
        auto widget = window("Centred", QRect(300, 250, 200, 100)); // centred on (399, 299)
        const QPoint centre = widget->geometry().center();
        widget->show();
        EXPECT_EQ(widget->size(), QSize(500, 340));
        EXPECT_LE((widget->geometry().center() - centre).manhattanLength(), 1);
    }

    TEST_F(KeptWindows, UnlistedWindowsAreNeverKeptAndAFarPlaceComesBackOnScreen)
    {
        leave("Message", QRect(110, 120, 420, 310));
        auto message = window("Message", QRect(50, 60, 200, 150));
        message->show();
        EXPECT_EQ(message->geometry(), QRect(50, 60, 200, 150));

        // Left on a screen that is no longer there.
        leave("Placed", QRect(20000, 20000, 300, 200));
        auto placed = window("Placed", QRect(50, 60, 200, 150));
        placed->show();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(area.contains(placed->geometry())) << placed->geometry().x();
        EXPECT_EQ(placed->size(), QSize(300, 200));
    }

} // namespace
} // namespace quantem::ui::test
