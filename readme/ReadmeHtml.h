#pragma once
// Assembles the complete readme document from the form and the template.

#include "readme/ReadmeForm.h"
#include "text/Text.h"

class TemplatePackage;

Text BuildReadmeHtml(const ReadmeForm& form, const TemplatePackage& package);
// Bytes enough for the readme in most cases, so that it is built without
// growing; the other texts scale it.
std::size_t ReadmeSizeEstimate(const ReadmeForm& form, const TemplatePackage& package);
