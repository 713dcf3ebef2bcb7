#pragma once

namespace quantem::core {

/// Keeps the memory the program frees for its next allocations instead of handing it back to the
/// system at once. A ranking's runs allocate and free their matrices on every core at the same
/// time; each hand-back makes the system stop every core the program runs on to forget the freed
/// pages, which doubled a ranking's system time on two cores. Call once, at start-up.
void keepFreedMemory();

} // namespace quantem::core
