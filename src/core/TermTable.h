#pragma once

#include "core/ModelCatalogue.h"

#include <array>
#include <span>
#include <string>

namespace quantem::core {

/// One factor of a term: a variable raised to an exponent of the exponent set (plus a fixed
/// offset), the variable itself, its reciprocal, its natural logarithm or its exponential.
struct Factor
{
    enum class Kind
    {
        Variable,
        Reciprocal,
        Power,
        Log,
        Exp
    };
    Kind kind;
    int variable; // 1..3
    int exponent = 0; // 1..6 for Power
    double offset = 0.0; // the term offset added to the exponent where the term is formed
};

/// A term: the product of up to three factors, formed left to right.
struct Term
{
    std::array<Factor, 3> factors;
    int count;
};

/// The terms u1..ue of a model of 1..50, in order. Empty for other ids.
std::span<const Term> termsOf(ModelId id);

/// The term offset of exponent r (1..6) of a model: what publication adds back to the stored
/// exponent (0, 0.25 or 1).
double exponentOffset(ModelId id, int exponent);

/// The formula of a model of 1..50 written out from its terms with the exponents as named,
/// offsets left out ("y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2"); it reads as the catalogue's
/// formula text. Empty for other ids.
std::string formulaFromTerms(ModelId id);

} // namespace quantem::core
