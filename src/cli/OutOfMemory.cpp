#include "cli/OutOfMemory.h"

#include <new>

namespace quantem::cli {

int unlessOutOfMemory(const std::function<int()>& command, std::ostream& out, std::ostream& err)
{
    try {
        return command();
    } catch (const std::bad_alloc&) {
        // The output finished before stays; a literal needs no memory to be written.
        out.flush();
        err << "quantem-fit: " << kOutOfMemoryText << '\n';
        err.flush();
        return 1;
    }
}

} // namespace quantem::cli
