#include "readme/CaptureReadmeForm.h"

#include "readme/ExtrasIds.h"
#include "readme/PluginIds.h"

namespace {

// The page's controls read by their names.
template <class Id>
class Page {
public:
    explicit Page(const ControlValues& values) : m_values(values) {}
    ::Text TextOf(Id id) const { return m_values.GetItemText(static_cast<int>(id)); }
    FilePath Path(Id id) const { return m_values.GetItemUtf8(static_cast<int>(id)); }
    bool Checked(Id id) const { return m_values.IsChecked(static_cast<int>(id)); }
    int Selection(Id id) const { return m_values.GetCurSel(static_cast<int>(id)); }

private:
    const ControlValues& m_values;
};

}  // namespace

ReadmeForm CaptureReadmeForm(const ControlValues& pluginPage, const ControlValues& extrasPage) {
    using P = PluginId;
    using E = ExtrasId;
    const Page<P> plugin(pluginPage);
    const Page<E> extras(extrasPage);
    ReadmeForm form;
    form.pluginName = plugin.TextOf(P::Name);
    form.pluginFile = plugin.TextOf(P::File);
    form.description = plugin.TextOf(P::Description);
    form.requiresMorrowind = plugin.Checked(P::Morrowind);
    form.requiresTribunal = plugin.Checked(P::Tribunal);
    form.requiresBloodmoon = plugin.Checked(P::Bloodmoon);
    form.requiresBsaArchive = plugin.Checked(P::BsaArchive);
    form.requiresOther = plugin.Checked(P::RequiresOther);
    form.otherRequirements = plugin.TextOf(P::OtherRequirements);
    form.screenshotCount = plugin.Selection(P::ScreenshotCount);
    form.screenshotPath = {plugin.Path(P::Screenshot1), plugin.Path(P::Screenshot2), plugin.Path(P::Screenshot3)};
    form.installStandard = plugin.Checked(P::InstallStandard);
    form.installOther = plugin.Checked(P::InstallOther);
    form.installText = plugin.TextOf(P::InstallText);
    form.uninstallStandard = plugin.Checked(P::UninstallStandard);
    form.uninstallOther = plugin.Checked(P::UninstallOther);
    form.uninstallText = plugin.TextOf(P::UninstallText);

    form.howToPlayEnabled = extras.Checked(E::HowToPlayEnabled);
    form.howToPlay = extras.TextOf(E::HowToPlay);
    form.authors = extras.TextOf(E::Authors);
    form.noteEnabled = extras.Checked(E::NoteEnabled);
    form.note = extras.TextOf(E::Note);
    form.warningStandard = extras.Checked(E::WarningStandard);
    form.warningOther = extras.Checked(E::WarningOther);
    form.warningText = extras.TextOf(E::WarningText);
    form.writeBackgroundImages = extras.Checked(E::WriteBackgroundImages);
    form.copyScreenshots = extras.Checked(E::CopyScreenshots);
    form.keepLineBreaks = extras.Checked(E::KeepLineBreaks);
    form.writeReadmeText = extras.Checked(E::WriteReadmeText);
    return form;
}
