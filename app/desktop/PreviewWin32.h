#pragma once
// The preview on Windows: the readme written into a temporary folder for
// the default browser, and a small window with the checks beside the main
// one (app/desktop/PreviewWin32.cpp).

#include <functional>
#include <span>
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
    // The form changed: the checks follow a moment later.
    void FormChanged();

protected:
    void OnCancel() override { Show(false); }
    void OnClose() override { Show(false); }
    // The list takes what the window grows by; the rest stays below it.
    void OnResized(PixelSize client) override;

private:
    void ShowChecks(const PreviewSnapshot& now);
    void ChooseCheck();

    PreviewCapture m_capture;
    const TemplatePackage& m_template;
    std::span<char, kTextBufferSize> m_buffer;
    FilePath m_folder;  // with its "\" at the end
    PreviewChecks m_checks;
    bool m_openedOnce = false;
};
