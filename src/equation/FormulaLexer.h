#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantem::equation::detail {

enum class TokenKind : std::uint8_t
{
    Number,
    Name,
    Plus,
    Minus,
    Star,
    Slash,
    Caret, // ^ or **
    Comma,
    Equals,
    OpenParen,
    CloseParen,
    OpenBracket,
    CloseBracket,
    End,
};

struct Token
{
    TokenKind kind = TokenKind::End;
    std::size_t offset = 0; // byte offset into the text
    std::string_view text; // as typed; empty for End
    double number = 0.0; // Number's value
};

/// A character or number the lexer cannot read; offset is the byte where it stopped.
struct LexError
{
    std::string message;
    std::size_t offset = 0;
};

struct LexResult
{
    std::vector<Token> tokens; // ends with End
    std::optional<LexError> error;
};

/// Splits text into tokens. Numbers are read in the C locale (std::from_chars) whatever the
/// process's locale; names are [A-Za-z_][A-Za-z0-9_]*. Never throws.
LexResult tokenize(std::string_view text);

/// The 1-based character position of the byte offset in UTF-8 text, as an editor counts it.
int characterPosition(std::string_view text, std::size_t offset);

} // namespace quantem::equation::detail
