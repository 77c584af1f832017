#pragma once
// Tab 4, "Справка": the user guide. Filled in later.

#include "platform/CDialog.h"

class CHelpPage : public CDialog {
    Q_OBJECT
public:
    explicit CHelpPage(QWidget* parent = nullptr);
};
