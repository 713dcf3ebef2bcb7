#include "app/qt/ProgressRepaint.h"
#include "app/qt/QtQuestions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quantem::ui::test {
namespace {

    TEST(QtFileFilter, DescriptionsKeepTheirPatternsAndPairsBecomeEntries)
    {
        // Names are matched in either case: the filter offers both.
        EXPECT_EQ(
            qtFileFilter("Text files (*.TXT)|*.TXT").toStdString(), "Text files (*.txt *.TXT)");
        EXPECT_EQ(
            qtFileFilter("Bitmap Image (*.bmp)|*.bmp").toStdString(), "Bitmap Image (*.bmp *.BMP)");
        EXPECT_EQ(qtFileFilter("Bitmap|*.bmp;*.dib|All files|*.*").toStdString(),
            "Bitmap (*.bmp *.BMP *.dib *.DIB);;All files (*.*)");
        // A description without patterns is kept as it is.
        EXPECT_EQ(qtFileFilter("Reports").toStdString(), "Reports");
    }

    TEST(ProgressRepaint, RepaintsAtMostOncePerInterval)
    {
        std::int64_t now = 1000;
        ProgressRepaint hook(250, [&now] { return now; });
        core::Form1 form;
        hook.progress(form); // no window yet: nothing to repaint, nothing breaks

        std::vector<std::string> painted;
        hook.setRepaint([&painted](const core::Form1& f) { painted.push_back(f.StatusBar1[3]); });
        form.StatusBar1[3] = "1";
        hook.progress(form);
        for (std::int64_t step : { 100, 249 }) {
            now = 1000 + step;
            form.StatusBar1[3] = std::to_string(step);
            hook.progress(form);
        }
        now = 1250;
        form.StatusBar1[3] = "250";
        hook.progress(form);
        now = 1260;
        hook.progress(form);
        EXPECT_EQ(painted, (std::vector<std::string> { "1", "250" }));
    }

} // namespace
} // namespace quantem::ui::test
