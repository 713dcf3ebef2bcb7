#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::equation {

/// The operations of a compiled formula. Unary operations read a, binary ones a and b.
enum class Op : std::uint8_t
{
    Constant, // value
    Variable, // index: 0 for x or x1, k-1 for xk
    Parameter, // index: the parameter's place in Tape::parameters
    Add,
    Sub,
    Mul,
    Div,
    Neg,
    PowInt, // a raised to the whole number in value, by multiplication
    Pow, // a ^ b, b not a whole constant
    Exp,
    Ln,
    Log10,
    Sqrt,
    Abs,
    Sin,
    Cos,
    Tan,
    Asin,
    Acos,
    Atan,
    Atan2, // atan2(a, b)
    Sinh,
    Cosh,
    Tanh,
    Erf,
    Erfc,
    Min,
    Max,
};

/// One operation of the tape; its operands are earlier nodes, so the tape is evaluated front to
/// back in one pass.
struct Node
{
    Op op = Op::Constant;
    int a = -1;
    int b = -1;
    double value = 0.0; // Constant's value, PowInt's exponent
    int index = 0; // Variable's or Parameter's index
    bool dependsOnParameters = false; // false: its derivatives are all zero
};

/// A formula compiled into single-assignment nodes, equal subexpressions shared; the last node is
/// the formula's value.
struct Tape
{
    std::string text; // the formula as typed
    std::vector<Node> nodes;
    std::vector<std::string> parameters; // in order of first use
    int variableCount = 1; // 1 for x; k, the highest index, for x1..xk
    bool numberedVariables = false; // the formula names x1..xk rather than x

    /// The variables' names in group order: "x", or "x1".."xk".
    std::vector<std::string> variableNames() const;
};

/// Why a formula was refused: the message says what was expected or found; position is the
/// 1-based character where the parser stopped.
struct FormulaError
{
    std::string message;
    int position = 1;
};

struct CompileResult
{
    std::optional<Tape> tape;
    FormulaError error; // when tape is empty
};

/// Parses text (numbers in the C locale whatever the process's locale) into a tape. Never throws.
CompileResult compileFormula(std::string_view text);

/// True when name is a function or constant of the formula language (exp, pi, ...), which a
/// parameter cannot be called.
bool isReservedName(std::string_view name);

} // namespace quantem::equation
