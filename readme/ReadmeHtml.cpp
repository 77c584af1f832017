#include "readme/ReadmeHtml.h"

#include "readme/ReadmeSections.h"
#include "readme/TextRoutines.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kCRLF = "\r\n";

class Document : public SectionWriter {
public:
    Document(const TemplatePackage& package, bool keepBreaks) : m_package(package), m_keepBreaks(keepBreaks) {}

    void Reserve(std::size_t bytes) { m_text.reserve(bytes); }
    void Fragment(std::string_view name) override { m_text += m_package.Fragment(name); }
    void Markup(std::string_view html) override { m_text += html; }
    void UserText(std::string_view text) override {
        if (m_keepBreaks)
            AppendTextKeepingBreaks(m_text, text);
        else
            AppendTextAsHtml(m_text, text);
    }
    void Open(std::string_view heading) override {
        Fragment("htm_tab_01");
        m_text += heading;
        m_text += kCRLF;
        Fragment("htm_tab_02");
    }
    void Close() override {
        m_text += kCRLF;
        Fragment("htm_tab_03");
    }
    // The screenshot row centres its body cell by rewriting the end of the
    // cell's opening tag; the document always holds at least the heading here.
    // A file name is UTF-8; in the readme it is text like any other.
    void Screenshot(int index, std::string_view name) override {
        if (index == 0) {
            m_text.back() = ' ';
            m_text += "align=\"center\">";
        } else {
            m_text += "&nbsp;&nbsp;";
        }
        m_text += "<img src=\"files/scrins/";
        cp1251::AppendFromUtf8(m_text, name);
        m_text += "\" border=\"0\">";
    }

    Text Take() { return std::move(m_text); }

private:
    const TemplatePackage& m_package;
    bool m_keepBreaks;
    Text m_text;
};

// An upper bound of the document's size, so the text is allocated once.
}  // namespace

std::size_t ReadmeSizeEstimate(const ReadmeForm& form, const TemplatePackage& package) {
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

Text BuildReadmeHtml(const ReadmeForm& form, const TemplatePackage& package) {
    Document doc(package, form.keepLineBreaks);
    doc.Reserve(ReadmeSizeEstimate(form, package));

    doc.Fragment("htm_begin");
    doc.Fragment("htm_title");

    WriteReadmeSections(form, doc);

    doc.Fragment("htm_end");
    return doc.Take();
}
