#include "app/Commands.h"
#include "app/ModelSelection.h"
#include "app/Regression.h"
#include "core/NumberText.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

// Boundaries and column checks of the regression command, each on data that is not "nice":
// fractional values, the deciding group last, the largest counts that must still pass.
namespace quantem::app {
namespace {

    struct RegressionGuard : ::testing::Test
    {
        test::TempRoot root;
        core::Session session { root.path() };

        void choose(core::ModelId model, const std::string& samples, const std::string& text4)
        {
            runCommand(session, [&] { startUpReset(session); });
            runCommand(session, [&] { selectModel(session, model); });
            runCommand(session, [&] { setSampleCountText(session, samples); });
            session.form1.Text4 = text4;
        }
        void regress()
        {
            runCommand(session, [&] { regressionCommand(session, Route::Menu); });
        }

        std::vector<std::string> dialogs() const
        {
            std::vector<std::string> texts;
            for (const core::Showing& showing : session.messages.log())
                texts.push_back(
                    std::string(core::messageWindowName(showing.window)) + ":" + showing.text);
            return texts;
        }
        bool published() const
        {
            return session.form1.Label2.find_first_not_of(' ') != std::string::npos;
        }
    };

    using Texts = std::vector<std::string>;
    const Texts kInputError { "Form5:   Input error !" };

    // The labels a0..a6, k1..k6, R, F, S of a fit on a root of its own, with culi.sys holding the
    // given offsets; a power of nullptr keeps the initial value the selection set.
    Texts fitLabelsWithOffsets(const std::string& samples, core::ModelId model,
        const std::string& count, const char* power, const std::string& culi)
    {
        test::TempRoot fresh;
        fresh.writeSamples(samples);
        core::Session other { fresh.path() };
        runCommand(other, [&] { selectModel(other, model); });
        runCommand(other, [&] { setSampleCountText(other, count); });
        if (power != nullptr)
            other.form1.Text4 = power;
        fresh.writeFile("sys/culi.sys", culi + "\r\n");
        runCommand(other, [&] { regressionCommand(other, Route::Menu); });
        EXPECT_TRUE(other.messages.log().empty()) << culi;
        // The error labels after these add the offset as stored.
        Texts labels;
        for (int number : core::kValueLabels) {
            if (number <= 19)
                labels.push_back(other.form1.label(number));
        }
        return labels;
    }

    // x1 = 0.37 + 0.113·i, y a smooth power curve with a little wobble.
    std::string twoNumberSamples(int groups)
    {
        std::ostringstream text;
        text.precision(17);
        for (int i = 0; i < groups; ++i) {
            const double x = 0.37 + 0.113 * i;
            text << x << ',' << 1.3 + 2.1 * std::pow(x, 1.45) + 0.004 * std::sin(3.1 * i) << "\r\n";
        }
        return text.str();
    }

    TEST_F(RegressionGuard, AColumnThatVariedEarlierStillVariesWhenItsLastGroupsRepeat)
    {
        // x changes in the first groups only; the last difference of x is 0, yet x varied.
        root.writeSamples("1.37,2.96\r\n2.41,4.53\r\n3.05,5.81\r\n3.05,5.84\r\n");
        choose(7, "4", "1.2");
        regress();
        EXPECT_TRUE(dialogs().empty()) << dialogs()[0];
        EXPECT_TRUE(published());

        // A column that never changes is refused.
        root.writeSamples("2.41,2.96\r\n2.41,4.53\r\n2.41,5.81\r\n2.41,5.84\r\n");
        regress();
        EXPECT_EQ(dialogs(), kInputError);
    }

    TEST_F(RegressionGuard, NoElementCountOnAPowerModelIsAnInputError)
    {
        root.writeSamples(twoNumberSamples(9));
        choose(7, "9", "1.2");
        session.form1.Text3 = "0";
        regress();
        EXPECT_EQ(dialogs(), kInputError);
        EXPECT_FALSE(published());
    }

    TEST_F(RegressionGuard, TheLargestSampleCountIsFittedAndOneMoreIsRefused)
    {
        root.writeSamples(twoNumberSamples(32767));
        choose(7, "32767", "1.4");
        regress();
        EXPECT_TRUE(dialogs().empty());
        EXPECT_TRUE(published());
        EXPECT_NE(session.form1.Text5.find("Sample Quantity is 32767  group."), std::string::npos);

        const std::size_t before = session.messages.log().size();
        runCommand(session, [&] { setSampleCountText(session, "32768"); });
        regress();
        ASSERT_EQ(session.messages.log().size(), before + 1);
        EXPECT_EQ(session.messages.log().back().text, "   Input error !");
    }

    TEST_F(RegressionGuard, FiftyRegressorsAreFittedAndFiftyOneRefused)
    {
        // 58 groups of 50 regressors and y: regressor j of group i is a fractional, irregular
        // value, so no two columns are proportional.
        std::ostringstream text;
        text.precision(17);
        for (int i = 1; i <= 58; ++i) {
            double y = 0.25;
            for (int j = 1; j <= 50; ++j) {
                const double x = std::fmod(0.173 * i * j + 0.61 * j + 0.037 * i * i, 7.3) + 0.45;
                text << x << ',';
                y += x * (0.5 + 0.01 * j);
            }
            text << y + 0.002 * std::sin(i) << "\r\n";
        }
        root.writeSamples(text.str());
        choose(51, "58", "50");
        regress();
        EXPECT_TRUE(dialogs().empty()) << dialogs()[0];
        EXPECT_TRUE(published());
        EXPECT_NE(session.form1.Text5.find("a(50)="), std::string::npos);
        const std::size_t before = session.messages.log().size();
        session.form1.Text4 = "51";
        regress();
        ASSERT_EQ(session.messages.log().size(), before + 1);
        EXPECT_EQ(session.messages.log().back().text, "   Input error !");
    }

    TEST_F(RegressionGuard, TheFourthOffsetIsRoundedToAWholeNumber)
    {
        // A four-number model: y takes the fourth offset as a whole number, rounded.
        std::ostringstream text;
        text.precision(17);
        for (int i = 0; i < 11; ++i) {
            const double x1 = 0.61 + 0.37 * i;
            const double x2 = 1.13 + 0.29 * ((i * 7) % 11);
            const double x3 = 2.07 + 0.41 * ((i * 5) % 11);
            text << x1 << ',' << x2 << ',' << x3 << ','
                 << 1.9 + 0.8 * x1 - 0.35 * x2 + 0.52 * x3 + 0.03 * std::cos(i) << "\r\n";
        }
        const auto fitWithOffsets = [&](const std::string& culi) {
            return fitLabelsWithOffsets(text.str(), 3, "11", nullptr, culi);
        };
        const std::vector<std::string> rounded = fitWithOffsets("0,0,0,3");
        EXPECT_NE(rounded[0].find_first_not_of(' '), std::string::npos);
        EXPECT_EQ(fitWithOffsets("0,0,0,2.6"), rounded);
        EXPECT_EQ(fitWithOffsets("0,0,0,3.4"), rounded);
        EXPECT_NE(fitWithOffsets("0,0,0,2"), rounded);
    }

    TEST_F(RegressionGuard, ANegativeXBetweenMinusOneAndZeroIsAnInputError)
    {
        root.writeSamples("1.37,2.96\r\n-0.35,4.53\r\n3.05,5.81\r\n3.62,6.04\r\n");
        choose(7, "4", "1.2");
        regress();
        // Every evaluation meets the group and refuses it alike.
        const Texts shown = dialogs();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown, Texts(shown.size(), kInputError[0]));
        EXPECT_FALSE(published());
    }

    TEST_F(RegressionGuard, TwoNumberOffsetsAddToXAndToYAsIfTheyWereInTheFile)
    {
        // Fitting with offsets 0.35 (x) and 1.25 (y) is fitting the shifted samples.
        std::ostringstream plain;
        std::ostringstream shifted;
        plain.precision(17);
        shifted.precision(17);
        for (int i = 0; i < 9; ++i) {
            const double x = 0.61 + 0.43 * i;
            const double y = 1.3 + 2.1 * std::pow(x, 1.45) + 0.04 * std::sin(2.3 * i);
            plain << x << ',' << y << "\r\n";
            shifted << x + 0.35 << ',' << y + 1.25 << "\r\n";
        }
        const auto fit = [&](const std::string& samples, const std::string& culi) {
            return fitLabelsWithOffsets(samples, 7, "9", "1.2", culi);
        };
        const std::vector<std::string> withOffsets = fit(plain.str(), "0.35,1.25,0,0");
        EXPECT_NE(withOffsets[0].find_first_not_of(' '), std::string::npos);
        EXPECT_EQ(withOffsets, fit(shifted.str(), "0,0,0,0"));
    }

} // namespace
} // namespace quantem::app
