#include "reference/CAboutPage.h"

#include <QPainter>
#include <algorithm>
#include <climits>

#include "platform/Controls.h"
#include "platform/ScreenUnits.h"
#include "reference/BannerRule.h"
#include "reference/rtf/EmbeddedDocuments.h"

namespace {

// The About page's layout.
constexpr DluRect kLicenceBox{4, 83, 424, 216};
constexpr ControlSpec kLayout[] = {
    {AboutId::Licence, ControlKind::RichEdit, {}, kLicenceBox, kStyleNone, 1},
};

}  // namespace

CAboutPage::CAboutPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    m_richEdit = Item<CRichEdit>(AboutId::Licence);
    OnInitDialog();
}

bool CAboutPage::OnInitDialog() {
    LoadBanner(BannerBmpBytes());
    return true;
}

void CAboutPage::LoadBanner(std::span<const unsigned char> bmp) {
    QImage image;
    if (bmp.size() <= static_cast<std::size_t>(INT_MAX))
        image.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> palette = image.colorTable();
        for (QRgb& colour : palette)
            if (IsBannerTransparent(colour)) colour = qRgba(0, 0, 0, 0);
        image.setColorTable(palette);
    } else if (!image.isNull()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (IsBannerTransparent(line[x])) line[x] = qRgba(0, 0, 0, 0);
        }
    }
    m_banner = image;
    PlaceLicenceBox();
    update();
}

QRect CAboutPage::BannerRect() const {
    if (m_banner.isNull()) return {};
    return QRect(ScreenPixels(*this, kBannerOrigin.x()), ScreenPixels(*this, kBannerOrigin.y()),
                 ScreenPixels(*this, m_banner.width()), ScreenPixels(*this, m_banner.height()));
}

void CAboutPage::PlaceLicenceBox() {
    if (!m_richEdit) return;
    // The banner is sized in pixels, the box in dialog units: with a small
    // font the layout's place would cover the banner's lower part.
    QRect box = MapDialogRect(kLicenceBox);
    const QRect banner = BannerRect();
    if (!banner.isNull()) {
        // As far below the banner as the box stands in from the page's edge.
        const int gap = MapDialogRect({0, 0, 0, kLicenceBox.x}).height();
        box.setTop(std::min(box.bottom(), std::max(box.top(), banner.bottom() + 1 + gap)));
    }
    m_richEdit->setGeometry(box);
}

void CAboutPage::paintEvent(QPaintEvent*) {
    if (m_banner.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(BannerRect(), m_banner);
}
