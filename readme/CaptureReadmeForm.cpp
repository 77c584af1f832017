#include "readme/CaptureReadmeForm.h"

ReadmeForm CaptureReadmeForm(const ControlValues& plugin, const ControlValues& extras) {
    ReadmeForm form;
    form.pluginName = plugin.GetItemText(1025);
    form.pluginFile = plugin.GetItemText(1004);
    form.description = plugin.GetItemText(1005);
    form.requiresMorrowind = plugin.IsChecked(1006);
    form.requiresTribunal = plugin.IsChecked(1007);
    form.requiresBloodmoon = plugin.IsChecked(1008);
    form.requiresBsaArchive = plugin.IsChecked(1038);
    form.requiresOther = plugin.IsChecked(1009);
    form.otherRequirements = plugin.GetItemText(1010);
    form.screenshotCount = plugin.GetCurSel(1011);
    form.screenshotPath = {plugin.GetItemUtf8(1012), plugin.GetItemUtf8(1020),
                           plugin.GetItemUtf8(1022)};
    form.installStandard = plugin.IsChecked(1013);
    form.installOther = plugin.IsChecked(1014);
    form.installText = plugin.GetItemText(1024);
    form.uninstallStandard = plugin.IsChecked(1028);
    form.uninstallOther = plugin.IsChecked(1029);
    form.uninstallText = plugin.GetItemText(1030);

    form.howToPlayEnabled = extras.IsChecked(1020);
    form.howToPlay = extras.GetItemText(1019);
    form.authors = extras.GetItemText(1031);
    form.noteEnabled = extras.IsChecked(1018);
    form.note = extras.GetItemText(1032);
    form.warningStandard = extras.IsChecked(1033);
    form.warningOther = extras.IsChecked(1034);
    form.warningText = extras.GetItemText(1035);
    form.writeBackgroundImages = extras.IsChecked(1016);
    form.copyScreenshots = extras.IsChecked(1017);
    return form;
}
