#pragma once

#include "equation/Formula.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace quantem::equation::detail {

/// The value of the arithmetic or function op on a (and b for binary ops). The one definition of
/// each operation: constant folding and the evaluator both call it, so a folded constant has the
/// bits the evaluator would have computed.
template <Op op> inline double apply(double a, [[maybe_unused]] double b)
{
    if constexpr (op == Op::Add)
        return a + b;
    else if constexpr (op == Op::Sub)
        return a - b;
    else if constexpr (op == Op::Mul)
        return a * b;
    else if constexpr (op == Op::Div)
        return a / b;
    else if constexpr (op == Op::Neg)
        return -a;
    else if constexpr (op == Op::Pow)
        return std::pow(a, b);
    else if constexpr (op == Op::Exp)
        return std::exp(a);
    else if constexpr (op == Op::Ln)
        return std::log(a);
    else if constexpr (op == Op::Log10)
        return std::log10(a);
    else if constexpr (op == Op::Sqrt)
        return std::sqrt(a);
    else if constexpr (op == Op::Abs)
        return std::fabs(a);
    else if constexpr (op == Op::Sin)
        return std::sin(a);
    else if constexpr (op == Op::Cos)
        return std::cos(a);
    else if constexpr (op == Op::Tan)
        return std::tan(a);
    else if constexpr (op == Op::Asin)
        return std::asin(a);
    else if constexpr (op == Op::Acos)
        return std::acos(a);
    else if constexpr (op == Op::Atan)
        return std::atan(a);
    else if constexpr (op == Op::Atan2)
        return std::atan2(a, b);
    else if constexpr (op == Op::Sinh)
        return std::sinh(a);
    else if constexpr (op == Op::Cosh)
        return std::cosh(a);
    else if constexpr (op == Op::Tanh)
        return std::tanh(a);
    else if constexpr (op == Op::Erf)
        return std::erf(a);
    else if constexpr (op == Op::Erfc)
        return std::erfc(a);
    // The first operand wins ties, so its derivative is the one taken there.
    else if constexpr (op == Op::Min)
        return b < a ? b : a;
    else if constexpr (op == Op::Max)
        return a < b ? b : a;
    else
        static_assert(op == Op::Add, "apply() covers the arithmetic and function operations only");
}

/// a raised to the whole number n by repeated squaring; negative n gives 1 / a^|n|, n = 0 gives 1.
/// The evaluator's row loops multiply in the same order, so both give the same bits.
inline double powInt(double a, int n)
{
    unsigned m = static_cast<unsigned>(std::abs(n));
    double result = 1.0;
    bool started = false;
    double square = a;
    while (m != 0) {
        if ((m & 1u) != 0) {
            result = started ? result * square : square;
            started = true;
        }
        m >>= 1;
        if (m != 0)
            square = square * square;
    }
    return n < 0 ? 1.0 / result : result;
}

/// apply<op> chosen at run time, for constant folding; NaN for the operations it does not cover.
inline double applyOp(Op op, double a, double b)
{
    switch (op) {
    case Op::Add:
        return apply<Op::Add>(a, b);
    case Op::Sub:
        return apply<Op::Sub>(a, b);
    case Op::Mul:
        return apply<Op::Mul>(a, b);
    case Op::Div:
        return apply<Op::Div>(a, b);
    case Op::Neg:
        return apply<Op::Neg>(a, b);
    case Op::Pow:
        return apply<Op::Pow>(a, b);
    case Op::Exp:
        return apply<Op::Exp>(a, b);
    case Op::Ln:
        return apply<Op::Ln>(a, b);
    case Op::Log10:
        return apply<Op::Log10>(a, b);
    case Op::Sqrt:
        return apply<Op::Sqrt>(a, b);
    case Op::Abs:
        return apply<Op::Abs>(a, b);
    case Op::Sin:
        return apply<Op::Sin>(a, b);
    case Op::Cos:
        return apply<Op::Cos>(a, b);
    case Op::Tan:
        return apply<Op::Tan>(a, b);
    case Op::Asin:
        return apply<Op::Asin>(a, b);
    case Op::Acos:
        return apply<Op::Acos>(a, b);
    case Op::Atan:
        return apply<Op::Atan>(a, b);
    case Op::Atan2:
        return apply<Op::Atan2>(a, b);
    case Op::Sinh:
        return apply<Op::Sinh>(a, b);
    case Op::Cosh:
        return apply<Op::Cosh>(a, b);
    case Op::Tanh:
        return apply<Op::Tanh>(a, b);
    case Op::Erf:
        return apply<Op::Erf>(a, b);
    case Op::Erfc:
        return apply<Op::Erfc>(a, b);
    case Op::Min:
        return apply<Op::Min>(a, b);
    case Op::Max:
        return apply<Op::Max>(a, b);
    case Op::Constant:
    case Op::Variable:
    case Op::Parameter:
    case Op::PowInt:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

/// True for the operations that read a second operand b.
inline bool isBinary(Op op)
{
    switch (op) {
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::Pow:
    case Op::Atan2:
    case Op::Min:
    case Op::Max:
        return true;
    default:
        return false;
    }
}

} // namespace quantem::equation::detail
