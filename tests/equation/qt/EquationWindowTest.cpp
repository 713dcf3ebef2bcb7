#include "equation/qt/EquationWindow.h"

#include "equation/EquationLibrary.h"
#include "plot/qt/PlotView.h"
#include "support/PlantedLink.h"
#include "support/TempRoot.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace quantem::ui::test {
namespace {

    /// Groups "x,y" of y = f(x) at x = first, first + step, ...
    template <typename F> std::string samplesOf(F f, int groups, double first, double step)
    {
        std::ostringstream text;
        text.precision(17);
        for (int i = 0; i < groups; ++i) {
            const double x = first + step * i;
            text << x << "," << f(x) << "\r\n";
        }
        return text.str();
    }

    class EquationInWindow : public ::testing::Test
    {
    protected:
        EquationInWindow()
            : session(root.path())
            , runner(session)
        {
        }

        EquationWindow& open()
        {
            if (!window) {
                window = std::make_unique<EquationWindow>(runner);
                window->openWindow();
            }
            return *window;
        }

        template <typename Widget> Widget* part(const char* name)
        {
            auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
            EXPECT_NE(widget, nullptr) << "no control " << name;
            return widget;
        }

        void type(const char* formula)
        {
            QLineEdit* edit = part<QLineEdit>("formula");
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(formula));
        }

        void setCell(int row, int column, const char* text)
        {
            part<QTableWidget>("parameters")->item(row, column)->setText(QString::fromLatin1(text));
        }

        const equation::EquationResult& fitAndWait()
        {
            EXPECT_TRUE(window->startFit()) << part<QLabel>("state")->text().toStdString();
            EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isFitting(); }, 60000));
            EXPECT_NE(window->shownFit(), nullptr);
            return window->shownFit()->result;
        }

        double value(const char* name)
        {
            for (const equation::EquationParameter& p : window->shownFit()->result.parameters)
                if (p.name == name)
                    return p.value;
            ADD_FAILURE() << "no parameter " << name;
            return NAN;
        }

        quantem::test::TempRoot root;
        core::Session session;
        CommandRunner runner;
        std::unique_ptr<EquationWindow> window;
    };

    TEST_F(EquationInWindow, AFormulaThatDoesNotParseShowsWhereAndKeepsFitDisabled)
    {
        open();
        type("a * x + ");
        const QLabel* error = part<QLabel>("formulaError");
        EXPECT_FALSE(error->isHidden());
        EXPECT_TRUE(error->text().contains(QStringLiteral("a * x + \n        ^")))
            << error->text().toStdString();
        EXPECT_TRUE(error->text().contains(QStringLiteral("character 9")));
        EXPECT_FALSE(part<QPushButton>("fit")->isEnabled());

        type("b * exp(-k * x) + a");
        EXPECT_TRUE(error->isHidden());
        EXPECT_TRUE(part<QPushButton>("fit")->isEnabled());
        const QTableWidget* table = part<QTableWidget>("parameters");
        ASSERT_EQ(table->rowCount(), 3);
        EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("b"));
        EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("k"));
        EXPECT_EQ(table->item(2, 0)->text(), QStringLiteral("a"));
    }

    TEST_F(EquationInWindow, TheMichaelisMentenTemplateRecoversItsParametersAndTouchesNoScratchFile)
    {
        // An enzyme's rates at eight substrate concentrations, Vmax 2.5, Km 0.8, read within
        // ±0.03.
        int reading = 0;
        root.writeSamples(samplesOf(
            [&reading](double s) { return 2.5 * s / (0.8 + s) + 0.03 * ((reading++ % 3) - 1); }, 8,
            0.25, 0.5));
        const auto before = root.scratchFiles();
        open();
        auto* library = part<QComboBox>("library");
        const int templ = library->findText(QStringLiteral("Template: Michaelis-Menten"));
        ASSERT_GE(templ, 0);
        library->setCurrentIndex(templ);
        emit library->activated(templ);
        EXPECT_EQ(part<QLineEdit>("formula")->text(), QStringLiteral("Vmax*x/(Km + x)"));
        // The starts come from the samples, not the template's defaults.
        EXPECT_NE(part<QTableWidget>("parameters")->item(0, 1)->text(), QStringLiteral("1"));

        const equation::EquationResult& result = fitAndWait();
        EXPECT_TRUE(result.converged) << result.stopReason;
        EXPECT_NEAR(value("Vmax"), 2.5, 0.1);
        EXPECT_NEAR(value("Km"), 0.8, 0.1);
        if (const char* folder = std::getenv("QUANTEM_SCREENSHOTS")) {
            window->grab().save(QString::fromLocal8Bit(folder) + "/equation-window.png");
            window->findChild<PlotView*>()->savePlot(
                std::filesystem::path(folder) / "equation-plot.png", QSize(1200, 800));
        }

        part<QPushButton>("useFitted")->click();
        EXPECT_EQ(part<QTableWidget>("parameters")->item(0, 1)->text().toDouble(), value("Vmax"));
        EXPECT_NE(window->tablesText().find("Vmax\t"), std::string::npos);
        EXPECT_EQ(root.scratchFiles(), before);
    }

    TEST_F(EquationInWindow, FixedAndBoundedParametersAreHonoured)
    {
        root.writeSamples(samplesOf([](double x) { return 1.0 + 2.0 * x; }, 10, 0.0, 1.0));
        open();
        type("a + b * x");
        setCell(0, 1, "0.5");
        part<QTableWidget>("parameters")->item(0, 2)->setCheckState(Qt::Checked);
        fitAndWait();
        EXPECT_EQ(value("a"), 0.5);
        // The least squares slope with a held at 0.5: Σx(y - 0.5) / Σx².
        EXPECT_NEAR(value("b"), 2.0 + 0.5 * 45.0 / 285.0, 1e-12);

        part<QTableWidget>("parameters")->item(0, 2)->setCheckState(Qt::Unchecked);
        setCell(1, 4, "1.5");
        const equation::EquationResult& bounded = fitAndWait();
        EXPECT_EQ(value("b"), 1.5);
        EXPECT_TRUE(bounded.parameters[1].atBound);

        setCell(1, 3, "3");
        EXPECT_FALSE(window->startFit());
        EXPECT_TRUE(part<QLabel>("state")->text().contains(QStringLiteral("lower bound of b")));
    }

    TEST_F(EquationInWindow, SaveCsvRefusesALinkPlantedAtTheChosenName)
    {
        root.writeSamples(samplesOf([](double x) { return 0.75 - 1.25 * x; }, 6, 0.5, 0.5));
        open();
        type("a + b * x");
        fitAndWait();
        const quantem::test::PlantedLink link(root.path() / "tables.csv", root.path() / "victim");
        const std::string refused = window->saveCsv(link.path().string());
        EXPECT_NE(refused.find("symbolic link"), std::string::npos) << refused;
        EXPECT_EQ(link.damage(), "");
        EXPECT_EQ(window->saveCsv((root.path() / "tables2.csv").string()), "");
    }

    TEST_F(EquationInWindow, CancelStopsALongFitAndKeepsTheFitShownBefore)
    {
        root.writeSamples(
            samplesOf([](double x) { return 3.0 * std::exp(-0.5 * x) + 1.0; }, 200000, 0.0, 1e-4));
        open();
        type("A * exp(-k * x) + C");
        const equation::EquationResult& first = fitAndWait();
        ASSERT_TRUE(first.converged);
        const auto shown = window->shownFit();

        setCell(0, 1, "-40");
        setCell(1, 1, "30");
        ASSERT_TRUE(window->startFit());
        part<QPushButton>("cancel")->click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isFitting(); }, 60000));
        EXPECT_EQ(window->shownFit(), shown);
        EXPECT_TRUE(part<QLabel>("state")->text().startsWith(QStringLiteral("Stopped")));
    }

    TEST_F(EquationInWindow, ADamagedLibraryIsNamedAndASaveStillWorks)
    {
        {
            std::ofstream damaged(root.path() / equation::kEquationLibraryFile);
            damaged << "{ \"equations\": [ {";
        }
        open();
        EXPECT_TRUE(part<QLabel>("state")->text().contains(
            QString::fromLatin1(equation::kEquationLibraryFile)));
        type("a * x ^ n");
        EXPECT_EQ(window->saveToLibrary("Michaelis-Menten").empty(), false);
        EXPECT_EQ(window->saveToLibrary("power"), "");
        const equation::LibraryContents saved = equation::readEquationLibrary(root.path());
        ASSERT_EQ(saved.entries.size(), 1u);
        EXPECT_EQ(saved.entries[0].formula, "a * x ^ n");
    }

} // namespace
} // namespace quantem::ui::test
