#include "app/desktop/CMainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QUrl>
#include <functional>

#include "app/preview/CPreviewWnd.h"
#include "output/DatabaseRecord.h"
#include "output/FileIo.h"
#include "pages/TextDocRules.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NativeText.h"
#include "platform/qt/Resources.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "text/Cp1251.h"

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
    {MainId::Status, K::Label, {}, {238, 351, 140, 8}},
    {MainId::Preview, K::PushButton, "Предпросмотр"_cp, {382, 348, 62, 14}, kStyleNone, 7},
};
constexpr DluRect kWindowRect = {0, 0, 448, 366};

constexpr std::string_view kTabCaptions[CMainDlg::kTabCount] = {
    "Просмотр"_cp, "Параметры 1"_cp, "Параметры 2"_cp, "База данных"_cp, "Справка"_cp, "О программе"_cp,
};

constexpr std::string_view kOpenFilter = " Текстовые файлы (*.txt) |*.txt| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kSaveFilter = " HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp;
constexpr std::string_view kFormFilter = " Формы Quillsmith (*.qsform) |*.qsform| Все файлы (*.*)|*.*||"_cp;

constexpr std::string_view kFormNotRead = "Форма не открыта: "_cp;
constexpr std::string_view kFormNotWritten = "Ошибка записи файла формы"_cp;
constexpr std::string_view kDraftSetAside = "Черновик не прочитан и отложен: "_cp;

// A form file is small; a larger file is not one.
constexpr std::uint64_t kMaxFormFileBytes = 16 * 1024 * 1024;
// Typing writes the draft at most this often.
constexpr int kDraftDelayMs = 1000;
}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : CDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_icon(ProgramIcon()) {
    setWindowTitle(ToQString(kApplicationTitle));
}

CMainDlg::~CMainDlg() {
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
    SetFolderMemory(nullptr);
}

void CMainDlg::Create() {
    SetWindowSize(kWindowRect);
    CreateControls(kLayout);
    m_tabs = Item<CTabCtrl>(MainId::Tabs);
    GetDlgItem(MainId::ReadOnlyBox)->installEventFilter(this);
    OnClicked(MainId::New, [this] { OnNew(); });
    OnClicked(MainId::Save, [this] { OnSave(); });
    OnClicked(MainId::Open, [this] { OnOpen(); });
    OnClicked(MainId::OpenForm, [this] { OnOpenForm(); });
    OnClicked(MainId::SaveForm, [this] { OnSaveForm(); });
    OnClicked(MainId::RestoreForm, [this] { OnRestoreForm(); });
    OnClicked(MainId::Preview, [this] { TogglePreview(); });
    m_draftTimer.setSingleShot(true);
    m_draftTimer.setInterval(kDraftDelayMs);
    connect(&m_draftTimer, &QTimer::timeout, this, [this] { WriteDraft(); });
    for (CDialog* page : {static_cast<CDialog*>(&m_pluginPage), static_cast<CDialog*>(&m_extrasPage),
                          static_cast<CDialog*>(&m_databasePage)})
        connect(page, &CDialog::Changed, this, [this] {
            // The preview follows every change, New's and an opened form's too.
            if (m_preview) m_preview->FormChanged();
            OnFormChanged();
        });
    connect(m_tabs, &CTabCtrl::SelChanging, this, [this] { OnTabSelChanging(); });
    connect(m_tabs, &CTabCtrl::SelChange, this, [this] { OnTabSelChange(); });
    OnInitDialog();
}

int CMainDlg::DoModal() {
    Create();
    show();
    // Shown first, so that a message about the file has its window.
    if (!m_formToOpen.empty()) OpenFormFile(m_formToOpen);
    return QApplication::exec();
}

bool CMainDlg::OnInitDialog() {
    g_pMainDlg = this;
    SetFolderMemory(&m_folders);
    m_textDocPage.edit().SetTargets(this);
    setWindowIcon(m_icon);

    for (int i = 0; i < kTabCount; ++i) m_tabs->InsertItem(i, ToQString(kTabCaptions[i]));
    m_tabs->SetCurSel(0);

    for (CDialog* page : {static_cast<CDialog*>(&m_pluginPage), static_cast<CDialog*>(&m_extrasPage),
                          static_cast<CDialog*>(&m_helpPage), static_cast<CDialog*>(&m_aboutPage),
                          static_cast<CDialog*>(&m_databasePage), static_cast<CDialog*>(&m_textDocPage)}) {
        page->setParent(m_tabs);
        page->move(m_tabs->PageOrigin());
        page->setVisible(page == &m_textDocPage);
    }

    if (m_template.LoadBuiltIn() != kTemplateLoaded) ShowMessageBox(this, kTemplateNotLoaded, MessageIcon::Exclamation);

    m_applying = true;
    OnNew();
    m_beforeNew.reset();
    EnableItem(MainId::RestoreForm, false);
    // The last session's form comes back, however that session ended.
    const DraftStore::Loaded draft = m_drafts.Load();
    if (draft.form) ApplyFormFile(*draft.form);
    if (!draft.setAside.empty() || !draft.why.empty())
        SetItemText(MainId::Status, Text(kDraftSetAside) + cp1251::FromUtf8(draft.setAside));
    m_applying = false;
    SetUpKeyboard();
    // As a dialog that answers true: the first tab stop gets the focus.
    GetDlgItem(MainId::New)->setFocus();
    return true;
}

CDialog* CMainDlg::PageOfTab(int index) {
    switch (index) {
        case 0:
            return &m_textDocPage;
        case 1:
            return &m_pluginPage;
        case 2:
            return &m_extrasPage;
        case 3:
            return &m_databasePage;
        case 4:
            return &m_helpPage;
        case 5:
            return &m_aboutPage;
        default:
            return nullptr;
    }
}

CDialog& CMainDlg::FormPageOf(FormPage page) {
    switch (page) {
        case FormPage::Plugin:
            return m_pluginPage;
        case FormPage::Extras:
            return m_extrasPage;
        case FormPage::Database:
            break;
    }
    return m_databasePage;
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
    m_pluginPage.ResetDefaults();
    m_extrasPage.ResetDefaults();
    m_databasePage.ResetDefaults();
    m_applying = applying;
    m_beforeNew = std::move(before);
    EnableItem(MainId::RestoreForm, true);
    m_draftTimer.start();
}

void CMainDlg::OnRestoreForm() {
    if (!m_beforeNew) return;
    const FormFile before = std::move(*m_beforeNew);
    ApplyFormFile(before);
    m_beforeNew.reset();
    EnableItem(MainId::RestoreForm, false);
}

FormFile CMainDlg::CaptureFormFile() const {
    return {CaptureReadmeForm(m_pluginPage, m_extrasPage), m_databasePage.CaptureRecord()};
}

void CMainDlg::ApplyFormFile(const FormFile& file) {
    const bool applying = m_applying;
    m_applying = true;
    m_pluginPage.ApplyForm(file.form);
    m_extrasPage.ApplyForm(file.form);
    m_databasePage.ApplyRecord(file.record);
    m_applying = applying;
    m_draftTimer.start();
}

void CMainDlg::OnFormChanged() {
    if (m_applying) return;
    if (m_beforeNew) {
        m_beforeNew.reset();
        EnableItem(MainId::RestoreForm, false);
    }
    // Started once and not restarted: while the user types, the draft is
    // written about once a second.
    if (!m_draftTimer.isActive()) m_draftTimer.start();
}

void CMainDlg::WriteDraft() {
    m_draftTimer.stop();
    m_drafts.Save(CaptureFormFile());
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    WriteDraft();
    CDialog::closeEvent(event);
}

bool CMainDlg::OpenFormFile(const FilePath& path) {
    fileio::InputFile file;
    std::string bytes;
    std::string why;
    if (!file.Open(path)) {
        why = "the file cannot be opened";
    } else if (file.length() > kMaxFormFileBytes) {
        why = "the file is too large to be a form";
    } else {
        bytes.resize(static_cast<std::size_t>(file.length()));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::ptrdiff_t read = file.Read(bytes.data() + got, bytes.size() - got);
            if (read <= 0) break;
            got += static_cast<std::size_t>(read);
        }
        bytes.resize(got);
    }
    if (why.empty()) {
        FormFileResult read = ReadFormFile(bytes);
        if (read.ok()) {
            ApplyFormFile(read.file);
            return true;
        }
        why = read.error;
    }
    ShowMessageBox(this, Text(kFormNotRead) + cp1251::FromUtf8(why), MessageIcon::Exclamation);
    return false;
}

void CMainDlg::OnOpenForm() {
    if (const std::optional<ChosenFile> chosen = OpenFileDialog(this, kFormFilter, "forms")) OpenFormFile(chosen->path);
}

void CMainDlg::OnSaveForm() {
    const std::optional<ChosenFile> chosen = SaveFileDialog(this, kFormFilter, "qsform", "form.qsform", "forms");
    if (!chosen) return;
    if (!fileio::WriteWholeFile(chosen->path, WriteFormFile(CaptureFormFile())))
        ShowMessageBox(this, kFormNotWritten, MessageIcon::None);
}

void CMainDlg::SwitchTab(int step) {
    QTabBar* bar = m_tabs->tabBar();
    // As a click on the tab: the pages switch as for the user.
    bar->setCurrentIndex((bar->currentIndex() + step + kTabCount) % kTabCount);
}

void CMainDlg::SetUpKeyboard() {
    struct Command {
        MainId button;
        QKeySequence keys;
        std::function<void()> run;
    };
    const Command commands[] = {
        {MainId::New, QKeySequence(Qt::CTRL | Qt::Key_N), [this] { OnNew(); }},
        {MainId::Open, QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OnOpen(); }},
        {MainId::Save, QKeySequence(Qt::CTRL | Qt::Key_S), [this] { OnSave(); }},
        {MainId::OpenForm, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { OnOpenForm(); }},
        {MainId::SaveForm, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { OnSaveForm(); }},
        {MainId::Preview, QKeySequence(Qt::Key_F5), [this] { TogglePreview(); }},
    };
    for (const Command& command : commands) {
        auto* shortcut = new QShortcut(command.keys, this);
        connect(shortcut, &QShortcut::activated, this, command.run);
        QWidget* button = GetDlgItem(command.button);
        button->setToolTip(command.keys.toString(QKeySequence::NativeText));
    }
    for (auto [keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                              {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                              {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { SwitchTab(step); });
    }
    QTabBar* bar = m_tabs->tabBar();
    bar->setFocusPolicy(Qt::TabFocus);
    bar->setToolTip(QStringLiteral("Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown, Ctrl+PgUp"));
    setTabOrder(GetDlgItem(MainId::RestoreForm), bar);
}

void CMainDlg::OnTabSelChanging() {
    if (CDialog* page = PageOfTab(m_tabs->GetCurSel())) page->hide();
}

void CMainDlg::OnTabSelChange() {
    const int index = m_tabs->GetCurSel();
    if (index == kDatabaseTab) {
        m_databasePage.SetItemText(DatabaseId::NameMirror, m_pluginPage.GetItemText(PluginId::Name));
        m_databasePage.SetItemText(DatabaseId::DescriptionMirror, m_pluginPage.GetItemText(PluginId::Description));
    }
    if (CDialog* page = PageOfTab(index)) page->show();
}

void CMainDlg::OnSave() {
    const ShowMessage show = [this](std::string_view text, MessageIcon icon) { ShowMessageBox(this, text, icon); };

    const ReadmeForm form = CaptureReadmeForm(m_pluginPage, m_extrasPage);
    m_readmeText = BuildReadmeHtml(form, m_template);

    const DatabaseRecord record = m_databasePage.CaptureRecord();
    if (!BuildDatabaseRecord(record, form, m_recordText, show)) return;

    const std::optional<ChosenFile> chosen = SaveFileDialog(this, kSaveFilter, "htm", "ReadMe.htm", "readme");
    if (!chosen) return;

    bool readmeWritten = true;
    const ShowMessage showAndNote = [&](std::string_view text, MessageIcon icon) {
        if (text == kReadmeNotCreated) readmeWritten = false;
        show(text, icon);
    };
    RunSaveFileWork(MakeSaveFileWork(form, m_readmeText, record, m_recordText, chosen->path), m_template, m_textBuffer,
                    showAndNote);
    if (readmeWritten) ShowSavedReadme(chosen->path);
}

void CMainDlg::ShowSavedReadme(const FilePath& path) {
    // The path box tells where the readme went, and opens it in the
    // browser with a click or Enter.
    m_savedReadme = path;
    SetItemUtf8(MainId::ReadOnlyBox, path);
    QWidget* box = GetDlgItem(MainId::ReadOnlyBox);
    box->setEnabled(true);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setCursor(Qt::PointingHandCursor);
    box->setToolTip(QString::fromUtf8("Открыть в браузере (щелчок или Enter)"));
}

void CMainDlg::OpenSavedReadme() {
    if (!m_savedReadme.empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_savedReadme)));
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GetDlgItem(MainId::ReadOnlyBox) && !m_savedReadme.empty()) {
        const bool click =
            event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        const bool enter =
            event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                                  static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
        if (click || enter) {
            OpenSavedReadme();
            return true;
        }
    }
    return CDialog::eventFilter(watched, event);
}

void CMainDlg::OnOpen() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kOpenFilter, "text");
    if (!chosen) return;
    const std::optional<TextFileRead> read = ReadTextFile(chosen->path, m_textBuffer);
    if (!read) return;
    m_textDocPage.SetDocumentText(DocumentText(std::string_view(m_textBuffer.data(), read->size), read->cut));
}

void CMainDlg::TogglePreview() {
    if (m_preview && m_preview->isVisible()) {
        m_preview->hide();
        activateWindow();
        return;
    }
    if (!m_preview) {
        const auto capture = [this] {
            // Relative file names as Save would take them: against the last
            // readme's folder, else the program's current one.
            FilePath folder = FolderOfPath(m_savedReadme);
            if (folder.empty()) folder = QDir::currentPath().toStdString();
            return CPreviewWnd::Snapshot{CaptureReadmeForm(m_pluginPage, m_extrasPage), m_databasePage.CaptureRecord(),
                                         std::move(folder)};
        };
        m_preview = std::make_unique<CPreviewWnd>(m_template, capture, this);
        m_preview->m_onFieldChosen = [this](const CheckedField& field) { FocusField(field); };
        auto* key = new QShortcut(QKeySequence(Qt::Key_F5), m_preview.get());
        connect(key, &QShortcut::activated, this, [this] { TogglePreview(); });
        // Beside the main window, as tall; to its left when only there is room.
        const QRect frame = frameGeometry();
        const QRect screenRect = screen() ? screen()->availableGeometry() : QRect();
        constexpr int kGap = 8;
        const int width = std::max(640, frame.width());
        int x = frame.right() + kGap;
        if (x + width > screenRect.right() && frame.left() - kGap - width >= screenRect.left())
            x = frame.left() - kGap - width;
        m_preview->resize(width, height());
        m_preview->move(x, frame.top());
    }
    m_preview->show();
    m_preview->FormChanged();
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
            if constexpr (std::is_same_v<Id, PluginId>) return {1, &m_pluginPage, ControlIdValue(id)};
            if constexpr (std::is_same_v<Id, ExtrasId>) return {2, &m_extrasPage, ControlIdValue(id)};
            return {kDatabaseTab, &m_databasePage, ControlIdValue(DatabaseId::Archive)};
        },
        field);
    // As a click on the tab: the pages switch as for the user.
    m_tabs->tabBar()->setCurrentIndex(place.tab);
    activateWindow();
    raise();
    if (QWidget* control = place.page->GetDlgItem(place.id)) control->setFocus(Qt::OtherFocusReason);
}
