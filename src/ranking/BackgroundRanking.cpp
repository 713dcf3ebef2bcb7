#include "ranking/BackgroundRanking.h"

#include <new>

namespace quantem::ranking {

BackgroundRanking::BackgroundRanking(RankingInput input, std::vector<ModelChoice> plan, int threads,
    std::vector<equation::EquationEntry> equations)
    : m_total(plan.size() + equations.size())
{
    m_driver = std::thread([this, input = std::move(input), plan = std::move(plan), threads,
                               equations = std::move(equations)] {
        try {
            m_rows = rankModels(input, plan, threads, &m_control, equations);
        } catch (const std::bad_alloc&) {
            m_rows.clear(); // no memory left for the table: the ranking ends empty
        }
        m_done.store(true, std::memory_order_release);
    });
}

BackgroundRanking::~BackgroundRanking()
{
    m_control.requestStop();
    m_driver.join();
}

const std::vector<RankRow>& BackgroundRanking::rows() const noexcept
{
    static const std::vector<RankRow> kNone;
    return done() ? m_rows : kNone;
}

} // namespace quantem::ranking
