#include "equation/FormulaLexer.h"

#include <charconv>
#include <system_error>

namespace quantem::equation::detail {

namespace {

    bool isDigit(char c) { return c >= '0' && c <= '9'; }

    bool isNameStart(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    }

    bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

    bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    char at(std::string_view text, std::size_t i) { return i < text.size() ? text[i] : '\0'; }

    // The whole UTF-8 sequence starting at offset, so a refused character is shown as typed.
    std::string_view characterAt(std::string_view text, std::size_t offset)
    {
        std::size_t end = offset + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u)
            ++end;
        return text.substr(offset, end - offset);
    }

    // Reads the number starting at i (a digit, or '.' before a digit) into token; an error when
    // its exponent has no digits, a second '.' follows, or it is out of range.
    std::optional<LexError> readNumber(std::string_view text, std::size_t& i, Token& token)
    {
        const std::size_t start = i;
        while (isDigit(at(text, i)))
            ++i;
        if (at(text, i) == '.') {
            ++i;
            while (isDigit(at(text, i)))
                ++i;
        }
        if (at(text, i) == 'e' || at(text, i) == 'E') {
            std::size_t j = i + 1;
            if (at(text, j) == '+' || at(text, j) == '-')
                ++j;
            if (isDigit(at(text, j))) {
                i = j;
                while (isDigit(at(text, i)))
                    ++i;
            } else if (j == i + 1 && isNameStart(at(text, j))) {
                // "2exp(x)": the number ends before the name; the parser asks for an operator.
            } else {
                return LexError { "the number '" + std::string(text.substr(start, j - start))
                        + "' needs digits in its exponent",
                    j };
            }
        }
        if (at(text, i) == '.') {
            std::size_t end = i;
            while (isDigit(at(text, end)) || at(text, end) == '.')
                ++end;
            return LexError { "the number '" + std::string(text.substr(start, end - start))
                    + "' is malformed: it has a '.' too many",
                i };
        }
        token.kind = TokenKind::Number;
        token.text = text.substr(start, i - start);
        const char* first = text.data() + start;
        const char* last = text.data() + i;
        const auto [end, status] = std::from_chars(first, last, token.number);
        if (status == std::errc::result_out_of_range)
            return LexError { "the number '" + std::string(token.text)
                    + "' is outside the range of double-precision numbers (magnitudes 5e-324 to "
                      "1.8e308)",
                start };
        if (status != std::errc() || end != last)
            return LexError { "the number '" + std::string(token.text) + "' cannot be read",
                start };
        return std::nullopt;
    }

} // namespace

LexResult tokenize(std::string_view text)
{
    LexResult result;
    std::size_t i = 0;
    while (true) {
        while (isSpace(at(text, i)))
            ++i;
        Token token;
        token.offset = i;
        if (i >= text.size()) {
            result.tokens.push_back(token);
            return result;
        }
        const char c = text[i];
        const auto single = [&](TokenKind kind, std::size_t length) {
            token.kind = kind;
            token.text = text.substr(i, length);
            i += length;
        };
        if (isDigit(c) || (c == '.' && isDigit(at(text, i + 1)))) {
            if (auto error = readNumber(text, i, token)) {
                result.error = std::move(error);
                return result;
            }
        } else if (isNameStart(c)) {
            std::size_t end = i;
            while (isNameChar(at(text, end)))
                ++end;
            single(TokenKind::Name, end - i);
        } else if (c == '*' && at(text, i + 1) == '*') {
            single(TokenKind::Caret, 2);
        } else {
            switch (c) {
            case '+':
                single(TokenKind::Plus, 1);
                break;
            case '-':
                single(TokenKind::Minus, 1);
                break;
            case '*':
                single(TokenKind::Star, 1);
                break;
            case '/':
                single(TokenKind::Slash, 1);
                break;
            case '^':
                single(TokenKind::Caret, 1);
                break;
            case ',':
                single(TokenKind::Comma, 1);
                break;
            case '=':
                single(TokenKind::Equals, 1);
                break;
            case '(':
                single(TokenKind::OpenParen, 1);
                break;
            case ')':
                single(TokenKind::CloseParen, 1);
                break;
            case '[':
                single(TokenKind::OpenBracket, 1);
                break;
            case ']':
                single(TokenKind::CloseBracket, 1);
                break;
            default:
                result.error = LexError { "the character '" + std::string(characterAt(text, i))
                        + "' has no meaning in a formula",
                    i };
                return result;
            }
        }
        result.tokens.push_back(token);
    }
}

int characterPosition(std::string_view text, std::size_t offset)
{
    int position = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        // Continuation bytes of a UTF-8 sequence belong to the character before them.
        if ((static_cast<unsigned char>(text[i]) & 0xC0u) != 0x80u)
            ++position;
    }
    if (offset > text.size())
        position += static_cast<int>(offset - text.size());
    return position;
}

} // namespace quantem::equation::detail
