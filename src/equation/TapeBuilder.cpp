#include "equation/TapeBuilder.h"

#include "equation/TapeOps.h"

#include <bit>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace quantem::equation::detail {

std::size_t TapeBuilder::KeyHash::operator()(const Key& key) const
{
    // Mixes the fields one after another (the 64-bit FNV step); collisions only cost a comparison.
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](std::uint64_t field) {
        hash ^= field;
        hash *= 1099511628211ull;
    };
    mix(static_cast<std::uint64_t>(key.op));
    mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.a)));
    mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.b)));
    mix(key.valueBits);
    mix(static_cast<std::uint64_t>(static_cast<std::uint32_t>(key.index)));
    return static_cast<std::size_t>(hash);
}

int TapeBuilder::intern(Node node)
{
    // Keyed on the value's bits, so 0 and -0 (and NaNs) stay apart as the evaluator sees them.
    const Key key { node.op, node.a, node.b, std::bit_cast<std::uint64_t>(node.value), node.index };
    if (const auto found = m_shared.find(key); found != m_shared.end())
        return found->second;
    if (node.op == Op::Parameter)
        node.dependsOnParameters = true;
    else if (node.op != Op::Constant && node.op != Op::Variable) {
        const auto depends = [this](int operand) {
            return operand >= 0 && m_nodes[static_cast<std::size_t>(operand)].dependsOnParameters;
        };
        node.dependsOnParameters = depends(node.a) || depends(node.b);
    }
    const int index = static_cast<int>(m_nodes.size());
    m_nodes.push_back(node);
    m_shared.emplace(key, index);
    return index;
}

std::vector<Node> TapeBuilder::takeNodes()
{
    // Folding leaves its operands behind (2 and pi of 2*pi); only what the result reads is kept,
    // renumbered in the same order.
    std::vector<int> renumbered(m_nodes.size(), -1);
    if (!m_nodes.empty())
        renumbered.back() = 0;
    for (std::size_t i = m_nodes.size(); i-- > 0;) {
        if (renumbered[i] < 0)
            continue;
        for (const int operand : { m_nodes[i].a, m_nodes[i].b }) {
            if (operand >= 0)
                renumbered[static_cast<std::size_t>(operand)] = 0;
        }
    }
    std::vector<Node> kept;
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        if (renumbered[i] < 0)
            continue;
        renumbered[i] = static_cast<int>(kept.size());
        Node node = m_nodes[i];
        if (node.a >= 0)
            node.a = renumbered[static_cast<std::size_t>(node.a)];
        if (node.b >= 0)
            node.b = renumbered[static_cast<std::size_t>(node.b)];
        kept.push_back(node);
    }
    m_nodes.clear();
    m_shared.clear();
    return kept;
}

int TapeBuilder::constant(double value)
{
    Node node;
    node.op = Op::Constant;
    node.value = value;
    return intern(node);
}

int TapeBuilder::variable(int index)
{
    Node node;
    node.op = Op::Variable;
    node.index = index;
    return intern(node);
}

int TapeBuilder::parameter(int index)
{
    Node node;
    node.op = Op::Parameter;
    node.index = index;
    return intern(node);
}

int TapeBuilder::unary(Op op, int a)
{
    if (isConstant(a))
        return constant(applyOp(op, valueOf(a), 0.0));
    Node node;
    node.op = op;
    node.a = a;
    return intern(node);
}

int TapeBuilder::binary(Op op, int a, int b)
{
    if (isConstant(a) && isConstant(b))
        return constant(applyOp(op, valueOf(a), valueOf(b)));
    // Sums and products are exactly commutative in IEEE arithmetic, so b + a may share a + b's
    // node. Min and max are not reordered: their tie and NaN rules depend on the order.
    if ((op == Op::Add || op == Op::Mul) && b < a)
        std::swap(a, b);
    Node node;
    node.op = op;
    node.a = a;
    node.b = b;
    return intern(node);
}

int TapeBuilder::power(int a, int b)
{
    if (isConstant(b)) {
        const double n = valueOf(b);
        if (n == std::trunc(n) && std::fabs(n) <= kMaxPowInt) {
            const int whole = static_cast<int>(n);
            // a^0 is 1 for every a (NaN included), as std::pow has it; a^1 is a itself.
            if (whole == 0)
                return constant(1.0);
            if (whole == 1)
                return a;
            if (isConstant(a))
                return constant(powInt(valueOf(a), whole));
            Node node;
            node.op = Op::PowInt;
            node.a = a;
            node.value = n;
            return intern(node);
        }
    }
    if (isConstant(a) && isConstant(b))
        return constant(apply<Op::Pow>(valueOf(a), valueOf(b)));
    Node node;
    node.op = Op::Pow;
    node.a = a;
    node.b = b;
    return intern(node);
}

} // namespace quantem::equation::detail
