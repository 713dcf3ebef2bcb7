#include "engine_power/CriterionHandoff.h"

#include "core/Fault.h"

namespace quantem::power {

using core::ScratchFile;

CriterionHandoff::CriterionHandoff(const core::ScratchStore& store)
    : m_store(store)
{
}

double CriterionHandoff::previousCriterion() const
{
    // A held criterion is the double the file would give back: records keep every bit.
    if (m_holding)
        return m_criterion;
    return m_store.readNumbers(ScratchFile::R1, 1)[0];
}

void CriterionHandoff::record(double criterion, double change, double r, double f, double s)
{
    if (m_holding) {
        m_criterion = criterion;
        m_change = change;
        m_r = r;
        m_f = f;
        m_s = s;
        m_dirty = true;
        return;
    }
    m_store.writeRecord(ScratchFile::R1, { criterion });
    m_store.writeRecord(ScratchFile::Rr, { change, r, f, s });
    m_criterion = criterion;
    m_change = change;
    m_holding = true;
}

double CriterionHandoff::lastChange() const
{
    if (m_holding)
        return m_change;
    return m_store.readNumbers(ScratchFile::Rr, 1)[0];
}

void CriterionHandoff::flush()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    m_store.writeRecord(ScratchFile::R1, { m_criterion });
    m_store.writeRecord(ScratchFile::Rr, { m_change, m_r, m_f, m_s });
}

HandoffFlushGuard::~HandoffFlushGuard()
{
    try {
        m_handoff.flush();
    } catch (...) {
        // The store has said why it could not write; a destructor that runs while a stop
        // request unwinds the search must not throw again.
    }
}

} // namespace quantem::power
