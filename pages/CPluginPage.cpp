#include "pages/CPluginPage.h"

#include <array>

#include "platform/Dialogs.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// Dialog 129.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 4, 424, 71}},
    {kNoControlId, K::Label, "Название"_cp, {10, 17, 34, 8}},
    {1025, K::Edit, {}, {47, 15, 150, 12}, kStyleNone, 1},
    {kNoControlId, K::Label, "Имя файла"_cp, {208, 18, 39, 8}},
    {1004, K::Edit, {}, {252, 15, 151, 12}, kStyleNone, 2},
    {1027, K::PushButton, "...", {405, 15, 14, 11}, kStyleNone, 3},
    {1005, K::MultiLineEdit, {}, {10, 34, 409, 36}, kStyleNone, 4},
    {kNoControlId, K::GroupBox, "Требует"_cp, {4, 78, 424, 64}},
    {1006, K::CheckBox, "Morrowind", {10, 87, 49, 10}, kStyleNone, 5},
    {1007, K::CheckBox, "Tribunal", {61, 87, 41, 10}, kStyleNone, 6},
    {1008, K::CheckBox, "BloodMoon", {104, 87, 52, 10}, kStyleNone, 7},
    {1038, K::CheckBox, "Архив BSA"_cp, {158, 87, 52, 10}, kStyleNone, 8},
    {1009, K::CheckBox, "Другое"_cp, {213, 87, 41, 10}, kStyleNone, 9},
    {1010, K::MultiLineEdit, {}, {10, 100, 409, 36}, kStyleNone, 10},
    {kNoControlId, K::GroupBox, "Скриншоты (рекомендуемый размер 300 x 225)"_cp, {4, 145, 424, 27}},
    {1011, K::DropDownCombo, {}, {11, 155, 30, 49}, kStyleNone, 11},
    {1012, K::Edit, {}, {50, 155, 105, 12}, kStyleNone, 12},
    {1026, K::PushButton, "...", {155, 156, 14, 11}, kStyleNone, 13},
    {1020, K::Edit, {}, {176, 155, 105, 12}, kStyleNone, 14},
    {1021, K::PushButton, "...", {282, 156, 14, 11}, kStyleNone, 15},
    {1022, K::Edit, {}, {302, 155, 105, 12}, kStyleNone, 16},
    {1023, K::PushButton, "...", {407, 156, 14, 11}, kStyleNone, 17},
    {kNoControlId, K::GroupBox, "Установка"_cp, {4, 175, 424, 60}},
    {1013, K::CheckBox, "Стандартная"_cp, {10, 184, 59, 10}, kStyleNone, 18},
    {1014, K::CheckBox, "Другое"_cp, {73, 184, 41, 10}, kStyleNone, 19},
    {1024, K::MultiLineEdit, {}, {10, 195, 409, 36}, kStyleNone, 20},
    {kNoControlId, K::GroupBox, "Удаление"_cp, {4, 238, 424, 60}},
    {1028, K::CheckBox, "Стандартное"_cp, {10, 247, 59, 10}, kStyleNone, 21},
    {1029, K::CheckBox, "Другое"_cp, {73, 247, 41, 10}, kStyleNone, 22},
    {1030, K::MultiLineEdit, {}, {10, 258, 409, 36}, kStyleNone, 23},
};

constexpr std::string_view kImageFilter =
    " Файлы изображений (*.gif; *.jpg; *.jpeg; *.png) |*.gif; *.jpg; *.jpeg; *.png| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kPluginFilter =
    " Файлы плагинов (*.esp; *.esm) |*.esp; *.esm| Все файлы (*.*)|*.*||"_cp;

// The screenshot controls in the order the count enables them.
constexpr std::array<int, 6> kScreenshotControls = {1012, 1026, 1020, 1021, 1022, 1023};

}  // namespace

CPluginPage::CPluginPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);
    AddComboItems(1011, {"Нет"_cp, "1", "2", "3"});

    OnClicked(1009, [this] { OnRequiresOther(); });
    OnClicked(1014, [this] { OnInstallOther(); });
    OnClicked(1029, [this] { OnUninstallOther(); });
    OnSelChange(1011, [this] { OnScreenshotCountChange(); });
    OnClicked(1026, [this] { OnBrowseScreenshot1(); });
    OnClicked(1021, [this] { OnBrowseScreenshot2(); });
    OnClicked(1023, [this] { OnBrowseScreenshot3(); });
    OnClicked(1027, [this] { OnBrowsePluginFile(); });
}

void CPluginPage::ResetDefaults() {
    for (int id : {1025, 1004, 1005}) {
        SetItemText(id, {});
        EnableItem(id, true);
    }
    SetItemText(1010, {});
    EnableItem(1010, false);
    for (auto [edit, button] : {std::pair{1012, 1026}, {1020, 1021}, {1022, 1023}}) {
        SetItemText(edit, {});
        EnableItem(edit, false);
        EnableItem(button, false);
    }
    for (int id : {1024, 1030}) {
        SetItemText(id, {});
        EnableItem(id, false);
    }
    SetCheck(1006, true);
    for (int id : {1007, 1008, 1038, 1009}) SetCheck(id, false);
    SetCheck(1013, true);
    SetCheck(1014, false);
    SetCheck(1028, true);
    SetCheck(1029, false);
    SetCurSel(1011, 0);
}

void CPluginPage::OnRequiresOther() { EnableItem(1010, IsChecked(1009)); }

void CPluginPage::OnInstallOther() { EnableItem(1024, IsChecked(1014)); }

void CPluginPage::OnUninstallOther() { EnableItem(1030, IsChecked(1029)); }

void CPluginPage::OnScreenshotCountChange() {
    const int count = GetCurSel(1011);
    if (count < 0) return;
    // Each shot is an edit and its browse button.
    for (std::size_t i = 0; i < kScreenshotControls.size(); ++i)
        EnableItem(kScreenshotControls[i], static_cast<int>(i / 2) < count);
}

void CPluginPage::OnBrowseScreenshot1() { BrowseScreenshot(1012); }

void CPluginPage::OnBrowseScreenshot2() { BrowseScreenshot(1020); }

void CPluginPage::OnBrowseScreenshot3() { BrowseScreenshot(1022); }

void CPluginPage::BrowseScreenshot(int editId) {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kImageFilter);
    if (!chosen) return;
    SetItemUtf8(editId, chosen->path);
    // Just before the last character, so the file name at the end shows.
    SetCaret(editId, GetItemTextLength(editId) - 1);
}

void CPluginPage::OnBrowsePluginFile() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(this, kPluginFilter);
    if (!chosen) return;
    SetItemUtf8(1004, chosen->fileName);
}
