#include "reference/CHelpPage.h"

#include "platform/Controls.h"

namespace {

// The Help page's layout.
constexpr ControlSpec kLayout[] = {
    {HelpId::Guide, ControlKind::RichEdit, {}, {4, 4, 424, 295}},
};

}  // namespace

CHelpPage::CHelpPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    m_richEdit = Item<CRichEdit>(HelpId::Guide);
}
