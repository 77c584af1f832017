// The preview on Linux: the preview module's window beside the main one.

#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

#include "app/desktop/CMainDlg.h"
#include "app/preview/CPreviewWnd.h"
#include "app/preview/PreviewPlacement.h"
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
        // Not shown yet, the preview has no frame of its own: the main
        // window's tells how much the system adds round it.
        const QRect frame = self->frameGeometry();
        const QRect area = self->screen() ? self->screen()->availableGeometry() : frame;
        const ScreenRect at = PlacePreview({frame.x(), frame.y(), frame.width(), frame.height()},
                                           {area.x(), area.y(), area.width(), area.height()});
        window->resize(at.width - (frame.width() - self->width()), at.height - (frame.height() - self->height()));
        window->move(at.x, at.y);
    }
    preview()->show();
    preview()->FormChanged();
}
