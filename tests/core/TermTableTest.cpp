#include "core/TermTable.h"

#include "core/ModelCatalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace quantem::core {
namespace {

    bool isPower(const Factor& factor, int variable, int exponent, double offset)
    {
        return factor.kind == Factor::Kind::Power && factor.variable == variable
            && factor.exponent == exponent && factor.offset == offset;
    }

} // namespace

TEST(TermTable, TermsWithoutOffsetsReadAsTheCatalogueFormula)
{
    for (ModelId id = 1; id <= 50; ++id)
        EXPECT_EQ(formulaFromTerms(id), modelOf(id).formulaText) << id;
}

TEST(TermTable, TermsMatchTheCatalogueCounts)
{
    for (ModelId id = 1; id <= 50; ++id) {
        SCOPED_TRACE(id);
        const ModelDescriptor& model = modelOf(id);
        const auto terms = termsOf(id);
        EXPECT_EQ(static_cast<int>(terms.size()), model.elements);

        std::map<int, std::set<double>> offsetsOfExponent;
        int highestVariable = 0;
        for (const Term& term : terms) {
            ASSERT_GE(term.count, 1);
            ASSERT_LE(term.count, 3);
            for (int f = 0; f < term.count; ++f) {
                const Factor& factor = term.factors[static_cast<std::size_t>(f)];
                highestVariable = std::max(highestVariable, factor.variable);
                EXPECT_GE(factor.variable, 1);
                if (factor.kind == Factor::Kind::Power)
                    offsetsOfExponent[factor.exponent].insert(factor.offset);
                else
                    EXPECT_EQ(factor.offset, 0.0);
            }
        }
        EXPECT_EQ(highestVariable, model.variables);

        // Exactly k1..kk, each with one offset wherever it appears, which is the one that
        // publication adds back.
        ASSERT_EQ(static_cast<int>(offsetsOfExponent.size()), model.exponents);
        int expectedExponent = 1;
        for (const auto& [exponent, offsets] : offsetsOfExponent) {
            EXPECT_EQ(exponent, expectedExponent++);
            ASSERT_EQ(offsets.size(), 1u) << "k" << exponent;
            const double offset = *offsets.begin();
            EXPECT_TRUE(offset == 0.0 || offset == 0.25 || offset == 1.0) << offset;
            EXPECT_EQ(exponentOffset(id, exponent), offset) << "k" << exponent;
        }
        EXPECT_EQ(exponentOffset(id, model.exponents + 1), 0.0);
    }
}

TEST(TermTable, OffsetsSeparateTermsOfOneVariable)
{
    const auto model13 = termsOf(13);
    ASSERT_EQ(model13.size(), 3u);
    EXPECT_TRUE(isPower(model13[0].factors[0], 1, 1, 0.0));
    EXPECT_TRUE(isPower(model13[1].factors[0], 1, 2, 0.25));
    EXPECT_TRUE(isPower(model13[2].factors[0], 1, 3, 1.0));

    const auto model24 = termsOf(24);
    ASSERT_EQ(model24.size(), 4u);
    EXPECT_TRUE(isPower(model24[3].factors[0], 1, 5, 0.25));
    EXPECT_TRUE(isPower(model24[3].factors[1], 2, 6, 0.25));
    EXPECT_EQ(exponentOffset(24, 4), 0.0);

    // Model 30 raises x2 by k1 without an offset while x1 ^ (k2 + 0.25) stays apart.
    EXPECT_EQ(exponentOffset(30, 1), 0.0);
    EXPECT_EQ(exponentOffset(30, 2), 0.25);
    EXPECT_EQ(exponentOffset(30, 6), 0.0);
    EXPECT_EQ(exponentOffset(37, 3), 0.25);
}

TEST(TermTable, FactorKindsAndProducts)
{
    EXPECT_EQ(termsOf(1)[0].factors[0].kind, Factor::Kind::Variable);
    EXPECT_EQ(termsOf(6)[2].factors[0].kind, Factor::Kind::Reciprocal);
    EXPECT_EQ(termsOf(6)[2].factors[0].variable, 3);
    EXPECT_EQ(termsOf(8)[0].factors[0].kind, Factor::Kind::Log);
    EXPECT_EQ(termsOf(9)[0].factors[0].kind, Factor::Kind::Exp);

    // The one three-factor term is formed left to right: x1 ^ k1, x2 ^ k2, x3 ^ k3.
    const Term& last = termsOf(49)[5];
    ASSERT_EQ(last.count, 3);
    EXPECT_TRUE(isPower(last.factors[0], 1, 1, 0.0));
    EXPECT_TRUE(isPower(last.factors[1], 2, 2, 0.0));
    EXPECT_TRUE(isPower(last.factors[2], 3, 3, 0.0));
    const Term& model50 = termsOf(50)[5];
    ASSERT_EQ(model50.count, 3);
    EXPECT_EQ(model50.factors[2].kind, Factor::Kind::Log);
    EXPECT_EQ(model50.factors[2].variable, 3);
}

TEST(TermTable, OnlyPowerModelsHaveTerms)
{
    for (ModelId id : { -1, 0, 51, 52, 53 }) {
        EXPECT_TRUE(termsOf(id).empty()) << id;
        EXPECT_EQ(formulaFromTerms(id), "") << id;
        EXPECT_EQ(exponentOffset(id, 1), 0.0) << id;
    }
}

} // namespace quantem::core
