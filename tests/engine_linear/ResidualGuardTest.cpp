#include "core/Session.h"
#include "engine_linear/LinearFamilyFit.h"
#include "support/Expect.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

// The biggest error is the biggest in size, whatever its sign.
namespace quantem::linear {
namespace {

    TEST(ResidualGuard, TheBiggestErrorIsTheLargestInSizeEvenWhenNegative)
    {
        test::TempRoot root;
        core::Session session { root.path() };
        // The fourth group lies far below the line of the others.
        const std::vector<double> x { 0.37, 1.13, 1.94, 2.58, 3.21, 4.06 };
        const std::vector<double> y { 1.412, 2.207, 3.115, 1.064, 4.392, 5.281 };
        root.writeSamples("0.37,1.412\r\n1.13,2.207\r\n1.94,3.115\r\n2.58,1.064\r\n"
                          "3.21,4.392\r\n4.06,5.281\r\n");
        session.form1.Text2 = "6";
        session.form1.Text4 = "1";
        runLinearFamilyFit(session, core::kMultipleLinearModel);
        ASSERT_TRUE(session.messages.log().empty());
        const std::vector<double> a = session.store.readNumbers(core::ScratchFile::Hgb, 2);
        double biggest = 0.0;
        double biggestPositive = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double e = y[i] - (a[0] + a[1] * x[i]);
            biggest = std::max(biggest, std::fabs(e));
            biggestPositive = std::max(biggestPositive, e);
        }
        ASSERT_GT(biggest, biggestPositive * 1.5); // the data make the negative one the biggest
        EXPECT_NEAR_REL(std::strtod(session.form1.Label20.c_str(), nullptr), biggest, 1E-12);
    }

} // namespace
} // namespace quantem::linear
