#include "equation/NumberWords.h"

#include <charconv>

namespace quantem::equation {

std::string numberWords(double value, int digits)
{
    char text[40];
    const auto end
        = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return std::string(text, end.ptr);
}

} // namespace quantem::equation
