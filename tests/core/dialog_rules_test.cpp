// The rules both platform layers follow without asking their system.

#include <gtest/gtest.h>

#include <vector>

#include "platform/DialogRules.h"

namespace {

TEST(DialogRules, KeysAreNamedAsTheTipsShowThem) {
    const struct {
        Accelerator key;
        const char* text;
    } cases[] = {
        {{'S', true, false, 1}, "Ctrl+S"},
        {{'O', true, true, 1}, "Ctrl+Shift+O"},
        {{kKeyTab, true, true, 1}, "Ctrl+Shift+Tab"},
        {{kKeyPageDown, true, false, 1}, "Ctrl+PgDown"},
        {{kKeyPageUp, true, false, 1}, "Ctrl+PgUp"},
        {{kKeyF5, false, false, 1}, "F5"},
        {{0x70, false, false, 1}, "F1"},
        {{0x7B, false, true, 1}, "Shift+F12"},
        {{'7', true, false, 1}, "Ctrl+7"},
        {{0x7C, false, false, 1}, ""},  // F13: no key of ours, no name
    };
    for (const auto& c : cases) EXPECT_EQ(KeyText(c.key), c.text) << c.text;
}

TEST(DialogRules, TabVisitsTheStopsByNumberAndEqualNumbersInLayoutOrder) {
    const ControlSpec layout[] = {
        {1, ControlKind::Label},
        {2, ControlKind::Edit, {}, {}, kStyleNone, 3},
        {3, ControlKind::Edit, {}, {}, kStyleNone, 1},
        {4, ControlKind::Edit, {}, {}, kStyleNone, 2},
        {5, ControlKind::Edit, {}, {}, kStyleNone, 1},
    };
    EXPECT_EQ(TabOrderOf(layout), (std::vector<std::size_t>{2, 4, 3, 1}));
    EXPECT_TRUE(TabOrderOf({}).empty());
}

TEST(DialogRules, AScrollBarTakesRoomAndCanCallForTheOther) {
    const struct {
        PixelSize content, room;
        bool horizontal, vertical;
        PixelSize view;
    } cases[] = {
        {{600, 400}, {600, 400}, false, false, {600, 400}},  // exactly fits
        {{500, 500}, {600, 400}, false, true, {583, 400}},   // taller, the bar still fits beside
        {{590, 500}, {600, 400}, true, true, {583, 383}},    // taller, and the bar makes it wider
        {{700, 300}, {600, 400}, true, false, {600, 383}},   // wider only
        {{700, 390}, {600, 400}, true, true, {583, 383}},    // wider, and the bar makes it taller
        {{900, 900}, {600, 400}, true, true, {583, 383}},
    };
    for (const auto& c : cases) {
        const ScrollBarsNeeded bars = NeedScrollBars(c.content, c.room, 17);
        EXPECT_EQ(bars.horizontal, c.horizontal) << c.content.width << "x" << c.content.height;
        EXPECT_EQ(bars.vertical, c.vertical) << c.content.width << "x" << c.content.height;
        EXPECT_EQ(bars.view, c.view) << c.content.width << "x" << c.content.height;
    }
}

TEST(DialogRules, TheFocusedControlScrollsWhollyIntoViewItsTopFirst) {
    const struct {
        int first, last, view, now, expected;
    } cases[] = {
        {100, 120, 200, 50, 50},   // in view: stays
        {300, 320, 200, 50, 121},  // below: its bottom at the view's
        {10, 30, 200, 50, 10},     // above: its top at the view's
        {100, 499, 200, 0, 100},   // taller than the view: its top
        {0, 199, 200, 0, 0},       // exactly the view
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScrollToShow(c.first, c.last, c.view, c.now), c.expected) << c.first << "-" << c.last;
}

TEST(DialogRules, DroppedFilesGoToTheControlUnderThemNeverToAFrame) {
    const DropCandidate controls[] = {
        {10, {0, 0, 200, 100}, true, true},  // a group box around the rest
        {11, {10, 10, 60, 30}, true, false},
        {12, {50, 20, 90, 40}, true, false},     // over the end of 11
        {13, {100, 10, 150, 30}, false, false},  // hidden
    };
    const struct {
        int x, y, id;
    } cases[] = {
        {20, 20, 11},
        {55, 25, 12},
        {59, 12, 11},
        {60, 12, kNoControlId},
        {120, 20, kNoControlId},  // on the hidden one: the frame's, so nobody's
        {150, 80, kNoControlId},
        {500, 500, kNoControlId},
    };
    for (const auto& c : cases) EXPECT_EQ(DropTargetAt(controls, c.x, c.y), c.id) << c.x << "," << c.y;
}

TEST(DialogRules, FilterStringsSplitIntoPairsAndAHalfPairEndsThem) {
    using P = FileFilterPair;
    const struct {
        std::string_view filter;
        std::vector<P> pairs;
    } cases[] = {
        {" HTML (*.htm) |*.htm| Все (*.*)| *.* ||", {{" HTML (*.htm) ", "*.htm"}, {" Все (*.*)", " *.* "}}},
        {"Text|*.txt|Orphan|", {{"Text", "*.txt"}}},
        {"Text|*.txt|Rest", {{"Text", "*.txt"}}},
        {"Text|*.txt", {}},
        {"|*.txt||", {}},
        {"||", {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitFileFilter(c.filter), c.pairs) << c.filter;
}

TEST(DialogRules, ALongLineIsCutInItsMiddleKeepingAsMuchAsFits) {
    const auto width = [](const std::string& text) { return static_cast<int>(text.size()); };  // one per character
    const struct {
        const char* text;
        int width;
        const char* shown;
    } cases[] = {
        {"short", 5, "short"}, {"abcdefgh", 7, "abc~fgh"}, {"abcdefgh", 6, "abc~gh"},
        {"abcdefgh", 2, "a~"}, {"abcdefgh", 1, "~"},       {"", 0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ElideMiddle(std::string(c.text), c.width, width, '~'), c.shown) << c.width;
}

}  // namespace
