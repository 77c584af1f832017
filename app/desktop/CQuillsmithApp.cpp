#include "app/desktop/CQuillsmithApp.h"

#include "app/desktop/CMainDlg.h"

int CQuillsmithApp::InitInstance() {
    CMainDlg dialog;
    dialog.DoModal();
    return 0;
}
