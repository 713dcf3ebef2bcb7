#include "core/Fault.h"
#include "engine_linear/NormalSystem.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

// The elimination on its own: systems whose solution is known, solved by both solves. Every
// pivot, row operation and substitution step shows in the coefficients.
namespace quantem::linear {
namespace {

    using Matrix = std::vector<std::vector<double>>;

    /// A system set entry by entry, as sums kept from an earlier fit are: a (m × m) and b.
    NormalSystem systemOf(const Matrix& a, const std::vector<double>& b)
    {
        NormalSystem system;
        system.begin(static_cast<int>(a.size()) - 1);
        for (std::size_t r = 0; r < a.size(); ++r) {
            for (std::size_t c = 0; c < a.size(); ++c)
                system.setEntry(static_cast<int>(r + 1), static_cast<int>(c + 1), a[r][c]);
            system.setEntry(static_cast<int>(r + 1), static_cast<int>(a.size() + 1), b[r]);
        }
        return system;
    }

    void expectCoefficients(const std::vector<double>& actual, const std::vector<double>& expected,
        double tolerance, const char* solve)
    {
        SCOPED_TRACE(solve);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k)
            EXPECT_NEAR_REL(actual[k], expected[k], tolerance) << "a" << k;
    }

    TEST(NormalSystemElimination, BothSolvesReturnTheCoefficientsThatMadeTheGroups)
    {
        // y = 2.385 - 1.25·u1 + 0.731·u2 + 3.04·u3 exactly (up to the rounding of y), on groups
        // whose regressors are far from collinear: four pivots, three eliminations per row.
        const std::array<double, 4> a { 2.385, -1.25, 0.731, 3.04 };
        const std::vector<std::array<double, 3>> u { { 0.5, 3.1, -1.2 }, { 1.7, -0.4, 2.2 },
            { 2.9, 1.3, 0.6 }, { -1.1, 2.6, 1.9 }, { 3.6, -2.2, -0.7 }, { 0.2, 0.9, 3.3 },
            { -2.4, -1.5, 0.1 }, { 1.2, 4.1, -2.6 }, { 4.4, 0.3, 1.1 } };
        for (const bool inOnePass : { false, true }) {
            SCOPED_TRACE(inOnePass ? "addGroups" : "addGroup");
            const auto accumulate = [&] {
                NormalSystem system;
                system.begin(3);
                std::vector<double> flat;
                for (const auto& group : u) {
                    const double y = a[0] + a[1] * group[0] + a[2] * group[1] + a[3] * group[2];
                    if (inOnePass)
                        flat.insert(flat.end(), { group[0], group[1], group[2], y });
                    else
                        system.addGroup(group, y);
                }
                if (inOnePass)
                    system.addGroups(flat, u.size(), 1);
                return system;
            };
            const std::vector<double> expected(a.begin(), a.end());
            NormalSystem floored = accumulate();
            expectCoefficients(floored.solve(), expected, 1E-12, "solve");
            NormalSystem unguarded = accumulate();
            expectCoefficients(unguarded.solveWithoutFloor(), expected, 1E-12, "solveWithoutFloor");
        }
    }

    TEST(NormalSystemElimination, ANegativePivotIsUsedAsItIs)
    {
        // Symmetric but not definite: the second pivot is -4 - 2·2/5 = -4.8. x = (1.5, -0.25, 2).
        const Matrix a { { 2, 1, 3 }, { 1, -4, 2 }, { 3, 2, 5 } };
        const std::vector<double> b { 8.75, 6.5, 14 };
        const std::vector<double> x { 1.5, -0.25, 2.0 };
        expectCoefficients(systemOf(a, b).solve(), x, 1E-13, "solve");
        expectCoefficients(systemOf(a, b).solveWithoutFloor(), x, 1E-13, "solveWithoutFloor");
    }

    TEST(NormalSystemElimination, AnExactlyZeroPivotIsFlooredOrEndsTheUnguardedSolve)
    {
        // The last row's own entry is the first pivot: the power engine's solve gives up before
        // dividing, the floored one eliminates by 1E-100 and then meets the unguarded division.
        const Matrix lastZero { { 2, 1, 1 }, { 1, 3, 0.5 }, { 1, 0.5, 0 } };
        const std::vector<double> b { 1.25, 2.5, 3.75 };
        EXPECT_TRUE(systemOf(lastZero, b).solveWithoutFloor().empty());
        // Here the floored rows leave 0 over the zero entry: 0/0.
        EXPECT_EQ(test::faultOf([&] { systemOf(lastZero, b).solve(); }),
            static_cast<int>(core::FaultCode::Overflow));

        // Eliminating the third row leaves the second pivot exactly 1 - 2·(2/4) = 0. The floor
        // keeps the solve going: the rows from the zero pivot down still hold.
        const Matrix middleZero { { 4, 1, 1 }, { 1, 1, 2 }, { 1, 2, 4 } };
        const std::vector<double> c { 1, 3, 4 };
        EXPECT_TRUE(systemOf(middleZero, c).solveWithoutFloor().empty());
        const std::vector<double> x = systemOf(middleZero, c).solve();
        ASSERT_EQ(x.size(), 3u);
        for (std::size_t r = 1; r < 3; ++r) {
            double row = 0.0;
            for (std::size_t k = 0; k < 3; ++k)
                row += middleZero[r][k] * x[k];
            EXPECT_NEAR_REL(row, c[r], 1E-14) << "row " << r + 1;
        }
        // Row 1 was overwritten by the floored elimination: the singular system has no exact
        // solution, and the one given is not one.
        EXPECT_NE(
            middleZero[0][0] * x[0] + middleZero[0][1] * x[1] + middleZero[0][2] * x[2], c[0]);
    }

} // namespace
} // namespace quantem::linear
