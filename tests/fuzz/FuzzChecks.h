#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace quantem::fuzz {

/// Ends the fuzzing run with a finding: libFuzzer keeps the input that broke the property.
[[noreturn]] inline void fail(const char* what, std::string_view detail = {})
{
    std::fprintf(stderr, "property broken: %s [%.*s]\n", what, static_cast<int>(detail.size()),
        detail.data());
    std::abort();
}

inline void check(bool holds, const char* what, std::string_view detail = {})
{
    if (!holds)
        fail(what, detail);
}

/// True when a shown or written text carries a value that is not a number ("nan", "inf" in any
/// case), which the program must never show or write.
inline bool showsNonNumber(std::string_view text)
{
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        char word[4] = { 0, 0, 0, 0 };
        for (std::size_t j = 0; j < 3; ++j) {
            const char c = text[i + j];
            word[j] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (std::strcmp(word, "nan") == 0 || std::strcmp(word, "inf") == 0)
            return true;
    }
    return false;
}

/// The same double to the bit (so 0 and -0 differ, and one NaN equals itself).
inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace quantem::fuzz
