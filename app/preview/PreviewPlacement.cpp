#include "app/preview/PreviewPlacement.h"

#include <algorithm>

namespace {

// Start where asked, moved back inside [low, high - size).
int Within(int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); }

}  // namespace

ScreenRect PlacePreview(const ScreenRect& mainFrame, const ScreenRect& available) {
    ScreenRect at;
    at.width = std::min(std::max(kPreviewMinWidth, mainFrame.width), available.width);
    at.height = std::min(mainFrame.height, available.height);
    const int rightOf = mainFrame.right() + kPreviewGap;
    const int leftOf = mainFrame.x - kPreviewGap - at.width;
    if (rightOf >= available.x && rightOf + at.width <= available.right())
        at.x = rightOf;
    else if (leftOf >= available.x && leftOf + at.width <= available.right())
        at.x = leftOf;
    else
        at.x = Within(mainFrame.x, at.width, available.x, available.right());
    at.y = Within(mainFrame.y, at.height, available.y, available.bottom());
    return at;
}
