// The preview on Linux: the preview module's window beside the main one.

#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

#include "app/desktop/CMainDlg.h"
#include "app/preview/CPreviewWnd.h"
#include "platform/qt/QtDialog.h"

class CPreview {
public:
    std::unique_ptr<CPreviewWnd> window;
};

void PreviewDeleter::operator()(CPreview* preview) const { delete preview; }

CPreviewWnd* CMainDlg::preview() const { return m_preview ? m_preview->window.get() : nullptr; }

void CMainDlg::PreviewFormChanged() {
    if (CPreviewWnd* window = preview()) window->FormChanged();
}

void CMainDlg::TogglePreview() {
    QWidget* self = QtWidget(*this);
    if (preview() && preview()->isVisible()) {
        preview()->hide();
        self->activateWindow();
        return;
    }
    if (!preview()) {
        m_preview.reset(new CPreview{std::make_unique<CPreviewWnd>(
            m_template, [this] { return CapturePreview(); }, self)});
        CPreviewWnd* window = preview();
        window->m_onFieldChosen = [this](const CheckedField& field) { FocusField(field); };
        window->m_onOfferTaken = [this](CheckOffer offer) { TakeOffer(offer); };
        auto* key = new QShortcut(QKeySequence(Qt::Key_F5), window);
        QObject::connect(key, &QShortcut::activated, self, [this] { TogglePreview(); });
        // Beside the main window, as tall; to its left when only there is room.
        const QRect frame = self->frameGeometry();
        const QRect screenRect = self->screen() ? self->screen()->availableGeometry() : QRect();
        constexpr int kGap = 8;
        const int width = std::max(640, frame.width());
        int x = frame.right() + kGap;
        if (x + width > screenRect.right() && frame.left() - kGap - width >= screenRect.left())
            x = frame.left() - kGap - width;
        window->resize(width, self->height());
        window->move(x, frame.top());
    }
    preview()->show();
    preview()->FormChanged();
}
