#pragma once
// Tab 5, "О программе": the banner and the licence. Filled in later.

#include "platform/CDialog.h"

class CAboutPage : public CDialog {
    Q_OBJECT
public:
    explicit CAboutPage(QWidget* parent = nullptr);
};
