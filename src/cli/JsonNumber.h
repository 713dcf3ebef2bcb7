#pragma once

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>

namespace quantem::cli {

/// A statistic as JSON: the number, or null where it is not finite or there is none.
inline nlohmann::ordered_json jsonNumber(double value)
{
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

inline nlohmann::ordered_json jsonNumber(const std::optional<double>& value)
{
    return value ? jsonNumber(*value) : nlohmann::ordered_json(nullptr);
}

} // namespace quantem::cli
