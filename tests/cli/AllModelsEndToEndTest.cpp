#include "cli/FitCommand.h"
#include "core/ModelCatalogue.h"
#include "core/Record.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace quantem::cli {
namespace {

    // Reads a record line of numbers or quoted texts as numbers.
    std::vector<double> numbersOf(const std::string& line)
    {
        core::RecordReader in(line);
        std::vector<double> numbers;
        while (!in.atEnd())
            numbers.push_back(std::stod(in.readString()));
        return numbers;
    }

    TEST(AllModelsEndToEnd, EverySearchThroughTheFitCommandPublishesItsModel)
    {
        for (core::ModelId model = 1; model <= 50; ++model) {
            SCOPED_TRACE(model);
            const core::ModelDescriptor& d = core::modelOf(model);
            const results::CoefficientSet generating = test::generatingModel(model);
            test::TempRoot root;
            root.writeSamples(test::sampleFileText(test::modelSamples(model, generating)));
            std::ostringstream out;
            std::ostringstream err;
            const int status
                = fitMain({ "--root", root.path().string(), "--json", "--model",
                              std::to_string(model), "--samples", "40", "--power", ".5" },
                    "/nonexistent", out, err);
            ASSERT_EQ(status, 0) << out.str();
            const nlohmann::json form = nlohmann::json::parse(out.str())["runs"][0]["Form1"];
            EXPECT_EQ(form["Label10"].get<std::string>(), "回归计算完成");

            const std::string xb = root.readSys("XB.sys");
            const std::size_t lineEnd = xb.find("\r\n");
            ASSERT_NE(lineEnd, std::string::npos);
            const std::vector<double> published = numbersOf(xb.substr(0, lineEnd));
            ASSERT_EQ(published.size(), static_cast<std::size_t>(d.elements + 1 + d.exponents));
            EXPECT_EQ(numbersOf(xb.substr(lineEnd + 2)).size(), 3u); // R, F, S

            const std::vector<double> shown = numbersOf(root.readSys("xs.sys"));
            ASSERT_EQ(shown.size(), static_cast<std::size_t>(1 + d.elements + 1 + d.exponents));
            EXPECT_EQ(shown[0], model);

            const double tolerance = core::groupSize(model) == 4 ? 0.15 : 0.1;
            for (int k = 1; k <= d.exponents; ++k) {
                const std::string label = "Label" + std::to_string(10 + k);
                EXPECT_NEAR(std::stod(form[label].get<std::string>()),
                    generating.k[static_cast<std::size_t>(k - 1)], tolerance)
                    << "k" << k;
            }
        }
    }

} // namespace
} // namespace quantem::cli
