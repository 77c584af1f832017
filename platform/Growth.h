#pragma once
// How a window larger than its layout shares the extra room among its
// controls. A page names, beside its layout table, the controls that grow or
// follow the window; everything else is derived from those, so a control
// without an entry keeps its size and moves only with the rows above it.

#include <span>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/Layout.h"

// The parts of the extra width a control's left and right edges move by:
// kWidens grows with the window, kFollowsRight moves with its right edge,
// {1, 2, 3} widens by a third after a neighbour that took the first.
struct Across {
    int left = 0;
    int right = 0;
    int of = 1;
};
inline constexpr Across kStays{0, 0, 1};
inline constexpr Across kWidens{0, 1, 1};
inline constexpr Across kFollowsRight{1, 1, 1};

struct GrowthRule {
    int id = kNoControlId;
    Across across;
    // The control's weight in the extra height: several that grow share it
    // by weight, and the rows below each move down by its share.
    int down = 0;

    constexpr GrowthRule(ItemId controlId, Across width, int heightWeight = 0)
        : id(controlId), across(width), down(heightWeight) {}
};

// Where each row of the layout stands when the dialog is extra pixels larger
// than its layout (never smaller): the layout's own places at no extra.
// Rows without a rule: one that frames ruled rows spans their widths; a
// frame (group box, tab control, multi-line or list control) grows over the
// rows that grow in height, every other kind keeps its height and moves.
std::vector<PixelEdges> GrowLayout(std::span<const ControlSpec> layout, std::span<const GrowthRule> rules,
                                   PixelSize extra, const DialogBaseUnits& units);
