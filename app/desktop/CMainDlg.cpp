#include "app/desktop/CMainDlg.h"

#include <functional>
#include <variant>
#include <vector>

#ifdef _WIN32
#include "app/desktop/PreviewWin32.h"
#endif
#include "app/state/Instances.h"
#include "output/DatabaseRecord.h"
#include "output/FileIo.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/PendingControls.h"
#include "plugin/PluginFill.h"
#include "plugin/PluginHeader.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "reopen/ReadmeReader.h"
#include "text/Cp1251.h"
#include "textdoc/TextDocRules.h"

CMainDlg* g_pMainDlg = nullptr;

namespace {

using K = ControlKind;

// The main window's layout. Only the three buttons are tab stops.
constexpr ControlSpec kLayout[] = {
    {MainId::New, K::PushButton, "Новый"_cp, {4, 4, 50, 14}, kStyleNone, 1},
    {MainId::Save, K::PushButton, "Сохранить"_cp, {119, 4, 50, 14}, kStyleNone, 2},
    {MainId::Tabs, K::TabControl, {}, {4, 24, 440, 320}},
    {MainId::ReadOnlyBox, K::Edit, {}, {178, 5, 264, 12}, kStyleDisabled | kStyleReadOnly},
    {MainId::Open, K::PushButton, "Открыть"_cp, {61, 4, 50, 14}, kStyleNone, 3},
    {MainId::OpenForm, K::PushButton, "Открыть форму…"_cp, {4, 348, 74, 14}, kStyleNone, 4},
    {MainId::SaveForm, K::PushButton, "Сохранить форму…"_cp, {82, 348, 80, 14}, kStyleNone, 5},
    {MainId::RestoreForm, K::PushButton, "Вернуть форму"_cp, {166, 348, 66, 14}, kStyleDisabled, 6},
    {MainId::Status, K::Label, {}, {238, 351, 140, 8}, kStyleElideMiddle},
    {MainId::Preview, K::PushButton, "Предпросмотр"_cp, {382, 348, 62, 14}, kStyleNone, 7},
};
constexpr DluRect kWindowRect = {0, 0, 448, 366};
// A larger window: the pages and the path box grow, the bottom row moves down.
constexpr GrowthRule kGrowth[] = {
    {MainId::Tabs, kWidens, 1},
    {MainId::ReadOnlyBox, kWidens},
    {MainId::Status, kWidens},
    {MainId::Preview, kFollowsRight},
};

constexpr std::string_view kTabCaptions[CMainDlg::kTabCount] = {
    "Просмотр"_cp, "Параметры 1"_cp, "Параметры 2"_cp, "База данных"_cp, "Справка"_cp, "О программе"_cp,
};

constexpr std::string_view kOpenFilter = " Текстовые файлы (*.txt) |*.txt| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kSaveFilter = " HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp;
// A readme gives its form back too.
constexpr std::string_view kFormFilter =
    " Формы Quillsmith (*.qsform) |*.qsform| ReadMe (*.htm; *.html) |*.htm;*.html| Все файлы (*.*)|*.*||"_cp;

constexpr std::string_view kFormNotRead = "Форма не открыта: "_cp;
constexpr std::string_view kFormNotWritten = "Ошибка записи файла формы"_cp;
constexpr std::string_view kDraftSetAside = "Черновик не прочитан и отложен: "_cp;
constexpr std::string_view kDraftsWaiting = "Черновиков ждут следующего запуска: "_cp;
constexpr std::string_view kDraftNotWritten = "Черновик не записан: "_cp;
constexpr std::string_view kFoldersNotWritten = "Последние папки не записаны: "_cp;
constexpr std::string_view kTitleAfterName = " — "_cp;
constexpr std::string_view kFileNotWritten = "Не записан "_cp;
constexpr std::string_view kPluginNotRead = "Из заголовка плагина ничего не взято: "_cp;
constexpr std::string_view kPluginGaveNothing = "Из заголовка плагина: нечего добавить"_cp;
constexpr std::string_view kFileNotRead = "Не прочитан "_cp;
constexpr std::string_view kOpenInBrowserTip = "Открыть в браузере (щелчок или Enter)"_cp;

// A form file is JSON: an object, perhaps after a byte-order mark and blanks.
bool LooksLikeFormFile(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos || bytes[first] == '{';
}

// A form file is small; a larger file is not one.
constexpr std::uint64_t kMaxFormFileBytes = 16 * 1024 * 1024;
// Typing writes the draft at most this often.
constexpr unsigned kDraftDelayMs = 1000;

// Keyboard commands that are no button's.
constexpr int kIdNextTab = 40001;
constexpr int kIdPreviousTab = 40002;
}  // namespace

CMainDlg::CMainDlg() = default;

CMainDlg::~CMainDlg() {
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
    SetFolderMemory(nullptr);
}

void CMainDlg::Create() {
    CreateTopLevel(kApplicationTitle, kWindowRect, true);
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    {
        // The first paint shows tab 0 alone: the other pages make their
        // controls when first needed, their values kept meanwhile.
        const ControlsWhenNeeded later;
        m_pluginPage.emplace(GetSafeHwnd());
        m_extrasPage.emplace(GetSafeHwnd());
        m_helpPage.emplace(GetSafeHwnd());
        m_aboutPage.emplace(GetSafeHwnd());
        m_databasePage.emplace(GetSafeHwnd());
    }
    m_textDocPage.emplace(GetSafeHwnd());
    OnActivate(MainId::ReadOnlyBox, [this] { OpenSavedReadme(); });
    OnClicked(MainId::New, [this] { OnNew(); });
    OnClicked(MainId::Save, [this] { OnSave(); });
    OnClicked(MainId::Open, [this] { OnOpen(); });
    OnClicked(MainId::OpenForm, [this] { OnOpenForm(); });
    OnClicked(MainId::SaveForm, [this] { OnSaveForm(); });
    OnClicked(MainId::RestoreForm, [this] { OnRestoreForm(); });
    OnClicked(MainId::Preview, [this] { TogglePreview(); });
    for (CDialog* page : {static_cast<CDialog*>(&*m_pluginPage), static_cast<CDialog*>(&*m_extrasPage),
                          static_cast<CDialog*>(&*m_databasePage)})
        page->OnChanged([this] {
            // The preview follows every change, New's and an opened form's too.
            PreviewFormChanged();
            UpdateTitle();
            OnFormChanged();
        });
    m_pluginPage->m_onPluginChosen = [this](const ChosenFile& plugin) { FillFromPlugin(plugin); };
    m_pluginPage->m_onFormDropped = [this](const FilePath& file) { OpenFormFile(file); };
    OnDropFiles([this](const std::vector<FilePath>& files, int) { OnDroppedFiles(files); });
    OnSelChanging(MainId::Tabs, [this] { OnTabSelChanging(); });
    OnSelChange(MainId::Tabs, [this] { OnTabSelChange(); });
    OnInitDialog();
    // The size the last window closed at, in this window's units.
    if (const std::optional<WindowSize> size = m_windowSize.Read()) {
        const PixelEdges place = MapDialogUnits({0, 0, size->width, size->height}, baseUnits());
        ResizeClient({place.right, place.bottom});
    }
}

int CMainDlg::DoModal() {
    Create();
    if (m_nothingToShow) return 0;
    Show(true);
    // Shown first, so that a message about the file has its window.
    if (!m_formToOpen.empty()) OpenFormFile(m_formToOpen);
    // After this window's first paint: each further window is a start of its own.
    for (const std::string& id : m_draftsToStart) StartWindowForDraft(id);
    m_draftsToStart.clear();
#ifdef _WIN32
    RemoveLeftoverPreviews(m_drafts);
#endif
    return RunMessageLoop(*this);
}

bool CMainDlg::OnInitDialog() {
    g_pMainDlg = this;
    SetFolderMemory(&m_folders);
    m_textDocPage->edit().SetTargets(this);

    for (int i = 0; i < kTabCount; ++i) InsertTab(MainId::Tabs, i, kTabCaptions[i]);
    SetCurSel(MainId::Tabs, 0);

    for (CDialog* page : {static_cast<CDialog*>(&*m_pluginPage), static_cast<CDialog*>(&*m_extrasPage),
                          static_cast<CDialog*>(&*m_helpPage), static_cast<CDialog*>(&*m_aboutPage),
                          static_cast<CDialog*>(&*m_databasePage), static_cast<CDialog*>(&*m_textDocPage)}) {
        PlacePage(*page, MainId::Tabs);
        page->Show(page == &*m_textDocPage);
    }

    if (m_template.LoadBuiltIn() != kTemplateLoaded)
        ShowMessageBox(GetSafeHwnd(), kTemplateNotLoaded, MessageIcon::Exclamation);

    m_applying = true;
    OnNew();
    m_beforeNew.reset();
    EnableItem(MainId::RestoreForm, false);
    RestoreDrafts();
    UpdateTitle();
    m_applying = false;
    m_folders.m_onWritten = [this](const StateWrite& written) {
        m_foldersFault = written.ok ? Text() : Text(kFoldersNotWritten) + cp1251::FromUtf8(written.reason);
        ShowStatus();
    };
    SetUpKeyboard();
    // As a dialog that answers true: the first tab stop gets the focus.
    FocusItem(MainId::New);
    StartSingleShot(kPagesTimer, kPagesDelayMs, [this] { CreateNextPage(); });
    return true;
}

void CMainDlg::CreateNextPage() {
    for (int tab = 0; tab < kTabCount; ++tab)
        if (CDialog* page = PageOfTab(tab); !page->HasControls()) {
            page->CreateControlsNow();
            // The window answers the user between two pages.
            StartSingleShot(kPagesTimer, 0, [this] { CreateNextPage(); });
            return;
        }
}

void CMainDlg::RestoreDrafts() {
    // The forms of windows that ended, however they ended, come back.
    if (!m_draftToAdopt.empty()) {
        if (const std::optional<FormFile> form = m_drafts.Adopt(m_draftToAdopt))
            ApplyFormFile(*form);
        else
            m_nothingToShow = true;
        return;
    }
    // A window opening a form file keeps it; every orphan gets a window of its own.
    DraftStore::Claimed claimed = m_drafts.Claim(m_formToOpen.empty());
    if (claimed.form) ApplyFormFile(*claimed.form);
    m_draftsToStart = std::move(claimed.others);
    std::vector<Text> notes;
    for (const FilePath& aside : claimed.setAside) notes.push_back(Text(kDraftSetAside) + cp1251::FromUtf8(aside));
    if (claimed.waiting > 0) notes.push_back(Text(kDraftsWaiting) + std::to_string(claimed.waiting));
    for (const Text& note : notes) m_startNote += (m_startNote.empty() ? "" : "; ") + note;
    ShowStatus();
}

void CMainDlg::ShowStatus() {
    Text status;
    for (const Text* part : {&m_draftFault, &m_foldersFault, &m_fillNote, &m_documentNote, &m_startNote})
        if (!part->empty()) status += (status.empty() ? "" : "; ") + *part;
    if (status == GetItemText(MainId::Status)) return;
    SetItemText(MainId::Status, status);
    // The line is short; its tip holds the whole of it.
    SetItemTip(MainId::Status, status);
}

void CMainDlg::UpdateTitle() {
    Text name = m_pluginPage->GetItemText(PluginId::Name);
    const std::size_t end = name.find_last_not_of(' ');
    name.erase(end == Text::npos ? 0 : end + 1);
    SetTitle(name.empty() ? Text(kApplicationTitle) : name + Text(kTitleAfterName) + Text(kApplicationTitle));
}

CDialog* CMainDlg::PageOfTab(int index) {
    switch (index) {
        case 0:
            return &*m_textDocPage;
        case 1:
            return &*m_pluginPage;
        case 2:
            return &*m_extrasPage;
        case 3:
            return &*m_databasePage;
        case 4:
            return &*m_helpPage;
        case 5:
            return &*m_aboutPage;
        default:
            return nullptr;
    }
}

CDialog& CMainDlg::FormPageOf(FormPage page) {
    switch (page) {
        case FormPage::Plugin:
            return *m_pluginPage;
        case FormPage::Extras:
            return *m_extrasPage;
        case FormPage::Database:
            break;
    }
    return *m_databasePage;
}

Text CMainDlg::GetFieldText(FieldTarget field) { return FormPageOf(field.page).GetItemText(field.control); }

void CMainDlg::SetFieldText(FieldTarget field, std::string_view text) {
    FormPageOf(field.page).ReplaceItemText(field.control, text);
}

void CMainDlg::OnNew() {
    // New asks nothing; what it clears can be brought back until the next edit.
    std::optional<FormFile> before = CaptureFormFile();
    const bool applying = m_applying;
    m_applying = true;
    m_pluginPage->ResetDefaults();
    m_extrasPage->ResetDefaults();
    m_databasePage->ResetDefaults();
    m_applying = applying;
    m_beforeNew = std::move(before);
    EnableItem(MainId::RestoreForm, true);
    StartSingleShot(kDraftTimer, kDraftDelayMs, [this] { WriteDraft(); });
}

void CMainDlg::OnRestoreForm() {
    if (!m_beforeNew) return;
    const FormFile before = std::move(*m_beforeNew);
    ApplyFormFile(before);
    m_beforeNew.reset();
    EnableItem(MainId::RestoreForm, false);
}

ReadmeForm CMainDlg::CaptureForm() const {
    ReadmeForm form = CaptureReadmeForm(*m_pluginPage, *m_extrasPage);
    form.pluginPath = m_pluginPage->pluginPath();
    return form;
}

FormFile CMainDlg::CaptureFormFile() const { return {CaptureForm(), m_databasePage->CaptureRecord()}; }

void CMainDlg::FillFromPlugin(const ChosenFile& plugin) {
    // One step for "Вернуть форму", as New is: the form before the file's
    // name came in.
    FormFile before = CaptureFormFile();
    const bool applying = m_applying;
    m_applying = true;
    m_pluginPage->TakePluginFile(plugin);
    const PluginHeaderRead read = ReadPluginHeaderFile(plugin.path);
    if (read.ok()) {
        FormFile filled = CaptureFormFile();
        const PluginFill fill = ApplyPluginHeader(filled, read.header, plugin.path, BsaBesidePlugin(plugin.path));
        ApplyFormFile(filled);
        m_fillNote = PluginFillNote(fill);
        if (m_fillNote.empty()) m_fillNote = kPluginGaveNothing;
    } else {
        m_fillNote = Text(kPluginNotRead) + PluginFaultText(read.fault);
    }
    m_applying = applying;
    if (CaptureFormFile() != before) {
        m_beforeNew = std::move(before);
        EnableItem(MainId::RestoreForm, true);
    }
    ShowStatus();
    UpdateTitle();
    PreviewFormChanged();
    StartSingleShot(kDraftTimer, kDraftDelayMs, [this] { WriteDraft(); });
}

void CMainDlg::ApplyFormFile(const FormFile& file) {
    const bool applying = m_applying;
    m_applying = true;
    m_pluginPage->ApplyForm(file.form);
    m_extrasPage->ApplyForm(file.form);
    m_databasePage->ApplyRecord(file.record);
    m_applying = applying;
    StartSingleShot(kDraftTimer, kDraftDelayMs, [this] { WriteDraft(); });
}

PreviewSnapshot CMainDlg::CapturePreview() const {
    // Relative file names as Save would take them: against the last
    // readme's folder, else the program's current one.
    FilePath folder = FolderOfPath(m_savedReadme);
    if (folder.empty()) folder = fileio::CurrentFolder();
    return {CaptureForm(), m_databasePage->CaptureRecord(), std::move(folder)};
}

void CMainDlg::OnFormChanged() {
    if (m_applying) return;
    if (m_beforeNew) {
        m_beforeNew.reset();
        EnableItem(MainId::RestoreForm, false);
    }
    // Started once and not restarted: while the user types, the draft is
    // written about once a second.
    if (!IsTimerActive(kDraftTimer)) StartSingleShot(kDraftTimer, kDraftDelayMs, [this] { WriteDraft(); });
}

void CMainDlg::WriteDraft() {
    StopTimer(kDraftTimer);
    const StateWrite written = m_drafts.Save(CaptureFormFile());
    m_draftFault = written.ok ? Text() : Text(kDraftNotWritten) + cp1251::FromUtf8(written.reason);
    ShowStatus();
}

void CMainDlg::OnClose() {
    WriteDraft();
    // Kept for the next start, which brings it back.
    m_drafts.Close();
    // Not worth a word when it fails: the next start opens at the layout's size.
    const PixelSize client = ClientSize();
    m_windowSize.Write({MulDiv(client.width, 4, baseUnits().x), MulDiv(client.height, 8, baseUnits().y)});
    CDialog::OnClose();
}

bool CMainDlg::OpenFormFile(const FilePath& path) {
    const fileio::WholeFile whole = fileio::ReadWholeFile(path, kMaxFormFileBytes);
    std::string why;
    if (whole.fault == fileio::WholeFile::Fault::TooLarge)
        why = "файл слишком велик для формы";
    else if (!whole.ok())
        why = "файл не открывается";
    if (why.empty() && !LooksLikeFormFile(whole.bytes)) return OpenReadme(path);
    if (why.empty()) {
        FormFileResult read = ReadFormFile(whole.bytes);
        if (read.ok()) {
            ApplyFormFile(read.file);
            return true;
        }
        why = read.error;
    }
    ShowMessageBox(GetSafeHwnd(), Text(kFormNotRead) + cp1251::FromUtf8(why), MessageIcon::Exclamation);
    return false;
}

bool CMainDlg::OpenReadme(const FilePath& path) {
    const ReleaseReading read = ReadRelease(path);
    if (!read.ok()) {
        ShowMessageBox(GetSafeHwnd(), Text(kFormNotRead) + cp1251::FromUtf8(read.error), MessageIcon::Exclamation);
        return false;
    }
    // One step for "Вернуть форму", as New is.
    FormFile before = CaptureFormFile();
    ApplyFormFile(read.file);
    m_beforeNew = std::move(before);
    EnableItem(MainId::RestoreForm, true);
    m_fillNote = cp1251::FromUtf8(ReleaseReadingSummary(read, path));
    // The readme is where this form lives now: Save proposes it, the path
    // box opens it, and its relative screenshots resolve against it.
    m_savedReadme = path;
    m_folders.Remember("readme", FolderOfPath(path));
    SetItemUtf8(MainId::ReadOnlyBox, path);
    SetItemTip(MainId::ReadOnlyBox, kOpenInBrowserTip);
    EnableItem(MainId::ReadOnlyBox, true);
    ShowStatus();
    UpdateTitle();
    PreviewFormChanged();
    return true;
}

void CMainDlg::OnDroppedFiles(const std::vector<FilePath>& files) {
    // The first readme or form file among them; anything else is the pages'.
    for (const FilePath& file : files)
        if (IsReadmeOrFormFile(file)) {
            OpenFormFile(file);
            return;
        }
}

void CMainDlg::OnOpenForm() {
    if (const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kFormFilter, "forms"))
        OpenFormFile(chosen->path);
}

void CMainDlg::OnSaveForm() {
    // Named for its plug-in, beside the last form, or the last readme before any.
    Text proposed = FormFileNameFor(m_pluginPage->GetItemText(PluginId::Name));
    if (proposed.empty() && !m_savedReadme.empty()) {
        const std::string_view readme = m_savedReadme;
        const std::string_view name = readme.substr(readme.find_last_of("\\/") + 1);
        const Text stem = cp1251::FromUtf8(name.substr(0, name.rfind('.')));
        // A name the code page cannot hold is left to the user.
        if (stem.find("&#") == Text::npos) proposed = FormFileNameFor(stem);
    }
    if (proposed.empty()) proposed = "form.qsform";
    const std::optional<ChosenFile> chosen =
        SaveFileDialog(GetSafeHwnd(), kFormFilter, "qsform", proposed, "forms", "readme");
    if (!chosen) return;
    if (!fileio::WriteWholeFile(chosen->path, WriteFormFile(CaptureFormFile())))
        ShowMessageBox(GetSafeHwnd(), kFormNotWritten, MessageIcon::None);
}

void CMainDlg::SwitchTab(int step) {
    // As a click on the tab: the pages switch as for the user.
    ChooseTab(MainId::Tabs, (GetCurSel(MainId::Tabs) + step + kTabCount) % kTabCount);
}

void CMainDlg::SetUpKeyboard() {
    struct Command {
        MainId button;
        Accelerator key;
        std::function<void()> run;
    };
    const auto id = [](MainId button) { return ControlIdValue(button); };
    const Command commands[] = {
        {MainId::New, {'N', true, false, id(MainId::New)}, [this] { OnNew(); }},
        {MainId::Open, {'O', true, false, id(MainId::Open)}, [this] { OnOpen(); }},
        {MainId::Save, {'S', true, false, id(MainId::Save)}, [this] { OnSave(); }},
        {MainId::OpenForm, {'O', true, true, id(MainId::OpenForm)}, [this] { OnOpenForm(); }},
        {MainId::SaveForm, {'S', true, true, id(MainId::SaveForm)}, [this] { OnSaveForm(); }},
        {MainId::Preview, {kKeyF5, false, false, id(MainId::Preview)}, [this] { TogglePreview(); }},
    };
    std::vector<Accelerator> keys;
    for (const Command& command : commands) {
        OnCommand(command.key.command, command.run);
        SetItemTip(command.button, KeyText(command.key));
        keys.push_back(command.key);
    }
    OnCommand(kIdNextTab, [this] { SwitchTab(1); });
    OnCommand(kIdPreviousTab, [this] { SwitchTab(-1); });
    for (const Accelerator& key :
         {Accelerator{kKeyTab, true, false, kIdNextTab}, Accelerator{kKeyTab, true, true, kIdPreviousTab},
          Accelerator{kKeyPageDown, true, false, kIdNextTab}, Accelerator{kKeyPageUp, true, false, kIdPreviousTab}})
        keys.push_back(key);
    SetAccelerators(keys);
    SetItemTip(MainId::Tabs, "Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown, Ctrl+PgUp");
    // The strip of tabs takes the focus from the keyboard after the buttons.
    AddTabStop(MainId::Tabs, MainId::Preview);
}

void CMainDlg::OnTabSelChanging() {
    if (CDialog* page = PageOfTab(GetCurSel(MainId::Tabs))) page->Show(false);
}

void CMainDlg::OnTabSelChange() {
    const int index = GetCurSel(MainId::Tabs);
    CDialog* page = PageOfTab(index);
    if (page) page->CreateControlsNow();
    if (index == kDatabaseTab) {
        m_databasePage->SetItemText(DatabaseId::NameMirror, m_pluginPage->GetItemText(PluginId::Name));
        m_databasePage->SetItemText(DatabaseId::DescriptionMirror, m_pluginPage->GetItemText(PluginId::Description));
    }
    if (!page) return;
    page->Show(true);
    // The keys never go on into the page just hidden: after a click on the
    // strip the focus stays there, after a key it is in the page shown.
    if (!HasFocus(MainId::Tabs) && !page->FocusFirstTabStop()) FocusItem(MainId::Tabs);
}

void CMainDlg::OnSave() {
    const ShowMessage show = [this](std::string_view text, MessageIcon icon) {
        ShowMessageBox(GetSafeHwnd(), text, icon);
    };

    const ReadmeForm form = CaptureForm();
    m_readmeText = BuildReadmeHtml(form, m_template);

    const DatabaseRecord record = m_databasePage->CaptureRecord();
    if (!BuildDatabaseRecord(record, form, m_recordText, show)) return;

    const std::string_view savedName = std::string_view(m_savedReadme).substr(m_savedReadme.find_last_of("\\/") + 1);
    const std::optional<ChosenFile> chosen =
        SaveFileDialog(GetSafeHwnd(), kSaveFilter, "htm", savedName.empty() ? "ReadMe.htm" : savedName, "readme");
    if (!chosen) return;

    const SaveFileResult saved =
        RunSaveFileWork(MakeSaveFileWork(form, m_template, m_readmeText, record, m_recordText, chosen->path),
                        m_template, m_textBuffer, show);
    ShowSaveResult(saved, chosen->path);
}

void CMainDlg::ShowSaveResult(const SaveFileResult& saved, const FilePath& readme) {
    // The path box tells where the readme went, and opens it in the
    // browser with a click or Enter; after a fault it says which file and
    // why, and never keeps an earlier Save's path as if it were this one's.
    m_savedReadme = saved.readmeWritten ? readme : FilePath();
    Text faults;
    for (const FileFault& fault : saved.faults) {
        Text line = Text(fault.reading ? kFileNotRead : kFileNotWritten) + cp1251::FromUtf8(fault.path);
        if (!fault.reason.empty()) line += ": " + cp1251::FromUtf8(fault.reason);
        faults += (faults.empty() ? "" : "\r\n") + line;
    }
    if (faults.empty()) {
        SetItemUtf8(MainId::ReadOnlyBox, readme);
        SetItemTip(MainId::ReadOnlyBox, kOpenInBrowserTip);
    } else {
        SetItemText(MainId::ReadOnlyBox, faults.substr(0, faults.find('\r')));
        SetItemTip(MainId::ReadOnlyBox, saved.readmeWritten ? faults + "\r\n" + Text(kOpenInBrowserTip) : faults);
    }
    EnableItem(MainId::ReadOnlyBox, saved.readmeWritten);
}

void CMainDlg::OpenSavedReadme() {
    if (!m_savedReadme.empty()) OpenInBrowser(m_savedReadme);
}

void CMainDlg::OnOpen() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kOpenFilter, "text");
    if (!chosen) return;
    const std::optional<TextFileRead> read = ReadTextFile(chosen->path, m_textBuffer);
    if (!read) return;
    m_textDocPage->SetDocumentText(DocumentText(std::string_view(m_textBuffer.data(), read->size), read->cut));
    // The buffer keeps its size; the user learns how much of the file it holds.
    m_documentNote.clear();
    if (read->cut)
        if (const std::optional<std::int64_t> length = FileLength(*chosen))
            m_documentNote = DocumentCutNote(read->size, static_cast<std::uint64_t>(*length));
    ShowStatus();
}

void CMainDlg::FocusField(const CheckedField& field) {
    struct Place {
        int tab;
        CDialog* page;
        int id;
    };
    const Place place = std::visit(
        [this](auto id) -> Place {
            using Id = decltype(id);
            if constexpr (std::is_same_v<Id, PluginId>) return {1, &*m_pluginPage, ControlIdValue(id)};
            if constexpr (std::is_same_v<Id, ExtrasId>) return {2, &*m_extrasPage, ControlIdValue(id)};
            return {kDatabaseTab, &*m_databasePage, ControlIdValue(id)};
        },
        field);
    // As a click on the tab: the pages switch as for the user.
    ChooseTab(MainId::Tabs, place.tab);
    BringToFront();
    place.page->FocusItem(place.id);
}

void CMainDlg::TakeOffer(CheckOffer offer) {
    if (offer != CheckOffer::KeepLineBreaks) return;
    m_extrasPage->SetCheck(ExtrasId::KeepLineBreaks, true);
    FocusField(ExtrasId::KeepLineBreaks);
}
