#include "pages/CDatabasePage.h"

#include <string>

#include "platform/Dialogs.h"
#include "readme/DatabaseIds.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// The Database page's layout. The mirrors are read-only: the next showing of
// the tab replaces their texts anyway.
constexpr ControlSpec kLayout[] = {
    {DatabaseId::CreateRecord, K::CheckBox, "Создать запись базы данных"_cp, {10, 6, 160, 10}, kStyleNone, 1},

    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 20, 424, 104}},
    {kNoControlId, K::Label, "Название плагина (копия)"_cp, {10, 34, 100, 8}},
    {DatabaseId::NameMirror, K::Edit, {}, {112, 32, 310, 12}, kStyleReadOnly, 2},
    {kNoControlId, K::Label, "Тип плагина"_cp, {10, 51, 100, 8}},
    {DatabaseId::Category, K::DropListCombo, {}, {112, 49, 130, 160}, kStyleNone, 3},
    {kNoControlId, K::Label, "Описание"_cp, {10, 66, 100, 8}},
    {DatabaseId::DescriptionMirror, K::MultiLineEdit, {}, {10, 76, 412, 42}, kStyleReadOnly, 4},

    {kNoControlId, K::GroupBox, "Файлы"_cp, {4, 128, 424, 52}},
    {kNoControlId, K::Label, "Скриншот 200 х 150"_cp, {10, 142, 100, 8}},
    {DatabaseId::Image, K::Edit, {}, {112, 140, 290, 12}, kStyleNone, 5},
    {DatabaseId::BrowseImage, K::PushButton, "...", {406, 140, 16, 12}, kStyleNone, 6},
    {kNoControlId, K::Label, "Имя с расширением"_cp, {10, 160, 100, 8}},
    {DatabaseId::Archive, K::Edit, {}, {112, 158, 180, 12}, kStyleNone, 7},
    {DatabaseId::BrowseArchive, K::PushButton, "...", {296, 158, 16, 12}, kStyleNone, 8},
    {kNoControlId, K::Label, "Размер"_cp, {320, 160, 28, 8}},
    {DatabaseId::ArchiveSize, K::Edit, {}, {350, 158, 72, 12}, kStyleNone, 9},

    {kNoControlId, K::GroupBox, "Авторы"_cp, {4, 184, 424, 48}},
    {kNoControlId, K::Label, "Автор имя"_cp, {10, 198, 60, 8}},
    {DatabaseId::AuthorName, K::Edit, {}, {72, 196, 140, 12}, kStyleNone, 10},
    {kNoControlId, K::Label, "Автор Email"_cp, {220, 198, 56, 8}},
    {DatabaseId::AuthorEmail, K::Edit, {}, {278, 196, 144, 12}, kStyleNone, 11},
    {kNoControlId, K::Label, "Адаптор имя"_cp, {10, 214, 60, 8}},
    {DatabaseId::AdapterName, K::Edit, {}, {72, 212, 140, 12}, kStyleNone, 12},
    {kNoControlId, K::Label, "Адаптор Email"_cp, {220, 214, 56, 8}},
    {DatabaseId::AdapterEmail, K::Edit, {}, {278, 212, 144, 12}, kStyleNone, 13},

    {kNoControlId, K::GroupBox, "Оценки"_cp, {4, 236, 424, 28}},
    {kNoControlId, K::Label, "Оценка 1"_cp, {10, 249, 36, 8}},
    {DatabaseId::Grade1, K::DropListCombo, {}, {48, 247, 70, 60}, kStyleNone, 14},
    {kNoControlId, K::Label, "Оценка 2"_cp, {150, 249, 36, 8}},
    {DatabaseId::Grade2, K::DropListCombo, {}, {188, 247, 70, 60}, kStyleNone, 15},
    {kNoControlId, K::Label, "Оценка 3"_cp, {290, 249, 36, 8}},
    {DatabaseId::Grade3, K::DropListCombo, {}, {328, 247, 70, 60}, kStyleNone, 16},

    {kNoControlId, K::GroupBox, "Ссылка на оригинал"_cp, {4, 267, 424, 31}},
    {DatabaseId::OriginalLink, K::Edit, {}, {10, 279, 250, 12}, kStyleNone, 17},
    {DatabaseId::SiteHomeLink, K::CheckBox, "Ссылка на главную страницу сайта"_cp, {268, 280, 154, 10}, kStyleNone, 18},
};

// A larger page: the description takes the room, the screenshot's path the
// width (the archive's name keeps its place, its size stands beside it).
constexpr GrowthRule kGrowth[] = {
    {DatabaseId::DescriptionMirror, kWidens, 1},
    {DatabaseId::Image, kWidens},
    {DatabaseId::BrowseImage, kFollowsRight},
};

constexpr std::string_view kImageFilter =
    " Файлы изображений (*.gif; *.jpg; *.jpeg) |*.gif; *.jpg; *.jpeg| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kArchiveFilter = " Файлы архивов (*.rar; *.zip) |*.rar; *.zip| Все файлы (*.*)|*.*||"_cp;

// Every control that the record switch enables, the original link apart.
constexpr DatabaseId kRecordControls[] = {
    DatabaseId::Category,      DatabaseId::Image,        DatabaseId::BrowseImage, DatabaseId::Archive,
    DatabaseId::BrowseArchive, DatabaseId::ArchiveSize,  DatabaseId::AuthorName,  DatabaseId::AuthorEmail,
    DatabaseId::AdapterName,   DatabaseId::AdapterEmail, DatabaseId::Grade1,      DatabaseId::Grade2,
    DatabaseId::Grade3,
};
constexpr DatabaseId kGrades[] = {DatabaseId::Grade1, DatabaseId::Grade2, DatabaseId::Grade3};

}  // namespace

CDatabasePage::CDatabasePage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    AddComboItems(DatabaseId::Category,
                  {"Доспехи"_cp, "Оружие"_cp, "Одежда"_cp, "Квесты"_cp, "Здания"_cp, "Геймплей"_cp, "Расы, Морды"_cp,
                   "Для Модостроителей"_cp, "Графика, Текстуры"_cp, "Звуки, Музыка"_cp, "Исправления игры"_cp,
                   "Большие плагины"_cp, "Прочее"_cp, "Плагины ПАКЕТЫ"_cp});
    for (DatabaseId id : kGrades) AddComboItems(id, {"Бронза"_cp, "Серебро"_cp, "Золото"_cp});

    OnClicked(DatabaseId::CreateRecord, [this] { OnRecordCheck(); });
    OnClicked(DatabaseId::BrowseArchive, [this] { OnBrowseArchive(); });
    OnClicked(DatabaseId::BrowseImage, [this] { OnBrowseImage(); });
    OnTextChange(DatabaseId::ArchiveSize, [this] { OnSizeChange(); });
    OnClicked(DatabaseId::SiteHomeLink, [this] { OnSiteLinkCheck(); });
}

void CDatabasePage::UpdateControls() {
    const bool wanted = IsChecked(DatabaseId::CreateRecord);
    for (DatabaseId id : kRecordControls) EnableItem(id, wanted);
    EnableItem(DatabaseId::SiteHomeLink, wanted);
    EnableItem(DatabaseId::OriginalLink, wanted && !IsChecked(DatabaseId::SiteHomeLink));
}

void CDatabasePage::ResetDefaults() {
    // First, as in the browse: every change below already sees it.
    m_archivePath.clear();
    SetCheck(DatabaseId::CreateRecord, false);
    SetItemText(DatabaseId::NameMirror, {});
    SetCurSel(DatabaseId::Category, 0);
    for (DatabaseId id :
         {DatabaseId::Image, DatabaseId::Archive, DatabaseId::ArchiveSize, DatabaseId::AuthorName,
          DatabaseId::AuthorEmail, DatabaseId::AdapterName, DatabaseId::AdapterEmail, DatabaseId::DescriptionMirror})
        SetItemText(id, {});
    for (DatabaseId id : kGrades) SetCurSel(id, 0);
    SetItemText(DatabaseId::OriginalLink, kSiteHomeUrl);
    SetCheck(DatabaseId::SiteHomeLink, true);
    UpdateControls();
}

void CDatabasePage::ApplyRecord(const DatabaseRecord& record) {
    m_archivePath = record.archivePath;
    SetCheck(DatabaseId::CreateRecord, record.recordWanted);
    SetCurSel(DatabaseId::Category, record.categoryIndex);
    SetItemUtf8(DatabaseId::Archive, record.archiveName);
    SetItemText(DatabaseId::Image, record.imageName);
    SetItemText(DatabaseId::AuthorName, record.authorName);
    SetItemText(DatabaseId::AuthorEmail, record.authorEmail);
    SetItemText(DatabaseId::AdapterName, record.adapterName);
    SetItemText(DatabaseId::AdapterEmail, record.adapterEmail);
    SetItemText(DatabaseId::ArchiveSize, record.archiveSize);
    SetItemText(DatabaseId::OriginalLink, record.originalLink);
    SetCheck(DatabaseId::SiteHomeLink, record.originalLink == kSiteHomeUrl);
    SetCurSel(DatabaseId::Grade1, record.grades[0]);
    SetCurSel(DatabaseId::Grade2, record.grades[1]);
    SetCurSel(DatabaseId::Grade3, record.grades[2]);
    UpdateControls();
}

DatabaseRecord CDatabasePage::CaptureRecord() const {
    DatabaseRecord record;
    record.recordWanted = IsChecked(DatabaseId::CreateRecord);
    record.categoryIndex = GetCurSel(DatabaseId::Category);
    record.archiveName = GetItemUtf8(DatabaseId::Archive);
    record.imageName = GetItemText(DatabaseId::Image);
    record.authorName = GetItemText(DatabaseId::AuthorName);
    record.authorEmail = GetItemText(DatabaseId::AuthorEmail);
    record.adapterName = GetItemText(DatabaseId::AdapterName);
    record.adapterEmail = GetItemText(DatabaseId::AdapterEmail);
    record.archiveSize = GetItemText(DatabaseId::ArchiveSize);
    record.originalLink = GetItemText(DatabaseId::OriginalLink);
    record.grades = {GetCurSel(DatabaseId::Grade1), GetCurSel(DatabaseId::Grade2), GetCurSel(DatabaseId::Grade3)};
    record.archivePath = m_archivePath;
    return record;
}

void CDatabasePage::OnRecordCheck() { UpdateControls(); }

void CDatabasePage::OnBrowseArchive() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kArchiveFilter, "archives");
    if (!chosen) return;
    // Before the name goes in, so that the change it raises sees the path.
    m_archivePath = chosen->path;
    SetItemUtf8(DatabaseId::Archive, chosen->fileName);
    SetCaret(DatabaseId::Archive, GetItemTextLength(DatabaseId::Archive) - 1);
    SetItemText(DatabaseId::ArchiveSize, {});
    // Archives of 2 GiB and more get their true size too.
    if (const std::optional<std::int64_t> length = FileLength(*chosen))
        SetItemText(DatabaseId::ArchiveSize, std::to_string(*length));
}

void CDatabasePage::OnBrowseImage() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kImageFilter, "images");
    if (!chosen) return;
    SetItemUtf8(DatabaseId::Image, chosen->fileName);
    SetCaret(DatabaseId::Image, GetItemTextLength(DatabaseId::Image) - 1);
}

void CDatabasePage::OnSizeChange() {
    // As typed: a converted "&#8239;" (the Russian locale's digit group
    // separator) would bring digits of its own.
    const std::string text = GetItemUtf8(DatabaseId::ArchiveSize);
    if (text.empty()) return;
    Text digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    if (digits == text) return;
    DefaultBeep();
    SetItemText(DatabaseId::ArchiveSize, digits);
    SetCaret(DatabaseId::ArchiveSize, static_cast<int>(digits.size()));
}

void CDatabasePage::OnSiteLinkCheck() {
    if (!IsChecked(DatabaseId::SiteHomeLink)) {
        EnableItem(DatabaseId::OriginalLink, true);
        return;
    }
    SetItemText(DatabaseId::OriginalLink, kSiteHomeUrl);
    EnableItem(DatabaseId::OriginalLink, false);
}
