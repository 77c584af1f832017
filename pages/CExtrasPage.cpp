#include "pages/CExtrasPage.h"

#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// Dialog 132.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Как играть"_cp, {4, 4, 424, 60}},
    {1020, K::CheckBox, "Включить"_cp, {10, 13, 49, 10}, kStyleNone, 1},
    {1019, K::MultiLineEdit, {}, {10, 24, 409, 36}, kStyleNone, 2},
    {kNoControlId, K::GroupBox, "Авторы"_cp, {4, 67, 424, 51}},
    {1031, K::MultiLineEdit, {}, {11, 78, 409, 36}, kStyleNone, 3},
    {kNoControlId, K::GroupBox, "Примечание"_cp, {4, 121, 424, 60}},
    {1018, K::CheckBox, "Включить"_cp, {10, 130, 49, 10}, kStyleNone, 4},
    {1032, K::MultiLineEdit, {}, {10, 141, 409, 36}, kStyleNone, 5},
    {kNoControlId, K::GroupBox, "Предупреждение"_cp, {4, 184, 424, 60}},
    {1033, K::CheckBox, "Стандартное"_cp, {10, 193, 59, 10}, kStyleNone, 6},
    {1034, K::CheckBox, "Другое"_cp, {73, 193, 41, 10}, kStyleNone, 7},
    {1035, K::MultiLineEdit, {}, {10, 204, 409, 36}, kStyleNone, 8},
    {kNoControlId, K::GroupBox, "Параметры записи"_cp, {4, 246, 424, 53}},
    {1016,
     K::CheckBox,
     "Создать папку \"files\\images\\\" и записать фоновую графику."_cp,
     {10, 259, 225, 10},
     kStyleNone,
     9},
    {1017,
     K::CheckBox,
     "Создать папку \"files\\scrins\\\" и копировать скриншоты."_cp,
     {10, 273, 207, 10},
     kStyleNone,
     10},
};

}  // namespace

CExtrasPage::CExtrasPage(QWidget* parent) : CDialog(parent) {
    resize(MapDialogRect({0, 0, 432, 302}).size());
    CreateControls(kLayout);

    OnClicked(1020, [this] { OnHowToPlayEnabled(); });
    OnClicked(1018, [this] { OnNoteEnabled(); });
    OnClicked(1034, [this] { OnWarningOther(); });
    OnClicked(1033, [this] { OnWarningStandard(); });
}

void CExtrasPage::ResetDefaults() {
    SetItemText(1019, {});
    EnableItem(1019, false);
    SetItemText(1031, {});
    EnableItem(1031, true);
    SetItemText(1032, {});
    EnableItem(1032, false);
    SetItemText(1035, {});
    EnableItem(1035, false);
    SetCheck(1020, false);
    SetCheck(1018, false);
    SetCheck(1033, true);
    SetCheck(1034, false);
    SetCheck(1016, true);
    SetCheck(1017, true);
}

void CExtrasPage::OnHowToPlayEnabled() { EnableItem(1019, IsChecked(1020)); }

void CExtrasPage::OnNoteEnabled() { EnableItem(1032, IsChecked(1018)); }

void CExtrasPage::OnWarningOther() {
    if (IsChecked(1034)) {
        EnableItem(1035, true);
        SetCheck(1033, false);
    } else {
        EnableItem(1035, false);
    }
}

void CExtrasPage::OnWarningStandard() {
    if (!IsChecked(1033)) return;
    EnableItem(1035, false);
    SetCheck(1034, false);
}
