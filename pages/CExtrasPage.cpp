#include "pages/CExtrasPage.h"

#include "readme/ExtrasIds.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// The Extras page's layout.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Как играть"_cp, {4, 4, 424, 60}},
    {ExtrasId::HowToPlayEnabled, K::CheckBox, "Включить"_cp, {10, 13, 49, 10}, kStyleNone, 1},
    {ExtrasId::HowToPlay, K::MultiLineEdit, {}, {10, 24, 409, 36}, kStyleNone, 2},
    {kNoControlId, K::GroupBox, "Авторы"_cp, {4, 67, 424, 51}},
    {ExtrasId::Authors, K::MultiLineEdit, {}, {11, 78, 409, 36}, kStyleNone, 3},
    {kNoControlId, K::GroupBox, "Примечание"_cp, {4, 121, 424, 60}},
    {ExtrasId::NoteEnabled, K::CheckBox, "Включить"_cp, {10, 130, 49, 10}, kStyleNone, 4},
    {ExtrasId::Note, K::MultiLineEdit, {}, {10, 141, 409, 36}, kStyleNone, 5},
    {kNoControlId, K::GroupBox, "Предупреждение"_cp, {4, 184, 424, 60}},
    {ExtrasId::WarningStandard, K::CheckBox, "Стандартное"_cp, {10, 193, 59, 10}, kStyleNone, 6},
    {ExtrasId::WarningOther, K::CheckBox, "Другое"_cp, {73, 193, 41, 10}, kStyleNone, 7},
    {ExtrasId::WarningText, K::MultiLineEdit, {}, {10, 204, 409, 36}, kStyleNone, 8},
    {kNoControlId, K::GroupBox, "Параметры записи"_cp, {4, 246, 424, 53}},
    {ExtrasId::WriteBackgroundImages,
     K::CheckBox,
     "Создать папку \"files\\images\\\" и записать фоновую графику."_cp,
     {10, 259, 225, 10},
     kStyleNone,
     9},
    {ExtrasId::CopyScreenshots,
     K::CheckBox,
     "Создать папку \"files\\scrins\\\" и копировать скриншоты."_cp,
     {10, 273, 207, 10},
     kStyleNone,
     10},
    // Beside the write options, in the group's free right half.
    {ExtrasId::KeepLineBreaks, K::CheckBox, "Сохранять переносы строк"_cp, {244, 259, 150, 10}, kStyleNone, 11},
    {ExtrasId::WriteReadmeText, K::CheckBox, "Записать также ReadMe.txt"_cp, {244, 273, 150, 10}, kStyleNone, 12},
};

// A larger page: the texts share the height and take the width.
constexpr GrowthRule kGrowth[] = {
    {ExtrasId::HowToPlay, kWidens, 1},
    {ExtrasId::Authors, kWidens, 1},
    {ExtrasId::Note, kWidens, 1},
    {ExtrasId::WarningText, kWidens, 1},
};

}  // namespace

CExtrasPage::CExtrasPage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);

    OnClicked(ExtrasId::HowToPlayEnabled, [this] { OnHowToPlayEnabled(); });
    OnClicked(ExtrasId::NoteEnabled, [this] { OnNoteEnabled(); });
    OnClicked(ExtrasId::WarningOther, [this] { OnWarningOther(); });
    OnClicked(ExtrasId::WarningStandard, [this] { OnWarningStandard(); });
}

void CExtrasPage::ResetDefaults() {
    SetItemText(ExtrasId::HowToPlay, {});
    EnableItem(ExtrasId::HowToPlay, false);
    SetItemText(ExtrasId::Authors, {});
    EnableItem(ExtrasId::Authors, true);
    SetItemText(ExtrasId::Note, {});
    EnableItem(ExtrasId::Note, false);
    SetItemText(ExtrasId::WarningText, {});
    EnableItem(ExtrasId::WarningText, false);
    SetCheck(ExtrasId::HowToPlayEnabled, false);
    SetCheck(ExtrasId::NoteEnabled, false);
    SetCheck(ExtrasId::WarningStandard, true);
    SetCheck(ExtrasId::WarningOther, false);
    SetCheck(ExtrasId::WriteBackgroundImages, true);
    SetCheck(ExtrasId::CopyScreenshots, true);
    SetCheck(ExtrasId::KeepLineBreaks, false);
    SetCheck(ExtrasId::WriteReadmeText, false);
}

void CExtrasPage::ApplyForm(const ReadmeForm& form) {
    SetCheck(ExtrasId::HowToPlayEnabled, form.howToPlayEnabled);
    SetItemText(ExtrasId::HowToPlay, form.howToPlay);
    SetItemText(ExtrasId::Authors, form.authors);
    SetCheck(ExtrasId::NoteEnabled, form.noteEnabled);
    SetItemText(ExtrasId::Note, form.note);
    SetCheck(ExtrasId::WarningStandard, form.warningStandard);
    SetCheck(ExtrasId::WarningOther, form.warningOther);
    SetItemText(ExtrasId::WarningText, form.warningText);
    SetCheck(ExtrasId::WriteBackgroundImages, form.writeBackgroundImages);
    SetCheck(ExtrasId::CopyScreenshots, form.copyScreenshots);
    SetCheck(ExtrasId::KeepLineBreaks, form.keepLineBreaks);
    SetCheck(ExtrasId::WriteReadmeText, form.writeReadmeText);
    OnHowToPlayEnabled();
    OnNoteEnabled();
    // Both warnings may stand in a file; neither handler's unchecking runs.
    EnableItem(ExtrasId::WarningText, form.warningOther);
}

void CExtrasPage::OnHowToPlayEnabled() { EnableItem(ExtrasId::HowToPlay, IsChecked(ExtrasId::HowToPlayEnabled)); }

void CExtrasPage::OnNoteEnabled() { EnableItem(ExtrasId::Note, IsChecked(ExtrasId::NoteEnabled)); }

void CExtrasPage::OnWarningOther() {
    if (IsChecked(ExtrasId::WarningOther)) {
        EnableItem(ExtrasId::WarningText, true);
        SetCheck(ExtrasId::WarningStandard, false);
    } else {
        EnableItem(ExtrasId::WarningText, false);
    }
}

void CExtrasPage::OnWarningStandard() {
    if (!IsChecked(ExtrasId::WarningStandard)) return;
    EnableItem(ExtrasId::WarningText, false);
    SetCheck(ExtrasId::WarningOther, false);
}
