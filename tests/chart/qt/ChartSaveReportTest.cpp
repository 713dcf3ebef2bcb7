#include "chart/ChartWindow.h"
#include "chart/qt/ChartWindowView.h"
#include "core/Session.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace quantem::ui::test {
namespace {

    // Saving a cut chart says nothing when the bitmap is written and one message window when it
    // is not, whichever of the window's two routes saves it.
    TEST(ChartSaveReport, AGoodSaveIsSilentAndAFailedOneSaysSo)
    {
        quantem::test::TempRoot root;
        core::Session session(root.path());
        quantem::test::RecordingShell shell;
        quantem::test::ScriptedQuestions questions;
        session.shell = &shell;
        session.questions = &questions;
        root.writeFile("sys/xx.sys", "0,,0,52\r\n");
        root.writeSamples("2,3.5\r\n-1,0.5\r\n4,9.5\r\n1,2\r\n");
        std::unique_ptr<ChartWindowView> view;
        view = std::make_unique<ChartWindowView>(
            session,
            [&view](const std::function<void()>& command) {
                command();
                view->render();
            },
            chart::MainWindowHooks {});
        chart::openChartWindow(session);
        view->render();
        view->findChild<QAction*>(QStringLiteral("pmjt"))->trigger(); // cut the chart
        ASSERT_TRUE(session.form2.Picture1.has_value());

        const std::vector<std::function<void()>> routes {
            [&] { view->findChild<QPushButton*>(QStringLiteral("Command9"))->click(); },
            [&] { view->findChild<QAction*>(QStringLiteral("bcjt"))->trigger(); },
        };
        for (std::size_t route = 0; route < routes.size(); ++route) {
            SCOPED_TRACE(route == 0 ? "Command9" : "bcjt");
            const std::filesystem::path good
                = root.path() / ("chart" + std::to_string(route) + ".bmp");
            const std::filesystem::path nowhere = root.path() / "no-such-folder" / "chart.bmp";
            const std::size_t before = session.messages.log().size();
            questions.fileNames = { good };
            routes[route]();
            QFile file(QString::fromStdString(good.string()));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.read(2), QByteArray("BM"));
            EXPECT_EQ(session.messages.log().size(), before) << session.messages.log().back().text;

            questions.fileNames = { nowhere };
            routes[route]();
            EXPECT_FALSE(std::filesystem::exists(nowhere));
            ASSERT_EQ(session.messages.log().size(), before + 1);
            EXPECT_EQ(session.messages.log().back().text, chart::kChartNotWrittenText);
        }
    }

} // namespace
} // namespace quantem::ui::test
