#include "core/ModelCatalogue.h"

#include "core/Fault.h"

#include <array>
#include <string>

namespace quantem::core {

namespace {

    // The models in ModelId order: id, v, e, k, menu item, its caption, its top-level menu,
    // formula picture, formula text, title. Captions and texts keep their blanks as the program
    // shows and prints them; 51 and 52 store 0 for v and e because the user enters m.
    // clang-format off
    constexpr std::array<ModelDescriptor, 52> kModels { {
        { 1,  1, 1, 0, "xxhg1",  "OneElement",                "xxhg", "gs11.bmp",  "y = a0 + a1 * x1", "Two Dimensions linearity One Element." },
        { 2,  2, 2, 0, "xxhg2",  "TwoElement",                "xxhg", "gs12.bmp",  "y = a0 + a1 * x1 + a2 * x2", "Three Dimensions linearity Two Element" },
        { 3,  3, 3, 0, "xxhg3",  "ThreeElement",              "xxhg", "gs13.bmp",  "y = a0 + a1 * x1 + a2 * x2 + a3 * x3", "Four Dimensions linearity Three Element" },
        { 4,  1, 1, 0, "thg1",   "OneElementInverseRatio ",   "lxhg", "gs21.bmp",  "y = a0 + a1 / x1", "Two Dimensions One Element Inverse Ratio." },
        { 5,  2, 2, 0, "thg2",   "TwoElementInverseRatio ",   "tshg", "gs22.bmp",  "y = a0 + a1 / x1 + a2 / x2", "Three Dimensions Two Element Inverse Ratio." },
        { 6,  3, 3, 0, "thg3",   "ThreeElementInverseRatio ", "SYS1", "gs23.bmp",  "y = a0 + a1 / x1 + a2 / x2 + a3 / x3", "Four Dimensions Three Element Inverse Ratio." },
        { 7,  1, 1, 1, "tshg11", "OneElementNo.1",            "lxhg", "gs311.bmp", "y = a0 + a1 * x1 ^ k1", "Two Dimensions non-linearity,One ElementNo.1" },
        { 8,  1, 1, 0, "TSHG12", "OneElementNo.2",            "lxhg", "gs312.bmp", "y = a0 + a1 * Log(x1)", "Two Dimensions non-linearity,One Element No.2" },
        { 9,  1, 1, 0, "tshg13", "OneElementNo.3",            "lxhg", "gs313.bmp", "y = a0 + a1 * Exp(x1)", "Two Dimensions non-linearity,One Element No.3" },
        { 10, 1, 2, 2, "tshg14", "TwoElementNo.1",            "lxhg", "gs321.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2", "Two Dimensions non-linearity, Two Element No.1" },
        { 11, 1, 2, 1, "tshg15", "TwoElementNo.2",            "lxhg", "gs322.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Log(x1)", "Two Dimensions non-linearity, Two Element No.2" },
        { 12, 1, 2, 1, "tshg16", "TwoElementNo.3",            "lxhg", "gs323.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Exp(x1)", "Two Dimensions non-linearity, Two Element No.3" },
        { 13, 1, 3, 3, "",       "",                          "",     "gs331.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x1 ^ k3", "Two Dimensions non-linearity, Three Element No.1" },
        { 14, 1, 3, 2, "",       "",                          "",     "gs332.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * Log(x1)", "Two Dimensions non-linearity, Three Element No.2" },
        { 15, 1, 3, 2, "",       "",                          "",     "gs333.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * Exp(x1)", "Two Dimensions non-linearity, Three Element No.3" },
        { 16, 2, 2, 2, "tshg21", "TwoElementNo.1",            "tshg", "gs341.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2", "Three Dimensions non-linearity, Two Element No.1" },
        { 17, 2, 2, 1, "tshg22", "TwoElementNo.2",            "tshg", "gs342.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Log(x2)", "Three Dimensions non-linearity, Two Element No.2" },
        { 18, 2, 2, 1, "tshg23", "TwoElementNo.3",            "tshg", "gs343.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Exp(x2)", "Three Dimensions non-linearity, Two Element No.3" },
        { 19, 2, 3, 4, "TSHG31", "ThreeElementNo.1",          "tshg", "gs351.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x1 ^ k3 * x2 ^ k4", "Three Dimensions non-linearity, Three Element No.1" },
        { 20, 2, 3, 3, "TSHG32", "ThreeElementNo.2",          "tshg", "gs352.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x1 ^ k3 * Log(x2)", "Three Dimensions non-linearity, Three Element No.2" },
        { 21, 2, 3, 3, "TSHG33", "ThreeElementNo.3",          "tshg", "gs353.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x1 ^ k3 * Exp(x2)", "Three Dimensions non-linearity, Three Element No.3" },
        { 22, 2, 3, 2, "TSHG34", "ThreeElementNo.4",          "tshg", "gs354.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Log(x2) + a3 * x1 ^ k2 * Log(x2)", "Three Dimensions non-linearity, Three Element No.4" },
        { 23, 2, 3, 2, "TSHG35", "ThreeElementNo.5",          "tshg", "gs355.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Exp(x2) + a3 * x1 ^ k2 * Exp(x2)", "Three Dimensions non-linearity, Three Element No.5" },
        { 24, 2, 4, 6, "TSHG41", "FourElementNo.1",           "tshg", "gs361.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x1 ^ k3 * x2 ^ k4 + a4 * x1 ^ k5 * x2 ^ k6", "Three Dimensions non-linearity, Four Element No.1" },
        { 25, 2, 4, 3, "TSHG42", "FourElementNo.2",           "tshg", "gs362.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Log(x2) + a3 * x1 ^ k2 * Log(x2) + a4 * x1 ^ k3 * Log(x2)", "Three Dimensions non-linearity, Four Element No.2" },
        { 26, 2, 4, 3, "TSHG43", "FourElementNo.3",           "tshg", "gs363.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Exp(x2) + a3 * x1 ^ k2 * Exp(x2) + a4 * x1 ^ k3 * Exp(x2)", "Three Dimensions non-linearity, Four Element No.3" },
        { 27, 2, 5, 3, "",       "",                          "",     "gs371.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x1 ^ k1 * x2 ^ k3 + a5 * x1 ^ k2 * x2 ^ k3", "Three Dimensions non-linearity, Five Element No.1" },
        { 28, 2, 5, 3, "",       "",                          "",     "gs372.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x1 ^ k1 * x2 ^ k3 + a5 * x1 ^ k2 * Log(x2)", "Three Dimensions non-linearity, Five Element No.2" },
        { 29, 2, 5, 3, "",       "",                          "",     "gs373.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x1 ^ k1 * x2 ^ k3 + a5 * x1 ^ k2 * Exp(x2)", "Three Dimensions non-linearity, Five Element No.3" },
        { 30, 2, 5, 6, "",       "",                          "",     "gs374.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k1 + a4 * x1 ^ k3 * x2 ^ k4 + a5 * x1 ^ k5 * x2 ^ k6", "Three Dimensions non-linearity, Five Element No.4" },
        { 31, 2, 5, 6, "",       "",                          "",     "gs375.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x1 ^ k4 * x2 ^ k5 + a5 * x1 ^ k6 * Log(x2)", "Three Dimensions non-linearity, Five Element No.5" },
        { 32, 2, 5, 6, "",       "",                          "",     "gs376.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x1 ^ k4 * x2 ^ k5 + a5 * x1 ^ k6 * Exp(x2)", "Three Dimensions non-linearity, Five Element No.6" },
        { 33, 2, 6, 4, "",       "",                          "",     "gs381.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * x2 ^ k4 + a5 * x1 ^ k1 * x2 ^ k3 + a6 * x1 ^ k2 * x2 ^ k4", "Three Dimensions non-linearity, Six Element No.1" },
        { 34, 2, 6, 3, "",       "",                          "",     "gs382.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * Log(x2) + a5 * x1 ^ k1 * x2 ^ k3 + a6 * x1 ^ k2 * Log(x2)", "Three Dimensions non-linearity, Six Element No.2" },
        { 35, 2, 6, 3, "",       "",                          "",     "gs383.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k3 + a4 * Exp(x2) + a5 * x1 ^ k1 * x2 ^ k3 + a6 * x1 ^ k2 * Exp(x2)", "Three Dimensions non-linearity, Six Element No.3" },
        { 36, 2, 6, 6, "",       "",                          "",     "gs384.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k1 + a4 * x2 ^ k2 + a5 * x1 ^ k3 * x2 ^ k4 + a6 * x1 ^ k5 * x2 ^ k6", "Three Dimensions non-linearity, Six Element No.4" },
        { 37, 2, 6, 6, "",       "",                          "",     "gs385.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k1 + a4 * x2 ^ k3 + a5 * x1 ^ k4 * x2 ^ k5 + a6 * x1 ^ k6 * Log(x2)", "Three Dimensions non-linearity, Six Element No.5" },
        { 38, 2, 6, 6, "",       "",                          "",     "gs386.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x1 ^ k2 + a3 * x2 ^ k1 + a4 * x2 ^ k3 + a5 * x1 ^ k4 * x2 ^ k5 + a6 * x1 ^ k6 * Exp(x2)", "Three Dimensions non-linearity, Six Element No.6" },
        { 39, 3, 3, 3, "SYFXX1", "ThreeElementNo.1",          "SYS1", "gs411.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x3 ^ k3", "Four Dimensions non-linearity, Three Element No.1" },
        { 40, 3, 3, 2, "SYFXX2", "ThreeElementNo.2",          "SYS1", "gs412.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Log(x3)", "Four Dimensions non-linearity, Three Element No.2" },
        { 41, 3, 3, 2, "SYFXX3", "ThreeElementNo.3",          "SYS1", "gs413.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Exp(x3)", "Four Dimensions non-linearity, Three Element No.3" },
        { 42, 3, 3, 1, "SYFXX4", "ThreeElementNo.4",          "SYS1", "gs414.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * Log(x2) + a3 * Exp(x3)", "Four Dimensions non-linearity, Three Element No.4" },
        { 43, 3, 5, 3, "WYFXX1", "FiveElementNo.1",           "SYS1", "gs431.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x3 ^ k3 + a4 * x1 ^ k1 * x2 ^ k2 + a5 * x2 ^ k2 * x3 ^ k3", "Four Dimensions non-linearity, Five Element No.1" },
        { 44, 3, 5, 5, "WYFXX2", "FiveElementNo.2",           "SYS1", "gs432.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Log(x3) + a4 * x1 ^ k3 * x2 ^ k4 + a5 * x2 ^ k5 * Log(x3)", "Four Dimensions non-linearity, Five Element No.2" },
        { 45, 3, 5, 5, "WYFXX3", "FiveElementNo.3",           "SYS1", "gs433.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Exp(x3) + a4 * x1 ^ k3 * x2 ^ k4 + a5 * x2 ^ k5 * Exp(x3)", "Four Dimensions non-linearity, Five Element No.3" },
        { 46, 3, 6, 3, "",       "",                          "",     "gs441.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x3 ^ k3 + a4 * x1 ^ k1 * x2 ^ k2 + a5 * x2 ^ k2 * x3 ^ k3 + a6 * x1 ^ k1 * x3 ^ k3", "Four Dimensions non-linearity, Six Element No.1" },
        { 47, 3, 6, 6, "",       "",                          "",     "gs442.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Log(x3) + a4 * x1 ^ k3 * x2 ^ k4 + a5 * x1 ^ k5 * Log(x3) + a6 * x2 ^ k6 * Log(x3)", "Four Dimensions non-linearity, Six Element No.2" },
        { 48, 3, 6, 6, "",       "",                          "",     "gs443.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Exp(x3) + a4 * x1 ^ k3 * x2 ^ k4 + a5 * x1 ^ k5 * Exp(x3) + a6 * x2 ^ k6 * Exp(x3)", "Four Dimensions non-linearity, Six Element No.3" },
        { 49, 3, 6, 6, "",       "",                          "",     "gs444.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * x3 ^ k3 + a4 * x1 ^ k4 * x2 ^ k5 + a5 * x2 ^ k5 * x3 ^ k6 + a6 * x1 ^ k1 * x2 ^ k2 * x3 ^ k3", "Four Dimensions non-linearity, Six Element No.4" },
        { 50, 3, 6, 6, "",       "",                          "",     "gs445.bmp", "y = a0 + a1 * x1 ^ k1 + a2 * x2 ^ k2 + a3 * Log(x3) + a4 * x1 ^ k2 * x2 ^ k3 + a5 * x1 ^ k4 * Log(x3) + a6 * x1 ^ k5 * x2 ^ k6 * Log(x3)", "Four Dimensions non-linearity, Six Element No.5" },
        { 51, 0, 0, 0, "dyhg",   "MoreElement",               "xxhg", "gsdy.bmp",  " y = a0 + a1 * x1 + a2 * x2 + ……  +  an * xn", "" },
        { 52, 0, 0, 0, "dxhg",   "NonlineMultinomial ",       "lxhg", "gsdx.bmp",  " y = a0 + a1 * x ^ 1 + a2 * x ^ 2 + ……  +  an * x ^ n", "" },
    } };
    // clang-format on

} // namespace

std::span<const ModelDescriptor> allModels() { return kModels; }

const ModelDescriptor* findModel(ModelId id)
{
    if (id < 1 || id > static_cast<ModelId>(kModels.size()))
        return nullptr;
    return &kModels[static_cast<std::size_t>(id - 1)];
}

const ModelDescriptor& modelOf(ModelId id)
{
    const ModelDescriptor* model = findModel(id);
    if (model == nullptr)
        throw Fault(FaultCode::SubscriptOutOfRange, "No model " + std::to_string(id));
    return *model;
}

const std::vector<ModelMenu>& modelMenus()
{
    // The inverse-ratio items sit under the menu of their variable count, and the menus list
    // the linear-engine models 51 and 52 last.
    // clang-format off
    static const std::vector<ModelMenu> menus {
        { "xxhg", "LineRegression",         { 1, 2, 3, 51 } },
        { "lxhg", "TwoDimensionsNonline",   { 4, 7, 8, 9, 10, 11, 12, 52 } },
        { "tshg", "ThreeDimensionsNonline", { 5, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26 } },
        { "SYS1", "FourDimensionsNonline",  { 6, 39, 40, 41, 42, 43, 44, 45 } },
    };
    // clang-format on
    return menus;
}

bool hasTwoNumberGroups(ModelId id) { return id == 1 || id == 4 || (id >= 7 && id <= 15); }

bool hasThreeNumberGroups(ModelId id) { return id == 2 || id == 5 || (id >= 16 && id <= 38); }

bool hasFourNumberGroups(ModelId id) { return id == 3 || id == 6 || (id >= 39 && id <= 50); }

bool usesLinearEngine(ModelId id) { return id == kMultipleLinearModel || id == kPolynomialModel; }

int groupSize(ModelId id)
{
    if (hasTwoNumberGroups(id))
        return 2;
    if (hasThreeNumberGroups(id))
        return 3;
    if (hasFourNumberGroups(id))
        return 4;
    return 0;
}

} // namespace quantem::core
