#include "core/Session.h"
#include "engine_linear/LinearFamilyFit.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

// A pivot that is exactly zero is replaced by the floor, and the coefficient behind it is what
// rounding left on its row divided by that floor: its size shows the floor's size.
namespace quantem::linear {
namespace {

    TEST(PivotFloorGuard, ACoefficientBehindAZeroPivotIsTheRoundingResidueOverTheFloor)
    {
        test::TempRoot root;
        core::Session session { root.path() };
        // x2 is 1.3·x1 as the products round, so x2's elimination leaves x1's pivot exactly 0
        // while a residue of about 1E-14 remains on its right-hand side.
        root.writeSamples("2.43,3.1590000000000003,8.099\r\n0.79,1.0270000000000001,7.34\r\n"
                          "4.1,5.33,6.34\r\n3.38,4.394,6.87\r\n");
        session.form1.Text2 = "4";
        session.form1.Text4 = "2";
        runLinearFamilyFit(session, core::kMultipleLinearModel);
        ASSERT_TRUE(session.messages.log().empty());
        const double a1 = std::strtod(session.form1.Label3.c_str(), nullptr);
        const double a2 = std::strtod(session.form1.Label4.c_str(), nullptr);
        // Residues lie between 1E-16 and 1E-13 here; the floor 1E-100 makes them 1E+84..1E+87.
        EXPECT_GT(std::fabs(a1), 1E+84) << session.form1.Label3;
        EXPECT_LT(std::fabs(a1), 1E+87) << session.form1.Label3;
        // a2 takes the opposite share so that a1·x1 + a2·x2 still follows the data.
        EXPECT_LT(a1 * a2, 0.0);
        EXPECT_NEAR(a1 + 1.3 * a2, 0.0, std::fabs(a1) * 1E-9);
        // The intercept does not meet the floor.
        EXPECT_LT(std::fabs(std::strtod(session.form1.Label2.c_str(), nullptr)), 100.0);
    }

} // namespace
} // namespace quantem::linear
