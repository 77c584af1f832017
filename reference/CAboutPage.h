#pragma once
// Tab 5, "О программе": the banner above the licence.

#include <QImage>
#include <span>

#include "platform/CDialog.h"
#include "reference/AboutIds.h"

class CRichEdit;

class CAboutPage : public CDialog {
    Q_OBJECT
public:
    // The banner's place at 96 DPI, in pixels, not dialog units.
    static constexpr QPoint kBannerOrigin{32, 10};

    explicit CAboutPage(QWidget* parent = nullptr);

    // Replaces the banner with a bitmap file's bytes. Pure black becomes
    // transparent; bytes that are no bitmap leave no banner.
    void LoadBanner(std::span<const unsigned char> bmp);
    // Where the banner is drawn: its place and size at 96 DPI, grown with
    // the screen's logical DPI, the part of the scale Qt leaves to the fonts.
    QRect BannerRect() const;

    CRichEdit* m_richEdit = nullptr;  // AboutId::Licence
    QImage m_banner;

protected:
    bool OnInitDialog();
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceLicenceBox();
};
