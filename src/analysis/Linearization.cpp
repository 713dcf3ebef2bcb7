#include "analysis/Linearization.h"

#include <cmath>
#include <limits>
#include <optional>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <vector>

namespace quantem::analysis {

namespace {

    // Rows of one block: small enough that its Jacobian stays in cache, large enough that the
    // stacked triangles of a million rows are few.
    constexpr Eigen::Index kBlockRows = 1024;

    bool compresses(const ResidualModel& model, int freeCount)
    {
        return model.residualCount() > kCompressAbove
            && model.residualCount() > 2 * (freeCount + 1);
    }

    /// Every row of a model that is not separable by rows, by every user parameter.
    struct WholeRows
    {
        Eigen::VectorXd r;
        Eigen::MatrixXd j;
    };

    std::optional<WholeRows> wholeRowsOf(const ResidualModel& model, const Eigen::VectorXd& p)
    {
        if (model.separableRows())
            return std::nullopt;
        WholeRows whole;
        const Eigen::Index m = model.residualCount();
        whole.r.resize(m);
        whole.j.resize(m, model.parameterCount());
        model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, 0, m, whole.r.data(),
            whole.j.data(), m);
        return whole;
    }

    /// [J r] of rows first .. first + count - 1 into augmented: the Jacobian by the free columns
    /// with the chain factors applied (a non-finite derivative becomes 0) and the residuals last.
    /// A model with every parameter free writes straight into augmented, so no copy of the
    /// block's Jacobian is made; all is scratch for the others. False when a residual is not
    /// finite, which marks the point.
    bool evaluateBlock(const ResidualModel& model, const ParameterTransform& transform,
        const Eigen::VectorXd& p, const Eigen::VectorXd& slopes,
        const std::optional<WholeRows>& whole, Eigen::Index first, Eigen::Index count,
        Eigen::MatrixXd& all, Eigen::MatrixXd& augmented)
    {
        const int n = transform.freeCount();
        augmented.resize(count, n + 1);
        const auto gather = [&](const auto& jacobian) {
            for (int c = 0; c < n; ++c)
                augmented.col(c) = jacobian.col(transform.userIndex(c));
        };
        if (whole) {
            augmented.col(n) = whole->r.segment(first, count);
            gather(whole->j.middleRows(first, count));
        } else if (n == model.parameterCount()) {
            model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, first, count,
                augmented.col(n).data(), augmented.data(), count);
        } else {
            all.resize(count, model.parameterCount());
            model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, first, count,
                augmented.col(n).data(), all.data(), count);
            gather(all);
        }
        for (int c = 0; c < n; ++c)
            if (slopes(c) != 1.0)
                augmented.col(c) *= slopes(c);
        if (!augmented.leftCols(n).allFinite())
            for (double& d : augmented.leftCols(n).reshaped())
                if (!std::isfinite(d))
                    d = 0.0;
        return augmented.col(n).allFinite();
    }

    /// Buffers a thread reuses from block to block.
    struct Scratch
    {
        Eigen::VectorXd r;
        Eigen::MatrixXd all;
        Eigen::MatrixXd augmented;
    };

    Eigen::Index blockCount(Eigen::Index m) { return (m + kBlockRows - 1) / kBlockRows; }

    /// Calls body(b, first, count, scratch) for every block b of m rows: on all cores when there
    /// are enough blocks to pay for waking the other threads, else on this one (a ranking
    /// already keeps every core busy with other fits). Each block's result has a place of its
    /// own, so the bits are the same either way.
    template <typename Body> void forBlocks(Eigen::Index m, const Body& body)
    {
        const auto run = [&](const tbb::blocked_range<Eigen::Index>& range) {
            Scratch scratch;
            for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
                const Eigen::Index first = b * kBlockRows;
                body(b, first, std::min(kBlockRows, m - first), scratch);
            }
        };
        constexpr Eigen::Index kParallelBlocks = 16;
        const tbb::blocked_range<Eigen::Index> all(0, blockCount(m));
        if (all.size() < static_cast<std::size_t>(kParallelBlocks))
            run(all);
        else
            tbb::parallel_for(all, run);
    }

} // namespace

ResidualValues residualValues(const ResidualModel& model, const ParameterTransform& transform,
    const Eigen::Ref<const Eigen::VectorXd>& u)
{
    const Eigen::VectorXd p = transform.userValues(u);
    const std::span<const double> values(p.data(), static_cast<std::size_t>(p.size()));
    const Eigen::Index m = model.residualCount();
    ResidualValues result;
    if (!model.separableRows()) {
        result.f.resize(m);
        model.evaluateRows(values, 0, m, result.f.data(), nullptr, m);
        result.finite = result.f.allFinite();
        result.sse
            = result.finite ? result.f.squaredNorm() : std::numeric_limits<double>::infinity();
        if (compresses(model, transform.freeCount()))
            result.f.resize(0);
        return result;
    }
    if (!compresses(model, transform.freeCount())) {
        result.f.resize(m);
        forBlocks(m, [&](Eigen::Index, Eigen::Index first, Eigen::Index count, Scratch&) {
            model.evaluateRows(values, first, count, result.f.data() + first, nullptr, count);
        });
        result.finite = result.f.allFinite();
        result.sse
            = result.finite ? result.f.squaredNorm() : std::numeric_limits<double>::infinity();
        return result;
    }
    // Compressed, a step needs the sum alone: each block's share, added in block order, and no
    // vector of every residual.
    std::vector<double> shares(static_cast<std::size_t>(blockCount(m)));
    forBlocks(m, [&](Eigen::Index b, Eigen::Index first, Eigen::Index count, Scratch& scratch) {
        scratch.r.resize(kBlockRows);
        model.evaluateRows(values, first, count, scratch.r.data(), nullptr, count);
        shares[static_cast<std::size_t>(b)] = scratch.r.head(count).squaredNorm();
    });
    double sse = 0.0;
    for (const double share : shares)
        sse += share;
    result.finite = std::isfinite(sse);
    result.sse = result.finite ? sse : std::numeric_limits<double>::infinity();
    return result;
}

Eigen::Index linearizedRows(const ResidualModel& model, int freeCount)
{
    return compresses(model, freeCount) ? freeCount + 1 : model.residualCount();
}

Linearization linearize(const ResidualModel& model, const ParameterTransform& transform,
    const Eigen::Ref<const Eigen::VectorXd>& u, Derivatives derivatives)
{
    const Eigen::VectorXd p = transform.userValues(u);
    const Eigen::VectorXd slopes = derivatives == Derivatives::ByFreeVector
        ? transform.slopes(u)
        : Eigen::VectorXd::Ones(transform.freeCount());
    const int n = transform.freeCount();
    const Eigen::Index m = model.residualCount();
    const std::optional<WholeRows> whole = wholeRowsOf(model, p);
    std::vector<char> finite(static_cast<std::size_t>(blockCount(m)), 1);
    const auto evaluate
        = [&](Eigen::Index b, Eigen::Index first, Eigen::Index count, Scratch& scratch) {
              finite[static_cast<std::size_t>(b)] = evaluateBlock(
                  model, transform, p, slopes, whole, first, count, scratch.all, scratch.augmented);
              return finite[static_cast<std::size_t>(b)] != 0;
          };
    Linearization result;
    // Each block is evaluated (and, compressed, reduced to its triangle) by one thread into a
    // place of its own; the blocks are put together in block order below.
    if (!compresses(model, n)) {
        result.f.resize(m);
        result.jacobian.resize(m, n);
        forBlocks(m, [&](Eigen::Index b, Eigen::Index first, Eigen::Index count, Scratch& scratch) {
            evaluate(b, first, count, scratch);
            result.f.segment(first, count) = scratch.augmented.col(n);
            result.jacobian.middleRows(first, count) = scratch.augmented.leftCols(n);
        });
        for (char f : finite)
            result.finite = result.finite && f != 0;
        result.sse = result.f.squaredNorm();
        return result;
    }
    const Eigen::Index width = n + 1;
    Eigen::MatrixXd stacked = Eigen::MatrixXd::Zero(blockCount(m) * width, width);
    forBlocks(m, [&](Eigen::Index b, Eigen::Index first, Eigen::Index count, Scratch& scratch) {
        if (!evaluate(b, first, count, scratch))
            return;
        // Householder QR in place: the triangle is all that is kept; unpivoted so that the
        // stacked triangles combine into the triangle of the whole.
        const Eigen::HouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(scratch.augmented);
        const Eigen::Index rows = std::min(count, width);
        stacked.block(b * width, 0, rows, width)
            = scratch.augmented.topRows(rows).triangularView<Eigen::Upper>();
    });
    for (char f : finite)
        result.finite = result.finite && f != 0;
    if (!result.finite) {
        result.f = Eigen::VectorXd::Zero(width);
        result.jacobian = Eigen::MatrixXd::Zero(width, n);
        result.sse = std::numeric_limits<double>::infinity();
        return result;
    }
    const Eigen::HouseholderQR<Eigen::MatrixXd> qr(stacked);
    const Eigen::MatrixXd triangle = qr.matrixQR().topRows(width).triangularView<Eigen::Upper>();
    result.jacobian = triangle.leftCols(n);
    result.f = triangle.col(n);
    result.sse = result.f.squaredNorm();
    return result;
}

} // namespace quantem::analysis
