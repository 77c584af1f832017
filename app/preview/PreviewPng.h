#pragma once
// The renderer's --preview-png: the readme as the preview shows it, the
// whole page as one PNG, made by the preview module's engine.

#include <string>

#include "readme/ReadmeForm.h"
#include "template/TemplatePackage.h"
#include "text/Text.h"

// Loads the module (only now); false with why, in UTF-8, in error.
bool WritePreviewPng(const ReadmeForm& form, const Text& readmeHtml, const TemplatePackage& package,
                     const FilePath& baseFolder, const std::string& pngPath, std::string& error);
