#pragma once
// The preview window "Предпросмотр": the readme as Save would write it, in a
// browser engine, the release's other texts on tabs beside the page, and
// the checks of what will look broken. The
// engine's module is loaded when the window is first made; without it the
// window says so in one line and the checks still work.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/preview/PreviewCaptions.h"
#include "app/preview/PreviewModel.h"
#include "app/preview/PreviewModule.h"
#include "app/preview/PreviewResources.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

class CPreviewWnd : public QWidget {
    Q_OBJECT
public:
    CPreviewWnd(const TemplatePackage& package, PreviewCapture capture, QWidget* owner);
    ~CPreviewWnd() override;

    // The form changed: the shown tab and the checks follow soon, without
    // making the typing wait.
    void FormChanged();
    // Brings the shown tab and the checks up to date at once; the other
    // tabs when they are next shown.
    void UpdateNow();

    // Runs with the field of a check the user clicked.
    std::function<void(const CheckedField&)> m_onFieldChosen;
    // Runs with what a check offered, when the user takes it.
    std::function<void(CheckOffer)> m_onOfferTaken;
    // Runs after each page has loaded (tests and the benchmark wait for it).
    std::function<void()> m_afterLoad;

    QListWidget* checksList() const { return m_checkList; }
    // Below the list; enabled while a check offers to keep the line breaks.
    QPushButton* keepLineBreaksButton() const { return m_keepLineBreaks; }
    // The one line that says the engine is missing or its process ended;
    // hidden while the page shows.
    QLabel* engineLine() const { return m_engineLine; }
    // nullptr without the engine.
    preview::View* view() const { return m_view.get(); }
    // The readme the page was last given.
    const Text& shownHtml() const { return m_shownHtml; }
    const std::vector<ReadmeCheck>& checks() const { return m_checks.checks(); }

    // The page first, then one tab for each of kTextFormats.
    QTabBar* formatTabs() const { return m_formatTabs; }
    // The read-only view of a text tab (0 for the first of kTextFormats).
    QPlainTextEdit* textView(int text) const { return m_textViews[static_cast<std::size_t>(text)]; }
    // Enabled on a text tab: the shown text to the clipboard.
    QPushButton* copyButton() const { return m_copy; }

    // Loads coalesce: at most one is in flight, and a new one starts no
    // sooner than this after the last.
    static constexpr int kMinIntervalMs = 200;
    static constexpr int kLoadGiveUpMs = 5000;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Schedule();
    void OnLoaded(bool ok);
    void OnEngineFailed(const std::string& why);
    void ShowChecks();
    void OnCheckActivated(QListWidgetItem* item);
    // What the shown tab lacks of the last snapshot, built now.
    void ShowTab();
    void ShowPage();
    void ShowText(int text);
    void NextTab(int step);

    const TemplatePackage& m_package;
    PreviewCapture m_capture;
    PreviewResources m_resources;
    std::unique_ptr<preview::View> m_view;
    QLabel* m_engineLine = nullptr;
    QListWidget* m_checkList = nullptr;
    QPushButton* m_keepLineBreaks = nullptr;
    QTabBar* m_formatTabs = nullptr;
    QStackedWidget* m_tabPages = nullptr;
    std::array<QPlainTextEdit*, std::size(kTextFormats)> m_textViews{};
    QPushButton* m_copy = nullptr;
    QTimer m_timer;
    QElapsedTimer m_sinceLoad;
    QElapsedTimer m_sinceUpdate;
    bool m_dirty = true;
    bool m_loading = false;
    Text m_shownHtml;
    PreviewChecks m_checks;
    // The last snapshot's form, for the tabs that were not shown then.
    ReadmeForm m_form = NewReadmeForm();
    FilePath m_baseFolder;
    bool m_pageBehind = true;
    std::array<bool, std::size(kTextFormats)> m_textBehind{};
    std::array<std::string, std::size(kTextFormats)> m_shownTexts;
};
