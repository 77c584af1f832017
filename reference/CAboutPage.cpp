#include "reference/CAboutPage.h"

#include <algorithm>

#include "reference/BannerRule.h"
#include "rtf/EmbeddedDocuments.h"

namespace {

// The About page's layout.
constexpr DluRect kLicenceBox{4, 83, 424, 216};
constexpr ControlSpec kLayout[] = {
    {AboutId::Licence, ControlKind::RichEdit, {}, kLicenceBox, kStyleNone, 1},
};
constexpr GrowthRule kGrowth[] = {{AboutId::Licence, kWidens, 1}};

// The one colour IsBannerTransparent leaves out.
constexpr std::uint32_t kBannerTransparent = 0x000000;
static_assert(IsBannerTransparent(kBannerTransparent));

}  // namespace

CAboutPage::CAboutPage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    OnInitDialog();
}

bool CAboutPage::OnInitDialog() {
    // Read when the page first shows.
    WhenControlsMade([this] {
        if (!m_bannerGiven) LoadBanner(BannerBmpBytes());
        SetItemRtf(AboutId::Licence, LicenseRtfBytes());
    });
    return true;
}

void CAboutPage::LoadBanner(std::span<const unsigned char> bmp) {
    m_bannerGiven = true;
    m_hasBanner = m_banner.Load(bmp);
    SetPicture(m_banner, BannerRect(), kBannerTransparent);
    WhenControlsMade([this] { PlaceLicenceBox(); });
}

void CAboutPage::OnScaleChanged() {
    SetPicture(m_banner, BannerRect(), kBannerTransparent);
    PlaceLicenceBox();
}

PixelEdges CAboutPage::BannerRect() const {
    CreateControlsNow();
    if (!m_hasBanner) return {};
    const int left = ScreenPixels(kBannerOrigin.x), top = ScreenPixels(kBannerOrigin.y);
    return {left, top, left + ScreenPixels(m_banner.size().width), top + ScreenPixels(m_banner.size().height)};
}

void CAboutPage::PlaceLicenceBox() {
    // The banner is sized in pixels, the box in dialog units: with a small
    // font the layout's place would cover the banner's lower part.
    PixelEdges box = GrownPlace(AboutId::Licence);
    const PixelEdges banner = BannerRect();
    if (m_hasBanner) {
        // As far below the banner as the box stands in from the page's edge.
        const int gap = MapDialogUnits({0, 0, 0, kLicenceBox.x}, baseUnits()).bottom;
        box.top = std::min(box.bottom - 1, std::max(box.top, banner.bottom + gap));
    }
    MoveItem(AboutId::Licence, box);
}
