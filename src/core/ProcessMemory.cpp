#include "core/ProcessMemory.h"

#include <cstdlib> // names the C library, so that __GLIBC__ is known below

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quantem::core {

void keepFreedMemory()
{
#if defined(__GLIBC__)
    // Up to 64 MiB of free memory stays with the program; blocks under 4 MiB (every matrix of
    // a fit of up to some ten thousand groups) come from the heap, grown 4 MiB at a time.
    constexpr int kMiB = 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, 64 * kMiB);
    mallopt(M_MMAP_THRESHOLD, 4 * kMiB);
    mallopt(M_TOP_PAD, 4 * kMiB);
#endif
}

} // namespace quantem::core
