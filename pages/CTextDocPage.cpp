#include "pages/CTextDocPage.h"

#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// The text document page's layout. The edit control's place is set in
// pixels once the page has its size.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Текстовый документ"_cp, {4, 4, 424, 295}},
    {TextDocId::Edit, K::MultiLineEdit, {}, {10, 14, 412, 279}, kStyleNone, 1},
};
constexpr GrowthRule kGrowth[] = {{TextDocId::Edit, kWidens, 1}};

}  // namespace

CTextDocPage::CTextDocPage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    OnInitDialog();
}

bool CTextDocPage::OnInitDialog() {
    PlaceEdit();
    OnContextMenu(TextDocId::Edit, [this](ScreenPoint point) { m_edit.OnContextMenu(point); });
    return true;
}

void CTextDocPage::PlaceEdit() {
    // Inside the group box's frame, at every scale and size of the page.
    const PixelSize page = ClientSize();
    MoveItem(TextDocId::Edit,
             {ScreenPixels(16), ScreenPixels(24), page.width - ScreenPixels(18), page.height - ScreenPixels(16)});
}

void CTextDocPage::SetDocumentText(std::string_view utf8) { SetItemUtf8(TextDocId::Edit, utf8); }
