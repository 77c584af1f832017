#pragma once
// The one window: command buttons, the read-only box and six tab pages.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop/MainIds.h"
#include "app/preview/PreviewModel.h"
#include "app/state/DraftStore.h"
#include "app/state/ProgramState.h"
#include "app/state/WindowSize.h"
#include "form/FormFile.h"
#include "output/ReadmeChecks.h"
#include "output/SaveFiles.h"
#include "pages/CDatabasePage.h"
#include "pages/CExtrasPage.h"
#include "pages/CPluginPage.h"
#include "pages/CTextDocPage.h"
#include "platform/CDialog.h"
#include "reference/CAboutPage.h"
#include "reference/CHelpPage.h"
#include "template/TemplatePackage.h"
#include "text/Text.h"

#ifndef _WIN32
class CPreviewWnd;
#endif
// The preview as each system shows it (app/desktop/Preview*.cpp).
class CPreview;
struct PreviewDeleter {
    void operator()(CPreview* preview) const;
};

class CMainDlg : public CDialog, public FieldTargets {
public:
    static constexpr int kTabCount = 6;
    static constexpr int kDatabaseTab = 3;
    // The draft is written a while after a change.
    static constexpr std::uintptr_t kDraftTimer = 1;
    // After the first paint the pages not yet needed make their controls,
    // one at a time, so that a first click on a tab finds its page made.
    static constexpr std::uintptr_t kPagesTimer = 2;
    static constexpr unsigned kPagesDelayMs = 100;

    CMainDlg();
    ~CMainDlg() override;

    // Creates the window's controls and runs OnInitDialog: what happens
    // before the window first shows.
    void Create();
    // Create, show, and run until the window closes.
    int DoModal();

    void OnNew();
    void OnSave();
    void OnOpen();
    void OnOpenForm();
    void OnSaveForm();
    // Brings back the form New cleared, until the next edit.
    void OnRestoreForm();

    // The whole form, both form pages and the Database page.
    FormFile CaptureFormFile() const;
    void ApplyFormFile(const FormFile& file);
    // Opens a form file; false after a message naming what is wrong, with
    // the form unchanged.
    bool OpenFormFile(const FilePath& path);
    // The form a readme (and its record beside it) was made from; false
    // after a message saying why not, with the form unchanged.
    bool OpenReadme(const FilePath& path);
    // A readme or form file dropped on the window opens as Open Form would.
    void OnDroppedFiles(const std::vector<FilePath>& files);
    // Writes the draft now rather than when its timer runs out.
    void WriteDraft();

    // The last readme Save wrote, in the default browser.
    void OpenSavedReadme();

    // Opens the preview window beside this one, or closes it (F5); on
    // Windows, the readme rendered into a temporary folder, in the browser.
    void TogglePreview();

    // A form file DoModal opens once the window shows; nothing when empty.
    FilePath m_formToOpen;
    // An orphaned draft this window was started for: the window takes it,
    // or, when another window took it first, never shows.
    std::string m_draftToAdopt;
    // This window's own draft and the ids of its other files.
    DraftStore& drafts() { return m_drafts; }
    void OnTabSelChanging();
    void OnTabSelChange();

    // The pages exist once Create has run.
    CPluginPage& pluginPage() { return *m_pluginPage; }
    CExtrasPage& extrasPage() { return *m_extrasPage; }
    CDatabasePage& databasePage() { return *m_databasePage; }
    CTextDocPage& textDocPage() { return *m_textDocPage; }
    CHelpPage& helpPage() { return *m_helpPage; }
    CAboutPage& aboutPage() { return *m_aboutPage; }
    const TemplatePackage& templatePackage() const { return m_template; }
#ifndef _WIN32
    // nullptr until the preview is first opened.
    CPreviewWnd* preview() const;
#else
    // nullptr until the preview is first opened.
    CPreview* preview() const;
#endif
    // The page of a tab index, nullptr outside 0 to 5.
    CDialog* PageOfTab(int index);

    // The field editor's targets: the three form pages.
    Text GetFieldText(FieldTarget field) override;
    void SetFieldText(FieldTarget field, std::string_view text) override;

protected:
    bool OnInitDialog();
    void OnClose() override;

private:
    CDialog& FormPageOf(FormPage page);
    void OnFormChanged();
    // The form's values, the plug-in's path the page keeps among them.
    ReadmeForm CaptureForm() const;
    // The plug-in chosen or dropped: its name, then what its header holds.
    void FillFromPlugin(const ChosenFile& plugin);
    void ShowSaveResult(const SaveFileResult& saved, const FilePath& readme);
    void SetUpKeyboard();
    // The next page in the tabs' order whose controls wait, made now.
    void CreateNextPage();
    void SwitchTab(int step);
    // A check's field: its tab shown and the focus in it.
    void FocusField(const CheckedField& field);
    // What a check offered, done as the user would, with the focus where it changed.
    void TakeOffer(CheckOffer offer);
    // The preview follows every change of the form.
    void PreviewFormChanged();
    // The form as the preview shows it, relative names taken as Save would.
    PreviewSnapshot CapturePreview() const;
    // The drafts a start brings back, into this window and windows of their own.
    void RestoreDrafts();
    // The title names the form's plug-in.
    void UpdateTitle();
    void ShowStatus();

    // Made inside the window by Create.
    std::optional<CPluginPage> m_pluginPage;
    std::optional<CExtrasPage> m_extrasPage;
    std::optional<CHelpPage> m_helpPage;
    std::optional<CAboutPage> m_aboutPage;
    std::optional<CDatabasePage> m_databasePage;
    std::optional<CTextDocPage> m_textDocPage;
    TemplatePackage m_template;
    Text m_readmeText;       // of the last Save
    Text m_recordText;       // of the last Save
    FilePath m_savedReadme;  // by the last Save, for the browser
    DraftStore m_drafts{StateFolder()};
    RecentFolders m_folders{StateFolder()};
    WindowSizeFile m_windowSize{StateFolder()};
    std::vector<std::string> m_draftsToStart;  // each for a window of its own
    bool m_nothingToShow = false;              // the draft to adopt was taken
    // The status line: what start-up found, and writes that fail until one succeeds.
    Text m_startNote;
    Text m_draftFault;
    Text m_foldersFault;
    Text m_documentNote;                  // how much of the opened text file is shown
    Text m_fillNote;                      // what the last plug-in's header or readme gave
    bool m_applying = false;              // the program, not the user, is changing the form
    std::optional<FormFile> m_beforeNew;  // until the next edit
    // Scratch for reads and copies, never read past what they wrote: left
    // unfilled, its pages cost nothing until the first Save.
    std::array<char, kTextBufferSize> m_textBuffer;
    // Last, so it goes first: its capture reads the pages.
    std::unique_ptr<CPreview, PreviewDeleter> m_preview;
};

// The one main window, set when it initialises and cleared when it goes.
extern CMainDlg* g_pMainDlg;
