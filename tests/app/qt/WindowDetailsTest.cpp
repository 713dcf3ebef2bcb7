#include "ViewFixture.h"
#include "app/qt/ApplicationIdentity.h"
#include "app/qt/ReportPrinting.h"
#include "chart/ChartWindow.h"
#include "chart/qt/ChartWindowView.h"
#include "support/PlantedLink.h"
#include "support/Recording.h"

#include <QActionGroup>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace quantem::ui::test {
namespace {

    using WindowDetails = ViewFixture;

    TEST_F(WindowDetails, ModelMenusMarkTheChosenModelAsOneOption)
    {
        QAction* linear = control<QAction>("xxhg1");
        QAction* power = control<QAction>("tshg11");
        ASSERT_NE(linear->actionGroup(), nullptr);
        EXPECT_EQ(linear->actionGroup(), power->actionGroup());
        EXPECT_TRUE(linear->actionGroup()->isExclusive());
        EXPECT_FALSE(linear->isChecked() || power->isChecked()); // no model chosen yet

        trigger("tshg11");
        EXPECT_TRUE(power->isChecked());
        trigger("xxhg1");
        EXPECT_TRUE(linear->isChecked());
        EXPECT_FALSE(power->isChecked());
        EXPECT_EQ(linear->actionGroup()->checkedAction(), linear);
    }

    TEST_F(WindowDetails, TitlesNameTheProgramOnceAndEveryWindowHasItsIcon)
    {
        setApplicationIdentity();
        // The desktop adds the program's name only to titles that do not end with it.
        EXPECT_TRUE(window->windowTitle().endsWith(QGuiApplication::applicationDisplayName()));
        EXPECT_FALSE(window->windowTitle().startsWith(QLatin1Char(' ')));
        trigger("tshg11"); // the chosen model comes first
        EXPECT_TRUE(window->windowTitle().startsWith(
            QStringLiteral("Model 7: y = a0 + a1 * x1 ^ k1 \u2014 ")))
            << window->windowTitle().toStdString();
        EXPECT_TRUE(window->windowTitle().endsWith(QGuiApplication::applicationDisplayName()));
        chart::MainWindowHooks hooks;
        ChartWindowView chart(session, {}, hooks);
        EXPECT_FALSE(chart.windowIcon().isNull());

        // Message windows are wide enough for their titles with the program's name.
        for (core::MessageWindowId id : { core::MessageWindowId::Form5,
                 core::MessageWindowId::Form9, core::MessageWindowId::Form10 }) {
            session.messages.show(id);
            messages.render();
            const QWidget* view = &messages.view(id);
            EXPECT_GE(view->width(), titleBarWidth(view->windowTitle()))
                << core::messageWindowName(id);
            EXPECT_GT(titleBarWidth(view->windowTitle()),
                QFontMetrics(QGuiApplication::font())
                    .horizontalAdvance(QGuiApplication::applicationDisplayName()));
        }
    }

    TEST_F(WindowDetails, TheClockKeepsClearOfItsPanelsEdges)
    {
        session.form1.StatusBar1[2] = "11:59:58 PM Coordinated Universal Time";
        window->render();
        const QLabel* clock = control<QLabel>("Panel3");
        EXPECT_GE(clock->minimumWidth(),
            clock->fontMetrics().horizontalAdvance(clock->text()) + clock->contentsMargins().left()
                + clock->contentsMargins().right() + 2 * clock->frameWidth());
    }

    TEST_F(WindowDetails, TheReportCanBePrintedOrSavedAsPdf)
    {
        auto* report = control<QPlainTextEdit>("Text5");
        ASSERT_NE(report, nullptr);
        EXPECT_NE(report->findChild<QAction*>(QStringLiteral("ReportPrint")), nullptr);
        EXPECT_NE(report->findChild<QAction*>(QStringLiteral("ReportSavePdf")), nullptr);
        EXPECT_EQ(report->contextMenuPolicy(), Qt::CustomContextMenu);

        report->setPlainText(QStringLiteral("Regress model\n=============\n y = a0 + a1 * x1"));
        const QString path = QString::fromStdString((root.path() / "report.pdf").string());
        ASSERT_TRUE(saveReportAsPdf(*report, path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
        EXPECT_FALSE(saveReportAsPdf(
            *report, QString::fromStdString((root.path() / "no-folder" / "r.pdf").string())));

        // A link planted at the name is refused, and so said.
        const quantem::test::PlantedLink link(root.path() / "linked.pdf", root.path() / "victim");
        const core::ExportOutcome refused
            = saveReportAsPdf(*report, QString::fromStdString(link.path().string()));
        EXPECT_NE(refused.failure.find("symbolic link"), std::string::npos) << refused.failure;
        EXPECT_EQ(link.damage(), "");
    }

} // namespace
} // namespace quantem::ui::test
