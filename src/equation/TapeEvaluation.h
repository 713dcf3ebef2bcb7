#pragma once

#include "equation/Formula.h"

#include <cstddef>
#include <span>
#include <vector>

namespace quantem::equation {

/// How many groups one block evaluates at once: the node buffers of a block stay in cache.
inline constexpr int kBlockRows = 256;

/// Evaluates a tape over blocks of groups: the formula's values and, in the same pass, its exact
/// derivatives by every parameter (forward mode). One evaluator per thread; it holds the buffers.
class BlockEvaluator
{
public:
    explicit BlockEvaluator(const Tape& tape, int maxRows = kBlockRows);

    /// columns[v] points at the rows values of variable v (group order), rows <= maxRows.
    /// values receives rows values; derivatives, when not null, the rows x parameterCount
    /// derivatives column-major with leading dimension ld (column j: by Tape::parameters[j]).
    /// A domain error (ln of a negative, overflow) gives NaN or infinity there; nothing throws.
    void evaluate(std::span<const double> parameters, std::span<const double* const> columns,
        int rows, double* values, double* derivatives, std::ptrdiff_t ld);

private:
    const Tape& m_tape;
    int m_maxRows;
    int m_parameterCount;
    std::vector<double> m_values; // node-major: node i's rows at i * maxRows
    std::vector<double> m_derivatives; // node i, parameter j at (i * P + j) * maxRows
    std::vector<char> m_dependsOn; // node i on parameter j at i * P + j: its other slopes are 0
};

} // namespace quantem::equation
