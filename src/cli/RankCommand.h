#pragma once

#include "ranking/RankRow.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quantem::cli {

enum class RankFormat
{
    Text,
    Json,
    Csv,
};

/// The largest group a ranking takes: 50 variables and y, as multiple regression reads them.
inline constexpr int kMaxGroupSize = 51;

struct RankOptions
{
    std::filesystem::path root;
    std::string samples;
    int groupSize = 2;
    std::string power = "1";
    int threads = 0; // 0: one per core
    RankFormat format = RankFormat::Text;
};

struct RankParseResult
{
    std::optional<RankOptions> options;
    std::string error;
};

/// True when the arguments ask for a ranking (they hold --rank).
bool asksForRanking(const std::vector<std::string>& arguments);

/// Parses the arguments of a ranking (--rank among them).
RankParseResult parseRankArguments(
    const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot);

/// The ranked rows as JSON: {"rows": [{"rank", "model", "elements", ...}, ...]}; a saved
/// equation's row has "model": null and its name under "equation" after it.
void printRankJson(const std::vector<ranking::RankRow>& rows, std::ostream& out);
/// The ranked rows as CSV with the JSON's names as its header line; the equation column only
/// when some row is a saved equation.
void printRankCsv(const std::vector<ranking::RankRow>& rows, std::ostream& out);
/// The ranked rows as an aligned table for reading.
void printRankText(const std::vector<ranking::RankRow>& rows, std::ostream& out);

/// Ranks every model of the group size, and the root's saved equations of that group size, on
/// the root's samples, leaving the root untouched; of the sample file only the groups asked for
/// are read. A damaged library is told on err and ranks no equation. Returns 0 when at least one
/// model or equation fitted, 1 otherwise or when a run had not enough memory (told on err).
/// SIGINT or SIGTERM stops the ranking: the rows finished are printed and the status is 130 or
/// 143.
int runRanking(const RankOptions& options, std::ostream& out, std::ostream& err);

/// Parse and run; 2 for a usage error, 1 with a reason on err when memory ran out.
int rankMain(const std::vector<std::string>& arguments, const std::filesystem::path& defaultRoot,
    std::ostream& out, std::ostream& err);

inline constexpr const char* kRankUsage
    = "       quantem-fit [--root DIR] --rank --samples N [--group-size G] [--power S]\n"
      "                   [--threads T] [--json | --csv]\n";

} // namespace quantem::cli
