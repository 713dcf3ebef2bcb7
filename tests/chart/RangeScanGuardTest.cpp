#include "chart/ChartFixture.h"
#include "chart/ChartState.h"
#include "chart/ChartWindow.h"
#include "support/Expect.h"

#include <gtest/gtest.h>

// The chart's scaling pass reads every group: when the last group holds the largest x and the
// smallest y, it still lands on the plot area's right and bottom edges.
namespace quantem::chart::test {
namespace {

    using quantem::test::CanvasCall;

    TEST_F(ChartTest, TheLastGroupSetsTheRangeWhenItHoldsTheExtremes)
    {
        chooseModel("1,1,1,7");
        root.writeSamples("1.35,2.7\r\n-0.45,3.15\r\n2.2,1.95\r\n3.85,0.65\r\n");
        fitted("4");
        session.form2.loaded = true;
        drawPointsCommand(session, canvas);
        EXPECT_TRUE(session.messages.log().empty());
        EXPECT_EQ(session.form2.Label7, "0(-0.45,0.65)");
        const std::vector<CanvasCall> points = canvas.points(kPointColour);
        ASSERT_EQ(points.size(), 4u);
        EXPECT_NEAR_REL(points[3].x1, 11580.0, 1E-12); // the right edge of the plot area
        EXPECT_NEAR_REL(points[3].y1, 7730.0, 1E-12); // its bottom edge
        EXPECT_NEAR_REL(points[1].x1, 2930.0, 1E-12); // the first group's x is the smallest
        EXPECT_NEAR_REL(points[1].y1, 300.0, 1E-12); // and its y the largest
    }

} // namespace
} // namespace quantem::chart::test
