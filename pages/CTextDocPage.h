#pragma once
// Tab 0, "Просмотр": the text document. Its viewer and field editor come later.

#include "platform/CDialog.h"

class CTextDocPage : public CDialog {
    Q_OBJECT
public:
    explicit CTextDocPage(QWidget* parent = nullptr);
};
