#include "readme/ReadmeSections.h"

#include <string>

#include "readme/TextRoutines.h"
#include "text/Cp1251.h"

namespace {

using namespace archive_note;

constexpr std::string_view kRequiresHeading = "Требует"_cp;
constexpr std::string_view kScreenshotsHeading = "Скриншоты"_cp;
constexpr std::string_view kInstallHeading = "Установка"_cp;
constexpr std::string_view kUninstallHeading = "Удаление"_cp;
constexpr std::string_view kHowToPlayHeading = "Как играть"_cp;
constexpr std::string_view kAuthorsHeading = "Авторы"_cp;
constexpr std::string_view kNoteHeading = "Примечание"_cp;
constexpr std::string_view kWarningHeading = "Предупреждение"_cp;

void WriteArchiveNote(SectionWriter& out, std::string_view pluginFile) {
    const std::string_view stem = BsaArchiveStem(pluginFile);
    out.Markup(kArchiveNote1);
    out.Markup("<b>");
    out.Markup(stem);
    out.Markup(".bsa</b>");
    out.Markup(kArchiveNote3);
    // Each tag whole in one piece: the other texts read a piece's tags alone.
    std::string link = "<a href='";
    link.append(kSiteHomeUrl).append("' target='_blank'>");
    out.Markup(link);
    out.Markup(kSiteHomeUrl);
    out.Markup("</a>)");
    out.Markup(kArchiveNote5);
    out.Markup(kArchiveNote6);
    out.Markup("<b>");
    out.Markup(stem);
    out.Markup(".bsa</b>");
}

void WriteRequirements(SectionWriter& out, const ReadmeForm& form) {
    bool first = true;
    auto item = [&]() {
        if (first)
            out.Open(kRequiresHeading);
        else
            out.Markup("<br>");
        first = false;
    };
    if (form.requiresMorrowind) {
        item();
        out.Markup("Morrowind.esm");
    }
    if (form.requiresTribunal) {
        item();
        out.Markup("Tribunal.esm");
    }
    if (form.requiresBloodmoon) {
        item();
        out.Markup("Bloodmoon.esm");
    }
    if (form.requiresBsaArchive) {
        item();
        WriteArchiveNote(out, form.pluginFile);
    }
    if (form.requiresOther) {
        item();
        out.UserText(form.otherRequirements);
    }
    if (!first) out.Close();
}

void WriteScreenshots(SectionWriter& out, const ReadmeForm& form) {
    if (form.screenshotCount < 1 || form.screenshotCount > 3) return;
    out.Open(kScreenshotsHeading);
    for (int i = 0; i < form.screenshotCount; ++i)
        out.Screenshot(i, ScreenshotFileNameView(form.screenshotPath[static_cast<std::size_t>(i)]));
    out.Close();
}

// Installation and removal share one shape: standard text around the plug-in
// file, and/or the author's own text, joined by "<BR>" in one table.
void WriteInstructions(SectionWriter& out, std::string_view heading, bool standard, std::string_view before,
                       std::string_view after, const Text& pluginFile, bool other, const Text& ownText) {
    if (standard) {
        out.Open(heading);
        out.Fragment(before);
        out.Markup(pluginFile);
        out.Fragment(after);
    }
    if (other) {
        if (standard)
            out.Markup("<BR>");
        else
            out.Open(heading);
        out.UserText(ownText);
    }
    if (standard || other) out.Close();
}

void WriteSection(SectionWriter& out, std::string_view heading, std::string_view text) {
    out.Open(heading);
    out.UserText(text);
    out.Close();
}

}  // namespace

void WriteReadmeSections(const ReadmeForm& form, SectionWriter& out) {
    WriteSection(out, form.pluginName, form.description);
    WriteRequirements(out, form);
    WriteScreenshots(out, form);
    WriteInstructions(out, kInstallHeading, form.installStandard, "htm_txt_inst_01", "htm_txt_inst_02", form.pluginFile,
                      form.installOther, form.installText);
    WriteInstructions(out, kUninstallHeading, form.uninstallStandard, "htm_txt_unst_01", "htm_txt_unst_02",
                      form.pluginFile, form.uninstallOther, form.uninstallText);
    if (form.howToPlayEnabled) WriteSection(out, kHowToPlayHeading, form.howToPlay);
    WriteSection(out, kAuthorsHeading, form.authors);
    if (form.noteEnabled) WriteSection(out, kNoteHeading, form.note);
    if (form.warningStandard) {
        out.Open(kWarningHeading);
        out.Fragment("htm_txt_warn_01");
        out.Close();
    }
    if (form.warningOther) WriteSection(out, kWarningHeading, form.warningText);
}
