#include "app/desktop/CQuillsmithApp.h"

#include "app/desktop/CMainDlg.h"

int CQuillsmithApp::InitInstance() {
    CMainDlg dialog;
    dialog.m_formToOpen = m_formPath;
    return dialog.DoModal();
}
