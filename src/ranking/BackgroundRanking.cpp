#include "ranking/BackgroundRanking.h"

#include <new>
#include <system_error>

namespace quantem::ranking {

BackgroundRanking::BackgroundRanking(RankingInput input, std::vector<ModelChoice> plan, int threads,
    std::vector<equation::EquationEntry> equations, const ThreadStarter& start)
    : m_total(plan.size() + equations.size())
{
    auto drive = [this, input = std::move(input), plan = std::move(plan), threads,
                     equations = std::move(equations), start] {
        try {
            m_rows = rankModels(input, plan, threads, &m_control, equations, start);
        } catch (const std::bad_alloc&) {
            m_rows.clear(); // no memory left for the table: the ranking ends empty
        }
        m_done.store(true, std::memory_order_release);
    };
    try {
        m_driver = start(drive);
    } catch (const std::system_error&) {
        drive(); // no thread to spare: the caller waits for the ranking instead
    }
}

BackgroundRanking::~BackgroundRanking()
{
    m_control.requestStop();
    if (m_driver.joinable())
        m_driver.join();
}

const std::vector<RankRow>& BackgroundRanking::rows() const noexcept
{
    static const std::vector<RankRow> kNone;
    return done() ? m_rows : kNone;
}

} // namespace quantem::ranking
