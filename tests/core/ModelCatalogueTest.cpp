#include "core/ModelCatalogue.h"

#include "core/Fault.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace quantem::core {
namespace {

    // The distinct names of the form <letter><digit> in a formula ("a3", "k1", "x2").
    int distinctNames(std::string_view formula, char letter)
    {
        const std::string text(formula);
        const std::regex name(std::string(1, letter) + "[1-6]");
        std::set<std::string> found;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), name);
             it != std::sregex_iterator(); ++it)
            found.insert(it->str());
        return static_cast<int>(found.size());
    }

    std::size_t occurrences(std::string_view text, std::string_view part)
    {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string_view::npos;
             at = text.find(part, at + part.size()))
            ++count;
        return count;
    }

    bool hasMenuItem(ModelId id)
    {
        for (const ModelMenu& menu : modelMenus()) {
            if (std::find(menu.items.begin(), menu.items.end(), id) != menu.items.end())
                return true;
        }
        return false;
    }

} // namespace

TEST(ModelCatalogue, EveryPowerModelCountsAgreeWithItsFormula)
{
    ASSERT_EQ(allModels().size(), 52u);
    for (ModelId id = 1; id <= 50; ++id) {
        const ModelDescriptor& model = modelOf(id);
        SCOPED_TRACE(model.formulaText);
        EXPECT_EQ(model.id, id);
        EXPECT_EQ(model.elements, distinctNames(model.formulaText, 'a'));
        EXPECT_EQ(model.exponents, distinctNames(model.formulaText, 'k'));
        EXPECT_EQ(model.variables, distinctNames(model.formulaText, 'x'));
        EXPECT_TRUE(model.formulaText.starts_with("y = a0 + a1 "));
        EXPECT_FALSE(model.title.empty());
        EXPECT_TRUE(model.pictureFile.starts_with("gs") && model.pictureFile.ends_with(".bmp"));
    }
    // Exponents reused within one formula count once.
    EXPECT_EQ(modelOf(27).exponents, 3);
    EXPECT_EQ(modelOf(49).exponents, 6);
    EXPECT_EQ(modelOf(13).pictureFile, "gs331.bmp");
}

TEST(ModelCatalogue, LinearEngineModelsStoreZeroCountsAndBlankLedFormulas)
{
    for (ModelId id : { kMultipleLinearModel, kPolynomialModel }) {
        const ModelDescriptor& model = modelOf(id);
        EXPECT_EQ(model.variables, 0);
        EXPECT_EQ(model.elements, 0);
        EXPECT_EQ(model.exponents, 0);
        EXPECT_EQ(model.title, "");
        EXPECT_EQ(model.formulaText.front(), ' ');
        EXPECT_EQ(occurrences(model.formulaText, "\xE2\x80\xA6"), 2u);
    }
    EXPECT_EQ(modelOf(51).formulaText,
        " y = a0 + a1 * x1 + a2 * x2 + \xE2\x80\xA6\xE2\x80\xA6  +  an * xn");
    EXPECT_EQ(modelOf(52).formulaText,
        " y = a0 + a1 * x ^ 1 + a2 * x ^ 2 + \xE2\x80\xA6\xE2\x80\xA6  +  an * x ^ n");
    EXPECT_EQ(modelOf(51).pictureFile, "gsdy.bmp");
    EXPECT_EQ(modelOf(52).pictureFile, "gsdx.bmp");
}

TEST(ModelCatalogue, TextsKeepTheirIrregularSpelling)
{
    EXPECT_EQ(modelOf(4).menuCaption, "OneElementInverseRatio ");
    EXPECT_EQ(modelOf(6).menuCaption, "ThreeElementInverseRatio ");
    EXPECT_EQ(modelOf(52).menuCaption, "NonlineMultinomial ");
    EXPECT_EQ(modelOf(8).menuControl, "TSHG12");
    EXPECT_EQ(modelOf(2).title, "Three Dimensions linearity Two Element");
    EXPECT_EQ(modelOf(7).title, "Two Dimensions non-linearity,One ElementNo.1");
    EXPECT_EQ(modelOf(8).title, "Two Dimensions non-linearity,One Element No.2");
    EXPECT_EQ(modelOf(50).title, "Four Dimensions non-linearity, Six Element No.5");
}

TEST(ModelCatalogue, IdsOutsideTheCatalogueHaveNoEntry)
{
    for (ModelId id : { -1, 0, 53, 32767 }) {
        EXPECT_EQ(findModel(id), nullptr) << id;
        try {
            modelOf(id);
            ADD_FAILURE() << "no fault for " << id;
        } catch (const Fault& fault) {
            EXPECT_EQ(fault.code(), FaultCode::SubscriptOutOfRange);
        }
    }
    EXPECT_EQ(findModel(52), &modelOf(52));
}

TEST(ModelCatalogue, RangeTestsSplitTheModelsIntoFamilies)
{
    for (ModelId id : { -1, 0, 53 }) {
        EXPECT_FALSE(hasTwoNumberGroups(id) || hasThreeNumberGroups(id) || hasFourNumberGroups(id)
            || usesLinearEngine(id))
            << id;
        EXPECT_EQ(groupSize(id), 0);
    }
    for (ModelId id = 1; id <= 50; ++id) {
        const int families = int(hasTwoNumberGroups(id)) + int(hasThreeNumberGroups(id))
            + int(hasFourNumberGroups(id));
        EXPECT_EQ(families, 1) << id;
        EXPECT_FALSE(usesLinearEngine(id)) << id;
        EXPECT_EQ(groupSize(id), modelOf(id).variables + 1) << id;
    }
    for (ModelId id : { 51, 52 }) {
        EXPECT_TRUE(usesLinearEngine(id));
        EXPECT_EQ(groupSize(id), 0);
    }
    // The family edges.
    EXPECT_TRUE(hasTwoNumberGroups(15) && hasThreeNumberGroups(16));
    EXPECT_TRUE(hasThreeNumberGroups(38) && hasFourNumberGroups(39));
    EXPECT_TRUE(hasTwoNumberGroups(4) && hasThreeNumberGroups(5) && hasFourNumberGroups(6));
}

TEST(ModelCatalogue, TwentyModelsHaveNoMenuItem)
{
    std::vector<ModelId> withoutItem;
    for (const ModelDescriptor& model : allModels()) {
        const bool listed = hasMenuItem(model.id);
        EXPECT_EQ(listed, !model.menuControl.empty()) << model.id;
        if (model.menuControl.empty()) {
            withoutItem.push_back(model.id);
            EXPECT_EQ(model.menuCaption, "");
            EXPECT_EQ(model.parentMenu, "");
        }
    }
    const std::vector<ModelId> expected { 13, 14, 15, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
        38, 46, 47, 48, 49, 50 };
    EXPECT_EQ(withoutItem, expected);
}

TEST(ModelCatalogue, MenusListTheirItemsInOrderUnderTheirParent)
{
    const std::vector<ModelMenu>& menus = modelMenus();
    std::vector<std::string> tree;
    std::set<std::string_view> controls;
    for (const ModelMenu& menu : menus) {
        std::string line = std::string(menu.control) + " \"" + std::string(menu.caption) + "\":";
        for (ModelId id : menu.items) {
            const ModelDescriptor& model = modelOf(id);
            EXPECT_EQ(model.parentMenu, menu.control) << id;
            EXPECT_TRUE(controls.insert(model.menuControl).second) << model.menuControl;
            line += " " + std::string(model.menuControl) + "=" + std::to_string(id);
        }
        tree.push_back(line);
    }
    const std::vector<std::string> expected {
        "xxhg \"LineRegression\": xxhg1=1 xxhg2=2 xxhg3=3 dyhg=51",
        "lxhg \"TwoDimensionsNonline\": thg1=4 tshg11=7 TSHG12=8 tshg13=9 tshg14=10 tshg15=11 "
        "tshg16=12 dxhg=52",
        "tshg \"ThreeDimensionsNonline\": thg2=5 tshg21=16 tshg22=17 tshg23=18 TSHG31=19 "
        "TSHG32=20 TSHG33=21 TSHG34=22 TSHG35=23 TSHG41=24 TSHG42=25 TSHG43=26",
        "SYS1 \"FourDimensionsNonline\": thg3=6 SYFXX1=39 SYFXX2=40 SYFXX3=41 SYFXX4=42 "
        "WYFXX1=43 WYFXX2=44 WYFXX3=45",
    };
    EXPECT_EQ(tree, expected);
    EXPECT_EQ(controls.size(), 32u);
    // The inverse-ratio items follow their variable count, not the family name.
    EXPECT_EQ(modelOf(5).parentMenu, "tshg");
    EXPECT_EQ(modelOf(6).parentMenu, "SYS1");
}

TEST(ModelCatalogue, PictureFilesAreDistinct)
{
    std::set<std::string_view> pictures;
    for (const ModelDescriptor& model : allModels())
        EXPECT_TRUE(pictures.insert(model.pictureFile).second) << model.pictureFile;
}

} // namespace quantem::core
