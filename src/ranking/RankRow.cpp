#include "ranking/RankRow.h"

#include <algorithm>

namespace quantem::ranking {

namespace {

    std::string trimmed(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos)
            return {};
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    }

} // namespace

bool RankRow::fitted() const
{
    if (equation)
        return equationProblem.empty();
    return showings.empty()
        && std::all_of(statistics.begin(), statistics.end(), [](const auto& v) { return v; });
}

std::string RankRow::message() const
{
    if (equation)
        return equationProblem;
    std::string text;
    for (std::size_t i = 0; i < showings.size(); ++i) {
        if (i > 0 && showings[i].window == showings[i - 1].window
            && showings[i].text == showings[i - 1].text)
            continue;
        text += (text.empty() ? "" : "; ") + trimmed(showings[i].text);
    }
    return text;
}

} // namespace quantem::ranking
