#include "cli/EquationCommand.h"

#include "cli/FitCommand.h"
#include "cli/FitProgram.h"
#include "cli/PlotCompanion.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace quantem::cli {
namespace {

    using Json = nlohmann::json;

    // Kepler's third law: the period goes as the distance to the power 1.5.
    const char* const kPlanets
        = "0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n"
          "5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n";

    struct Output
    {
        int status = 0;
        std::string out;
        std::string err;
    };

    Output fit(const test::TempRoot& root, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), { "--root", root.path().string() });
        std::ostringstream out;
        std::ostringstream err;
        Output result;
        result.status = fitMain(arguments, "/nonexistent", out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    TEST(EquationCommand, FitsPrintsJsonAloneAndWritesNothingIntoTheRoot)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        std::filesystem::remove_all(root.path() / "sys");
        const Output output
            = fit(root, { "--equation", "y = a*x^k", "--start", "k=1.2", "--json", "--details" });
        ASSERT_EQ(output.status, 0) << output.err;
        const Json fitted = Json::parse(output.out)["equation"];
        EXPECT_EQ(fitted["text"], "y = a*x^k");
        EXPECT_EQ(fitted["variables"], Json::array({ "x" }));
        EXPECT_EQ(fitted["groups"], 8);
        EXPECT_EQ(fitted["dof"], 6);
        EXPECT_EQ(fitted["parameters"][0]["name"], "a");
        EXPECT_EQ(fitted["parameters"][0]["start"], 1.0);
        EXPECT_NEAR(fitted["parameters"][1]["value"].get<double>(), 1.5, 1e-3);
        EXPECT_TRUE(fitted["converged"].get<bool>());
        EXPECT_EQ(fitted["residuals"].size(), 8u);
        EXPECT_EQ(fitted["correlation"].size(), 2u);
        // The start that was not given is named among the warnings.
        EXPECT_NE(fitted["warnings"].dump().find("a had no start value given; it started at 1"),
            std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(root.path() / "sys"));
        EXPECT_EQ(root.read("data.qtm"), kPlanets);
    }

    TEST(EquationCommand, RefusalsGiveTheParsersPositionOrNullForTheData)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const Output formula = fit(root, { "--equation", "a*x^ * b", "--json" });
        EXPECT_EQ(formula.status, 1);
        const Json error = Json::parse(formula.out)["error"];
        EXPECT_EQ(error["position"], 6);
        EXPECT_FALSE(error["message"].get<std::string>().empty());
        EXPECT_NE(formula.err.find("at character 6"), std::string::npos);

        const Output data = fit(root, { "--equation", "a + b*x", "--samples", "1", "--json" });
        EXPECT_EQ(data.status, 1);
        EXPECT_TRUE(Json::parse(data.out)["error"]["position"].is_null());

        const Output name = fit(root, { "--equation", "a*x", "--start", "exp=2", "--json" });
        EXPECT_EQ(name.status, 1);
        EXPECT_NE(Json::parse(name.out)["error"]["message"].get<std::string>().find("function"),
            std::string::npos);

        const Output many = fit(root, { "--equation", "a*x", "--samples", "9" });
        EXPECT_EQ(many.status, 1);
        EXPECT_NE(many.err.find("holds 8 complete groups of 2 numbers"), std::string::npos);

        test::TempRoot empty;
        const Output missing = fit(empty, { "--equation", "a*x" });
        EXPECT_EQ(missing.status, 1);
        EXPECT_NE(missing.err.find("there is no data.qtm"), std::string::npos);
    }

    TEST(EquationCommand, UsageErrorsExitWith2)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        for (const std::vector<std::string>& arguments :
            std::vector<std::vector<std::string>> { { "--equation", "a*x", "--bounds", "a=2:1" },
                { "--equation", "a*x", "--weights", "sometimes" },
                { "--equation", "a*x", "--threads", "-1" }, { "--equation", "a*x", "--start", "a" },
                { "--equation", "a*x", "--samples", "0" }, { "--equation", "a*x", "--model", "7" },
                { "--equation", "a*x", "--plot", "fit.gif" },
                { "--equation", "a*x", "--plot-size", "300x200" },
                { "--equation", "a*x", "--plot", "fit.png", "--plot-size", "300x9" } }) {
            const Output output = fit(root, arguments);
            EXPECT_EQ(output.status, 2) << arguments[2];
            EXPECT_NE(output.err.find("usage:"), std::string::npos);
        }
    }

    // Sigma as the third number of each group, and a fixed parameter with its own value.
    TEST(EquationCommand, SigmaWeightsAndFixedValuesFromTheCommandLine)
    {
        test::TempRoot root;
        root.writeSamples("1,2.9,0.1\n2,5.2,0.2\n3,6.8,0.1\n4,9.3,0.4\n5,11.1,0.2\n");
        const Output output = fit(
            root, { "--equation", "a + b*x", "--weights", "sigma", "--fix", "a=0.5", "--json" });
        ASSERT_EQ(output.status, 0) << output.err;
        const Json fitted = Json::parse(output.out)["equation"];
        EXPECT_TRUE(fitted["parameters"][0]["fixed"].get<bool>());
        EXPECT_EQ(fitted["parameters"][0]["value"], 0.5);
        EXPECT_TRUE(fitted["parameters"][0]["standard_error"].is_null());
        double sxy = 0, sxx = 0;
        const double x[] { 1, 2, 3, 4, 5 }, y[] { 2.9, 5.2, 6.8, 9.3, 11.1 },
            s[] { 0.1, 0.2, 0.1, 0.4, 0.2 };
        for (int i = 0; i < 5; ++i) {
            sxy += x[i] * (y[i] - 0.5) / (s[i] * s[i]);
            sxx += x[i] * x[i] / (s[i] * s[i]);
        }
        EXPECT_NEAR(fitted["parameters"][1]["value"].get<double>(), sxy / sxx, 1e-12);
        EXPECT_EQ(fitted["dof"], 4);
    }

    // The plot is drawn after the output, which stays printed when it cannot be written.
    TEST(EquationCommand, APlotIsDrawnAfterTheFitAndAFailureIsStatus1)
    {
        test::TempRoot root;
        root.writeSamples(kPlanets);
        const std::vector<std::string> arguments { "--root", root.path().string(), "--equation",
            "a*x^k", "--start", "k=1.2", "--plot", "kepler.svg", "--plot-size", "640x400" };
        std::vector<PlotRequest> requests;
        std::size_t groups = 0;
        const EquationPlotWriter recording
            = [&](const equation::Tape& tape, const equation::EquationData& data,
                  const equation::EquationResult& result, const equation::EquationSetup&,
                  const PlotRequest& request) {
                  EXPECT_EQ(tape.text, "a*x^k");
                  EXPECT_TRUE(result.converged);
                  groups = data.groups();
                  requests.push_back(request);
                  return requests.size() == 1 ? std::string() : std::string("the disk is full");
              };
        for (int status : { 0, 1 }) {
            std::ostringstream out;
            std::ostringstream err;
            EXPECT_EQ(equationMain(arguments, "/nonexistent", out, err, recording), status);
            EXPECT_NE(out.str().find("groups 8, degrees of freedom 6"), std::string::npos);
            EXPECT_EQ(err.str().find("--plot") != std::string::npos, status == 1) << err.str();
        }
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].file, "kepler.svg");
        EXPECT_EQ(requests[0].width, 640);
        EXPECT_EQ(requests[0].height, 400);
        EXPECT_EQ(groups, 8u);

        // A program whose companion did not start says why for an equation fit too.
        std::vector<std::string> words { "quantem-fit" };
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        std::ostringstream out;
        std::ostringstream err;
        std::streambuf* const oldOut = std::cout.rdbuf(out.rdbuf());
        std::streambuf* const oldErr = std::cerr.rdbuf(err.rdbuf());
        const int status = runFitProgram(static_cast<int>(argv.size()), argv.data(),
            missingPlotCompanion("quantem-fit-plot could not be started"));
        std::cout.rdbuf(oldOut);
        std::cerr.rdbuf(oldErr);
        EXPECT_EQ(status, 1);
        EXPECT_NE(out.str().find("equation: a*x^k"), std::string::npos);
        EXPECT_NE(
            err.str().find("--plot: quantem-fit-plot could not be started"), std::string::npos)
            << err.str();
    }

} // namespace
} // namespace quantem::cli
