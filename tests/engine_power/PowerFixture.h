#pragma once

#include "core/ModelCatalogue.h"
#include "core/NumberText.h"
#include "core/Session.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quantem::power::test {

/// A fresh root prepared as the regression command leaves it for a power-model run: the model
/// chosen (xx.sys, mb.sys, Text1, Text3), r1.sys = 0, zero offsets, a reset best mean error.
class PowerFixture : public ::testing::Test
{
protected:
    quantem::test::TempRoot root;
    core::Session session { root.path() };

    void choose(core::ModelId model, int sampleCount, const std::string& initialValue = ".5")
    {
        const core::ModelDescriptor& d = core::modelOf(model);
        root.writeFile("sys/xx.sys",
            std::to_string(d.variables) + "," + std::to_string(d.elements) + ","
                + std::to_string(d.exponents) + "," + std::to_string(model) + "\r\n");
        root.writeFile("sys/mb.sys", "0\r\n");
        root.writeFile("sys/r1.sys", "0\r\n");
        root.writeFile("sys/culi.sys", "0,0,0,0\r\n");
        root.writeFile("sys/JC.sys", "98500000000000\r\n");
        session.form1.Text1 = std::to_string(d.variables);
        session.form1.Text2 = std::to_string(sampleCount);
        session.form1.Text3 = std::to_string(d.elements);
        session.form1.Text4 = initialValue;
    }

    /// Writes data.qtm with one group per line, numbers in their round-trip text.
    void samples(const std::vector<std::vector<double>>& groups)
    {
        root.writeSamples(quantem::test::sampleFileText(groups));
    }

    std::string sys(const std::string& name) const { return root.readSys(name); }
};

} // namespace quantem::power::test
