#pragma once
// Where the preview's window opens: wholly on the screen, beside the main
// window where there is room, otherwise over it.

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
    bool operator==(const ScreenRect&) const = default;
};

// The preview's frame as wide as the main window's (at least kPreviewMinWidth)
// and as tall, kPreviewGap from it: on its right, else on its left, else over
// it; shrunk and moved as needed to stay inside the available area.
inline constexpr int kPreviewMinWidth = 640;
inline constexpr int kPreviewGap = 8;
ScreenRect PlacePreview(const ScreenRect& mainFrame, const ScreenRect& available);
