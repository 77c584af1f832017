#pragma once
// The controls that Qt does not offer as the dialogs need them, and the
// picture behind a CBitmap.

#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <functional>
#include <span>

#include "platform/Controls.h"
#include "platform/DialogUnits.h"

class QTabBar;
class QFrame;

// A multi-line edit of a dialog: wraps at the right edge, takes a line break
// with Enter and with Ctrl+Enter, and lets Tab move the focus.
class CMultiLineEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CMultiLineEdit(QWidget* parent = nullptr);

    // The whole text with its line breaks, as the widget holds it.
    QString WindowText() const;

    // The program's context menu instead of Qt's, from the text, its scroll
    // bar and the keyboard (the menu key, Shift+F10: kKeyboardPoint).
    void SetContextMenuHandler(std::function<void(ScreenPoint)> handler);
    // Below the caret, kept inside the visible text, in screen coordinates.
    QPoint CaretPoint() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(ScreenPoint)> m_contextMenu;
};

// A read-only rich-text view: the user scrolls, selects and copies; the
// text wraps at the right edge.
class CRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CRichEdit(QWidget* parent = nullptr);
};

// A group box as the Windows dialogs draw it: the caption sits on the
// frame's top line, so the frame keeps the whole rectangle of the layout.
// A one-line label that draws a text too long for it cut in the middle;
// text() stays the whole text.
class CElidingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CGroupBox : public QWidget {
    Q_OBJECT
public:
    CGroupBox(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

// A tab control: a strip of tabs over a framed panel, pages as children.
// Like the Windows control it tells before (SelChanging, while GetCurSel
// still answers the old tab) and after (SelChange) a user's change, and
// never for changes the program makes.
class CTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CTabCtrl(QWidget* parent = nullptr);

    void InsertItem(int index, const QString& caption);
    int GetCurSel() const { return m_current; }
    void SetCurSel(int index);
    int GetItemCount() const;
    QTabBar* tabBar() const { return m_bar; }

    // Where a page goes in the control's client area: below the strip.
    QPoint PageOrigin() const;

signals:
    void SelChanging();
    void SelChange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnBarChanged(int index);
    void Arrange();

    QTabBar* m_bar;
    QFrame* m_panel;
    int m_current = -1;
    bool m_programChange = false;
};

struct CBitmap::Native {
    QImage image;
};
