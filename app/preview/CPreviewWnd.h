#pragma once
// The preview window "Предпросмотр": the readme as Save would write it, in a
// browser engine, and beside it the checks of what will look broken. The
// engine's module is loaded when the window is first made; without it the
// window says so in one line and the checks still work.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/preview/PreviewModel.h"
#include "app/preview/PreviewModule.h"
#include "app/preview/PreviewResources.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CPreviewWnd : public QWidget {
    Q_OBJECT
public:
    CPreviewWnd(const TemplatePackage& package, PreviewCapture capture, QWidget* owner);
    ~CPreviewWnd() override;

    // The form changed: the page and the checks follow soon, without making
    // the typing wait.
    void FormChanged();
    // Brings page and checks up to date at once.
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

    const TemplatePackage& m_package;
    PreviewCapture m_capture;
    PreviewResources m_resources;
    std::unique_ptr<preview::View> m_view;
    QLabel* m_engineLine = nullptr;
    QListWidget* m_checkList = nullptr;
    QPushButton* m_keepLineBreaks = nullptr;
    QTimer m_timer;
    QElapsedTimer m_sinceLoad;
    bool m_dirty = true;
    bool m_loading = false;
    Text m_shownHtml;
    PreviewChecks m_checks;
};
