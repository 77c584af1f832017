#include "pages/CTextDocPage.h"

#include <QString>

#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// The text document page's layout. The edit control is not in it: the page
// makes it.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Текстовый документ"_cp, {4, 4, 424, 295}},
};

}  // namespace

CTextDocPage::CTextDocPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    OnInitDialog();
}

bool CTextDocPage::OnInitDialog() {
    // Inside the group box's frame; placed once, it does not follow later
    // changes of the page's size.
    const int left = ScreenPixels(*this, 16), top = ScreenPixels(*this, 24);
    const int right = width() - ScreenPixels(*this, 18), bottom = height() - ScreenPixels(*this, 16);
    m_edit.setParent(this);
    m_edit.hide();
    m_edit.setGeometry(left, top, right - left, bottom - top);
    AttachItem(TextDocId::Edit, &m_edit);
    m_edit.show();
    return true;
}

void CTextDocPage::SetDocumentText(std::string_view utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edit.setPlainText(text);
}
