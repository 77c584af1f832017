#include "pages/CPluginPage.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "readme/PluginIds.h"
#include "text/Cp1251.h"

namespace {

using K = ControlKind;

// The Plugin page's layout.
constexpr ControlSpec kLayout[] = {
    {kNoControlId, K::GroupBox, "Плагин"_cp, {4, 4, 424, 71}},
    {kNoControlId, K::Label, "Название"_cp, {10, 17, 34, 8}},
    {PluginId::Name, K::Edit, {}, {47, 15, 150, 12}, kStyleNone, 1},
    {kNoControlId, K::Label, "Имя файла"_cp, {208, 18, 39, 8}},
    {PluginId::File, K::Edit, {}, {252, 15, 151, 12}, kStyleNone, 2},
    {PluginId::BrowseFile, K::PushButton, "...", {405, 15, 14, 11}, kStyleNone, 3},
    {PluginId::Description, K::MultiLineEdit, {}, {10, 34, 409, 36}, kStyleNone, 4},
    {kNoControlId, K::GroupBox, "Требует"_cp, {4, 78, 424, 64}},
    {PluginId::Morrowind, K::CheckBox, "Morrowind", {10, 87, 49, 10}, kStyleNone, 5},
    {PluginId::Tribunal, K::CheckBox, "Tribunal", {61, 87, 41, 10}, kStyleNone, 6},
    {PluginId::Bloodmoon, K::CheckBox, "BloodMoon", {104, 87, 52, 10}, kStyleNone, 7},
    {PluginId::BsaArchive, K::CheckBox, "Архив BSA"_cp, {158, 87, 52, 10}, kStyleNone, 8},
    {PluginId::RequiresOther, K::CheckBox, "Другое"_cp, {213, 87, 41, 10}, kStyleNone, 9},
    {PluginId::OtherRequirements, K::MultiLineEdit, {}, {10, 100, 409, 36}, kStyleNone, 10},
    {kNoControlId, K::GroupBox, "Скриншоты (рекомендуемый размер 300 x 225)"_cp, {4, 145, 424, 27}},
    {PluginId::ScreenshotCount, K::DropDownCombo, {}, {11, 155, 30, 49}, kStyleNone, 11},
    {PluginId::Screenshot1, K::Edit, {}, {50, 155, 105, 12}, kStyleNone, 12},
    {PluginId::BrowseScreenshot1, K::PushButton, "...", {155, 156, 14, 11}, kStyleNone, 13},
    {PluginId::Screenshot2, K::Edit, {}, {176, 155, 105, 12}, kStyleNone, 14},
    {PluginId::BrowseScreenshot2, K::PushButton, "...", {282, 156, 14, 11}, kStyleNone, 15},
    {PluginId::Screenshot3, K::Edit, {}, {302, 155, 105, 12}, kStyleNone, 16},
    {PluginId::BrowseScreenshot3, K::PushButton, "...", {407, 156, 14, 11}, kStyleNone, 17},
    {kNoControlId, K::GroupBox, "Установка"_cp, {4, 175, 424, 60}},
    {PluginId::InstallStandard, K::CheckBox, "Стандартная"_cp, {10, 184, 59, 10}, kStyleNone, 18},
    {PluginId::InstallOther, K::CheckBox, "Другое"_cp, {73, 184, 41, 10}, kStyleNone, 19},
    {PluginId::InstallText, K::MultiLineEdit, {}, {10, 195, 409, 36}, kStyleNone, 20},
    {kNoControlId, K::GroupBox, "Удаление"_cp, {4, 238, 424, 60}},
    {PluginId::UninstallStandard, K::CheckBox, "Стандартное"_cp, {10, 247, 59, 10}, kStyleNone, 21},
    {PluginId::UninstallOther, K::CheckBox, "Другое"_cp, {73, 247, 41, 10}, kStyleNone, 22},
    {PluginId::UninstallText, K::MultiLineEdit, {}, {10, 258, 409, 36}, kStyleNone, 23},
};

// A larger page: the texts share the height, the path boxes the width.
constexpr GrowthRule kGrowth[] = {
    {PluginId::Description, kWidens, 1}, {PluginId::OtherRequirements, kWidens, 1},
    {PluginId::InstallText, kWidens, 1}, {PluginId::UninstallText, kWidens, 1},
    {PluginId::File, kWidens},           {PluginId::BrowseFile, kFollowsRight},
    {PluginId::Screenshot1, {0, 1, 3}},  {PluginId::BrowseScreenshot1, {1, 1, 3}},
    {PluginId::Screenshot2, {1, 2, 3}},  {PluginId::BrowseScreenshot2, {2, 2, 3}},
    {PluginId::Screenshot3, {2, 3, 3}},  {PluginId::BrowseScreenshot3, kFollowsRight},
};

constexpr std::string_view kImageFilter =
    " Файлы изображений (*.gif; *.jpg; *.jpeg; *.png) |*.gif; *.jpg; *.jpeg; *.png| Все файлы (*.*)|*.*||"_cp;
constexpr std::string_view kPluginFilter =
    " Файлы плагинов (*.esp; *.esm; *.omwaddon) |*.esp; *.esm; *.omwaddon| Все файлы (*.*)|*.*||"_cp;

// In lower case, with its dot; empty without one.
std::string ExtensionOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    std::string extension(path.substr(dot));
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension;
}

bool IsPluginFile(std::string_view path) {
    const std::string extension = ExtensionOf(path);
    return extension == ".esp" || extension == ".esm" || extension == ".omwaddon";
}

// The screenshot controls in the order the count enables them.
constexpr std::array<PluginId, 6> kScreenshotControls = {
    PluginId::Screenshot1,       PluginId::BrowseScreenshot1, PluginId::Screenshot2,
    PluginId::BrowseScreenshot2, PluginId::Screenshot3,       PluginId::BrowseScreenshot3,
};

}  // namespace

CPluginPage::CPluginPage(WindowHandle parent) {
    CreatePage(parent, DluRect{0, 0, 432, 302});
    CreateControls(kLayout);
    SetGrowth(kGrowth);
    AddComboItems(PluginId::ScreenshotCount, {"Нет"_cp, "1", "2", "3"});

    OnClicked(PluginId::RequiresOther, [this] { OnRequiresOther(); });
    OnClicked(PluginId::InstallOther, [this] { OnInstallOther(); });
    OnClicked(PluginId::UninstallOther, [this] { OnUninstallOther(); });
    OnSelChange(PluginId::ScreenshotCount, [this] { OnScreenshotCountChange(); });
    OnClicked(PluginId::BrowseScreenshot1, [this] { OnBrowseScreenshot1(); });
    OnClicked(PluginId::BrowseScreenshot2, [this] { OnBrowseScreenshot2(); });
    OnClicked(PluginId::BrowseScreenshot3, [this] { OnBrowseScreenshot3(); });
    OnClicked(PluginId::BrowseFile, [this] { OnBrowsePluginFile(); });
    // The page takes dropped files, its path boxes too.
    CDialog::OnDropFiles([this](const std::vector<FilePath>& files, int controlId) { OnDropFiles(files, controlId); });
    for (PluginId id : {PluginId::Screenshot1, PluginId::Screenshot2, PluginId::Screenshot3}) LetDropsThrough(id);
}

void CPluginPage::ResetDefaults() {
    m_pluginPath.clear();
    for (PluginId id : {PluginId::Name, PluginId::File, PluginId::Description}) {
        SetItemText(id, {});
        EnableItem(id, true);
    }
    SetItemText(PluginId::OtherRequirements, {});
    EnableItem(PluginId::OtherRequirements, false);
    for (auto [edit, button] : {std::pair{PluginId::Screenshot1, PluginId::BrowseScreenshot1},
                                {PluginId::Screenshot2, PluginId::BrowseScreenshot2},
                                {PluginId::Screenshot3, PluginId::BrowseScreenshot3}}) {
        SetItemText(edit, {});
        EnableItem(edit, false);
        EnableItem(button, false);
    }
    for (PluginId id : {PluginId::InstallText, PluginId::UninstallText}) {
        SetItemText(id, {});
        EnableItem(id, false);
    }
    SetCheck(PluginId::Morrowind, true);
    for (PluginId id : {PluginId::Tribunal, PluginId::Bloodmoon, PluginId::BsaArchive, PluginId::RequiresOther})
        SetCheck(id, false);
    SetCheck(PluginId::InstallStandard, true);
    SetCheck(PluginId::InstallOther, false);
    SetCheck(PluginId::UninstallStandard, true);
    SetCheck(PluginId::UninstallOther, false);
    SetCurSel(PluginId::ScreenshotCount, 0);
}

void CPluginPage::ApplyForm(const ReadmeForm& form) {
    m_pluginPath = form.pluginPath;
    SetItemText(PluginId::Name, form.pluginName);
    SetItemText(PluginId::File, form.pluginFile);
    SetItemText(PluginId::Description, form.description);
    SetCheck(PluginId::Morrowind, form.requiresMorrowind);
    SetCheck(PluginId::Tribunal, form.requiresTribunal);
    SetCheck(PluginId::Bloodmoon, form.requiresBloodmoon);
    SetCheck(PluginId::BsaArchive, form.requiresBsaArchive);
    SetCheck(PluginId::RequiresOther, form.requiresOther);
    SetItemText(PluginId::OtherRequirements, form.otherRequirements);
    SetCurSel(PluginId::ScreenshotCount, form.screenshotCount);
    SetScreenshotPath(PluginId::Screenshot1, form.screenshotPath[0]);
    SetScreenshotPath(PluginId::Screenshot2, form.screenshotPath[1]);
    SetScreenshotPath(PluginId::Screenshot3, form.screenshotPath[2]);
    SetCheck(PluginId::InstallStandard, form.installStandard);
    SetCheck(PluginId::InstallOther, form.installOther);
    SetItemText(PluginId::InstallText, form.installText);
    SetCheck(PluginId::UninstallStandard, form.uninstallStandard);
    SetCheck(PluginId::UninstallOther, form.uninstallOther);
    SetItemText(PluginId::UninstallText, form.uninstallText);
    OnRequiresOther();
    OnInstallOther();
    OnUninstallOther();
    const int count = std::max(form.screenshotCount, 0);
    for (std::size_t i = 0; i < kScreenshotControls.size(); ++i)
        EnableItem(kScreenshotControls[i], static_cast<int>(i / 2) < count);
}

bool IsReadmeOrFormFile(std::string_view path) {
    const std::string extension = ExtensionOf(path);
    return extension == ".htm" || extension == ".html" || extension == ".qsform";
}

void CPluginPage::OnDropFiles(const std::vector<FilePath>& dropped, int controlId) {
    std::vector<FilePath> files;
    std::optional<FilePath> plugin;
    for (const FilePath& file : dropped) {
        if (IsReadmeOrFormFile(file)) {
            // A whole form, not a part of this page.
            if (m_onFormDropped) m_onFormDropped(file);
            return;
        }
    }
    for (const FilePath& file : dropped) {
        if (!IsPluginFile(file))
            files.push_back(file);
        else if (!plugin)
            plugin = file;
    }
    if (plugin) {
        const std::size_t slash = plugin->find_last_of("\\/");
        ChoosePlugin({*plugin, slash == FilePath::npos ? *plugin : plugin->substr(slash + 1)});
    }
    if (files.empty()) return;
    constexpr PluginId kSlots[] = {PluginId::Screenshot1, PluginId::Screenshot2, PluginId::Screenshot3};
    int onBox = -1;
    for (int i = 0; i < 3; ++i)
        if (ControlIdValue(kSlots[i]) == controlId) onBox = i;
    int highest = 0;
    if (files.size() == 1 && onBox >= 0) {
        SetScreenshotPath(kSlots[onBox], files.front());
        highest = onBox + 1;
    } else {
        std::size_t next = 0;
        for (int i = 0; i < 3 && next < files.size(); ++i) {
            if (GetItemTextLength(kSlots[i]) > 0) continue;
            SetScreenshotPath(kSlots[i], files[next++]);
            highest = i + 1;
        }
    }
    if (GetCurSel(PluginId::ScreenshotCount) < highest) {
        SetCurSel(PluginId::ScreenshotCount, highest);
        OnScreenshotCountChange();
    }
}

void CPluginPage::OnRequiresOther() { EnableItem(PluginId::OtherRequirements, IsChecked(PluginId::RequiresOther)); }

void CPluginPage::OnInstallOther() { EnableItem(PluginId::InstallText, IsChecked(PluginId::InstallOther)); }

void CPluginPage::OnUninstallOther() { EnableItem(PluginId::UninstallText, IsChecked(PluginId::UninstallOther)); }

void CPluginPage::OnScreenshotCountChange() {
    const int count = GetCurSel(PluginId::ScreenshotCount);
    if (count < 0) return;
    // Each shot is an edit and its browse button.
    for (std::size_t i = 0; i < kScreenshotControls.size(); ++i)
        EnableItem(kScreenshotControls[i], static_cast<int>(i / 2) < count);
}

void CPluginPage::OnBrowseScreenshot1() { BrowseScreenshot(PluginId::Screenshot1); }

void CPluginPage::OnBrowseScreenshot2() { BrowseScreenshot(PluginId::Screenshot2); }

void CPluginPage::OnBrowseScreenshot3() { BrowseScreenshot(PluginId::Screenshot3); }

void CPluginPage::BrowseScreenshot(PluginId editId) {
    const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kImageFilter, "screenshots");
    if (!chosen) return;
    SetScreenshotPath(editId, chosen->path);
}

void CPluginPage::SetScreenshotPath(PluginId editId, std::string_view path) {
    SetItemUtf8(editId, path);
    // Just before the last character, so the file name at the end shows.
    if (!path.empty()) SetCaret(editId, GetItemTextLength(editId) - 1);
}

void CPluginPage::OnBrowsePluginFile() {
    const std::optional<ChosenFile> chosen = OpenFileDialog(GetSafeHwnd(), kPluginFilter, "plugins");
    if (chosen) ChoosePlugin(*chosen);
}

void CPluginPage::ChoosePlugin(const ChosenFile& file) {
    if (m_onPluginChosen)
        m_onPluginChosen(file);
    else
        TakePluginFile(file);
}

void CPluginPage::TakePluginFile(const ChosenFile& file) {
    m_pluginPath = file.path;
    SetItemUtf8(PluginId::File, file.fileName);
}
