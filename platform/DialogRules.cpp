#include "platform/DialogRules.h"

#include <algorithm>

namespace {

constexpr unsigned short kKeyF1 = kKeyF5 - 4;

}  // namespace

std::string KeyText(const Accelerator& key) {
    std::string text;
    if (key.ctrl) text += "Ctrl+";
    if (key.shift) text += "Shift+";
    if ((key.key >= 'A' && key.key <= 'Z') || (key.key >= '0' && key.key <= '9'))
        text += static_cast<char>(key.key);
    else if (key.key == kKeyTab)
        text += "Tab";
    else if (key.key == kKeyPageUp)
        text += "PgUp";
    else if (key.key == kKeyPageDown)
        text += "PgDown";
    else if (key.key >= kKeyF1 && key.key < kKeyF1 + 12)
        text += "F" + std::to_string(key.key - kKeyF1 + 1);
    return text;
}

std::vector<std::size_t> TabOrderOf(std::span<const ControlSpec> layout) {
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (layout[i].tabOrder > 0) stops.push_back(i);
    std::stable_sort(stops.begin(), stops.end(),
                     [&](std::size_t a, std::size_t b) { return layout[a].tabOrder < layout[b].tabOrder; });
    return stops;
}

ScrollBarsNeeded NeedScrollBars(PixelSize content, PixelSize room, int barExtent) {
    ScrollBarsNeeded bars;
    bars.vertical = content.height > room.height;
    bars.horizontal = content.width > room.width;
    if (bars.vertical && content.width + barExtent > room.width) bars.horizontal = true;
    if (bars.horizontal && content.height + barExtent > room.height) bars.vertical = true;
    bars.view = {room.width - (bars.vertical ? barExtent : 0), room.height - (bars.horizontal ? barExtent : 0)};
    return bars;
}

int ScrollToShow(int first, int last, int viewLength, int now) {
    if (last >= now + viewLength) now = last - viewLength + 1;
    if (first < now) now = first;
    return now;
}

int DropTargetAt(std::span<const DropCandidate> controls, int x, int y) {
    int id = kNoControlId;
    for (const DropCandidate& control : controls)
        if (control.visible && !control.groupBox && x >= control.box.left && x < control.box.right &&
            y >= control.box.top && y < control.box.bottom)
            id = control.id;
    return id;
}

std::vector<FileFilterPair> SplitFileFilter(std::string_view filter) {
    std::vector<FileFilterPair> pairs;
    std::size_t at = 0;
    while (at < filter.size()) {
        const std::size_t displayEnd = filter.find('|', at);
        if (displayEnd == std::string_view::npos || displayEnd == at) break;
        const std::size_t patternEnd = filter.find('|', displayEnd + 1);
        if (patternEnd == std::string_view::npos) break;
        pairs.push_back(
            {filter.substr(at, displayEnd - at), filter.substr(displayEnd + 1, patternEnd - displayEnd - 1)});
        at = patternEnd + 1;
    }
    return pairs;
}
