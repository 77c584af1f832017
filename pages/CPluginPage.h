#pragma once
// Tab 1, "Параметры 1": the plug-in, its requirements, screenshots,
// installation and removal.

#include <functional>
#include <string_view>
#include <vector>

#include "platform/CDialog.h"
#include "platform/Dialogs.h"
#include "readme/PluginIds.h"
#include "readme/ReadmeForm.h"

// .htm, .html and .qsform: what opens as a whole form.
bool IsReadmeOrFormFile(std::string_view path);

class CPluginPage : public CDialog {
public:
    explicit CPluginPage(WindowHandle parent = {});

    // The state the New command gives the page.
    void ResetDefaults();
    // The page's part of a form opened from a file or a draft; every field
    // enabled as its check box or count says.
    void ApplyForm(const ReadmeForm& form);

    void OnRequiresOther();
    void OnInstallOther();
    void OnUninstallOther();
    void OnScreenshotCountChange();
    void OnBrowseScreenshot1();
    void OnBrowseScreenshot2();
    void OnBrowseScreenshot3();
    void OnBrowsePluginFile();
    // Screenshot files dropped on a path box fill it; several, or dropped
    // elsewhere on the page, fill the empty slots in order. The count rises
    // to take in every filled slot.
    // A plug-in dropped among them is taken as if chosen with 1027.
    void OnDropFiles(const std::vector<FilePath>& files, int controlId);

    // The plug-in chosen with 1027, or dropped: the window fills the form
    // from its header. Without it the page takes the file alone.
    std::function<void(const ChosenFile&)> m_onPluginChosen;
    // A readme or form file dropped: the window opens it, and the rest of
    // the drop is not taken.
    std::function<void(const FilePath&)> m_onFormDropped;
    // 1004 gets the file's name, and the page keeps its path.
    void TakePluginFile(const ChosenFile& file);
    // As the user chose it; empty until one is chosen.
    const FilePath& pluginPath() const { return m_pluginPath; }

private:
    void BrowseScreenshot(PluginId editId);
    void SetScreenshotPath(PluginId editId, std::string_view path);
    void ChoosePlugin(const ChosenFile& file);

    FilePath m_pluginPath;
};
