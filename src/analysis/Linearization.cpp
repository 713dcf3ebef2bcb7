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

    /// The rows of one block: residuals and the Jacobian by the free columns, chain factors
    /// applied; non-finite derivatives become 0 (a residual that is not finite marks the point).
    struct Block
    {
        Eigen::VectorXd r;
        Eigen::MatrixXd j;
        bool finite = true;
    };

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

    void evaluateBlock(const ResidualModel& model, const ParameterTransform& transform,
        const Eigen::VectorXd& p, const Eigen::VectorXd& slopes,
        const std::optional<WholeRows>& whole, Eigen::Index first, Eigen::Index count, Block& block,
        Eigen::MatrixXd& all)
    {
        const int n = transform.freeCount();
        if (whole) {
            block.r = whole->r.segment(first, count);
            all = whole->j.middleRows(first, count);
        } else {
            block.r.resize(count);
            all.resize(count, model.parameterCount());
            model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, first, count,
                block.r.data(), all.data(), count);
        }
        block.j.resize(count, n);
        for (int c = 0; c < n; ++c)
            block.j.col(c) = all.col(transform.userIndex(c)) * slopes(c);
        block.finite = block.r.allFinite();
        for (double& d : block.j.reshaped())
            if (!std::isfinite(d))
                d = 0.0;
    }

    /// [J r] of one block, at most n + 1 rows reduced in place to their upper triangle; false
    /// when a residual is not finite. A model with every parameter free writes straight into
    /// the matrix that is reduced, so no copy of the block's Jacobian is made.
    bool triangleOf(const ResidualModel& model, const ParameterTransform& transform,
        const Eigen::VectorXd& p, const Eigen::VectorXd& slopes,
        const std::optional<WholeRows>& whole, Eigen::Index first, Eigen::Index count, Block& block,
        Eigen::MatrixXd& all, Eigen::MatrixXd& augmented)
    {
        const int n = transform.freeCount();
        augmented.resize(count, n + 1);
        if (!whole && n == model.parameterCount()) {
            model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, first, count,
                augmented.col(n).data(), augmented.data(), count);
            if (!augmented.col(n).allFinite())
                return false;
            for (int c = 0; c < n; ++c)
                if (slopes(c) != 1.0)
                    augmented.col(c) *= slopes(c);
            if (!augmented.leftCols(n).allFinite())
                for (double& d : augmented.leftCols(n).reshaped())
                    if (!std::isfinite(d))
                        d = 0.0;
        } else {
            evaluateBlock(model, transform, p, slopes, whole, first, count, block, all);
            if (!block.finite)
                return false;
            augmented << block.j, block.r;
        }
        // Householder QR, in place: the triangle is all that is kept; unpivoted so that the
        // stacked triangles combine into the triangle of the whole.
        const Eigen::HouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(augmented);
        return true;
    }

    /// Runs body over the blocks: on all cores when there are enough of them to pay for waking
    /// the other threads, else on this one (a ranking already keeps every core busy with other
    /// fits). Each block's result has a place of its own, so the bits are the same either way.
    template <typename Body> void forBlocks(Eigen::Index blocks, const Body& body)
    {
        constexpr Eigen::Index kParallelBlocks = 16;
        if (blocks < kParallelBlocks)
            body(tbb::blocked_range<Eigen::Index>(0, blocks));
        else
            tbb::parallel_for(tbb::blocked_range<Eigen::Index>(0, blocks), body);
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
    const Eigen::Index blocks = (m + kBlockRows - 1) / kBlockRows;
    if (!compresses(model, transform.freeCount())) {
        result.f.resize(m);
        forBlocks(blocks, [&](const auto& range) {
            for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
                const Eigen::Index first = b * kBlockRows;
                const Eigen::Index count = std::min(kBlockRows, m - first);
                model.evaluateRows(values, first, count, result.f.data() + first, nullptr, count);
            }
        });
        result.finite = result.f.allFinite();
        result.sse
            = result.finite ? result.f.squaredNorm() : std::numeric_limits<double>::infinity();
        return result;
    }
    // Compressed, a step needs the sum alone: each block's share, added in block order, and no
    // vector of every residual.
    std::vector<double> shares(static_cast<std::size_t>(blocks));
    forBlocks(blocks, [&](const auto& range) {
        Eigen::VectorXd r(kBlockRows);
        for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
            const Eigen::Index first = b * kBlockRows;
            const Eigen::Index count = std::min(kBlockRows, m - first);
            model.evaluateRows(values, first, count, r.data(), nullptr, count);
            shares[static_cast<std::size_t>(b)] = r.head(count).squaredNorm();
        }
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
    const Eigen::Index blocks = (m + kBlockRows - 1) / kBlockRows;
    const std::optional<WholeRows> whole = wholeRowsOf(model, p);
    Linearization result;
    // Each block is evaluated (and, compressed, reduced to its triangle) by one thread into a
    // place of its own; the blocks are put together in block order below.
    if (!compresses(model, n)) {
        result.f.resize(m);
        result.jacobian.resize(m, n);
        std::vector<char> finite(static_cast<std::size_t>(blocks), 1);
        forBlocks(blocks, [&](const auto& range) {
            Block block;
            Eigen::MatrixXd all;
            for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
                const Eigen::Index first = b * kBlockRows;
                const Eigen::Index count = std::min(kBlockRows, m - first);
                evaluateBlock(model, transform, p, slopes, whole, first, count, block, all);
                result.f.segment(first, count) = block.r;
                result.jacobian.middleRows(first, count) = block.j;
                finite[static_cast<std::size_t>(b)] = block.finite;
            }
        });
        for (char f : finite)
            result.finite = result.finite && f != 0;
        result.sse = result.f.squaredNorm();
        return result;
    }
    const Eigen::Index width = n + 1;
    Eigen::MatrixXd stacked = Eigen::MatrixXd::Zero(blocks * width, width);
    std::vector<char> finite(static_cast<std::size_t>(blocks), 1);
    forBlocks(blocks, [&](const auto& range) {
        Block block;
        Eigen::MatrixXd all;
        Eigen::MatrixXd augmented;
        for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
            const Eigen::Index first = b * kBlockRows;
            const Eigen::Index count = std::min(kBlockRows, m - first);
            const bool blockFinite = triangleOf(
                model, transform, p, slopes, whole, first, count, block, all, augmented);
            finite[static_cast<std::size_t>(b)] = blockFinite;
            if (blockFinite) {
                const Eigen::Index rows = std::min(count, width);
                stacked.block(b * width, 0, rows, width)
                    = augmented.topRows(rows).triangularView<Eigen::Upper>();
            }
        }
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
