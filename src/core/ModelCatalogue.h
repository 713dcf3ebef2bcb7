#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace quantem::core {

/// 1..52 names a model; 0 means no model chosen.
using ModelId = int;

inline constexpr ModelId kMultipleLinearModel = 51;
inline constexpr ModelId kPolynomialModel = 52;

/// One model of the catalogue.
struct ModelDescriptor
{
    ModelId id;
    int variables; // v (0 as stored for 51 and 52)
    int elements; // e (0 for 51 and 52: the user enters m)
    int exponents; // k
    std::string_view menuControl; // "" for the models without a menu item
    std::string_view menuCaption;
    std::string_view parentMenu; // control name of the top-level menu ("xxhg", "lxhg", ...)
    std::string_view pictureFile;
    std::string_view formulaText;
    std::string_view title; // "" for 51 and 52
};

/// All 52 models in ModelId order.
std::span<const ModelDescriptor> allModels();
/// The model with this id, or nullptr outside 1..52.
const ModelDescriptor* findModel(ModelId id);
/// The model with this id; throws Fault 9 outside 1..52.
const ModelDescriptor& modelOf(ModelId id);

/// A top-level model menu and its items in order.
struct ModelMenu
{
    std::string_view control;
    std::string_view caption;
    std::vector<ModelId> items;
};

/// The four model menus of the main window, in menu order.
const std::vector<ModelMenu>& modelMenus();

// The range tests every part uses to decide the group layout and the engine.
bool hasTwoNumberGroups(ModelId id); // 1, 4, 7..15
bool hasThreeNumberGroups(ModelId id); // 2, 5, 16..38
bool hasFourNumberGroups(ModelId id); // 3, 6, 39..50
bool usesLinearEngine(ModelId id); // 51, 52
/// Numbers per sample group for models 1..50 (2, 3 or 4); 0 for any other id.
int groupSize(ModelId id);

} // namespace quantem::core
