#pragma once
// Tab 5, "О программе": the banner above the licence.

#include <span>

#include "platform/CDialog.h"
#include "platform/Controls.h"
#include "reference/AboutIds.h"

class CAboutPage : public CDialog {
public:
    // The banner's place at 96 DPI, in pixels, not dialog units.
    static constexpr ScreenPoint kBannerOrigin{32, 10};

    explicit CAboutPage(WindowHandle parent = {});

    // Replaces the banner with a bitmap file's bytes. Pure black becomes
    // transparent; bytes that are no bitmap leave no banner.
    void LoadBanner(std::span<const unsigned char> bmp);
    // Where the banner is drawn: its place and size at 96 DPI, grown with
    // the screen's DPI; all zero without a banner.
    PixelEdges BannerRect() const;
    // The page's picture comes with its controls.
    const CBitmap& banner() const {
        CreateControlsNow();
        return m_banner;
    }

protected:
    bool OnInitDialog();
    void OnScaleChanged() override;

private:
    void PlaceLicenceBox();

    CBitmap m_banner;
    bool m_hasBanner = false;
    bool m_bannerGiven = false;  // by LoadBanner, before the built-in one
};
