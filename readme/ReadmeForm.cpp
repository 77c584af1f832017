#include "readme/ReadmeForm.h"

ReadmeForm NewReadmeForm() {
    ReadmeForm form;
    form.requiresMorrowind = true;
    form.screenshotCount = 0;
    form.installStandard = true;
    form.uninstallStandard = true;
    form.warningStandard = true;
    form.writeBackgroundImages = true;
    form.copyScreenshots = true;
    return form;
}
