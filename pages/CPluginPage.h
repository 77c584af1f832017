#pragma once
// Tab 1, "Параметры 1": the plug-in, its requirements, screenshots,
// installation and removal.

#include <vector>

#include "platform/CDialog.h"
#include "readme/PluginIds.h"
#include "readme/ReadmeForm.h"

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
    void OnDropFiles(const std::vector<FilePath>& files, int controlId);

private:
    void BrowseScreenshot(PluginId editId);
    void SetScreenshotPath(PluginId editId, std::string_view path);
};
