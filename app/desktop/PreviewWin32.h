#pragma once
// The preview on Windows: the readme written into a temporary folder for
// the default browser, and a small window with the checks and the release's
// other texts beside the main one (app/desktop/PreviewWin32.cpp).

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/preview/PreviewModel.h"
#include "app/state/DraftStore.h"
#include "output/DatabaseRecord.h"
#include "output/SaveFiles.h"
#include "platform/CDialog.h"
#include "readme/ReadmeForm.h"
#include "template/TemplatePackage.h"

// The preview folders that windows no longer running left behind.
void RemoveLeftoverPreviews(const DraftStore& drafts);

class CPreview : public CDialog {
public:
    CPreview(PreviewCapture capture, const TemplatePackage& package, std::span<char, kTextBufferSize> buffer,
             std::string_view windowId);
    // The folder goes with the window.
    ~CPreview() override;

    // A check chosen in the list: its field wants the focus.
    std::function<void(const CheckedField&)> m_onFieldChosen;
    // A check's offer taken with the button below the list.
    std::function<void(CheckOffer)> m_onOfferTaken;

    FilePath readmePath() const { return m_folder + "ReadMe.htm"; }
    const std::vector<ReadmeCheck>& checks() const { return m_checks.checks(); }

    // The readme and its pictures written again; the browser opened the
    // first time or when asked.
    void Write(bool openBrowser);
    // The form changed: the checks and the text follow a moment later.
    void FormChanged();
    // The chosen format's text, as shown and as "Копировать" copies it (UTF-8).
    const std::string& shownText() const { return m_shownText; }

protected:
    void OnCancel() override { Show(false); }
    void OnClose() override { Show(false); }

private:
    void ShowChecks(const PreviewSnapshot& now);
    // The chosen format of the form; built only when asked, not for each format.
    void ShowText(const ReadmeForm& form);
    void ChooseCheck();

    PreviewCapture m_capture;
    const TemplatePackage& m_template;
    std::span<char, kTextBufferSize> m_buffer;
    FilePath m_folder;  // with its "\" at the end
    PreviewChecks m_checks;
    bool m_openedOnce = false;
    std::string m_shownText;
};
