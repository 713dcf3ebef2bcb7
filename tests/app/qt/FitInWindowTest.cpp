#include "ViewFixture.h"
#include "analysis/RefinementNotice.h"
#include "app/InstallRoot.h"
#include "app/qt/FormulaPictures.h"
#include "support/HashedSamples.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include <cstdlib>
#include <string>

namespace quantem::ui::test {
namespace {

    // What a user does: pick the model, type the counts, press DataRegress, read the results.
    class FitInWindow : public ViewFixture
    {
    protected:
        void type(const char* name, const char* text)
        {
            QLineEdit* edit = control<QLineEdit>(name);
            ASSERT_NE(edit, nullptr);
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(text));
        }

        std::string report() const
        {
            if (auto* plain = window->findChild<QPlainTextEdit*>(QStringLiteral("Text5")))
                return plain->toPlainText().toStdString();
            if (auto* rich = window->findChild<QTextEdit*>(QStringLiteral("Text5")))
                return rich->toPlainText().toStdString();
            return "<missing>";
        }

        void keepScreenshot(const char* name) const
        {
            // Set QUANTEM_SCREENSHOTS to a folder to keep a picture of the window after the fit.
            if (const char* folder = std::getenv("QUANTEM_SCREENSHOTS"))
                window->grab().save(QString::fromLocal8Bit(folder) + "/" + name);
        }
    };

    TEST_F(FitInWindow, MoreElementFitShowsCoefficientsStatisticsAndReport)
    {
        root.writeSamples("1,0,2.0\r\n2,1,2.5\r\n3,0,4.1\r\n4,1,4.4\r\n5,0,6.2\r\n6,1,6.3\r\n");
        trigger("dyhg");
        type("Text2", "6");
        type("Text4", "2");
        trigger("HGJS");
        EXPECT_NEAR(std::stod(labelText("Label2")), 1.1, 1E-12);
        EXPECT_NEAR(std::stod(labelText("Label3")), 1.0, 1E-12);
        EXPECT_NEAR(std::stod(labelText("Label4")), -0.7, 1E-12);
        EXPECT_EQ(labelText("Label17").substr(0, 6), "0.9987");
        EXPECT_EQ(labelText("Label20").substr(0, 3), "0.1");
        EXPECT_EQ(report().rfind("What you did is 2 Element Linearity", 0), 0u);
        EXPECT_TRUE(session.messages.log().empty());
        keepScreenshot("fit-more-element.png");
    }

    TEST_F(FitInWindow, OneElementNoOneFindsTheExponentOfThePlanets)
    {
        QtFormulaPictureRenderer pictures;
        app::prepareInstallRoot(root.path(), root.path() / "quantem-data", &pictures);
        root.writeSamples("0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n5.203,11.862\r\n"
                          "9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n");
        trigger("tshg11");
        type("Text2", "8");
        trigger("HGJS");
        EXPECT_EQ(labelText("Label11"), "1.5");
        EXPECT_EQ(session.form1.Picture1, (root.path() / "sz" / "gs311.bmp").string());
        EXPECT_EQ(session.form1.StatusBar1[0], "");
        EXPECT_EQ(labelText("Label10"), "回归计算完成");
        EXPECT_NE(report().find("Two Dimensions non-linearity,One ElementNo.1"), std::string::npos);
        keepScreenshot("fit-one-element-no1.png");
    }

    TEST_F(FitInWindow, APowerFitFarFromTheOptimumIsToldInStatusPanelOneAfterTheFit)
    {
        root.writeSamples(quantem::test::model16Samples());
        trigger("tshg21");
        type("Text2", "30");
        type("Text4", ".5");
        const std::string searched = labelText("Label11");
        trigger("HGJS");
        EXPECT_TRUE(session.form1.StatusBar1[0].starts_with(analysis::kMuchBetterStart))
            << session.form1.StatusBar1[0];
        EXPECT_NE(labelText("Label11"), searched); // the search's own fit is what is shown
        EXPECT_TRUE(session.messages.log().empty());
        keepScreenshot("fit-much-better-notice.png");
    }

} // namespace
} // namespace quantem::ui::test
