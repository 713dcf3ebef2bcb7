#include "equation/Formula.h"

#include "equation/FormulaLexer.h"
#include "equation/TapeBuilder.h"

#include <array>
#include <numbers>
#include <unordered_map>
#include <utility>

namespace quantem::equation {

namespace {

    using detail::Token;
    using detail::TokenKind;

    struct Function
    {
        std::string_view name;
        Op op;
        int arguments;
    };

    // clang-format off
    constexpr std::array kFunctions {
        Function { "exp",    Op::Exp,   1 },
        Function { "ln",     Op::Ln,    1 },
        Function { "log",    Op::Ln,    1 },
        Function { "log10",  Op::Log10, 1 },
        Function { "sqrt",   Op::Sqrt,  1 },
        Function { "abs",    Op::Abs,   1 },
        Function { "sin",    Op::Sin,   1 },
        Function { "cos",    Op::Cos,   1 },
        Function { "tan",    Op::Tan,   1 },
        Function { "asin",   Op::Asin,  1 },
        Function { "acos",   Op::Acos,  1 },
        Function { "atan",   Op::Atan,  1 },
        Function { "arctan", Op::Atan,  1 },
        Function { "atan2",  Op::Atan2, 2 },
        Function { "sinh",   Op::Sinh,  1 },
        Function { "cosh",   Op::Cosh,  1 },
        Function { "tanh",   Op::Tanh,  1 },
        Function { "erf",    Op::Erf,   1 },
        Function { "erfc",   Op::Erfc,  1 },
        Function { "pow",    Op::Pow,   2 },
        Function { "min",    Op::Min,   2 },
        Function { "max",    Op::Max,   2 },
    };
    // clang-format on

    constexpr std::string_view kPi = "pi";

    // Deeper nesting than any real formula; the limit keeps the recursion off the stack's end.
    constexpr int kMaxDepth = 200;

    const Function* findFunction(std::string_view name)
    {
        for (const Function& function : kFunctions) {
            if (function.name == name)
                return &function;
        }
        return nullptr;
    }

    // The variable index (1..9) of x1..x9, 0 for x, -1 for any other name.
    int variableNumber(std::string_view name)
    {
        if (name == "x")
            return 0;
        if (name.size() == 2 && name[0] == 'x' && name[1] >= '1' && name[1] <= '9')
            return name[1] - '0';
        return -1;
    }

    bool isOpening(TokenKind kind)
    {
        return kind == TokenKind::OpenParen || kind == TokenKind::OpenBracket;
    }

    bool isClosing(TokenKind kind)
    {
        return kind == TokenKind::CloseParen || kind == TokenKind::CloseBracket;
    }

    std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

    std::string describe(const Token& token)
    {
        return token.kind == TokenKind::End ? "the end of the formula" : quoted(token.text);
    }

    std::string argumentsText(int count)
    {
        return count == 1 ? "one argument" : "two arguments separated by a comma";
    }

    // Unwinds the recursive descent in one step; caught in compileFormula, never leaves it.
    struct Refusal
    {
        std::string message;
        std::size_t offset;
    };

    class Parser
    {
    public:
        Parser(std::string_view text, std::vector<Token> tokens)
            : m_text(text)
            , m_tokens(std::move(tokens))
        {
        }

        Tape parse()
        {
            // "y =" in front is the response's name, not part of the expression.
            if (peek().kind == TokenKind::Name && peek().text == "y"
                && peek(1).kind == TokenKind::Equals) {
                m_position += 2;
                if (peek().kind == TokenKind::End)
                    refuse(peek(), "the formula is empty after 'y ='");
            }
            if (peek().kind == TokenKind::End)
                refuse(peek(), "empty formula: type an expression such as a*exp(-b*x)");
            expression();
            const Token& rest = peek();
            if (isClosing(rest.kind))
                refuse(rest, "unexpected " + describe(rest) + ": no bracket is open here");
            if (rest.kind == TokenKind::Equals)
                refuse(rest, "'=' may only follow y at the start of the formula, as in y = a*x");
            if (rest.kind != TokenKind::End) {
                std::string message
                    = "expected an operator or the end of the formula but found " + describe(rest);
                if (rest.kind == TokenKind::Name || rest.kind == TokenKind::Number
                    || isOpening(rest.kind))
                    message += " (a product needs '*')";
                refuse(rest, message);
            }
            Tape tape;
            tape.text = std::string(m_text);
            tape.nodes = m_builder.takeNodes();
            tape.parameters = std::move(m_parameters);
            tape.numberedVariables = m_numbered.has_value();
            tape.variableCount = tape.numberedVariables ? m_highestVariable : 1;
            return tape;
        }

    private:
        const Token& peek(std::size_t ahead = 0) const
        {
            return m_tokens[std::min(m_position + ahead, m_tokens.size() - 1)];
        }

        const Token& next()
        {
            const Token& token = peek();
            if (token.kind != TokenKind::End)
                ++m_position;
            return token;
        }

        [[noreturn]] static void refuse(const Token& at, std::string message)
        {
            throw Refusal { std::move(message), at.offset };
        }

        std::string positionText(const Token& token) const
        {
            return std::to_string(detail::characterPosition(m_text, token.offset));
        }

        // expression := term { ('+' | '-') term }
        int expression()
        {
            int left = term();
            while (peek().kind == TokenKind::Plus || peek().kind == TokenKind::Minus) {
                const Op op = next().kind == TokenKind::Plus ? Op::Add : Op::Sub;
                left = m_builder.binary(op, left, term());
            }
            return left;
        }

        // term := unary { ('*' | '/') unary }
        int term()
        {
            int left = unary();
            while (peek().kind == TokenKind::Star || peek().kind == TokenKind::Slash) {
                const Op op = next().kind == TokenKind::Star ? Op::Mul : Op::Div;
                left = m_builder.binary(op, left, unary());
            }
            return left;
        }

        // unary := ('-' | '+') unary | power. Every nesting passes here, so the depth is kept here.
        int unary()
        {
            if (++m_depth > kMaxDepth)
                refuse(peek(), "the formula nests brackets or signs too deeply");
            int result;
            if (peek().kind == TokenKind::Minus) {
                next();
                result = m_builder.unary(Op::Neg, unary());
            } else if (peek().kind == TokenKind::Plus) {
                next();
                result = unary();
            } else {
                result = power();
            }
            --m_depth;
            return result;
        }

        // power := primary [ '^' unary ]: right-associative, and tighter than a sign before it
        // (-x^2 is -(x^2)), while the exponent may carry its own sign (2^-x).
        int power()
        {
            const int base = primary();
            if (peek().kind != TokenKind::Caret)
                return base;
            next();
            return m_builder.power(base, unary());
        }

        int primary()
        {
            const Token& token = peek();
            switch (token.kind) {
            case TokenKind::Number:
                next();
                return m_builder.constant(token.number);
            case TokenKind::Name:
                next();
                return name(token);
            case TokenKind::OpenParen:
            case TokenKind::OpenBracket: {
                next();
                const int inner = expression();
                close(token);
                return inner;
            }
            default:
                refuse(token, "expected a number, a name or '(' but found " + describe(token));
            }
        }

        // Consumes the bracket that closes open, which must be of its own kind.
        void close(const Token& open)
        {
            const TokenKind wanted = open.kind == TokenKind::OpenParen ? TokenKind::CloseParen
                                                                       : TokenKind::CloseBracket;
            if (peek().kind == wanted) {
                next();
                return;
            }
            const std::string closing = wanted == TokenKind::CloseParen ? "')'" : "']'";
            refuse(peek(),
                "expected " + closing + " to close " + quoted(open.text) + " at "
                    + positionText(open) + " but found " + describe(peek()));
        }

        int name(const Token& token)
        {
            const std::string_view text = token.text;
            const bool called = isOpening(peek().kind);
            if (const Function* function = findFunction(text)) {
                if (!called)
                    refuse(token,
                        quoted(text) + " is a function and cannot be a parameter; write "
                            + std::string(text) + "(...)");
                return call(*function, token);
            }
            if (called)
                refuse(token,
                    quoted(text) + " is not a function" + (text == kPi ? " but a constant" : "")
                        + "; a product needs '*', as in " + std::string(text) + "*(...)");
            if (text == kPi)
                return m_builder.constant(std::numbers::pi);
            if (text == "y")
                refuse(token, "y is the response and cannot be used on the right-hand side");
            if (const int number = variableNumber(text); number >= 0)
                return variable(token, number);
            return parameter(text);
        }

        int call(const Function& function, const Token& token)
        {
            const Token& open = next();
            if (isClosing(peek().kind))
                refuse(peek(), quoted(token.text) + " takes " + argumentsText(function.arguments));
            const int first = expression();
            int second = -1;
            if (function.arguments == 2) {
                if (peek().kind != TokenKind::Comma) {
                    if (isClosing(peek().kind))
                        refuse(peek(), quoted(token.text) + " takes " + argumentsText(2));
                    refuse(peek(),
                        "expected ',' before the second argument of " + quoted(token.text)
                            + " but found " + describe(peek()));
                }
                next();
                second = expression();
            }
            if (peek().kind == TokenKind::Comma)
                refuse(peek(),
                    quoted(token.text) + " takes only "
                        + (function.arguments == 1 ? "one argument" : "two arguments"));
            close(open);
            if (function.op == Op::Pow)
                return m_builder.power(first, second);
            return function.arguments == 1 ? m_builder.unary(function.op, first)
                                           : m_builder.binary(function.op, first, second);
        }

        int variable(const Token& token, int number)
        {
            // x alone, or x1..x9 throughout: one formula cannot say which column plain x would be.
            if (number == 0) {
                if (m_numbered)
                    refuse(token,
                        "x cannot be used together with " + std::string(*m_numbered)
                            + ": name the variables x1, x2, ... throughout");
                m_plainX = true;
                return m_builder.variable(0);
            }
            if (m_plainX)
                refuse(token,
                    quoted(token.text)
                        + " cannot be used together with x: name the variables x1, x2, ... "
                          "throughout");
            if (!m_numbered)
                m_numbered = token.text;
            m_highestVariable = std::max(m_highestVariable, number);
            return m_builder.variable(number - 1);
        }

        int parameter(std::string_view text)
        {
            const std::string key(text);
            auto found = m_parameterIndex.find(key);
            if (found == m_parameterIndex.end()) {
                found = m_parameterIndex.emplace(key, static_cast<int>(m_parameters.size())).first;
                m_parameters.push_back(key);
            }
            return m_builder.parameter(found->second);
        }

        std::string_view m_text;
        std::vector<Token> m_tokens;
        std::size_t m_position = 0;
        int m_depth = 0;
        detail::TapeBuilder m_builder;
        std::vector<std::string> m_parameters;
        std::unordered_map<std::string, int> m_parameterIndex;
        bool m_plainX = false;
        std::optional<std::string_view> m_numbered; // the first of x1..x9 used
        int m_highestVariable = 0;
    };

} // namespace

std::vector<std::string> Tape::variableNames() const
{
    if (!numberedVariables)
        return { "x" };
    std::vector<std::string> names;
    for (int k = 1; k <= variableCount; ++k)
        names.push_back("x" + std::to_string(k));
    return names;
}

CompileResult compileFormula(std::string_view text)
{
    CompileResult result;
    detail::LexResult lexed = detail::tokenize(text);
    if (lexed.error) {
        result.error
            = { lexed.error->message, detail::characterPosition(text, lexed.error->offset) };
        return result;
    }
    try {
        result.tape = Parser(text, std::move(lexed.tokens)).parse();
    } catch (const Refusal& refusal) {
        result.error = { refusal.message, detail::characterPosition(text, refusal.offset) };
    }
    return result;
}

bool isReservedName(std::string_view name) { return name == kPi || findFunction(name) != nullptr; }

} // namespace quantem::equation
