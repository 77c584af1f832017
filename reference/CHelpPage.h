#pragma once
// Tab 4, "Справка": the user guide in a read-only view that fills the page.

#include "platform/CDialog.h"
#include "reference/HelpIds.h"

class CRichEdit;

class CHelpPage : public CDialog {
    Q_OBJECT
public:
    explicit CHelpPage(QWidget* parent = nullptr);

    CRichEdit* m_richEdit = nullptr;  // HelpId::Guide
};
