#include "formats/ReleaseTexts.h"

#include "readme/ReadmeHtml.h"

// Placeholder until the formats are written: each is empty.
std::string BuildReadmeText(const ReadmeForm&, const TemplatePackage&) { return {}; }
std::string BuildReadmeBbcode(const ReadmeForm&, const TemplatePackage&) { return {}; }
std::string BuildReadmeMarkdown(const ReadmeForm&, const TemplatePackage&) { return {}; }

std::string BuildRelease(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package) {
    switch (format) {
        case ReleaseFormat::PlainText:
            return BuildReadmeText(form, package);
        case ReleaseFormat::BBCode:
            return BuildReadmeBbcode(form, package);
        case ReleaseFormat::Markdown:
            return BuildReadmeMarkdown(form, package);
        case ReleaseFormat::Readme:
            break;
    }
    return BuildReadmeHtml(form, package);
}

std::string ReleaseTextUtf8(ReleaseFormat format, const ReadmeForm& form, const TemplatePackage& package) {
    return BuildRelease(format, form, package);
}

bool ReleaseFormatByName(std::string_view name, ReleaseFormat& format) {
    if (name == "htm")
        format = ReleaseFormat::Readme;
    else if (name == "txt")
        format = ReleaseFormat::PlainText;
    else if (name == "bbcode")
        format = ReleaseFormat::BBCode;
    else if (name == "md")
        format = ReleaseFormat::Markdown;
    else
        return false;
    return true;
}
