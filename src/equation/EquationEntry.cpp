#include "equation/EquationEntry.h"

#include <algorithm>

namespace quantem::equation {

EquationSetup setupOf(const Tape& tape, const EquationEntry& entry)
{
    EquationSetup setup;
    setup.parameters.assign(tape.parameters.size(), {});
    setup.startGiven.assign(tape.parameters.size(), false);
    setup.weighting = entry.weighting;
    for (const EntryParameter& saved : entry.parameters) {
        const auto found = std::find(tape.parameters.begin(), tape.parameters.end(), saved.name);
        if (found == tape.parameters.end())
            continue;
        const auto i = static_cast<std::size_t>(found - tape.parameters.begin());
        analysis::ParameterSetup& p = setup.parameters[i];
        p.fixed = saved.fixed;
        p.lower = saved.lower;
        p.upper = saved.upper;
        if (saved.start) {
            p.start = *saved.start;
            setup.startGiven[i] = true;
        }
        // An unnamed start of 1 must obey the bounds too, or the driver starts outside them.
        if (p.lower <= p.upper)
            p.start = std::clamp(p.start, p.lower, p.upper);
    }
    return setup;
}

} // namespace quantem::equation
