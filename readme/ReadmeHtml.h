#pragma once
// Assembles the complete readme document from the form and the template.

#include "readme/ReadmeForm.h"
#include "text/Text.h"

class TemplatePackage;

Text BuildReadmeHtml(const ReadmeForm& form, const TemplatePackage& package);
