#include "equation/TapeEvaluation.h"

#include "equation/TapeOps.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace quantem::equation {

namespace {

    using detail::apply;

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    // Scratch buffers after the nodes' own rows in the value buffer: two operand partials and the
    // running square of PowInt.
    constexpr int kScratchBuffers = 3;

    // Blocks are computed in whole groups of kLanes rows, the padding rows holding copies of the
    // last real row: loops of a known multiple of the vector width are what the compiler
    // vectorises even at -O2.
    constexpr int kLanes = 4;

    int padded(int rows) { return (rows + kLanes - 1) / kLanes * kLanes; }

    // out[r] = f(r) for rows rows (a multiple of kLanes); out must not be read through f.
    template <typename F> void fillRows(double* __restrict out, int rows, F f)
    {
        for (int q = 0; q < rows / kLanes; ++q) {
            for (int k = 0; k < kLanes; ++k)
                out[q * kLanes + k] = f(q * kLanes + k);
        }
    }

    // io[r] = f(io[r], r) in place; f must not read io otherwise.
    template <typename F> void updateRows(double* __restrict io, int rows, F f)
    {
        for (int q = 0; q < rows / kLanes; ++q) {
            for (int k = 0; k < kLanes; ++k)
                io[q * kLanes + k] = f(io[q * kLanes + k], q * kLanes + k);
        }
    }

    template <Op op> void valueRows(double* v, const double* a, const double* b, int rows)
    {
        fillRows(v, rows, [&](int r) { return apply<op>(a[r], b[r]); });
    }

    // v = a^n by repeated squaring in the order of detail::powInt; square is scratch.
    void powIntRows(double* v, const double* a, int n, double* square, int rows)
    {
        unsigned m = static_cast<unsigned>(std::abs(n));
        if (m == 0) {
            std::fill(v, v + rows, 1.0);
            return;
        }
        std::copy(a, a + rows, square);
        bool started = false;
        while (m != 0) {
            if ((m & 1u) != 0) {
                if (started)
                    updateRows(v, rows, [&](double x, int r) { return x * square[r]; });
                else {
                    std::copy(square, square + rows, v);
                }
                started = true;
            }
            m >>= 1;
            if (m != 0)
                updateRows(square, rows, [](double x, int) { return x * x; });
        }
        if (n < 0)
            updateRows(v, rows, [](double x, int) { return 1.0 / x; });
    }

    void computeValue(
        const Node& node, double* v, const double* a, const double* b, double* square, int rows)
    {
        switch (node.op) {
        case Op::Constant:
        case Op::Variable:
        case Op::Parameter:
            break; // filled by the caller
        case Op::PowInt:
            powIntRows(v, a, static_cast<int>(node.value), square, rows);
            break;
        // clang-format off
        case Op::Add:   valueRows<Op::Add>(v, a, b, rows); break;
        case Op::Sub:   valueRows<Op::Sub>(v, a, b, rows); break;
        case Op::Mul:   valueRows<Op::Mul>(v, a, b, rows); break;
        case Op::Div:   valueRows<Op::Div>(v, a, b, rows); break;
        case Op::Neg:   valueRows<Op::Neg>(v, a, b, rows); break;
        case Op::Pow:   valueRows<Op::Pow>(v, a, b, rows); break;
        case Op::Exp:   valueRows<Op::Exp>(v, a, b, rows); break;
        case Op::Ln:    valueRows<Op::Ln>(v, a, b, rows); break;
        case Op::Log10: valueRows<Op::Log10>(v, a, b, rows); break;
        case Op::Sqrt:  valueRows<Op::Sqrt>(v, a, b, rows); break;
        case Op::Abs:   valueRows<Op::Abs>(v, a, b, rows); break;
        case Op::Sin:   valueRows<Op::Sin>(v, a, b, rows); break;
        case Op::Cos:   valueRows<Op::Cos>(v, a, b, rows); break;
        case Op::Tan:   valueRows<Op::Tan>(v, a, b, rows); break;
        case Op::Asin:  valueRows<Op::Asin>(v, a, b, rows); break;
        case Op::Acos:  valueRows<Op::Acos>(v, a, b, rows); break;
        case Op::Atan:  valueRows<Op::Atan>(v, a, b, rows); break;
        case Op::Atan2: valueRows<Op::Atan2>(v, a, b, rows); break;
        case Op::Sinh:  valueRows<Op::Sinh>(v, a, b, rows); break;
        case Op::Cosh:  valueRows<Op::Cosh>(v, a, b, rows); break;
        case Op::Tanh:  valueRows<Op::Tanh>(v, a, b, rows); break;
        case Op::Erf:   valueRows<Op::Erf>(v, a, b, rows); break;
        case Op::Erfc:  valueRows<Op::Erfc>(v, a, b, rows); break;
        case Op::Min:   valueRows<Op::Min>(v, a, b, rows); break;
        case Op::Max:   valueRows<Op::Max>(v, a, b, rows); break;
            // clang-format on
        }
    }

    // The partial derivatives of the node by its operands, dv/da into ga and dv/db into gb, each
    // only when wanted; they point into scratch or at a buffer that already holds them.
    struct Partials
    {
        const double* ga = nullptr;
        const double* gb = nullptr;
    };

    Partials partials(const Node& node, const double* v, const double* a, const double* b,
        double* ga, double* gb, double* square, bool wantA, bool wantB, int rows)
    {
        constexpr double kTwoOverSqrtPi = 2.0 * std::numbers::inv_sqrtpi;
        switch (node.op) {
        case Op::Mul:
            return { b, a };
        case Op::Div:
            if (wantA)
                fillRows(ga, rows, [&](int r) { return 1.0 / b[r]; });
            if (wantB)
                fillRows(gb, rows, [&](int r) { return -v[r] / b[r]; });
            return { ga, gb };
        case Op::PowInt: {
            const int n = static_cast<int>(node.value);
            if (n == 0) {
                std::fill(ga, ga + rows, 0.0);
                return { ga, nullptr };
            }
            powIntRows(ga, a, n - 1, square, rows);
            const double factor = static_cast<double>(n);
            updateRows(ga, rows, [&](double x, int) { return factor * x; });
            return { ga, nullptr };
        }
        case Op::Pow:
            if (wantA)
                fillRows(ga, rows, [&](int r) {
                    // b a^b / a spares a second pow where a^b is a normal number; at a = 0 or
                    // past the range a^(b-1) is taken as it is.
                    return a[r] != 0.0 && std::isnormal(v[r]) ? b[r] * (v[r] / a[r])
                                                              : b[r] * std::pow(a[r], b[r] - 1.0);
                });
            // 0^b stays 0 while b varies (b > 0), so its slope by b is 0, not 0 * ln 0 = NaN.
            if (wantB)
                fillRows(
                    gb, rows, [&](int r) { return v[r] == 0.0 ? 0.0 : v[r] * std::log(a[r]); });
            return { ga, gb };
        case Op::Exp:
            return { v, nullptr };
        case Op::Ln:
            fillRows(ga, rows, [&](int r) { return 1.0 / a[r]; });
            break;
        case Op::Log10:
            fillRows(ga, rows, [&](int r) { return 1.0 / (a[r] * std::numbers::ln10); });
            break;
        case Op::Sqrt:
            fillRows(ga, rows, [&](int r) { return 0.5 / v[r]; });
            break;
        case Op::Abs:
            // sign(a) with sign(0) = 0; NaN stays NaN.
            fillRows(ga, rows,
                [&](int r) { return a[r] > 0.0 ? 1.0 : (a[r] < 0.0 ? -1.0 : a[r] * 0.0); });
            break;
        case Op::Sin:
            fillRows(ga, rows, [&](int r) { return std::cos(a[r]); });
            break;
        case Op::Cos:
            fillRows(ga, rows, [&](int r) { return -std::sin(a[r]); });
            break;
        case Op::Tan:
            fillRows(ga, rows, [&](int r) { return 1.0 + v[r] * v[r]; });
            break;
        // (1 - a)(1 + a) rather than 1 - a², which loses digits as |a| nears 1.
        case Op::Asin:
            fillRows(ga, rows, [&](int r) { return 1.0 / std::sqrt((1.0 - a[r]) * (1.0 + a[r])); });
            break;
        case Op::Acos:
            fillRows(
                ga, rows, [&](int r) { return -1.0 / std::sqrt((1.0 - a[r]) * (1.0 + a[r])); });
            break;
        case Op::Atan:
            fillRows(ga, rows, [&](int r) { return 1.0 / (1.0 + a[r] * a[r]); });
            break;
        case Op::Atan2:
            if (wantA)
                fillRows(ga, rows, [&](int r) { return b[r] / (a[r] * a[r] + b[r] * b[r]); });
            if (wantB)
                fillRows(gb, rows, [&](int r) { return -a[r] / (a[r] * a[r] + b[r] * b[r]); });
            return { ga, gb };
        case Op::Sinh:
            fillRows(ga, rows, [&](int r) { return std::cosh(a[r]); });
            break;
        case Op::Cosh:
            fillRows(ga, rows, [&](int r) { return std::sinh(a[r]); });
            break;
        case Op::Tanh:
            fillRows(ga, rows, [&](int r) { return 1.0 - v[r] * v[r]; });
            break;
        case Op::Erf:
            fillRows(ga, rows, [&](int r) { return kTwoOverSqrtPi * std::exp(-(a[r] * a[r])); });
            break;
        case Op::Erfc:
            fillRows(ga, rows, [&](int r) { return -kTwoOverSqrtPi * std::exp(-(a[r] * a[r])); });
            break;
        case Op::Constant:
        case Op::Variable:
        case Op::Parameter:
        case Op::Add:
        case Op::Sub:
        case Op::Neg:
        case Op::Min:
        case Op::Max:
            break; // their derivatives need no partials (see chainRule)
        }
        return { ga, nullptr };
    }

    // Everything one block needs, so the block's loop is a plain function over it.
    struct Block
    {
        const Tape& tape;
        int maxRows;
        int parameterCount;
        double* values;
        double* derivatives; // null: values only
        const char* dependsOn; // node i on parameter j at i * parameterCount + j

        bool on(int node, int j) const
        {
            return node >= 0
                && dependsOn[static_cast<std::ptrdiff_t>(node) * parameterCount + j] != 0;
        }

        double* value(int node) const
        {
            return values + static_cast<std::ptrdiff_t>(node) * maxRows;
        }
        double* scratch(int k) const { return value(static_cast<int>(tape.nodes.size()) + k); }
        double* derivative(int node, int j) const
        {
            return derivatives + (static_cast<std::ptrdiff_t>(node) * parameterCount + j) * maxRows;
        }
    };

    // The derivatives of node i by every parameter, from its operands' (forward mode).
    void chainRule(const Block& block, int i, const double* v, int rows)
    {
        const Node& node = block.tape.nodes[static_cast<std::size_t>(i)];
        const auto depends = [&](int operand) {
            return operand >= 0
                && block.tape.nodes[static_cast<std::size_t>(operand)].dependsOnParameters;
        };
        const bool wantA = depends(node.a);
        const bool wantB = detail::isBinary(node.op) && depends(node.b);
        const double* a = block.value(node.a);
        const double* b = node.b >= 0 ? block.value(node.b) : a;
        const int count = block.parameterCount;
        const auto da = [&](int j) { return block.derivative(node.a, j); };
        const auto db = [&](int j) { return block.derivative(node.b, j); };

        // Only the parameters the node depends on: a slope by any other is zero, its row never
        // written.
        if (node.op == Op::Add || node.op == Op::Sub || node.op == Op::Neg) {
            const double sign = node.op == Op::Add ? 1.0 : -1.0;
            for (int j = 0; j < count; ++j) {
                if (!block.on(i, j))
                    continue;
                const bool inA = wantA && block.on(node.a, j);
                const bool inB = wantB && block.on(node.b, j);
                double* out = block.derivative(i, j);
                if (node.op == Op::Neg)
                    fillRows(out, rows, [&, x = da(j)](int r) { return -x[r]; });
                else if (inA && inB && node.op == Op::Add)
                    fillRows(out, rows, [&, x = da(j), y = db(j)](int r) { return x[r] + y[r]; });
                else if (inA && inB)
                    fillRows(out, rows, [&, x = da(j), y = db(j)](int r) { return x[r] - y[r]; });
                else if (inA)
                    std::copy(da(j), da(j) + rows, out);
                else
                    fillRows(out, rows, [&, y = db(j)](int r) { return sign * y[r]; });
            }
            return;
        }
        if (node.op == Op::Min || node.op == Op::Max) {
            // The slope of the operand chosen, as apply<Min/Max> chooses it (the first on ties).
            // An operand without the parameter has zero slopes: it reads a row of zeros.
            double* zeros = block.scratch(0);
            std::fill(zeros, zeros + rows, 0.0);
            const bool isMin = node.op == Op::Min;
            for (int j = 0; j < count; ++j) {
                if (!block.on(i, j))
                    continue;
                const double* x = wantA && block.on(node.a, j) ? da(j) : zeros;
                const double* y = wantB && block.on(node.b, j) ? db(j) : zeros;
                fillRows(block.derivative(i, j), rows, [&](int r) {
                    const bool second = isMin ? b[r] < a[r] : a[r] < b[r];
                    return second ? y[r] : x[r];
                });
            }
            return;
        }
        const Partials g = partials(node, v, a, b, block.scratch(0), block.scratch(1),
            block.scratch(2), wantA, wantB, rows);
        for (int j = 0; j < count; ++j) {
            if (!block.on(i, j))
                continue;
            const bool inA = wantA && block.on(node.a, j);
            const bool inB = wantB && block.on(node.b, j);
            double* out = block.derivative(i, j);
            if (inA && inB)
                fillRows(out, rows,
                    [&, x = da(j), y = db(j)](int r) { return g.ga[r] * x[r] + g.gb[r] * y[r]; });
            else if (inA)
                fillRows(out, rows, [&, x = da(j)](int r) { return g.ga[r] * x[r]; });
            else
                fillRows(out, rows, [&, y = db(j)](int r) { return g.gb[r] * y[r]; });
        }
    }

    void evaluateBlock(const Block& block, std::span<const double> parameters,
        std::span<const double* const> columns, std::ptrdiff_t start, int count)
    {
        const std::vector<Node>& nodes = block.tape.nodes;
        const int rows = padded(count);
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            const Node& node = nodes[k];
            const int i = static_cast<int>(k);
            double* v = block.value(i);
            const auto index = static_cast<std::size_t>(node.index);
            if (node.op == Op::Variable) {
                // A column the caller did not pass reads as NaN rather than out of bounds.
                if (index < columns.size()) {
                    std::copy(columns[index] + start, columns[index] + start + count, v);
                    std::fill(v + count, v + rows, v[count - 1]);
                } else
                    std::fill(v, v + rows, kNaN);
                continue;
            }
            if (node.op == Op::Parameter) {
                std::fill(v, v + rows, index < parameters.size() ? parameters[index] : kNaN);
                continue;
            }
            if (node.op == Op::Constant)
                continue; // filled once when the evaluator was made
            const double* a = block.value(node.a);
            const double* b = node.b >= 0 ? block.value(node.b) : a;
            computeValue(node, v, a, b, block.scratch(2), rows);
            if (block.derivatives && node.dependsOnParameters)
                chainRule(block, i, v, rows);
        }
    }

} // namespace

BlockEvaluator::BlockEvaluator(const Tape& tape, int maxRows)
    : m_tape(tape)
    , m_maxRows(padded(std::max(maxRows, 1)))
    , m_parameterCount(static_cast<int>(tape.parameters.size()))
{
    const std::size_t rows = static_cast<std::size_t>(m_maxRows);
    m_values.assign((tape.nodes.size() + kScratchBuffers) * rows, 0.0);
    const auto p = static_cast<std::size_t>(m_parameterCount);
    m_dependsOn.assign(tape.nodes.size() * p, 0);
    for (std::size_t i = 0; i < tape.nodes.size(); ++i) {
        const Node& node = tape.nodes[i];
        if (node.op == Op::Parameter && node.index >= 0 && static_cast<std::size_t>(node.index) < p)
            m_dependsOn[i * p + static_cast<std::size_t>(node.index)] = 1;
        for (const int operand : { node.a, node.b })
            if (operand >= 0)
                for (std::size_t j = 0; j < p; ++j)
                    m_dependsOn[i * p + j] = static_cast<char>(m_dependsOn[i * p + j]
                        | m_dependsOn[static_cast<std::size_t>(operand) * p + j]);
    }
    // Constants never change, so their rows are written once here and never again.
    for (std::size_t i = 0; i < tape.nodes.size(); ++i) {
        if (tape.nodes[i].op == Op::Constant)
            std::fill_n(m_values.begin() + static_cast<std::ptrdiff_t>(i * rows), rows,
                tape.nodes[i].value);
    }
}

void BlockEvaluator::evaluate(std::span<const double> parameters,
    std::span<const double* const> columns, int rows, double* values, double* derivatives,
    std::ptrdiff_t ld)
{
    if (rows <= 0)
        return;
    const std::size_t nodeCount = m_tape.nodes.size();
    if (nodeCount == 0) {
        std::fill(values, values + rows, kNaN);
        for (int j = 0; derivatives && j < m_parameterCount; ++j)
            std::fill(derivatives + j * ld, derivatives + j * ld + rows, kNaN);
        return;
    }
    const std::size_t blockSize = static_cast<std::size_t>(m_maxRows);
    const std::size_t parameterCount = static_cast<std::size_t>(m_parameterCount);
    if (derivatives && m_derivatives.empty() && parameterCount > 0) {
        // Made at the first evaluation that asks for derivatives: plotting never needs them. A
        // parameter's own derivatives are the unit vectors and are never written again.
        m_derivatives.assign(nodeCount * parameterCount * blockSize, 0.0);
        for (std::size_t i = 0; i < nodeCount; ++i) {
            const Node& node = m_tape.nodes[i];
            if (node.op == Op::Parameter && node.index >= 0
                && static_cast<std::size_t>(node.index) < parameterCount) {
                const std::size_t at
                    = (i * parameterCount + static_cast<std::size_t>(node.index)) * blockSize;
                std::fill_n(
                    m_derivatives.begin() + static_cast<std::ptrdiff_t>(at), blockSize, 1.0);
            }
        }
    }
    const Block block { m_tape, m_maxRows, m_parameterCount, m_values.data(),
        derivatives ? m_derivatives.data() : nullptr, m_dependsOn.data() };
    const int last = static_cast<int>(nodeCount) - 1;
    const bool lastDepends = m_tape.nodes.back().dependsOnParameters;
    // Rows beyond one block are taken block by block; each row's arithmetic is the same either way.
    for (int start = 0; start < rows; start += m_maxRows) {
        const int count = std::min(m_maxRows, rows - start);
        evaluateBlock(block, parameters, columns, start, count);
        const double* result = block.value(last);
        std::copy(result, result + count, values + start);
        for (int j = 0; derivatives && j < m_parameterCount; ++j) {
            double* out = derivatives + j * ld + start;
            if (lastDepends)
                std::copy(block.derivative(last, j), block.derivative(last, j) + count, out);
            else
                std::fill(out, out + count, 0.0);
        }
    }
}

} // namespace quantem::equation
