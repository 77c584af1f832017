#pragma once
// The release's other texts (ReadMe.txt, BBCode, Markdown), from the same
// form and template as the readme, section for section.

#include <string>
#include <string_view>

#include "readme/ReadmeForm.h"

class TemplatePackage;

enum class ReleaseFormat { Readme, PlainText, BBCode, Markdown };

// ReadMe.txt as written to disk: Windows-1251 with CR LF, or UTF-8 with a
// byte-order mark when a character has no Windows-1251 byte.
std::string BuildReadmeText(const ReadmeForm& form, const TemplatePackage& package);
// UTF-8.
std::string BuildReadmeBbcode(const ReadmeForm& form, const TemplatePackage& package);
// CommonMark, UTF-8.
std::string BuildReadmeMarkdown(const ReadmeForm& form, const TemplatePackage& package);

// The file's bytes in any of the formats (Readme: BuildReadmeHtml's).
std::string BuildRelease(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package);
// The text formats as the user reads them, UTF-8 without a byte-order mark:
// what the preview shows and the copy command puts on the clipboard.
std::string ReleaseTextUtf8(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package);

// "txt", "bbcode", "md", "htm"; false for any other name.
bool ReleaseFormatByName(std::string_view name, ReleaseFormat& format);
