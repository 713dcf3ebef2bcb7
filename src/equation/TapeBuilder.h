#pragma once

#include "equation/Formula.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quantem::equation::detail {

/// Appends nodes to a tape, sharing equal subexpressions: asking twice for the same (op, a, b,
/// value, index) returns the first node. Operations on constants only are folded into a constant.
/// Every function returns the node's index.
class TapeBuilder
{
public:
    int constant(double value);
    int variable(int index);
    int parameter(int index);
    /// A unary operation (Neg, Exp, ...) on node a.
    int unary(Op op, int a);
    /// A binary operation (Add, ..., Atan2, Min, Max; Pow goes through power()) on a and b.
    int binary(Op op, int a, int b);
    /// a ^ b: PowInt when b is a whole constant of at most kMaxPowInt, else Pow.
    int power(int a, int b);

    /// The nodes the last one depends on, in evaluation order; the builder is empty afterwards.
    std::vector<Node> takeNodes();

    static constexpr int kMaxPowInt = 64;

private:
    struct Key
    {
        Op op;
        int a;
        int b;
        std::uint64_t valueBits;
        int index;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash
    {
        std::size_t operator()(const Key& key) const;
    };

    bool isConstant(int node) const
    {
        return m_nodes[static_cast<std::size_t>(node)].op == Op::Constant;
    }
    double valueOf(int node) const { return m_nodes[static_cast<std::size_t>(node)].value; }
    int intern(Node node);

    std::vector<Node> m_nodes;
    std::unordered_map<Key, int, KeyHash> m_shared;
};

} // namespace quantem::equation::detail
