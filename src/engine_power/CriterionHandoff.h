#pragma once

#include "core/ScratchStore.h"

#include <optional>

namespace quantem::power {

/// The hand-off of the criterion between the evaluations of one search: r1.sys (the previous
/// criterion) and rr.sys (the last step result). The first evaluation that writes both goes
/// through the files; from then on the two records are held here and written when the search
/// ends (flush), so the files end exactly as if every evaluation had written them. Until a write
/// has worked, every evaluation writes through, so a store that cannot be written behaves, and
/// reports, as it always did.
class CriterionHandoff
{
public:
    explicit CriterionHandoff(const core::ScratchStore& store);

    /// The criterion an evaluation compares with: r1.sys's first number. Throws the fault
    /// reading it gives.
    double previousCriterion() const;
    /// Records a step: r1.sys = criterion, then rr.sys = change, r, f, s. Throws Fault 75 when
    /// a write through the store fails (rr.sys is then not written).
    void record(double criterion, double change, double r, double f, double s);
    /// The criterion change the search reads after an evaluation: rr.sys's first number. Throws
    /// the fault reading it gives.
    double lastChange() const;
    /// Writes the held records, r1.sys then rr.sys. Throws Fault 75 when a write fails.
    void flush();

private:
    const core::ScratchStore& m_store;
    bool m_holding = false; // both files written once: keep them in memory from now on
    bool m_dirty = false; // held records not yet written
    double m_criterion = 0.0;
    double m_change = 0.0;
    double m_r = 0.0;
    double m_f = 0.0;
    double m_s = 0.0;
};

/// Flushes the hand-off however the search ends: a fault or a stop request thrown by the
/// progress hook leaves the files as complete as a normal end.
class HandoffFlushGuard
{
public:
    explicit HandoffFlushGuard(CriterionHandoff& handoff) noexcept
        : m_handoff(handoff)
    {
    }
    ~HandoffFlushGuard();
    HandoffFlushGuard(const HandoffFlushGuard&) = delete;
    HandoffFlushGuard& operator=(const HandoffFlushGuard&) = delete;

private:
    CriterionHandoff& m_handoff;
};

} // namespace quantem::power
