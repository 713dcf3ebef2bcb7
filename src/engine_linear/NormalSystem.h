#pragma once

#include <span>
#include <vector>

namespace quantem::linear {

/// The substitute for a pivot that is exactly zero.
inline constexpr double kPivotFloor = 1E-100;

/// The sums the fit statistics need, taken from the normal equations before the solve.
struct CentredSums
{
    double n = 0.0; // number of groups accumulated
    double lyy = 0.0; // Σy² − (Σy)²/N
    std::vector<double> lky; // L1y..Lny, index 0 is L1y
};

/// How y enters the sums: as a double, or, for the four-number power models, in single precision
/// (Σy² and Σy rounded to single after every product and every addition).
enum class YPrecision
{
    Double,
    Single
};

/// The normal equations of y = a0 + a1·u1 + … + an·un, accumulated group by group: an m × (m+1)
/// array (m = n + 1), rows and columns from 1, the full square stored, plus Σy².
class NormalSystem
{
public:
    /// Sizes the system for n regressors and zeroes it.
    void begin(int regressors);
    /// Adds one group: u1..un and y. Throws Fault 6 when a sum leaves the double range.
    void addGroup(
        std::span<const double> regressors, double y, YPrecision precision = YPrecision::Double);
    /// Adds count groups at once from a flat table: each group is u1..un then y (m numbers, the
    /// layout of a multiple-linear sample group). Every entry is the same sum over the same
    /// groups in the same order as addGroup gives, so the result is the same to the bit. The
    /// sums are not checked here: checkSums() after the data pass finds a sum that left the
    /// range. chunks is how many parts the rows are shared out into (0: by the size of the work).
    void addGroups(std::span<const double> groups, std::size_t count, int chunks = 0);
    /// Throws Fault 6 when an entry or Σy² is not finite. A sum that leaves the range stays
    /// infinite or NaN whatever is added after, so one look after the data pass finds every
    /// overflow that a look after each group would.
    void checkSums() const;
    /// Sets entry (r, c) and Σy² directly, for sums kept from an earlier fit of the same groups.
    void setEntry(int r, int c, double value) { ref(r, c) = value; }
    void setSumYY(double value) noexcept { m_sumYY = value; }

    /// Valid only before solve.
    CentredSums centredSums() const;

    /// Solves by elimination from the last coefficient upward, no row exchange, then
    /// substitution downward. An exactly-zero pivot or diagonal entry of rows 1..m−1 is replaced
    /// by kPivotFloor; the last division is unguarded. Returns a0..an. Throws Fault 11 (x/0),
    /// 6 (0/0 or overflow).
    std::vector<double> solve();

    /// The power engine's solve: an exactly-zero elimination pivot returns an empty vector (the
    /// evaluation ends silently); the substitution divides with no guard at all.
    std::vector<double> solveWithoutFloor();

    int size() const noexcept { return m_m; }
    /// Entry (r, c), both from 1; column m + 1 is the right-hand side.
    double at(int r, int c) const { return m_a[index(r, c)]; }
    double sumYY() const noexcept { return m_sumYY; }

private:
    std::size_t index(int r, int c) const
    {
        return static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(m_m + 1)
            + static_cast<std::size_t>(c - 1);
    }
    double& ref(int r, int c) { return m_a[index(r, c)]; }
    bool eliminate(bool useFloor);

    int m_m = 0;
    std::vector<double> m_a;
    std::vector<double> m_u;
    double m_sumYY = 0.0;
};

} // namespace quantem::linear
