#pragma once
// What a dialog decides without asking the system: both layers follow these
// rules, so a page behaves alike on each.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DialogUnits.h"
#include "platform/Layout.h"

// The key as a tip names it: "Ctrl+Shift+O", "F5", "Ctrl+PgDown".
std::string KeyText(const Accelerator& key);

// Indices of a layout's tab stops in the order Tab visits them: by tabOrder,
// rows with the same number in layout order.
std::vector<std::size_t> TabOrderOf(std::span<const ControlSpec> layout);

// A layout larger than the room it has scrolls; a bar across one side takes
// room from the other, so one bar can call for the second.
struct ScrollBarsNeeded {
    bool horizontal = false;
    bool vertical = false;
    PixelSize view;  // what is left for the content, inside the bars
};
ScrollBarsNeeded NeedScrollBars(PixelSize content, PixelSize room, int barExtent);

// The scroll position that shows first..last (inclusive) in a view of
// viewLength from now on: unchanged when it is in view, its start when it
// is longer than the view.
int ScrollToShow(int first, int last, int viewLength, int now);

// Where dropped files fell: the control under the point, never the group
// box around it; the last of the layout's order when several overlap.
struct DropCandidate {
    int id = kNoControlId;
    PixelEdges box;  // right and bottom exclusive
    bool visible = true;
    bool groupBox = false;
};
int DropTargetAt(std::span<const DropCandidate> controls, int x, int y);

// A filter string written for the Windows file dialogs, "display|patterns|
// ...||", as its pairs; a display without its patterns ends the list.
struct FileFilterPair {
    std::string_view display;
    std::string_view patterns;

    bool operator==(const FileFilterPair&) const = default;
};
std::vector<FileFilterPair> SplitFileFilter(std::string_view filter);

// A one-line text cut in its middle to fit width, as many characters kept
// as fit with the ellipsis, the start taking the odd one; the text itself
// when it fits. measure gives a text's width.
template <class String, class Measure>
String ElideMiddle(const String& text, int width, const Measure& measure, typename String::value_type ellipsis) {
    if (measure(text) <= width) return text;
    const auto cut = [&](std::size_t kept) {
        const std::size_t start = (kept + 1) / 2;
        return text.substr(0, start) + ellipsis + text.substr(text.size() - (kept - start));
    };
    std::size_t fits = 0, over = text.size();
    while (over - fits > 1) {
        const std::size_t mid = fits + (over - fits) / 2;
        (measure(cut(mid)) <= width ? fits : over) = mid;
    }
    return cut(fits);
}
