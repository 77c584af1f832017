#pragma once
// The Qt widgets behind the main window, for the tests and benchmarks.

#include "app/desktop/CMainDlg.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtDialog.h"

inline CTabCtrl* Tabs(const CMainDlg& window) { return Item<CTabCtrl>(window, MainId::Tabs); }
inline QTimer& DraftTimer(CMainDlg& window) { return QtTimer(window, CMainDlg::kDraftTimer); }
