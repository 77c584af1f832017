#include "reference/CHelpPage.h"

#include "platform/Controls.h"

namespace {

// Dialog 133.
constexpr ControlSpec kLayout[] = {
    {1028, ControlKind::RichEdit, {}, {4, 4, 424, 295}},
};

}  // namespace

CHelpPage::CHelpPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    m_richEdit = Item<CRichEdit>(1028);
}
