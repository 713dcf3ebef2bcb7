#include "equation/BackgroundEquationFit.h"

namespace quantem::equation {

BackgroundEquationFit::BackgroundEquationFit(Tape tape, EquationData data, EquationSetup setup)
    : m_tape(std::move(tape))
    , m_data(std::move(data))
    , m_setup(std::move(setup))
{
    m_worker = std::thread([this] {
        analysis::DriverControl control;
        control.cancel = &m_stop;
        control.progress
            = [this](int iteration) { m_iterations.store(iteration, std::memory_order_relaxed); };
        m_result = fitEquation(m_tape, m_data, m_setup, control);
        m_done.store(true, std::memory_order_release);
    });
}

BackgroundEquationFit::~BackgroundEquationFit()
{
    requestStop();
    if (m_worker.joinable())
        m_worker.join();
}

} // namespace quantem::equation
