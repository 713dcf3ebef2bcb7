#include "analysis/Linearization.h"

#include <cmath>
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
        return model.residualCount() > kCompressAbove && model.residualCount() > 2 * (freeCount + 1);
    }

    /// The rows of one block: residuals and the Jacobian by the free columns, chain factors
    /// applied; non-finite derivatives become 0 (a residual that is not finite marks the point).
    struct Block
    {
        Eigen::VectorXd r;
        Eigen::MatrixXd j;
        bool finite = true;
    };

    void evaluateBlock(const ResidualModel& model, const ParameterTransform& transform,
        const Eigen::VectorXd& p, const Eigen::VectorXd& slopes, Eigen::Index first,
        Eigen::Index count, Block& block, Eigen::MatrixXd& all)
    {
        const int n = transform.freeCount();
        block.r.resize(count);
        all.resize(count, model.parameterCount());
        model.evaluateRows({ p.data(), static_cast<std::size_t>(p.size()) }, first, count,
            block.r.data(), all.data(), count);
        block.j.resize(count, n);
        for (int c = 0; c < n; ++c)
            block.j.col(c) = all.col(transform.userIndex(c)) * slopes(c);
        block.finite = block.r.allFinite();
        for (double& d : block.j.reshaped())
            if (!std::isfinite(d))
                d = 0.0;
    }

    /// The upper triangle of [J r] of one block, at most n + 1 rows.
    Eigen::MatrixXd triangleOf(const Block& block)
    {
        const Eigen::Index n = block.j.cols();
        Eigen::MatrixXd augmented(block.r.size(), n + 1);
        augmented << block.j, block.r;
        // Householder QR: the triangle is all that is kept; unpivoted so that the stacked
        // triangles combine into the triangle of the whole.
        const Eigen::HouseholderQR<Eigen::MatrixXd> qr(augmented);
        const Eigen::Index rows = std::min(augmented.rows(), n + 1);
        return qr.matrixQR().topRows(rows).triangularView<Eigen::Upper>();
    }

} // namespace

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
    Linearization result;
    // Each block is evaluated (and, compressed, reduced to its triangle) by one thread into a
    // place of its own; the blocks are put together in block order below.
    if (!compresses(model, n)) {
        result.f.resize(m);
        result.jacobian.resize(m, n);
        std::vector<char> finite(static_cast<std::size_t>(blocks), 1);
        tbb::parallel_for(tbb::blocked_range<Eigen::Index>(0, blocks), [&](const auto& range) {
            Block block;
            Eigen::MatrixXd all;
            for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
                const Eigen::Index first = b * kBlockRows;
                const Eigen::Index count = std::min(kBlockRows, m - first);
                evaluateBlock(model, transform, p, slopes, first, count, block, all);
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
    tbb::parallel_for(tbb::blocked_range<Eigen::Index>(0, blocks), [&](const auto& range) {
        Block block;
        Eigen::MatrixXd all;
        for (Eigen::Index b = range.begin(); b != range.end(); ++b) {
            const Eigen::Index first = b * kBlockRows;
            const Eigen::Index count = std::min(kBlockRows, m - first);
            evaluateBlock(model, transform, p, slopes, first, count, block, all);
            finite[static_cast<std::size_t>(b)] = block.finite;
            if (block.finite) {
                const Eigen::MatrixXd triangle = triangleOf(block);
                stacked.block(b * width, 0, triangle.rows(), width) = triangle;
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
    const Eigen::MatrixXd triangle
        = qr.matrixQR().topRows(width).triangularView<Eigen::Upper>();
    result.jacobian = triangle.leftCols(n);
    result.f = triangle.col(n);
    result.sse = result.f.squaredNorm();
    return result;
}

} // namespace quantem::analysis
