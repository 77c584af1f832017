#include "pages/CTextDocPage.h"

CTextDocPage::CTextDocPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
}
