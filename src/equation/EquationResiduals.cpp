#include "equation/EquationResiduals.h"

#include <algorithm>
#include <cmath>
#include <tbb/parallel_for.h>

namespace quantem::equation {

EquationResiduals::EquationResiduals(
    const Tape& tape, const EquationData& data, std::vector<double> scales)
    : m_tape(tape)
    , m_data(data)
    , m_scales(std::move(scales))
    , m_evaluators(std::cref(tape), kBlockRows)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < m_data.y.size(); ++i) {
        const double scaled = m_scales[i] * m_data.y[i];
        sum += scaled * scaled;
    }
    m_dataScale = std::sqrt(sum);
    m_unweighted = std::all_of(m_scales.begin(), m_scales.end(), [](double v) { return v == 1.0; });
}

Eigen::Index EquationResiduals::residualCount() const
{
    return static_cast<Eigen::Index>(m_data.groups());
}

int EquationResiduals::parameterCount() const { return static_cast<int>(m_tape.parameters.size()); }

double EquationResiduals::dataScale() const { return m_dataScale; }

void EquationResiduals::evaluateRows(std::span<const double> p, Eigen::Index first,
    Eigen::Index count, double* r, double* jacobian, Eigen::Index ld) const
{
    BlockEvaluator& evaluator = m_evaluators.local();
    std::vector<const double*> columns(m_data.variables.size());
    const int parameters = parameterCount();
    for (Eigen::Index done = 0; done < count; done += kBlockRows) {
        const auto rows = static_cast<int>(std::min<Eigen::Index>(kBlockRows, count - done));
        const auto at = static_cast<std::size_t>(first + done);
        for (std::size_t v = 0; v < columns.size(); ++v)
            columns[v] = m_data.variables[v].data() + at;
        double* derivatives = jacobian != nullptr ? jacobian + done : nullptr;
        evaluator.evaluate(p, columns, rows, r + done, derivatives, ld);
        const double* s = m_scales.data() + at;
        const double* y = m_data.y.data() + at;
        if (m_unweighted) {
            for (int i = 0; i < rows; ++i)
                r[done + i] -= y[i];
            continue;
        }
        for (int i = 0; i < rows; ++i)
            r[done + i] = s[i] * (r[done + i] - y[i]);
        if (derivatives != nullptr)
            for (int j = 0; j < parameters; ++j)
                for (int i = 0; i < rows; ++i)
                    derivatives[j * ld + i] *= s[i];
    }
}

std::vector<double> EquationResiduals::values(std::span<const double> p) const
{
    std::vector<double> result(m_data.groups());
    // Pieces of whole blocks, each written by one thread into its own rows.
    constexpr std::size_t kPiece = 16 * kBlockRows;
    const std::size_t pieces = (result.size() + kPiece - 1) / kPiece;
    tbb::parallel_for(std::size_t { 0 }, pieces, [&](std::size_t piece) {
        BlockEvaluator& evaluator = m_evaluators.local();
        std::vector<const double*> columns(m_data.variables.size());
        const std::size_t end = std::min(result.size(), (piece + 1) * kPiece);
        for (std::size_t done = piece * kPiece; done < end; done += kBlockRows) {
            const auto rows = static_cast<int>(std::min<std::size_t>(kBlockRows, end - done));
            for (std::size_t v = 0; v < columns.size(); ++v)
                columns[v] = m_data.variables[v].data() + done;
            evaluator.evaluate(p, columns, rows, result.data() + done, nullptr, 0);
        }
    });
    return result;
}

} // namespace quantem::equation
