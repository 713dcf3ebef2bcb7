#include "core/TermTable.h"

#include <array>
#include <string>

namespace quantem::core {

namespace {

    constexpr double kQuarter = 0.25;
    constexpr double kOne = 1.0;

    constexpr Factor var(int variable) { return { Factor::Kind::Variable, variable }; }
    constexpr Factor inv(int variable) { return { Factor::Kind::Reciprocal, variable }; }
    constexpr Factor ln(int variable) { return { Factor::Kind::Log, variable }; }
    constexpr Factor ex(int variable) { return { Factor::Kind::Exp, variable }; }
    constexpr Factor pw(int variable, int exponent, double offset = 0.0)
    {
        return { Factor::Kind::Power, variable, exponent, offset };
    }

    constexpr Term term(Factor a) { return { { a, Factor {}, Factor {} }, 1 }; }
    constexpr Term term(Factor a, Factor b) { return { { a, b, Factor {} }, 2 }; }
    constexpr Term term(Factor a, Factor b, Factor c) { return { { a, b, c }, 3 }; }

    struct ModelTerms
    {
        ModelId id;
        std::array<Term, 6> terms; // unused places have no factors
    };

    // The terms u1..ue of every power model. Offsets keep terms that share a variable apart
    // while their exponents start from the same value; publication adds them back.
    // clang-format off
    constexpr std::array<ModelTerms, 50> kTermTable { {
        { 1,  { term(var(1)) } },
        { 2,  { term(var(1)), term(var(2)) } },
        { 3,  { term(var(1)), term(var(2)), term(var(3)) } },
        { 4,  { term(inv(1)) } },
        { 5,  { term(inv(1)), term(inv(2)) } },
        { 6,  { term(inv(1)), term(inv(2)), term(inv(3)) } },
        { 7,  { term(pw(1, 1)) } },
        { 8,  { term(ln(1)) } },
        { 9,  { term(ex(1)) } },
        { 10, { term(pw(1, 1)), term(pw(1, 2, kQuarter)) } },
        { 11, { term(pw(1, 1)), term(ln(1)) } },
        { 12, { term(pw(1, 1)), term(ex(1)) } },
        { 13, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(1, 3, kOne)) } },
        { 14, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(ln(1)) } },
        { 15, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(ex(1)) } },
        { 16, { term(pw(1, 1)), term(pw(2, 2)) } },
        { 17, { term(pw(1, 1)), term(ln(2)) } },
        { 18, { term(pw(1, 1)), term(ex(2)) } },
        { 19, { term(pw(1, 1)), term(pw(2, 2)), term(pw(1, 3), pw(2, 4)) } },
        { 20, { term(pw(1, 1)), term(pw(2, 2)), term(pw(1, 3), ln(2)) } },
        { 21, { term(pw(1, 1)), term(pw(2, 2)), term(pw(1, 3), ex(2)) } },
        { 22, { term(pw(1, 1)), term(ln(2)), term(pw(1, 2), ln(2)) } },
        { 23, { term(pw(1, 1)), term(ex(2)), term(pw(1, 2), ex(2)) } },
        { 24, { term(pw(1, 1)), term(pw(2, 2)), term(pw(1, 3), pw(2, 4)), term(pw(1, 5, kQuarter), pw(2, 6, kQuarter)) } },
        { 25, { term(pw(1, 1)), term(ln(2)), term(pw(1, 2), ln(2)), term(pw(1, 3, kQuarter), ln(2)) } },
        { 26, { term(pw(1, 1)), term(ex(2)), term(pw(1, 2), ex(2)), term(pw(1, 3, kQuarter), ex(2)) } },
        { 27, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), pw(2, 3)) } },
        { 28, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), ln(2)) } },
        { 29, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), ex(2)) } },
        { 30, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 1)), term(pw(1, 3), pw(2, 4)), term(pw(1, 5, kQuarter), pw(2, 6)) } },
        { 31, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(1, 4), pw(2, 5)), term(pw(1, 6), ln(2)) } },
        { 32, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(1, 4), pw(2, 5)), term(pw(1, 6), ex(2)) } },
        { 33, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(pw(2, 4, kQuarter)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), pw(2, 4, kQuarter)) } },
        { 34, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(ln(2)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), ln(2)) } },
        { 35, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 3)), term(ex(2)), term(pw(1, 1), pw(2, 3)), term(pw(1, 2, kQuarter), ex(2)) } },
        { 36, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 1)), term(pw(2, 2, kQuarter)), term(pw(1, 3), pw(2, 4)), term(pw(1, 5, kQuarter), pw(2, 6)) } },
        { 37, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 1)), term(pw(2, 3, kQuarter)), term(pw(1, 4), pw(2, 5)), term(pw(1, 6), ln(2)) } },
        { 38, { term(pw(1, 1)), term(pw(1, 2, kQuarter)), term(pw(2, 1)), term(pw(2, 3, kQuarter)), term(pw(1, 4), pw(2, 5)), term(pw(1, 6), ex(2)) } },
        { 39, { term(pw(1, 1)), term(pw(2, 2)), term(pw(3, 3)) } },
        { 40, { term(pw(1, 1)), term(pw(2, 2)), term(ln(3)) } },
        { 41, { term(pw(1, 1)), term(pw(2, 2)), term(ex(3)) } },
        { 42, { term(pw(1, 1)), term(ln(2)), term(ex(3)) } },
        { 43, { term(pw(1, 1)), term(pw(2, 2)), term(pw(3, 3)), term(pw(1, 1), pw(2, 2)), term(pw(2, 2), pw(3, 3)) } },
        { 44, { term(pw(1, 1)), term(pw(2, 2)), term(ln(3)), term(pw(1, 3), pw(2, 4)), term(pw(2, 5), ln(3)) } },
        { 45, { term(pw(1, 1)), term(pw(2, 2)), term(ex(3)), term(pw(1, 3), pw(2, 4)), term(pw(2, 5), ex(3)) } },
        { 46, { term(pw(1, 1)), term(pw(2, 2)), term(pw(3, 3)), term(pw(1, 1), pw(2, 2)), term(pw(2, 2), pw(3, 3)), term(pw(1, 1), pw(3, 3)) } },
        { 47, { term(pw(1, 1)), term(pw(2, 2)), term(ln(3)), term(pw(1, 3), pw(2, 4)), term(pw(1, 5), ln(3)), term(pw(2, 6), ln(3)) } },
        { 48, { term(pw(1, 1)), term(pw(2, 2)), term(ex(3)), term(pw(1, 3), pw(2, 4)), term(pw(1, 5), ex(3)), term(pw(2, 6), ex(3)) } },
        { 49, { term(pw(1, 1)), term(pw(2, 2)), term(pw(3, 3)), term(pw(1, 4), pw(2, 5)), term(pw(2, 5), pw(3, 6)), term(pw(1, 1), pw(2, 2), pw(3, 3)) } },
        { 50, { term(pw(1, 1)), term(pw(2, 2)), term(ln(3)), term(pw(1, 2), pw(2, 3)), term(pw(1, 4), ln(3)), term(pw(1, 5), pw(2, 6), ln(3)) } },
    } };
    // clang-format on

    std::string factorText(const Factor& factor)
    {
        const std::string x = "x" + std::to_string(factor.variable);
        switch (factor.kind) {
        case Factor::Kind::Variable:
        case Factor::Kind::Reciprocal:
            return x;
        case Factor::Kind::Power:
            return x + " ^ k" + std::to_string(factor.exponent);
        case Factor::Kind::Log:
            return "Log(" + x + ")";
        case Factor::Kind::Exp:
            return "Exp(" + x + ")";
        }
        return x;
    }

} // namespace

std::span<const Term> termsOf(ModelId id)
{
    if (id < 1 || id > static_cast<ModelId>(kTermTable.size()))
        return {};
    const std::array<Term, 6>& terms = kTermTable[static_cast<std::size_t>(id - 1)].terms;
    std::size_t count = 0;
    while (count < terms.size() && terms[count].count > 0)
        ++count;
    return { terms.data(), count };
}

double exponentOffset(ModelId id, int exponent)
{
    for (const Term& t : termsOf(id)) {
        for (int f = 0; f < t.count; ++f) {
            const Factor& factor = t.factors[static_cast<std::size_t>(f)];
            if (factor.kind == Factor::Kind::Power && factor.exponent == exponent)
                return factor.offset;
        }
    }
    return 0.0;
}

std::string formulaFromTerms(ModelId id)
{
    const std::span<const Term> terms = termsOf(id);
    if (terms.empty())
        return {};
    std::string text = "y = a0";
    for (std::size_t i = 0; i < terms.size(); ++i) {
        text += " + a" + std::to_string(i + 1);
        const Term& t = terms[i];
        for (int f = 0; f < t.count; ++f) {
            const Factor& factor = t.factors[static_cast<std::size_t>(f)];
            text += factor.kind == Factor::Kind::Reciprocal ? " / " : " * ";
            text += factorText(factor);
        }
    }
    return text;
}

} // namespace quantem::core
