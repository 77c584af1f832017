#include "reopen/ReadmeReader.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "readme/ReadmeHtml.h"
#include "readme/ReadmeSections.h"
#include "readme/TextRoutines.h"
#include "reopen/ReadingSupport.h"
#include "template/BuiltInTemplate.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

// The readme is the template's fragments in a fixed order with the form's
// texts between them. A reading walks that order, and where a text of the
// form could itself hold the bytes that end it, tries each place it could
// end; whatever reading it returns renders back to the very bytes it read.
//
// The form's single-line values (the name, the plug-in's file, screenshot
// names) are never read across a section's opening table: otherwise a value
// could swallow whole sections and a readme with two sections swapped would
// still read.

namespace {

using namespace archive_note;

constexpr std::string_view kCRLF = "\r\n";
constexpr std::string_view kBreak = "<br>";
constexpr std::string_view kInstructionsJoin = "<BR>";
constexpr std::string_view kCentred = "align=\"center\">";
constexpr std::string_view kImageOpen = "<img src=\"files/scrins/";
constexpr std::string_view kImageClose = "\" border=\"0\">";
constexpr std::string_view kImageGap = "&nbsp;&nbsp;";
constexpr std::string_view kScreenshotFolder = "files";
constexpr std::string_view kScreenshotSubfolder = "scrins";
constexpr std::string_view kGuessedExtension = ".esp";

// The sections after the first, in the order the readme writes them.
enum Section : int {
    kRequires,
    kScreenshots,
    kInstall,
    kUninstall,
    kHowToPlay,
    kAuthors,
    kNote,
    kWarningStandard,
    kWarningOwn,
    kSectionCount
};

struct Heading {
    std::string_view bytes;  // Windows-1251, with its CR LF
    std::string_view name;   // UTF-8, for messages
};
constexpr std::array<Heading, kSectionCount> kHeadings = {{
    {"Требует\r\n"_cp, "Требует"},
    {"Скриншоты\r\n"_cp, "Скриншоты"},
    {"Установка\r\n"_cp, "Установка"},
    {"Удаление\r\n"_cp, "Удаление"},
    {"Как играть\r\n"_cp, "Как играть"},
    {"Авторы\r\n"_cp, "Авторы"},
    {"Примечание\r\n"_cp, "Примечание"},
    {"Предупреждение\r\n"_cp, "Предупреждение"},
    {"Предупреждение\r\n"_cp, "Предупреждение"},
}};

constexpr const Heading& HeadingOf(int section) { return kHeadings[static_cast<std::size_t>(section)]; }

constexpr std::string_view kNotOurs = "не похоже на ReadMe, созданный Quillsmith: ";
constexpr std::string_view kNoTemplate = "шаблон программы не загружен, сравнивать не с чем";
constexpr std::string_view kNotHtml = "это не HTML-страница";
constexpr std::string_view kOtherPage = "страница сделана не по его шаблону";
constexpr std::string_view kCutOff = "файл обрезан: нет конца страницы";
constexpr std::string_view kNoFirstSection = "нет раздела с названием и описанием плагина";
constexpr std::string_view kNoAuthors = "нет раздела «Авторы»";
constexpr std::string_view kNotVerified = "прочитанная форма не даёт того же ReadMe";
constexpr std::string_view kTooAmbiguous = "слишком много способов прочитать его";
constexpr std::string_view kGuessedPluginFile = "имя файла плагина взято из имени архива: ";

// A package's fragments, by the names BuildReadmeHtml uses.
struct Fragments {
    explicit Fragments(const TemplatePackage& package)
        : begin(package.Fragment("htm_begin")),
          title(package.Fragment("htm_title")),
          open(package.Fragment("htm_tab_01")),
          body(package.Fragment("htm_tab_02")),
          close(package.Fragment("htm_tab_03")),
          end(package.Fragment("htm_end")),
          install1(package.Fragment("htm_txt_inst_01")),
          install2(package.Fragment("htm_txt_inst_02")),
          uninstall1(package.Fragment("htm_txt_unst_01")),
          uninstall2(package.Fragment("htm_txt_unst_02")),
          warning(package.Fragment("htm_txt_warn_01")) {}

    std::string_view begin, title, open, body, close, end;
    std::string_view install1, install2, uninstall1, uninstall2, warning;
};

// The form as views into the readme; turned into texts once, at the end.
struct Pieces {
    std::string_view name, description, other, install, uninstall, howToPlay, authors, note, warning;
    bool morrowind = false, tribunal = false, bloodmoon = false, archive = false, requiresOther = false;
    int screenshots = 0;
    std::array<std::string_view, 3> screenshot;
    bool installStandard = false, installOther = false, uninstallStandard = false, uninstallOther = false;
    bool howToPlayEnabled = false, noteEnabled = false, warningStandard = false, warningOther = false;
    std::optional<std::string_view> pluginFile;
    std::optional<std::string_view> stem;
};

Text Unconverted(std::string_view html) {
    Text text;
    text.reserve(html.size());
    std::size_t from = 0;
    for (std::size_t at = html.find(kBreak); at != std::string_view::npos; at = html.find(kBreak, from)) {
        text.append(html.substr(from, at - from));
        text += "\r\n\r\n";
        from = at + kBreak.size();
    }
    text.append(html.substr(from));
    return text;
}

// Where the image tag's name is the Windows-1251 form of a UTF-8 file name,
// "&#N;" standing for a character the code page lacks: the name it came from.
FilePath ScreenshotPath(std::string_view name) {
    FilePath path(kScreenshotFolder);
    path += kPathSeparator;
    path += kScreenshotSubfolder;
    path += kPathSeparator;
    path += DecodeFileName(name);
    return path;
}

class Reader {
public:
    Reader(std::string_view input, const TemplatePackage& package)
        : m_in(input),
          m_package(package),
          m_f(package),
          m_closing(Text(kCRLF) + Text(m_f.close)),
          m_toBody(Text(kCRLF) + Text(m_f.body)) {}

    // After the head; false with failure() set when nothing reads.
    bool Read(std::size_t pos) {
        if (!At(pos, m_f.open)) return Fail(pos, kNoFirstSection);
        const std::size_t name = pos + m_f.open.size();
        const std::size_t limit = ValueLimit(name);
        for (std::size_t at = m_in.find(m_toBody, name); at != std::string_view::npos && at <= limit;
             at = m_in.find(m_toBody, at + 1)) {
            if (!Spend()) return false;
            Pieces pieces;
            pieces.name = m_in.substr(name, at - name);
            const std::size_t body = at + m_toBody.size();
            std::size_t next = 0;
            if (!Converted(body, pieces.description, next)) {
                Fail(body, kNoFirstSection);
                continue;
            }
            if (Sections(next, 0, pieces)) return true;
            if (m_outOfBudget) return false;
        }
        return Fail(name, kNoFirstSection);
    }

    ReadmeForm& form() { return m_form; }
    const std::vector<std::string>& notes() const { return m_notes; }
    std::string failure() const { return Text(kNotOurs) + m_failure; }
    std::size_t failedAt() const { return m_failedAt; }

private:
    bool At(std::size_t pos, std::string_view bytes) const {
        return pos <= m_in.size() && m_in.substr(pos).starts_with(bytes);
    }

    // A single-line value that starts at pos must end before the next
    // section's opening table.
    std::size_t ValueLimit(std::size_t pos) const {
        const std::size_t open = m_in.find(m_f.open, pos);
        return open == std::string_view::npos ? m_in.size() : open;
    }

    bool Fail(std::size_t pos, std::string_view why) {
        if (m_failure.empty() || pos > m_failedAt) {
            m_failedAt = pos;
            m_failure = why;
        }
        return false;
    }

    bool Spend() {
        if (m_budget > 0) {
            --m_budget;
            return true;
        }
        if (!m_outOfBudget) {
            m_outOfBudget = true;
            m_failure = kTooAmbiguous;
            m_failedAt = m_in.size() + 1;
        }
        return false;
    }

    // A converted text never holds a line break, so the first one ends it;
    // it must be the section's closing.
    bool Converted(std::size_t pos, std::string_view& text, std::size_t& next) const {
        const std::size_t end = std::min(m_in.find('\r', pos), m_in.find('\n', pos));
        if (end == std::string_view::npos || !At(end, m_closing)) return false;
        text = m_in.substr(pos, end - pos);
        next = end + m_closing.size();
        return true;
    }

    bool Closes(std::size_t pos, std::size_t& next) const {
        if (!At(pos, m_closing)) return false;
        next = pos + m_closing.size();
        return true;
    }

    std::string BodyFault(Section section) const {
        return "раздел «" + std::string(HeadingOf(section).name) + "» не такой, какой пишет программа";
    }

    bool Sections(std::size_t pos, int next, const Pieces& pieces) {
        if (!Spend()) return false;
        if (pos + m_f.end.size() == m_in.size() && At(pos, m_f.end)) {
            if (next <= kAuthors) return Fail(pos, kNoAuthors);
            return Finish(pieces);
        }
        if (!At(pos, m_f.open)) {
            const std::string after =
                next == 0 ? std::string("первого раздела") : "раздела «" + std::string(HeadingOf(next - 1).name) + "»";
            return Fail(pos, "после " + after + " текст не из шаблона");
        }
        const std::size_t heading = pos + m_f.open.size();
        int section = -1;
        for (int s = std::max(next, 0); s < kSectionCount && section < 0; ++s)
            if (At(heading, HeadingOf(s).bytes)) section = s;
        if (section < 0) {
            for (int s = 0; s < kSectionCount; ++s)
                if (At(heading, HeadingOf(s).bytes))
                    return Fail(heading, "раздел «" + std::string(HeadingOf(s).name) + "» не на своём месте");
            return Fail(heading, "неизвестный раздел «" + Quoted(heading) + "»");
        }
        if (section > kAuthors && next <= kAuthors) return Fail(heading, kNoAuthors);
        const std::size_t body = heading + HeadingOf(section).bytes.size();
        if (section == kScreenshots) return Screenshots(body, pieces);
        if (!At(body, m_f.body)) return Fail(body, BodyFault(static_cast<Section>(section)));
        const std::size_t start = body + m_f.body.size();
        switch (section) {
            case kRequires:
                return Requirements(start, 0, true, pieces) || Fail(start, BodyFault(kRequires));
            case kInstall:
                return Instructions(start, kInstall, pieces);
            case kUninstall:
                return Instructions(start, kUninstall, pieces);
            case kWarningStandard: {
                std::size_t after = 0;
                Pieces read = pieces;
                read.warningStandard = true;
                if (At(start, m_f.warning) && Closes(start + m_f.warning.size(), after) &&
                    Sections(after, kWarningOwn, read))
                    return true;
                if (m_outOfBudget) return false;
                return OwnText(start, kWarningOwn, pieces);
            }
            default:
                return OwnText(start, static_cast<Section>(section), pieces);
        }
    }

    // The heading as the user would see it in a message: UTF-8, one line.
    std::string Quoted(std::size_t pos) const {
        std::string_view heading = m_in.substr(pos, 60);
        heading = heading.substr(0, heading.find_first_of(kCRLF));
        std::string text = cp1251::ToUtf8(heading);
        std::replace_if(
            text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        return text;
    }

    bool OwnText(std::size_t pos, Section section, const Pieces& pieces) {
        std::string_view text;
        std::size_t next = 0;
        if (!Converted(pos, text, next)) return Fail(pos, BodyFault(section));
        Pieces read = pieces;
        switch (section) {
            case kHowToPlay:
                read.howToPlayEnabled = true, read.howToPlay = text;
                break;
            case kAuthors:
                read.authors = text;
                break;
            case kNote:
                read.noteEnabled = true, read.note = text;
                break;
            default:
                read.warningOther = true, read.warning = text;
                break;
        }
        return Sections(next, section + 1, read);
    }

    // The items in their order, joined by "<br>"; the own text, being
    // converted, may hold "<br>" and what looks like later items.
    bool Requirements(std::size_t pos, int item, bool first, const Pieces& pieces) {
        if (!Spend()) return false;
        std::size_t next = 0;
        if (!first) {
            if (Closes(pos, next) && Sections(next, kScreenshots, pieces)) return true;
            if (m_outOfBudget || !At(pos, kBreak)) return false;
            pos += kBreak.size();
        }
        constexpr std::array<std::string_view, 3> kGames = {"Morrowind.esm", "Tribunal.esm", "Bloodmoon.esm"};
        for (int k = item; k < 3; ++k) {
            if (!At(pos, kGames[static_cast<std::size_t>(k)])) continue;
            Pieces read = pieces;
            (k == 0 ? read.morrowind : k == 1 ? read.tribunal : read.bloodmoon) = true;
            if (Requirements(pos + kGames[static_cast<std::size_t>(k)].size(), k + 1, false, read)) return true;
            if (m_outOfBudget) return false;
        }
        if (item <= 3 && ArchiveNote(pos, pieces)) return true;
        if (m_outOfBudget) return false;
        std::string_view text;
        if (!Converted(pos, text, next)) return false;
        Pieces read = pieces;
        read.requiresOther = true;
        read.other = text;
        return Sections(next, kScreenshots, read);
    }

    bool ArchiveNote(std::size_t pos, const Pieces& pieces) {
        if (!At(pos, kArchiveNote1) || !At(pos + kArchiveNote1.size(), "<b>")) return false;
        const std::size_t stem = pos + kArchiveNote1.size() + 3;
        const std::size_t limit = ValueLimit(stem);
        for (std::size_t at = m_in.find(m_noteMiddle, stem); at != std::string_view::npos && at <= limit;
             at = m_in.find(m_noteMiddle, at + 1)) {
            if (!Spend()) return false;
            const std::string_view name = m_in.substr(stem, at - stem);
            const std::size_t second = at + m_noteMiddle.size();
            if (!At(second, name) || !At(second + name.size(), ".bsa</b>")) continue;
            Pieces read = pieces;
            read.archive = true;
            read.stem = name;
            if (Requirements(second + name.size() + 8, 4, false, read)) return true;
            if (m_outOfBudget) return false;
        }
        return false;
    }

    bool Screenshots(std::size_t pos, const Pieces& pieces) {
        const std::string_view cell = m_f.body.substr(0, m_f.body.empty() ? 0 : m_f.body.size() - 1);
        if (m_f.body.empty() || !At(pos, cell) || !At(pos + cell.size(), " ") || !At(pos + cell.size() + 1, kCentred))
            return Fail(pos, BodyFault(kScreenshots));
        const std::size_t start = pos + cell.size() + 1 + kCentred.size();
        return Images(start, 0, pieces) || Fail(start, BodyFault(kScreenshots));
    }

    bool Images(std::size_t pos, int index, const Pieces& pieces) {
        if (index > 0) {
            if (!At(pos, kImageGap)) return false;
            pos += kImageGap.size();
        }
        if (!At(pos, kImageOpen)) return false;
        const std::size_t name = pos + kImageOpen.size();
        const std::size_t limit = ValueLimit(name);
        for (std::size_t at = m_in.find(kImageClose, name); at != std::string_view::npos && at <= limit;
             at = m_in.find(kImageClose, at + 1)) {
            if (!Spend()) return false;
            Pieces read = pieces;
            read.screenshot[static_cast<std::size_t>(index)] = m_in.substr(name, at - name);
            read.screenshots = index + 1;
            const std::size_t after = at + kImageClose.size();
            std::size_t next = 0;
            if (Closes(after, next) && Sections(next, kInstall, read)) return true;
            if (m_outOfBudget) return false;
            if (index < 2 && Images(after, index + 1, read)) return true;
            if (m_outOfBudget) return false;
        }
        return false;
    }

    // The standard text around the plug-in's file, the own text, or both
    // joined by "<BR>".
    bool Instructions(std::size_t pos, Section section, const Pieces& pieces) {
        const bool install = section == kInstall;
        const std::string_view before = install ? m_f.install1 : m_f.uninstall1;
        const std::string_view after = install ? m_f.install2 : m_f.uninstall2;
        if (At(pos, before)) {
            const std::size_t file = pos + before.size();
            const std::size_t limit = ValueLimit(file);
            for (std::size_t at = m_in.find(after, file); at != std::string_view::npos && at <= limit;
                 at = m_in.find(after, at + 1)) {
                if (!Spend()) return false;
                const std::string_view name = m_in.substr(file, at - file);
                if (pieces.pluginFile && *pieces.pluginFile != name) continue;
                if (pieces.stem && BsaArchiveStem(name) != *pieces.stem) continue;
                Pieces read = pieces;
                read.pluginFile = name;
                (install ? read.installStandard : read.uninstallStandard) = true;
                const std::size_t end = at + after.size();
                std::size_t next = 0;
                if (Closes(end, next) && Sections(next, section + 1, read)) return true;
                if (m_outOfBudget) return false;
                std::string_view text;
                if (At(end, kInstructionsJoin) && Converted(end + kInstructionsJoin.size(), text, next)) {
                    (install ? read.installOther : read.uninstallOther) = true;
                    (install ? read.install : read.uninstall) = text;
                    if (Sections(next, section + 1, read)) return true;
                    if (m_outOfBudget) return false;
                }
            }
        }
        std::string_view text;
        std::size_t next = 0;
        if (!Converted(pos, text, next)) return Fail(pos, BodyFault(section));
        Pieces read = pieces;
        (install ? read.installOther : read.uninstallOther) = true;
        (install ? read.install : read.uninstall) = text;
        return Sections(next, section + 1, read);
    }

    bool Finish(const Pieces& p) {
        if (m_verifications-- <= 0) return Fail(m_in.size(), kNotVerified);
        ReadmeForm form = NewReadmeForm();
        form.pluginName = Text(p.name);
        form.description = Unconverted(p.description);
        form.requiresMorrowind = p.morrowind;
        form.requiresTribunal = p.tribunal;
        form.requiresBloodmoon = p.bloodmoon;
        form.requiresBsaArchive = p.archive;
        form.requiresOther = p.requiresOther;
        form.otherRequirements = Unconverted(p.other);
        form.screenshotCount = p.screenshots;
        for (int i = 0; i < p.screenshots; ++i)
            form.screenshotPath[static_cast<std::size_t>(i)] =
                ScreenshotPath(p.screenshot[static_cast<std::size_t>(i)]);
        form.installStandard = p.installStandard;
        form.installOther = p.installOther;
        form.installText = Unconverted(p.install);
        form.uninstallStandard = p.uninstallStandard;
        form.uninstallOther = p.uninstallOther;
        form.uninstallText = Unconverted(p.uninstall);
        form.howToPlayEnabled = p.howToPlayEnabled;
        form.howToPlay = Unconverted(p.howToPlay);
        form.authors = Unconverted(p.authors);
        form.noteEnabled = p.noteEnabled;
        form.note = Unconverted(p.note);
        form.warningStandard = p.warningStandard;
        form.warningOther = p.warningOther;
        form.warningText = Unconverted(p.warning);
        std::vector<std::string> notes;
        if (p.pluginFile) {
            form.pluginFile = Text(*p.pluginFile);
        } else if (p.stem && BsaArchiveStem(form.pluginFile) != *p.stem) {
            // Only the archive's name tells the file: a plug-in of that stem.
            form.pluginFile = Text(*p.stem) + Text(kGuessedExtension);
            notes.push_back(Text(kGuessedPluginFile) + cp1251::ToUtf8(form.pluginFile));
        }
        if (BuildReadmeHtml(form, m_package) != m_in) return Fail(m_in.size(), kNotVerified);
        m_form = std::move(form);
        m_notes = std::move(notes);
        return true;
    }

    std::string_view m_in;
    const TemplatePackage& m_package;
    Fragments m_f;
    Text m_closing;  // CR LF and the closing table: every section ends so
    Text m_toBody;   // CR LF and the body cell: the first section's name ends so
    Text m_noteMiddle = Text(".bsa</b>") + Text(kArchiveNote3) + "<a href='" + Text(kSiteHomeUrl) +
                        "' target='_blank'>" + Text(kSiteHomeUrl) + "</a>)" + Text(kArchiveNote5) +
                        Text(kArchiveNote6) + "<b>";
    int m_budget = 4096;
    int m_verifications = 8;
    bool m_outOfBudget = false;
    std::size_t m_failedAt = 0;
    std::string m_failure;
    ReadmeForm m_form;
    std::vector<std::string> m_notes;
};

bool LooksLikeHtml(std::string_view bytes) {
    std::string head(bytes.substr(0, 4096));
    std::transform(head.begin(), head.end(), head.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return head.find("<html") != std::string::npos || head.find("<!doctype html") != std::string::npos;
}

}  // namespace

ReadmeReading ReadReadmeHtml(std::string_view bytes) {
    ReadmeReading reading;
    const std::span<const TemplatePackage* const> packages = ReadablePackages();
    if (packages.empty()) {
        reading.error = Text(kNotOurs) + Text(kNoTemplate);
        return reading;
    }
    std::size_t furthest = 0;
    for (const TemplatePackage* package : packages) {
        const Fragments f(*package);
        const Text head = Text(f.begin) + Text(f.title);
        if (!bytes.starts_with(head)) continue;
        if (!bytes.ends_with(f.end) || bytes.size() < head.size() + f.end.size()) {
            reading.error = Text(kNotOurs) + Text(kCutOff);
            return reading;
        }
        Reader reader(bytes, *package);
        if (reader.Read(head.size())) {
            reading.form = std::move(reader.form());
            reading.notes = reader.notes();
            return reading;
        }
        if (reading.error.empty() || reader.failedAt() > furthest) {
            furthest = reader.failedAt();
            reading.error = reader.failure();
        }
    }
    if (reading.error.empty()) reading.error = Text(kNotOurs) + Text(LooksLikeHtml(bytes) ? kOtherPage : kNotHtml);
    return reading;
}
