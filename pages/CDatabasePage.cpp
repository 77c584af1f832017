#include "pages/CDatabasePage.h"

#include <string>

#include "platform/Dialogs.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// Dialog 142. The mirrors 1036 and 1037 are read-only: the next showing of
// the tab replaces their texts anyway.
constexpr ControlSpec kLayout[] = {
    {1006, K::CheckBox, "Создать запись базы данных"_cp, {10, 6, 160, 10}, kStyleNone, 1},

    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 20, 424, 104}},
    {kNoControlId, K::Label, "Название плагина (копия)"_cp, {10, 34, 100, 8}},
    {1036, K::Edit, {}, {112, 32, 310, 12}, kStyleReadOnly, 2},
    {kNoControlId, K::Label, "Тип плагина"_cp, {10, 51, 100, 8}},
    {1033, K::DropListCombo, {}, {112, 49, 130, 160}, kStyleNone, 3},
    {kNoControlId, K::Label, "Описание"_cp, {10, 66, 100, 8}},
    {1037, K::MultiLineEdit, {}, {10, 76, 412, 42}, kStyleReadOnly, 4},

    {kNoControlId, K::GroupBox, "Файлы"_cp, {4, 128, 424, 52}},
    {kNoControlId, K::Label, "Скриншот 200 х 150"_cp, {10, 142, 100, 8}},
    {1007, K::Edit, {}, {112, 140, 290, 12}, kStyleNone, 5},
    {1028, K::PushButton, "...", {406, 140, 16, 12}, kStyleNone, 6},
    {kNoControlId, K::Label, "Имя с расширением"_cp, {10, 160, 100, 8}},
    {1034, K::Edit, {}, {112, 158, 180, 12}, kStyleNone, 7},
    {1035, K::PushButton, "...", {296, 158, 16, 12}, kStyleNone, 8},
    {kNoControlId, K::Label, "Размер"_cp, {320, 160, 28, 8}},
    {1008, K::Edit, {}, {350, 158, 72, 12}, kStyleNone, 9},

    {kNoControlId, K::GroupBox, "Авторы"_cp, {4, 184, 424, 48}},
    {kNoControlId, K::Label, "Автор имя"_cp, {10, 198, 60, 8}},
    {1026, K::Edit, {}, {72, 196, 140, 12}, kStyleNone, 10},
    {kNoControlId, K::Label, "Автор Email"_cp, {220, 198, 56, 8}},
    {1029, K::Edit, {}, {278, 196, 144, 12}, kStyleNone, 11},
    {kNoControlId, K::Label, "Адаптор имя"_cp, {10, 214, 60, 8}},
    {1030, K::Edit, {}, {72, 212, 140, 12}, kStyleNone, 12},
    {kNoControlId, K::Label, "Адаптор Email"_cp, {220, 214, 56, 8}},
    {1031, K::Edit, {}, {278, 212, 144, 12}, kStyleNone, 13},

    {kNoControlId, K::GroupBox, "Оценки"_cp, {4, 236, 424, 28}},
    {kNoControlId, K::Label, "Оценка 1"_cp, {10, 249, 36, 8}},
    {1012, K::DropListCombo, {}, {48, 247, 70, 60}, kStyleNone, 14},
    {kNoControlId, K::Label, "Оценка 2"_cp, {150, 249, 36, 8}},
    {1014, K::DropListCombo, {}, {188, 247, 70, 60}, kStyleNone, 15},
    {kNoControlId, K::Label, "Оценка 3"_cp, {290, 249, 36, 8}},
    {1013, K::DropListCombo, {}, {328, 247, 70, 60}, kStyleNone, 16},

    {kNoControlId, K::GroupBox, "Ссылка на оригинал"_cp, {4, 267, 424, 31}},
    {1032, K::Edit, {}, {10, 279, 250, 12}, kStyleNone, 17},
    {1009, K::CheckBox, "Ссылка на главную страницу сайта"_cp, {268, 280, 154, 10}, kStyleNone, 18},
};

constexpr std::string_view kImageFilter =
    " Файлы изображений (*.gif; *.jpg; *.jpeg) |*.gif; *.jpg; *.jpeg| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kArchiveFilter =
    " Файлы архивов (*.rar; *.zip) |*.rar; *.zip| Все файлы (*.*)|*.*||"_cp;

// Every control that the record switch 1006 enables, 1032 apart.
constexpr int kRecordControls[] = {1033, 1007, 1028, 1034, 1035, 1008, 1026,
                                   1029, 1030, 1031, 1012, 1014, 1013};

}  // namespace

CDatabasePage::CDatabasePage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    AddComboItems(1033, {"Доспехи"_cp, "Оружие"_cp, "Одежда"_cp, "Квесты"_cp, "Здания"_cp,
                         "Геймплей"_cp, "Расы, Морды"_cp, "Для Модостроителей"_cp,
                         "Графика, Текстуры"_cp, "Звуки, Музыка"_cp, "Исправления игры"_cp,
                         "Большие плагины"_cp, "Прочее"_cp, "Плагины ПАКЕТЫ"_cp});
    for (int id : {1012, 1014, 1013}) AddComboItems(id, {"Бронза"_cp, "Серебро"_cp, "Золото"_cp});

    OnClicked(1006, [this] { OnRecordCheck(); });
    OnClicked(1035, [this] { OnBrowseArchive(); });
    OnClicked(1028, [this] { OnBrowseImage(); });
    OnTextChange(1008, [this] { OnSizeChange(); });
    OnClicked(1009, [this] { OnSiteLinkCheck(); });
    OnSelChange(1033, [this] { OnCategoryChange(); });
}

void CDatabasePage::UpdateControls() {
    const bool wanted = IsChecked(1006);
    for (int id : kRecordControls) EnableItem(id, wanted);
    EnableItem(1009, wanted);
    EnableItem(1032, wanted && !IsChecked(1009));
}

void CDatabasePage::ResetDefaults() {
    SetCheck(1006, false);
    SetItemText(1036, {});
    SetCurSel(1033, 0);
    for (int id : {1007, 1034, 1008, 1026, 1029, 1030, 1031, 1037}) SetItemText(id, {});
    for (int id : {1012, 1014, 1013}) SetCurSel(id, 0);
    SetItemText(1032, kSiteHomeUrl);
    SetCheck(1009, true);
    UpdateControls();
}

DatabaseRecord CDatabasePage::CaptureRecord() const {
    DatabaseRecord record;
    record.recordWanted = IsChecked(1006);
    record.categoryIndex = GetCurSel(1033);
    record.archiveName = GetItemUtf8(1034);
    record.imageName = GetItemText(1007);
    record.authorName = GetItemText(1026);
    record.authorEmail = GetItemText(1029);
    record.adapterName = GetItemText(1030);
    record.adapterEmail = GetItemText(1031);
    record.archiveSize = GetItemText(1008);
    record.originalLink = GetItemText(1032);
    record.grades = {GetCurSel(1012), GetCurSel(1014), GetCurSel(1013)};
    return record;
}

void CDatabasePage::OnRecordCheck() { UpdateControls(); }

void CDatabasePage::OnBrowseArchive() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kArchiveFilter);
    if (!chosen) return;
    SetItemUtf8(1034, chosen->fileName);
    SetCaret(1034, GetItemTextLength(1034) - 1);
    SetItemText(1008, {});
    // Archives of 2 GiB and more get their true size too.
    if (const std::optional<std::int64_t> length = FileLength(*chosen))
        SetItemText(1008, std::to_string(*length));
}

void CDatabasePage::OnBrowseImage() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kImageFilter);
    if (!chosen) return;
    SetItemUtf8(1007, chosen->fileName);
    SetCaret(1007, GetItemTextLength(1007) - 1);
}

void CDatabasePage::OnSizeChange() {
    // As typed: a converted "&#8239;" (the Russian locale's digit group
    // separator) would bring digits of its own.
    const std::string text = GetItemUtf8(1008);
    if (text.empty()) return;
    Text digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    if (digits == text) return;
    DefaultBeep();
    SetItemText(1008, digits);
    SetCaret(1008, static_cast<int>(digits.size()));
}

void CDatabasePage::OnSiteLinkCheck() {
    if (!IsChecked(1009)) {
        EnableItem(1032, true);
        return;
    }
    SetItemText(1032, kSiteHomeUrl);
    EnableItem(1032, false);
}

void CDatabasePage::OnCategoryChange() {}
