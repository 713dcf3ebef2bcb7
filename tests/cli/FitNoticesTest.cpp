#include "analysis/RefinementNotice.h"
#include "app/InstallRoot.h"
#include "cli/FitCommand.h"
#include "core/NumberText.h"
#include "core/Session.h"
#include "support/HashedSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>

namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    struct FitNoticesTest : ::testing::Test
    {
        test::TempRoot root;
        std::string out;
        std::string err;

        int fit(std::vector<std::string> arguments, const PlotWriter& plot = {})
        {
            arguments.insert(arguments.begin(), { "--root", root.path().string() });
            std::ostringstream outStream;
            std::ostringstream errStream;
            const int status = fitMain(arguments, "/nonexistent", outStream, errStream, plot);
            out = outStream.str();
            err = errStream.str();
            return status;
        }

        Json run(std::vector<std::string> arguments)
        {
            arguments.insert(arguments.begin(), "--json");
            fit(arguments);
            return Json::parse(out)["runs"][0];
        }

        /// The published fit's sum of squares on the model-16 groups, from XB.sys.
        double publishedModel16Sse() const
        {
            std::istringstream xb(root.readSys("XB.sys"));
            std::string line;
            std::getline(xb, line);
            double p[5] {};
            std::istringstream values(line);
            for (double& v : p) {
                values >> v;
                values.ignore(1);
            }
            std::istringstream samples(test::model16Samples());
            double sse = 0.0;
            for (double x1, x2, y; samples >> x1 && samples.ignore(1) && samples >> x2
                 && samples.ignore(1) && samples >> y;) {
                const double r = y - (p[0] + p[1] * std::pow(x1, p[3]) + p[2] * std::pow(x2, p[4]));
                sse += r * r;
            }
            return sse;
        }
    };

    bool isMuchBetterNotice(const Json& notice)
    {
        return notice.get<std::string>().starts_with(analysis::kMuchBetterStart);
    }

    TEST_F(FitNoticesTest, APowerFitFarFromTheOptimumSaysSoAndOneAtItsOptimumDoesNot)
    {
        root.writeSamples(test::model16Samples());
        const Json far = run({ "--model", "16", "--samples", "30", "--power", ".5" });
        ASSERT_EQ(far["notices"].size(), 1u) << far.dump();
        EXPECT_TRUE(isMuchBetterNotice(far["notices"][0]));
        EXPECT_NE(err.find(far["notices"][0].get<std::string>()), std::string::npos);
        EXPECT_EQ(far["Form1"]["StatusBar1"][0], far["notices"][0]);

        root.writeSamples(app::samplePlanetData());
        const Json kepler = run({ "--model", "7", "--samples", "8", "--power", "1" });
        EXPECT_EQ(kepler["notices"], Json::array()) << kepler.dump();
        EXPECT_EQ(err, "");
    }

    TEST_F(FitNoticesTest, PublishRefinedPublishesTheOptimumConsistentlyAndOnlyOnRequest)
    {
        root.writeSamples(test::model16Samples());
        const std::vector<std::string> arguments { "--model", "16", "--samples", "30", "--power",
            ".5" };
        const Json searched = run(arguments);
        const std::string searchedXb = root.readSys("XB.sys");
        EXPECT_GT(publishedModel16Sse(), test::kModel16Optimum / analysis::kMuchBetterShare);

        std::vector<std::string> refinedArguments = arguments;
        refinedArguments.push_back("--publish-refined");
        const Json refined = run(refinedArguments);
        EXPECT_EQ(refined["notices"], Json::array());
        EXPECT_NE(root.readSys("XB.sys"), searchedXb);
        EXPECT_LT(publishedModel16Sse(), 1.05 * test::kModel16Optimum);
        // Labels, XB.sys and xs.sys tell the same fit; the report says how it came about.
        std::istringstream xb(root.readSys("XB.sys"));
        std::string first;
        std::getline(xb, first, ',');
        EXPECT_EQ(refined["Form1"]["Label2"], core::doubleText(std::stod(first)));
        EXPECT_NE(root.readSys("xs.sys").find(refined["Form1"]["Label11"].get<std::string>()),
            std::string::npos);
        const std::string report = refined["Form1"]["Text5"];
        EXPECT_NE(report.find("refined to the least-squares optimum"), std::string::npos);
        EXPECT_EQ(searched["Form1"]["Text5"].get<std::string>().find("refined"), std::string::npos);
    }

    TEST_F(FitNoticesTest, TheRefinementReachesTheOptimumThatSciPyFinds)
    {
        // SciPy's least sums of squares from many starts (tests/data/refinement_optimum.py).
        struct Case
        {
            std::string samples;
            std::vector<std::string> arguments;
            double optimum;
        };
        const std::vector<Case> cases {
            { test::model16Samples(), { "--model", "16", "--samples", "30", "--power", ".5" },
                test::kModel16Optimum },
            { app::samplePlanetData(), { "--model", "10", "--samples", "8", "--power", "1" },
                0.00017106135850533365 },
            { test::model24Samples(), { "--model", "24", "--samples", "4000", "--power", "1" },
                9.98917752937899 },
        };
        for (const Case& c : cases) {
            root.writeSamples(c.samples);
            std::vector<std::string> arguments = c.arguments;
            arguments.push_back("--details");
            const Json details = run(arguments)["details"];
            const Json& best = details["refined"].is_null() ? details["fit"] : details["refined"];
            EXPECT_LT(best["sse"].get<double>(), 1.05 * c.optimum) << details.dump();
        }
    }

    TEST_F(FitNoticesTest, LinesOfAnotherCountThanTheGroupsAreToldBeforeTheSpecifiedFit)
    {
        // Twelve numbers, three a line, fitted as pairs: the same fit as two a line, but told.
        const std::string numbers[] { "1", "2.1", "3", "3.9", "5", "6.2", "7", "7.8", "9", "10.1",
            "11", "12.2" };
        std::string threeALine;
        std::string twoALine;
        for (int i = 0; i < 12; ++i) {
            threeALine += numbers[i] + (i % 3 == 2 ? "\r\n" : ",");
            twoALine += numbers[i] + (i % 2 == 1 ? "\r\n" : ",");
        }
        const std::vector<std::string> arguments { "--model", "7", "--samples", "6" };
        root.writeSamples(twoALine);
        const Json asPairs = run(arguments);
        EXPECT_EQ(asPairs["notices"], Json::array());
        root.writeSamples(threeALine);
        const Json misread = run(arguments);
        ASSERT_FALSE(misread["notices"].empty());
        const std::string notice = misread["notices"][0];
        EXPECT_NE(notice.find("holds 3 numbers"), std::string::npos) << notice;
        EXPECT_NE(notice.find("groups of 2"), std::string::npos) << notice;
        for (const char* label : { "Label2", "Label3", "Label11", "Label17", "Label19" })
            EXPECT_EQ(misread["Form1"][label], asPairs["Form1"][label]) << label;
    }

    TEST_F(FitNoticesTest, RefusesWhatItCannotDoWithTheRightStatus)
    {
        // Only the desktop program makes a root.
        const std::filesystem::path missing = root.path() / "no-root";
        std::ostringstream sink;
        EXPECT_EQ(fitMain({ "--root", missing.string(), "--model", "7", "--samples", "8" }, "/x",
                      sink, sink),
            kExitUsageError);
        EXPECT_EQ(
            fitMain({ "--root", missing.string(), "--rank", "--samples", "8" }, "/x", sink, sink),
            kExitUsageError);
        EXPECT_FALSE(std::filesystem::exists(missing));

        // A chart step that shows a message window drew no chart of the fit.
        root.writeSamples(app::samplePlanetData());
        const PlotWriter refusingChart = [](core::Session& session, const PlotRequest&) {
            session.messages.show(core::MessageWindowId::Form5, "   Input error !");
            return std::string();
        };
        EXPECT_EQ(fit({ "--model", "7", "--samples", "8", "--plot", "c.png" }, refusingChart),
            kExitMessageShown);

        // The text form lists the message windows with their reasons, as the JSON does.
        EXPECT_EQ(fit({ "--model", "7", "--samples", "x" }), kExitMessageShown);
        EXPECT_NE(
            out.find("Message windows shown:\n  Form5 \"   Input error !\": "), std::string::npos)
            << out;
    }

} // namespace
} // namespace quantem::cli
