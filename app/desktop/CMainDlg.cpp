#include "app/desktop/CMainDlg.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>

#include "output/DatabaseRecord.h"
#include "pages/TextDocRules.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NativeText.h"
#include "platform/qt/Resources.h"
#include "platform/qt/RtfTextDocument.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"
#include "reference/rtf/EmbeddedDocuments.h"
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
};

constexpr std::string_view kTabCaptions[CMainDlg::kTabCount] = {
    "Просмотр"_cp, "Параметры 1"_cp, "Параметры 2"_cp, "База данных"_cp, "Справка"_cp, "О программе"_cp,
};

constexpr std::string_view kOpenFilter = " Текстовые файлы (*.txt) |*.txt| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kSaveFilter = " HTML (*.htm) |*.htm| Все файлы (*.*)| *.* ||"_cp;

}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : CDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_icon(ProgramIcon()) {
    setWindowTitle(ToQString(kApplicationTitle));
}

CMainDlg::~CMainDlg() {
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
}

void CMainDlg::Create() {
    setFixedSize(MapDialogRect({0, 0, 448, 346}).size());
    CreateControls(kLayout);
    m_tabs = Item<CTabCtrl>(MainId::Tabs);
    OnClicked(MainId::New, [this] { OnNew(); });
    OnClicked(MainId::Save, [this] { OnSave(); });
    OnClicked(MainId::Open, [this] { OnOpen(); });
    connect(m_tabs, &CTabCtrl::SelChanging, this, [this] { OnTabSelChanging(); });
    connect(m_tabs, &CTabCtrl::SelChange, this, [this] { OnTabSelChange(); });
    OnInitDialog();
}

int CMainDlg::DoModal() {
    Create();
    show();
    return QApplication::exec();
}

bool CMainDlg::OnInitDialog() {
    g_pMainDlg = this;
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

    OnNew();
    for (auto [view, bytes] :
         {std::pair{m_helpPage.m_richEdit, HelpRtfBytes()}, std::pair{m_aboutPage.m_richEdit, LicenseRtfBytes()}}) {
        rtf::SetRtf(*view->document(), bytes);
        view->moveCursor(QTextCursor::Start);  // read from the top, not the end
    }
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
    FormPageOf(field.page).SetItemText(field.control, text);
}

void CMainDlg::OnNew() {
    m_pluginPage.ResetDefaults();
    m_extrasPage.ResetDefaults();
    m_databasePage.ResetDefaults();
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

    const std::optional<ChosenFile> chosen = SaveFileDialog(this, kSaveFilter, "htm", "ReadMe.htm");
    if (!chosen) return;

    RunSaveFileWork(MakeSaveFileWork(form, m_readmeText, record, m_recordText, chosen->path), m_template, m_textBuffer,
                    show);
}

void CMainDlg::OnOpen() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kOpenFilter);
    if (!chosen) return;
    const std::optional<TextFileRead> read = ReadTextFile(chosen->path, m_textBuffer);
    if (!read) return;
    m_textDocPage.SetDocumentText(DocumentText(std::string_view(m_textBuffer.data(), read->size), read->cut));
}
