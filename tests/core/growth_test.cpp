// How a larger window shares its extra room among a layout's controls.

#include "platform/Growth.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using K = ControlKind;

// Base units of {4, 8}: a dialog unit is a pixel, so the places read as the layout.
constexpr DialogBaseUnits kUnitPixels{4, 8};

constexpr ControlSpec kPage[] = {
    {kNoControlId, K::GroupBox, "A", {0, 0, 100, 50}},
    {kNoControlId, K::Label, "a", {5, 5, 20, 8}},
    {1, K::Edit, {}, {30, 5, 60, 12}},
    {2, K::PushButton, "...", {92, 5, 8, 12}},
    {3, K::MultiLineEdit, {}, {5, 20, 90, 25}},
    {kNoControlId, K::GroupBox, "B", {0, 55, 100, 50}},
    {4, K::MultiLineEdit, {}, {5, 60, 90, 40}},
    {9, K::CheckBox, "added", {5, 108, 40, 10}},
    {6, K::DropDownCombo, {}, {60, 108, 30, 60}},  // the height takes in the open list
    {7, K::Edit, {}, {0, 120, 50, 12}},
    {8, K::Edit, {}, {50, 120, 50, 12}},
};
constexpr GrowthRule kGrowth[] = {
    {1, kWidens}, {2, kFollowsRight}, {3, kWidens, 1}, {4, kWidens, 3}, {7, {0, 1, 2}}, {8, {1, 2, 2}},
};

TEST(Growth, EachControlFollowsItsRuleAndTheRestFollowsTheRowsAboveAndWithin) {
    const std::vector<PixelEdges> expected = {
        {0, 0, 140, 55},      // frames what widens; grows by the band inside it
        {5, 5, 25, 13},       // a label above every band keeps its place
        {30, 5, 130, 17},     // the path box widens
        {132, 5, 140, 17},    // its button follows the right edge
        {5, 20, 135, 50},     // a quarter of the height by weight 1 of 4
        {0, 60, 140, 125},    // below the first band, over the second
        {5, 65, 135, 120},    // three quarters of the height
        {5, 128, 45, 138},    // no entry: moves down, keeps its size
        {60, 128, 90, 188},   // a combo's list never makes it taller
        {0, 140, 70, 152},    // the first half of the width
        {70, 140, 140, 152},  // the second half, beside it
    };
    EXPECT_EQ(GrowLayout(kPage, kGrowth, {40, 20}, kUnitPixels), expected);
}

TEST(Growth, NoExtraRoomOrLessLeavesTheLayoutsOwnPlaces) {
    for (const PixelSize extra : {PixelSize{0, 0}, PixelSize{-30, -10}}) {
        const std::vector<PixelEdges> places = GrowLayout(kPage, kGrowth, extra, {6, 13});
        ASSERT_EQ(places.size(), std::size(kPage));
        for (std::size_t i = 0; i < places.size(); ++i)
            EXPECT_EQ(places[i], MapDialogUnits(kPage[i].rect, {6, 13})) << i;
    }
}

TEST(Growth, SharesThatDoNotDivideEvenlyStillAddUpToTheWhole) {
    const std::vector<PixelEdges> places = GrowLayout(kPage, kGrowth, {7, 7}, kUnitPixels);
    EXPECT_EQ(places[4].bottom - 45, 1);  // 7 / 4
    EXPECT_EQ(places[6].bottom - 100, 7);
    EXPECT_EQ(places[7].top - 108, 7);
    EXPECT_EQ(places[9].right, places[10].left);  // halves of 7 meet
    EXPECT_EQ(places[10].right - 100, 7);
}

TEST(Growth, WithoutRulesNothingMoves) {
    const std::vector<PixelEdges> places = GrowLayout(kPage, {}, {300, 200}, kUnitPixels);
    for (std::size_t i = 0; i < places.size(); ++i) EXPECT_EQ(places[i], MapDialogUnits(kPage[i].rect, kUnitPixels));
}

}  // namespace
