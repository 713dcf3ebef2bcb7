#include "engine_power/PublishPowerResult.h"

#include "core/NumberText.h"
#include "engine_power/PowerFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace quantem::power {
namespace {

    class PublishPowerResultTest : public test::PowerFixture
    {
    protected:
        void publish(core::ModelId model, const Coefficients& a, double r, double f, double s,
            ExponentSet& exponents)
        {
            const core::SampleData data = core::SampleData::load(session.store);
            publishPowerResult(PowerRun { session, &data }, model, a, r, f, s, exponents);
        }
    };

    TEST(CutExponent, CutsTowardMinusInfinityOnTheGrid)
    {
        EXPECT_EQ(core::doubleText(cutExponent(-0.30000000000000004)), "-0.300000000001015");
        EXPECT_EQ(core::doubleText(cutExponent(0.6999999999999998)), "0.699999999998985");
        EXPECT_EQ(cutExponent(0.7000000000000002), 0.7);
        EXPECT_EQ(cutExponent(0.5), 0.5);
        EXPECT_EQ(cutExponent(-2.0), -2.0);
        EXPECT_EQ(cutExponent(0.0), 0.0);
        // The grid is 1/985000000000, not a power of ten: 0.123456789012345 lands below itself.
        EXPECT_LT(cutExponent(0.123456789012345), 0.123456789012345);
        EXPECT_EQ(cutExponent(cutExponent(0.123456789012345)), cutExponent(0.123456789012345));
    }

    TEST_F(PublishPowerResultTest, OffsetsAreAddedBackAndOnlyTheModelsValuesShown)
    {
        choose(10, 3);
        samples({ { 1.5, 2.5 }, { 2.5, 3.25 }, { 3.5, 4.5 } });
        ExponentSet exponents { 0.7000000000000002, 1.0, 0, 0, 0, 0 };
        publish(10, { 1.25, -0.5, 3.0, 0, 0, 0, 0 }, 0.875, 12.5, 0.0625, exponents);

        EXPECT_EQ(sys("XB.sys"), "1.25,-0.5,3,0.7,1.25\r\n0.875,12.5,0.0625\r\n");
        EXPECT_EQ(exponents, (ExponentSet { 0.7, 1.25, 0, 0, 0, 0 })); // changed in place
        const core::Form1& f = session.form1;
        EXPECT_EQ(f.Label2, "1.25");
        EXPECT_EQ(f.Label3, "-0.5");
        EXPECT_EQ(f.Label4, "3");
        for (int label : { 5, 6, 7, 8, 13, 14, 15, 16 })
            EXPECT_EQ(f.label(label), "") << label;
        EXPECT_EQ(f.Label11, "0.7");
        EXPECT_EQ(f.Label12, "1.25");
        EXPECT_EQ(f.Label17, "0.875");
        EXPECT_EQ(f.Label18, "12.5");
        EXPECT_EQ(f.Label19, "0.0625");
    }

    TEST_F(PublishPowerResultTest, ModelThirteenAndModelOneAndAPerfectFit)
    {
        choose(13, 3);
        samples({ { 1.5, 2.5 }, { 2.5, 3.25 }, { 3.5, 4.5 } });
        ExponentSet exponents { 0.5, 0.5, 0.5, 0, 0, 0 };
        publish(13, { 1, 2, 3, 4, 0, 0, 0 }, 0.5, 2.5, 1.5, exponents);
        EXPECT_EQ(sys("XB.sys"), "1,2,3,4,0.5,0.75,1.5\r\n0.5,2.5,1.5\r\n");

        // No exponents: the exponent labels empty, XB.sys a0 and a1 only. A perfect fit reads
        // 1E+20 and 0.
        choose(1, 3);
        session.form1.Label11 = "0.3";
        exponents = {};
        publish(1, { 2, 3, 0, 0, 0, 0, 0 }, 0.9999999999999999, 1E+20, 0, exponents);
        EXPECT_EQ(sys("XB.sys"), "2,3\r\n0.9999999999999999,1E+20,0\r\n");
        EXPECT_EQ(session.form1.Label11, "");
        EXPECT_EQ(session.form1.Label18, "1E+20");
        EXPECT_EQ(session.form1.Label19, "0");
    }

    TEST_F(PublishPowerResultTest, ResidualPassRunsOnWhatXbHoldsOrNotAtAll)
    {
        choose(7, 3);
        samples({ { 1.0, 3.5 }, { 4.0, 6.0 }, { 9.0, 10.0 } });
        ExponentSet exponents { 0.5, 0, 0, 0, 0, 0 };
        // y = 1 + 2·x^0.5 gives 3, 5, 7: errors 0.5, 1, 3.
        publish(7, { 1, 2, 0, 0, 0, 0, 0 }, 0.5, 2.5, 1.5, exponents);
        EXPECT_EQ(session.form1.Label20, "3");
        EXPECT_EQ(session.form1.Label21, "1.5");
        EXPECT_EQ(session.form1.Frame1, "Return to model of overview report ");
        EXPECT_NE(session.form1.Text5, "");

        // XB.sys that cannot be written: the user is told, and the pass does not run on the
        // earlier file.
        session.form1.Label20 = "before";
        session.form1.Text5 = "earlier report";
        std::filesystem::remove(root.sys("XB.sys"));
        std::filesystem::create_directories(root.sys("XB.sys") / "blocked");
        exponents = { 0.75, 0, 0, 0, 0, 0 };
        publish(7, { 1, 2, 0, 0, 0, 0, 0 }, 0.25, 3.5, 2.5, exponents);
        ASSERT_EQ(session.messages.log().size(), 1u);
        EXPECT_EQ(session.messages.log()[0].window, core::MessageWindowId::Form5);
        EXPECT_EQ(session.messages.log()[0].text, kResultNotSavedText);
        EXPECT_EQ(session.form1.Label17, "0.25");
        EXPECT_EQ(session.form1.Label20, "before");
        EXPECT_EQ(session.form1.Text5, "earlier report");
    }

} // namespace
} // namespace quantem::power
