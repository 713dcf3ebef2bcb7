#include "core/ModelCatalogue.h"
#include "core/NumberText.h"
#include "results/Calculator.h"
#include "support/Expect.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// The calculator takes every coefficient and exponent the main window shows: models whose last
// term needs a6 or k6 compute with them, on fractional inputs and coefficients.
namespace quantem::results {
namespace {

    struct CalculatorGuard : ::testing::Test
    {
        quantem::test::TempRoot root;
        core::Session session { root.path() };

        // The main window shows a0..a6 and k1..k6 of a finished fit of model.
        void fitted(core::ModelId model, const double (&a)[7], const double (&k)[6])
        {
            const core::ModelDescriptor& d = core::modelOf(model);
            root.writeFile("sys/xx.sys",
                std::to_string(d.variables) + "," + std::to_string(d.elements) + ","
                    + std::to_string(d.exponents) + "," + std::to_string(model) + "\r\n");
            for (int i = 0; i < 7; ++i)
                session.form1.label(2 + i) = i <= d.elements ? core::doubleText(a[i]) : "";
            for (int r = 0; r < 6; ++r)
                session.form1.label(11 + r) = r < d.exponents ? core::doubleText(k[r]) : "";
        }

        double calculateAt(double x1, double x2)
        {
            showCalculator(session);
            changeCalculatorInput(session, CalculatorInput::Text1, core::doubleText(x1));
            changeCalculatorInput(session, CalculatorInput::Text2, core::doubleText(x2));
            calculate(session);
            EXPECT_TRUE(session.messages.log().empty());
            return std::stod(session.form11.Text4);
        }
    };

    const double kA[7] = { 0.731, -1.247, 2.093, 0.418, -0.562, 1.377, 0.284 };
    const double kK[6] = { 1.37, -0.61, 0.83, 1.12, -1.29, 0.47 };
    const double x1 = 1.83;
    const double x2 = 2.615;
    double p(double x, double k) { return std::pow(x, k); }

    TEST_F(CalculatorGuard, FourElementModelUsesTheSixthExponent)
    {
        fitted(24, kA, kK);
        // y = a0 + a1 x1^k1 + a2 x2^k2 + a3 x1^k3 x2^k4 + a4 x1^k5 x2^k6
        const double expected = kA[0] + kA[1] * p(x1, kK[0]) + kA[2] * p(x2, kK[1])
            + kA[3] * p(x1, kK[2]) * p(x2, kK[3]) + kA[4] * p(x1, kK[4]) * p(x2, kK[5]);
        EXPECT_NEAR_REL(calculateAt(x1, x2), expected, 1E-13);
    }

    TEST_F(CalculatorGuard, SixElementModelUsesA6AndTheSixthExponent)
    {
        fitted(36, kA, kK);
        // y = a0 + a1 x1^k1 + a2 x1^k2 + a3 x2^k1 + a4 x2^k2 + a5 x1^k3 x2^k4 + a6 x1^k5 x2^k6
        const double expected = kA[0] + kA[1] * p(x1, kK[0]) + kA[2] * p(x1, kK[1])
            + kA[3] * p(x2, kK[0]) + kA[4] * p(x2, kK[1]) + kA[5] * p(x1, kK[2]) * p(x2, kK[3])
            + kA[6] * p(x1, kK[4]) * p(x2, kK[5]);
        EXPECT_NEAR_REL(calculateAt(x1, x2), expected, 1E-13);
    }

} // namespace
} // namespace quantem::results
