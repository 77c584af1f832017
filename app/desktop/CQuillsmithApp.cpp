#include "app/desktop/CQuillsmithApp.h"

#include "app/desktop/CMainDlg.h"

int CQuillsmithApp::InitInstance() {
    CMainDlg dialog;
    dialog.m_formToOpen = m_formPath;
    dialog.m_draftToAdopt = m_draftId;
    return dialog.DoModal();
}
