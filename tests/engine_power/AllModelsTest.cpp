#include "core/NumberText.h"
#include "core/Record.h"
#include "core/TermTable.h"
#include "engine_power/ExponentSearch.h"
#include "engine_power/PowerFixture.h"
#include "results/EvaluateModel.h"
#include "support/ModelSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace quantem::power {
namespace {

    class AllModelsTest : public test::PowerFixture
    {
    };

    TEST_F(AllModelsTest, SearchRecoversTheGeneratingModelAndPublishesItsCounts)
    {
        // The search takes one exponent at a time while the later ones wait at the initial value
        // 0.5: data generated with k1 = 0.67 and every later exponent at 0.5 (before its term
        // offset) can be found by it. Exponents searched after k1 start from a k1 one step off, so
        // they land near, not on, their generating values.
        for (core::ModelId model = 1; model <= 50; ++model) {
            SCOPED_TRACE(model);
            const core::ModelDescriptor& d = core::modelOf(model);
            const results::CoefficientSet generating = quantem::test::generatingModel(model);
            choose(model, 40);
            samples(quantem::test::modelSamples(model, generating));
            session.form1.Text5.clear();

            exponentSearch(session, d.exponents, model);

            // XB.sys: the model's coefficients and exponents, then R, F, S; xs.sys the same texts
            // as the labels, after the model's number; the labels beyond the model's counts empty.
            const std::string xbText = sys("XB.sys");
            const std::size_t lineEnd = xbText.find("\r\n");
            ASSERT_NE(lineEnd, std::string::npos);
            core::RecordReader first(xbText.substr(0, lineEnd));
            core::RecordReader second(xbText.substr(lineEnd + 2));
            std::vector<double> published;
            while (!first.atEnd())
                published.push_back(first.readNumber());
            ASSERT_EQ(published.size(), static_cast<std::size_t>(d.elements + 1 + d.exponents));
            for (int i = 0; i < 3; ++i)
                published.push_back(second.readNumber());
            EXPECT_TRUE(second.atEnd());
            core::RecordReader xs(sys("xs.sys"));
            EXPECT_EQ(xs.readNumber(), model);
            for (int i = 0; i <= d.elements; ++i)
                EXPECT_EQ(xs.readString(), session.form1.label(2 + i));
            for (int k = 1; k <= d.exponents; ++k)
                EXPECT_EQ(xs.readString(), session.form1.label(10 + k));
            EXPECT_TRUE(xs.atEnd());
            for (int i = d.elements + 1; i <= 6; ++i)
                EXPECT_EQ(session.form1.label(2 + i), "");
            for (int k = d.exponents + 1; k <= 6; ++k)
                EXPECT_EQ(session.form1.label(10 + k), "");

            const double r = published[static_cast<std::size_t>(d.elements + 1 + d.exponents)];
            EXPECT_GT(r, 0.9999);
            const double tolerance = core::groupSize(model) == 4 ? 0.15 : 0.1;
            for (int k = 1; k <= d.exponents; ++k) {
                const double found = published[static_cast<std::size_t>(d.elements + k)];
                EXPECT_NEAR(found, generating.k[static_cast<std::size_t>(k - 1)], tolerance)
                    << "k" << k;
            }
            // One exponent or none: the fit is the generating model itself.
            if (d.exponents <= 1 && core::groupSize(model) < 4) {
                for (int i = 0; i <= d.elements; ++i)
                    EXPECT_NEAR(published[static_cast<std::size_t>(i)],
                        generating.a[static_cast<std::size_t>(i)], 1E-04)
                        << "a" << i;
                if (d.exponents == 1) {
                    EXPECT_NEAR(published[static_cast<std::size_t>(d.elements + 1)], 0.67, 1E-09);
                }
            }
            EXPECT_NE(session.form1.Text5, "");
        }
    }

} // namespace
} // namespace quantem::power
