#pragma once
// Tab 4, "Справка": the user guide in a read-only view that fills the page.

#include "platform/CDialog.h"
#include "reference/HelpIds.h"

class CHelpPage : public CDialog {
public:
    explicit CHelpPage(WindowHandle parent = {});
};
