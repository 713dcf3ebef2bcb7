#include "core/TextOnlyArguments.h"

#include <string_view>

namespace quantem::core {

bool asksOnlyForText(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h" || word == "--help-all" || word == "--version"
            || word == "-v")
            return true;
        if (word == "--root")
            ++i; // its value is a folder, whatever it reads
    }
    return false;
}

} // namespace quantem::core
