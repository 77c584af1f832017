#pragma once
// Assembles the complete readme document from the form and the template.

#include "readme/ReadmeForm.h"
#include "readme/Text.h"

class TemplatePackage;

Text BuildReadmeHtml(const ReadmeForm& form, const TemplatePackage& package);
