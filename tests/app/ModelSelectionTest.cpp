#include "app/ModelSelection.h"

#include "core/ModelCatalogue.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace quantem::app {
namespace {

    struct ModelSelectionTest : ::testing::Test
    {
        test::TempRoot root;
        core::Session session { root.path() };
    };

    std::string expectedXx(const core::ModelDescriptor& model)
    {
        if (core::usesLinearEngine(model.id))
            return "0,,0," + std::to_string(model.id) + "\r\n";
        return std::to_string(model.variables) + "," + std::to_string(model.elements) + ","
            + std::to_string(model.exponents) + "," + std::to_string(model.id) + "\r\n";
    }

    TEST_F(ModelSelectionTest, EveryMenuItemWritesItsFamilyRecord)
    {
        int items = 0;
        for (const core::ModelMenu& menu : core::modelMenus()) {
            for (core::ModelId id : menu.items) {
                const core::ModelDescriptor& model = core::modelOf(id);
                root.writeFile("sys/qs.sys", "untouched");
                selectModel(session, id);
                EXPECT_EQ(root.readSys("xx.sys"), expectedXx(model)) << "model " << id;
                EXPECT_EQ(root.readSys("mb.sys"), "0\r\n");
                const bool keepsQs = id == 2 || id == 3 || id == 4;
                EXPECT_EQ(root.readSys("qs.sys"), keepsQs ? "untouched" : "1\r\n")
                    << "model " << id;
                const bool takesPower = !core::usesLinearEngine(id) && model.exponents > 0;
                EXPECT_EQ(session.form1.Text4, takesPower ? "1" : "") << "model " << id;
                EXPECT_EQ(session.form1.checkedModel, id);
                ++items;
            }
        }
        EXPECT_EQ(items, 32);
    }

    TEST_F(ModelSelectionTest, CatalogueModelFillsTheInputRow)
    {
        root.writeFile("sz/gs361.bmp", "BM");
        session.form1.Text5 = "earlier report";
        selectModel(session, 24);
        EXPECT_EQ(session.form1.Text1, "2");
        EXPECT_EQ(session.form1.Text3, "4");
        EXPECT_EQ(session.form1.Label9, "InputPowerInitialValue:");
        EXPECT_EQ(session.form1.Picture1, (root.path() / "sz" / "gs361.bmp").string());
        EXPECT_EQ(session.form1.Text5, "earlier report"); // selection does not clear results
    }

    TEST_F(ModelSelectionTest, MoreElementLeavesOnlyTheCountBoxes)
    {
        selectModel(session, 51);
        EXPECT_FALSE(session.form1.Text1Visible);
        EXPECT_FALSE(session.form1.Text3Visible);
        EXPECT_FALSE(session.form1.Label1Visible);
        EXPECT_FALSE(session.form1.Label24Visible);
        EXPECT_EQ(session.form1.Label9, "       Input Element(n):");
        EXPECT_EQ(session.form1.Text3, "0");
        EXPECT_EQ(root.readSys("wcqk.sys"), "0,0,0,0\r\n"); // results cleared by the menu route

        selectModel(session, 52);
        EXPECT_EQ(session.form1.Label9, "        Input item(n):");

        selectModel(session, 7);
        EXPECT_TRUE(session.form1.Text1Visible);
        EXPECT_TRUE(session.form1.Label24Visible);
        EXPECT_EQ(session.form1.Label9, "InputPowerInitialValue:");
    }

    TEST_F(ModelSelectionTest, MissingPictureIsToldAndTheCommandCompletes)
    {
        selectModel(session, 13); // a model without a menu item takes the same command
        EXPECT_EQ(root.readSys("xx.sys"), "1,3,3,13\r\n");
        EXPECT_EQ(session.form1.Picture1, "");
        EXPECT_NE(session.form1.StatusBar1[0].find("gs331.bmp"), std::string::npos);
    }

} // namespace
} // namespace quantem::app
