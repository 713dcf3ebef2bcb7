#include "cli/FitCommand.h"
#include "equation/EquationLibrary.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

namespace quantem::cli {
namespace {

    struct Output
    {
        int status = 0;
        std::string out;
        std::string err;
    };

    Output run(const test::TempRoot& root, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), { "--root", root.path().string() });
        std::ostringstream out;
        std::ostringstream err;
        const int status = fitMain(arguments, "/nonexistent", out, err);
        return { status, out.str(), err.str() };
    }

    TEST(SaveEquation, StoresTheOptionsAndReplacesAnEquationOfTheSameName)
    {
        test::TempRoot root;
        const Output saved = run(root,
            { "--save-equation", "decay", "--equation", "A*exp(-k*x) + C", "--start",
                "A=2.75,k=0.4", "--fix", "C=0.125", "--bounds", "k=0:", "--weights", "poisson" });
        ASSERT_EQ(saved.status, 0) << saved.err;
        EXPECT_EQ(saved.out.rfind("Saved the equation 'decay' in ", 0), 0u) << saved.out;
        const equation::LibraryContents library = equation::readEquationLibrary(root.path());
        ASSERT_EQ(library.entries.size(), 1u);
        const equation::EquationEntry expected { "decay", "A*exp(-k*x) + C",
            { { "A", 2.75 }, { "k", 0.4, false, 0.0, std::numeric_limits<double>::infinity() },
                { "C", 0.125, true } },
            equation::Weighting::Poisson };
        EXPECT_EQ(library.entries[0], expected);

        const Output replaced = run(root, { "--save-equation", "decay", "--equation", "A*x^k" });
        ASSERT_EQ(replaced.status, 0) << replaced.err;
        EXPECT_EQ(replaced.out.rfind("Replaced the equation 'decay'", 0), 0u) << replaced.out;
        EXPECT_EQ(equation::readEquationLibrary(root.path()).entries.at(0).formula, "A*x^k");
    }

    TEST(SaveEquation, RefusesTemplateNamesBadFormulasAndFitOptions)
    {
        test::TempRoot root;
        const Output templ
            = run(root, { "--save-equation", "Logistic", "--equation", "L/(1 + exp(-x))" });
        EXPECT_EQ(templ.status, 1);
        EXPECT_NE(templ.err.find("'Logistic' is the name of a template"), std::string::npos)
            << templ.err;
        EXPECT_EQ(run(root, { "--save-equation", "f", "--equation", "a*x +" }).status, 1);
        EXPECT_EQ(
            run(root, { "--save-equation", "f", "--equation", "a*x", "--start", "b=2" }).status, 1);
        EXPECT_EQ(root.read(equation::kEquationLibraryFile), "<missing>");

        for (const std::vector<std::string>& usage :
            { std::vector<std::string> { "--save-equation" }, { "--save-equation", "f" },
                { "--save-equation", "f", "--equation", "a*x", "--samples", "5" },
                { "--save-equation", "f", "--save-equation", "g", "--equation", "a*x" } }) {
            const Output refused = run(root, usage);
            EXPECT_EQ(refused.status, 2) << testing::PrintToString(usage);
            EXPECT_NE(refused.err.find("--save-equation NAME"), std::string::npos);
        }
    }

} // namespace
} // namespace quantem::cli
