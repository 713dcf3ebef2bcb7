#include "ranking/qt/RankingWindow.h"

#include "app/qt/ViewFixture.h"
#include "equation/EquationLibrary.h"
#include "support/ModelSamples.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

namespace quantem::ui::test {
namespace {

    const char* const kPlanets
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";

    class RankingInWindow : public ViewFixture
    {
    protected:
        void type(const char* name, const char* text)
        {
            QLineEdit* edit = control<QLineEdit>(name);
            ASSERT_NE(edit, nullptr);
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(text));
        }

        RankingWindow* openRanking()
        {
            window->setRankingOpener([this] { openRankingWindow(runner, window.get()); });
            trigger("FitAll");
            auto* ranking = window->findChild<RankingWindow*>();
            EXPECT_NE(ranking, nullptr);
            return ranking;
        }

        template <typename Widget> Widget* part(RankingWindow* ranking, const char* name)
        {
            auto* widget = ranking->findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no control " << name;
            return widget;
        }

        std::string cellText(RankingWindow* ranking, int row, int column)
        {
            const QAbstractItemModel* model = part<QTableView>(ranking, "table")->model();
            return model->index(row, column).data().toString().toStdString();
        }

        bool rankAndWait(RankingWindow* ranking)
        {
            part<QPushButton>(ranking, "rank")->click();
            return QTest::qWaitFor([ranking] { return !ranking->isRanking(); }, 120000);
        }

        void keepScreenshot(QWidget* shown, const char* name) const
        {
            // Set QUANTEM_SCREENSHOTS to a folder to keep a picture of the window.
            if (const char* folder = std::getenv("QUANTEM_SCREENSHOTS"))
                shown->grab().save(QString::fromLocal8Bit(folder) + "/" + name);
        }
    };

    TEST_F(RankingInWindow, RanksThePlanetsAndSortsByAnyColumn)
    {
        root.writeSamples(kPlanets);
        type("Text2", "8");
        RankingWindow* ranking = openRanking();
        ASSERT_NE(ranking, nullptr);
        EXPECT_TRUE(ranking->isVisible());
        EXPECT_EQ(part<QLabel>(ranking, "samples")->text().toStdString(), "Samples (N): 8");
        EXPECT_EQ(part<QLabel>(ranking, "power")->text().toStdString(), "Power initial value: 1");
        EXPECT_EQ(part<QSpinBox>(ranking, "groupSize")->value(), 2);
        const auto before = root.scratchFiles();

        ASSERT_TRUE(rankAndWait(ranking));
        QTableView* table = part<QTableView>(ranking, "table");
        ASSERT_EQ(table->model()->rowCount(), 18);
        EXPECT_EQ(cellText(ranking, 0, 0), "1");
        EXPECT_EQ(cellText(ranking, 0, 1), "7");
        EXPECT_EQ(cellText(ranking, 0, 3), "y = a0 + a1 * x1 ^ k1");
        EXPECT_EQ(part<QLabel>(ranking, "state")->text().toStdString(),
            "18 of 18 models ranked, 18 fitted");
        EXPECT_TRUE(part<QPushButton>(ranking, "useModel")->isEnabled());
        EXPECT_FALSE(part<QPushButton>(ranking, "cancel")->isEnabled());
        // The ranking ran in memory: the root's scratch files are as they were.
        EXPECT_EQ(root.scratchFiles(), before);
        keepScreenshot(ranking, "ranking-window.png");

        // By mean error the sixth-degree polynomial, which passes closest to the eight points,
        // comes first; a second click turns the order round.
        table->sortByColumn(7, Qt::AscendingOrder);
        EXPECT_EQ(cellText(ranking, 0, 1), "52");
        EXPECT_EQ(cellText(ranking, 0, 2), "6");
        table->sortByColumn(7, Qt::DescendingOrder);
        EXPECT_EQ(cellText(ranking, 0, 1), "4");
        // The formula column sorts as text.
        table->sortByColumn(3, Qt::AscendingOrder);
        EXPECT_EQ(cellText(ranking, 0, 3), "y = a0 + a1 * Exp(x1)");
    }

    TEST_F(RankingInWindow, UseThisModelEndsAsTheModelsMenuWould)
    {
        root.writeSamples(kPlanets);
        type("Text2", "8");
        RankingWindow* ranking = openRanking();
        ASSERT_NE(ranking, nullptr);
        ASSERT_TRUE(rankAndWait(ranking));
        QTableView* table = part<QTableView>(ranking, "table");
        int row = 0;
        while (row < table->model()->rowCount() && cellText(ranking, row, 1) != "12")
            ++row;
        ASSERT_LT(row, table->model()->rowCount());
        table->selectRow(row);
        part<QPushButton>(ranking, "useModel")->click();
        // While the fit runs in the main window, nothing else may read its session.
        EXPECT_FALSE(part<QPushButton>(ranking, "useModel")->isEnabled());
        EXPECT_FALSE(part<QPushButton>(ranking, "rank")->isEnabled());
        runner.waitForRun();
        EXPECT_TRUE(part<QPushButton>(ranking, "rank")->isEnabled());

        // The same model from its menu on a second root with the same samples.
        quantem::test::TempRoot other;
        other.writeSamples(kPlanets);
        core::Session menuSession(other.path());
        CommandRunner menuRunner(menuSession);
        MainWindow menuWindow(menuRunner);
        menuWindow.findChild<QAction*>(QStringLiteral("tshg16"))->trigger();
        auto* text2 = menuWindow.findChild<QLineEdit*>(QStringLiteral("Text2"));
        text2->clear();
        QTest::keyClicks(text2, QStringLiteral("8"));
        menuWindow.findChild<QAction*>(QStringLiteral("HGJS"))->trigger();
        menuRunner.waitForRun();

        EXPECT_EQ(session.form1.checkedModel, 12);
        EXPECT_EQ(labelText("Label17"), menuSession.form1.Label17);
        for (int number : core::kValueLabels)
            EXPECT_EQ(session.form1.label(number), menuSession.form1.label(number)) << number;
        EXPECT_EQ(session.form1.Text4, menuSession.form1.Text4);
        EXPECT_EQ(session.form1.Text5, menuSession.form1.Text5);
        EXPECT_EQ(session.form1.Label10, menuSession.form1.Label10);
        EXPECT_EQ(session.form1.Frame1, menuSession.form1.Frame1);
        // Panels 2 and 3 hold the clock at the windows' start; the others the run's progress.
        for (std::size_t panel : { 0u, 3u, 4u, 5u, 6u })
            EXPECT_EQ(session.form1.StatusBar1[panel], menuSession.form1.StatusBar1[panel]);
        EXPECT_FALSE(session.form1.Text5.empty());
        EXPECT_EQ(root.scratchFiles(), other.scratchFiles());
        EXPECT_TRUE(session.messages.log().empty());
    }

    TEST_F(RankingInWindow, RowsOfOtherInputsAreMarkedStaleUntilRankedAgain)
    {
        root.writeSamples(kPlanets);
        type("Text2", "8");
        RankingWindow* ranking = openRanking();
        ASSERT_NE(ranking, nullptr);
        QWidget* notice = part<QWidget>(ranking, "staleNotice");
        EXPECT_FALSE(notice->isVisible()); // nothing ranked yet
        ASSERT_TRUE(rankAndWait(ranking));
        EXPECT_FALSE(notice->isVisible());

        const auto noticeText
            = [&] { return part<QLabel>(ranking, "staleText")->text().toStdString(); };
        type("Text2", "7");
        ASSERT_TRUE(notice->isVisible());
        EXPECT_EQ(noticeText(),
            "These rows were ranked before the sample count changed: rank again for the current "
            "inputs.");
        part<QSpinBox>(ranking, "groupSize")->setValue(3);
        EXPECT_NE(
            noticeText().find("the sample count and the group size changed"), std::string::npos)
            << noticeText();
        keepScreenshot(ranking, "ranking-stale.png");
        part<QSpinBox>(ranking, "groupSize")->setValue(2);

        // A stale row is still used, with the counts it was ranked for, and says so.
        part<QPushButton>(ranking, "useModel")->click();
        EXPECT_EQ(part<QLabel>(ranking, "state")->text().left(26).toStdString(),
            "These rows are stale: mode");
        runner.waitForRun();
        EXPECT_EQ(session.form1.Text2, "8");
        EXPECT_FALSE(notice->isVisible());

        type("Text2", "7");
        ASSERT_TRUE(notice->isVisible());
        part<QPushButton>(ranking, "rankAgain")->click();
        ASSERT_TRUE(QTest::qWaitFor([ranking] { return !ranking->isRanking(); }, 120000));
        EXPECT_FALSE(notice->isVisible());
        // Ranked for seven groups: no sixth-degree polynomial any more.
        EXPECT_EQ(part<QLabel>(ranking, "state")->text().toStdString(),
            "17 of 17 models ranked, 17 fitted");
    }

    TEST_F(RankingInWindow, ASavedEquationIsRankedAndUsedInTheEquationWindow)
    {
        root.writeSamples(kPlanets);
        ASSERT_EQ(equation::saveEquation(root.path(), { "Kepler", "a*x^k", {}, {} }), "");
        type("Text2", "8");
        RankingWindow* ranking = openRanking();
        std::optional<std::pair<equation::EquationEntry, std::vector<double>>> used;
        ranking->setEquationUser(
            [&used](const equation::EquationEntry& entry, const std::vector<double>& values) {
                used.emplace(entry, values);
            });
        ASSERT_TRUE(rankAndWait(ranking));
        EXPECT_EQ(part<QLabel>(ranking, "state")->text().toStdString(),
            "19 of 19 models ranked, 19 fitted");
        QTableView* table = part<QTableView>(ranking, "table");
        int row = 0;
        while (row < table->model()->rowCount() && cellText(ranking, row, 1) != "Kepler")
            ++row;
        ASSERT_LT(row, table->model()->rowCount());
        EXPECT_EQ(cellText(ranking, row, 3), "a*x^k");
        table->selectRow(row);
        part<QPushButton>(ranking, "useModel")->click();
        ASSERT_TRUE(used);
        EXPECT_EQ(used->first.formula, "a*x^k");
        ASSERT_EQ(used->second.size(), 2u);
        EXPECT_NEAR(used->second[1], 1.5, 0.01);
        // The main window's session was not touched.
        EXPECT_EQ(session.form1.checkedModel, 0);
    }

    TEST_F(RankingInWindow, CancelKeepsTheRowsFinishedSoFar)
    {
        const core::ModelId generating = 24;
        std::vector<std::vector<double>> groups;
        for (int copy = 0; copy < 60; ++copy) {
            const auto some = quantem::test::modelSamples(
                generating, quantem::test::generatingModel(generating));
            groups.insert(groups.end(), some.begin(), some.end());
        }
        root.writeSamples(quantem::test::sampleFileText(groups));
        type("Text2", "2400");
        RankingWindow* ranking = openRanking();
        ASSERT_NE(ranking, nullptr);
        part<QSpinBox>(ranking, "groupSize")->setValue(3);
        part<QPushButton>(ranking, "rank")->click();
        EXPECT_TRUE(ranking->isRanking());
        EXPECT_TRUE(part<QPushButton>(ranking, "cancel")->isEnabled());
        EXPECT_FALSE(part<QPushButton>(ranking, "rank")->isEnabled());
        part<QPushButton>(ranking, "cancel")->click();
        ASSERT_TRUE(QTest::qWaitFor([ranking] { return !ranking->isRanking(); }, 60000));
        const std::string state = part<QLabel>(ranking, "state")->text().toStdString();
        EXPECT_EQ(state.rfind("Stopped: ", 0), 0u) << state;
        EXPECT_LT(part<QTableView>(ranking, "table")->model()->rowCount(), 26);
        EXPECT_TRUE(part<QPushButton>(ranking, "rank")->isEnabled());
    }

} // namespace
} // namespace quantem::ui::test
