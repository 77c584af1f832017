#include "reference/CAboutPage.h"

CAboutPage::CAboutPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
}
