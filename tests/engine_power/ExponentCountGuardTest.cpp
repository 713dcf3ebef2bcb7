#include "engine_power/ExponentSearch.h"
#include "engine_power/PowerEvaluation.h"
#include "engine_power/PowerFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quantem::power {
namespace {

    // The exponent count comes from xx.sys, which may be damaged: a search holds six exponents,
    // and a count beyond that must never start one.
    class ExponentCountGuardTest : public test::PowerFixture
    {
    protected:
        std::vector<SearchIndex> indices;

        void search(int count, core::ModelId model)
        {
            exponentSearch(session, count, model,
                [this](double, const ExponentSet&, SearchIndex i, EvaluationOutcome) {
                    indices.push_back(i);
                });
        }
    };

    TEST_F(ExponentCountGuardTest, MoreThanSixExponentsAreNeverSearchedSixAre)
    {
        choose(24, 40); // six exponents
        samples(quantem::test::modelSamples(24, quantem::test::generatingModel(24)));
        root.writeFile("sys/XB.sys", "old\r\n");
        const std::string caption = session.form1.Label10;
        for (const int count : { 7, 12 }) {
            SCOPED_TRACE(count);
            indices.clear();
            search(count, 24);
            EXPECT_TRUE(indices.empty());
            EXPECT_EQ(session.form1.Label10, caption);
            EXPECT_EQ(sys("r1.sys"), "0\r\n");
            EXPECT_EQ(sys("XB.sys"), "old\r\n");
            EXPECT_FALSE(std::filesystem::exists(root.sys("rr.sys")));
            EXPECT_TRUE(session.messages.log().empty());
            EXPECT_EQ(session.form1.StatusBar1[0].rfind("sys/xx.sys names model 24 with", 0), 0u)
                << session.form1.StatusBar1[0]; // said, not silent
        }

        // Six is searched to the end: every exponent in turn, then the publishing pass.
        search(6, 24);
        ASSERT_FALSE(indices.empty());
        EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 7);
        for (SearchIndex i = 1; i <= 6; ++i)
            EXPECT_NE(std::find(indices.begin(), indices.end(), i), indices.end()) << "k" << i;
        EXPECT_NE(sys("XB.sys"), "old\r\n");
        EXPECT_EQ(session.form1.Label10, kRunFinishedCaption);
    }

} // namespace
} // namespace quantem::power
