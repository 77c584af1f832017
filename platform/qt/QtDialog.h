#pragma once
// What only the Qt layer, its tests and benchmarks reach of a dialog: the
// widgets behind it and the Qt timer behind a timer id.

#include <QWidget>
#include <cstdint>

#include "platform/CDialog.h"
#include "platform/qt/DialogUnits.h"

class QTimer;

QWidget* QtWidget(const CDialog& dialog);
inline QWidget* QtWidget(WindowHandle handle) { return reinterpret_cast<QWidget*>(handle); }
inline WindowHandle HandleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

// The control's widget, or nullptr.
inline QWidget* QtItem(const CDialog& dialog, ItemId id) { return QtWidget(dialog.GetDlgItem(id)); }
template <class T>
T* Item(const CDialog& dialog, ItemId id) {
    return qobject_cast<T*>(QtItem(dialog, id));
}

// Made on first use: for benchmarks and tests that count its runs.
QTimer& QtTimer(CDialog& dialog, std::uintptr_t timer);

// A layout rectangle in this dialog's pixels.
QRect MapDialogRect(const CDialog& dialog, const DluRect& rect);
