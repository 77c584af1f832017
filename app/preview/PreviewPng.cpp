#include "app/preview/PreviewPng.h"

#include "app/preview/PreviewLoader.h"
#include "app/preview/PreviewResources.h"

bool WritePreviewPng(const ReadmeForm& form, const Text& readmeHtml, const TemplatePackage& package,
                     const FilePath& baseFolder, const std::string& pngPath, std::string& error) {
    const preview::Module& module = preview::LoadModule();
    if (!module.ok()) {
        error = module.error;
        return false;
    }
    PreviewResources resources(package);
    resources.SetForm(form, baseFolder);
    return module.writePng(preview::kInterfaceVersion, readmeHtml, resources.Resolver(), pngPath, error);
}
