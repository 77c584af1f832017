#include "reference/CHelpPage.h"

CHelpPage::CHelpPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
}
