#include "PlanetPlot.h"
#include "plot/qt/PlotFile.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quantem::ui {
namespace {

    // What a failed plot save says is what the user reads after "The plot was not saved to".
    TEST(PlotFileFailure, TheOutcomeOfAFailedWriteSaysWhyInTheProgramsWords)
    {
        const plot::FitPlot plot = PlanetPlot().plotFor({});
        quantem::test::TempRoot root;
        const std::filesystem::path missing = root.path() / "no-such-folder" / "p.svg";
        EXPECT_EQ(writePlotFile(plot, missing, kDefaultExportSize).failure,
            "the folder " + missing.parent_path().string() + " does not exist");

        // No pixels to draw on, in any format: refused before anything is drawn or written.
        for (const char* name : { "flat.png", "flat.svg", "flat.pdf", "flat.bmp" }) {
            SCOPED_TRACE(name);
            const std::filesystem::path path = root.path() / name;
            for (const QSize size : { QSize(0, 320), QSize(480, 0) })
                EXPECT_EQ(writePlotFile(plot, path, size).failure,
                    "a drawing needs a width and a height of at least one pixel");
            EXPECT_FALSE(std::filesystem::exists(path));
        }
    }

} // namespace
} // namespace quantem::ui
