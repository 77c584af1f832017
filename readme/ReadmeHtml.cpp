#include "readme/ReadmeHtml.h"

#include "readme/TextRoutines.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kCRLF = "\r\n";

constexpr std::string_view kArchiveNote1 = "Важно!!!<br>Для регистрации игрового архива "_cp;
constexpr std::string_view kArchiveNote3 =
    ", содержащего модели и текстуры воспользуйтесь программой <b>BSAReg</b> (скачать можно например с сайта"_cp;
constexpr std::string_view kArchiveNote5 =
    "или откройте в блокноте файл <b>morrowind.ini</b> и в блоке <b>[Archives]</b>, который обычно "
    "расположен в самом конце файла перед блоком <b>[Game Files]</b>, и впишите его вручную."_cp;
constexpr std::string_view kArchiveNote6 =
    "<br>Пример из файла Morrowind.ini:<br>[Archives]<br>Archive 0=Tribunal.bsa<br>Archive "
    "1=Bloodmoon.bsa<br>Archive 2=BetterBodies2.0_1C.bsa<br>Archive 3="_cp;

constexpr std::string_view kRequiresHeading = "Требует\r\n"_cp;
constexpr std::string_view kScreenshotsHeading = "Скриншоты\r\n"_cp;
constexpr std::string_view kInstallHeading = "Установка\r\n"_cp;
constexpr std::string_view kUninstallHeading = "Удаление\r\n"_cp;
constexpr std::string_view kHowToPlayHeading = "Как играть\r\n"_cp;
constexpr std::string_view kAuthorsHeading = "Авторы\r\n"_cp;
constexpr std::string_view kNoteHeading = "Примечание\r\n"_cp;
constexpr std::string_view kWarningHeading = "Предупреждение\r\n"_cp;

class Document {
public:
    Document(const TemplatePackage& package, bool keepBreaks) : m_package(package), m_keepBreaks(keepBreaks) {}

    void Reserve(std::size_t bytes) { m_text.reserve(bytes); }
    Document& operator<<(std::string_view bytes) {
        m_text += bytes;
        return *this;
    }
    void Fragment(std::string_view name) { m_text += m_package.Fragment(name); }
    void Converted(std::string_view text) {
        if (m_keepBreaks)
            AppendTextKeepingBreaks(m_text, text);
        else
            AppendTextAsHtml(m_text, text);
    }
    // A file name is UTF-8; in the readme it is text like any other.
    void FileName(std::string_view utf8) { cp1251::AppendFromUtf8(m_text, utf8); }

    void Open(std::string_view heading, std::string_view suffix = {}) {
        Fragment("htm_tab_01");
        m_text += heading;
        m_text += suffix;
        Fragment("htm_tab_02");
    }
    void Close() {
        m_text += kCRLF;
        Fragment("htm_tab_03");
    }
    // The screenshot row centres its body cell by rewriting the end of the
    // cell's opening tag; the document always holds at least the heading here.
    void ReplaceLastByte(char c) { m_text.back() = c; }

    Text Take() { return std::move(m_text); }

private:
    const TemplatePackage& m_package;
    bool m_keepBreaks;
    Text m_text;
};

void AppendArchiveNote(Document& doc, std::string_view pluginFile) {
    const std::string_view stem = BsaArchiveStem(pluginFile);
    doc << kArchiveNote1 << "<b>" << stem << ".bsa</b>" << kArchiveNote3;
    doc << "<a href='" << kSiteHomeUrl << "' target='_blank'>" << kSiteHomeUrl << "</a>"
        << ")";
    doc << kArchiveNote5 << kArchiveNote6 << "<b>" << stem << ".bsa</b>";
}

void AppendRequirements(Document& doc, const ReadmeForm& form) {
    bool first = true;
    auto item = [&]() {
        if (first)
            doc.Open(kRequiresHeading);
        else
            doc << "<br>";
        first = false;
    };
    if (form.requiresMorrowind) {
        item();
        doc << "Morrowind.esm";
    }
    if (form.requiresTribunal) {
        item();
        doc << "Tribunal.esm";
    }
    if (form.requiresBloodmoon) {
        item();
        doc << "Bloodmoon.esm";
    }
    if (form.requiresBsaArchive) {
        item();
        AppendArchiveNote(doc, form.pluginFile);
    }
    if (form.requiresOther) {
        item();
        doc.Converted(form.otherRequirements);
    }
    if (!first) doc.Close();
}

void AppendScreenshots(Document& doc, const ReadmeForm& form) {
    if (form.screenshotCount < 1 || form.screenshotCount > 3) return;
    doc.Open(kScreenshotsHeading);
    doc.ReplaceLastByte(' ');
    doc << "align=\"center\">";
    for (int i = 0; i < form.screenshotCount; ++i) {
        if (i > 0) doc << "&nbsp;&nbsp;";
        doc << "<img src=\"files/scrins/";
        doc.FileName(ScreenshotFileNameView(form.screenshotPath[static_cast<std::size_t>(i)]));
        doc << "\" border=\"0\">";
    }
    doc.Close();
}

// Installation and removal share one shape: standard text around the plug-in
// file, and/or the author's own text, joined by "<BR>" in one table.
void AppendInstructions(Document& doc, std::string_view heading, bool standard, std::string_view before,
                        std::string_view after, const Text& pluginFile, bool other, const Text& ownText) {
    if (standard) {
        doc.Open(heading);
        doc.Fragment(before);
        doc << pluginFile;
        doc.Fragment(after);
    }
    if (other) {
        if (standard)
            doc << "<BR>";
        else
            doc.Open(heading);
        doc.Converted(ownText);
    }
    if (standard || other) doc.Close();
}

void AppendSection(Document& doc, std::string_view heading, std::string_view text) {
    doc.Open(heading);
    doc.Converted(text);
    doc.Close();
}

// An upper bound of the document's size, so the text is allocated once.
std::size_t EstimateSize(const ReadmeForm& form, const TemplatePackage& package) {
    std::size_t size = 4096;  // headings, requirement names, archive note, image tags
    for (std::string_view name : TemplatePackage::kFragmentNames) size += package.Fragment(name).size();
    const std::size_t section = package.Fragment("htm_tab_01").size() + package.Fragment("htm_tab_02").size() +
                                package.Fragment("htm_tab_03").size() + 2;
    size +=
        10 * section + 2 * (package.Fragment("htm_txt_inst_01").size() + package.Fragment("htm_txt_unst_01").size());
    size += 5 * form.pluginFile.size() + form.pluginName.size();
    for (const Text* text : {&form.description, &form.otherRequirements, &form.installText, &form.uninstallText,
                             &form.howToPlay, &form.authors, &form.note, &form.warningText})
        size += text->size() * (form.keepLineBreaks ? 4 : 1);  // a lone LF grows to "<br>"
    for (const FilePath& path : form.screenshotPath) size += path.size();
    return size;
}

}  // namespace

Text BuildReadmeHtml(const ReadmeForm& form, const TemplatePackage& package) {
    Document doc(package, form.keepLineBreaks);
    doc.Reserve(EstimateSize(form, package));

    doc.Fragment("htm_begin");
    doc.Fragment("htm_title");

    doc.Open(form.pluginName, kCRLF);
    doc.Converted(form.description);
    doc.Close();

    AppendRequirements(doc, form);
    AppendScreenshots(doc, form);
    AppendInstructions(doc, kInstallHeading, form.installStandard, "htm_txt_inst_01", "htm_txt_inst_02",
                       form.pluginFile, form.installOther, form.installText);
    AppendInstructions(doc, kUninstallHeading, form.uninstallStandard, "htm_txt_unst_01", "htm_txt_unst_02",
                       form.pluginFile, form.uninstallOther, form.uninstallText);
    if (form.howToPlayEnabled) AppendSection(doc, kHowToPlayHeading, form.howToPlay);
    AppendSection(doc, kAuthorsHeading, form.authors);
    if (form.noteEnabled) AppendSection(doc, kNoteHeading, form.note);
    if (form.warningStandard) {
        doc.Open(kWarningHeading);
        doc.Fragment("htm_txt_warn_01");
        doc.Close();
    }
    if (form.warningOther) AppendSection(doc, kWarningHeading, form.warningText);

    doc.Fragment("htm_end");
    return doc.Take();
}
