#include "reference/CHelpPage.h"

#include "rtf/EmbeddedDocuments.h"

namespace {

// The Help page's layout.
constexpr ControlSpec kLayout[] = {
    {HelpId::Guide, ControlKind::RichEdit, {}, {4, 4, 424, 295}},
};
constexpr GrowthRule kGrowth[] = {{HelpId::Guide, kWidens, 1}};

}  // namespace

CHelpPage::CHelpPage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    // Read when the page first shows.
    WhenControlsMade([this] { SetItemRtf(HelpId::Guide, HelpRtfBytes()); });
}
