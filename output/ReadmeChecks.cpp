#include "output/ReadmeChecks.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "output/FileIo.h"
#include "output/ImageHeader.h"
#include "readme/TextRoutines.h"

namespace {

// The fields' names as their pages label them.
constexpr std::string_view kName = "Название"_cp;
constexpr std::string_view kPluginFile = "Имя файла"_cp;
constexpr std::string_view kDescription = "Описание"_cp;
constexpr std::string_view kOtherRequirements = "Требует, другое"_cp;
constexpr std::string_view kScreenshot = "Скриншот "_cp;
constexpr std::string_view kInstall = "Установка"_cp;
constexpr std::string_view kUninstall = "Удаление"_cp;
constexpr std::string_view kHowToPlay = "Как играть"_cp;
constexpr std::string_view kAuthors = "Авторы"_cp;
constexpr std::string_view kNote = "Примечание"_cp;
constexpr std::string_view kWarning = "Предупреждение"_cp;
constexpr std::string_view kArchive = "Архив для записи"_cp;

constexpr std::string_view kEmpty = ": пусто, в readme будет пустое место"_cp;
constexpr std::string_view kNoFile = ": файл не указан"_cp;
constexpr std::string_view kNotOpened = ": файл не открывается"_cp;
constexpr std::string_view kNotImage = ": не картинка (JPEG, PNG, BMP или GIF)"_cp;
constexpr std::string_view kSize = ": размер "_cp;
constexpr std::string_view kSizeRecommended = ", рекомендуется 300 x 225"_cp;
constexpr std::string_view kSameName = ": то же имя файла, что у скриншота "_cp;
constexpr std::string_view kTagNotClosed = ": тег "_cp;
constexpr std::string_view kNotClosed = " открыт и не закрыт"_cp;
constexpr std::string_view kNotOpen = " закрыт, но не открыт"_cp;
constexpr std::string_view kJoins =
    ": одиночный перевод строки станет пробелом и строки сольются; абзац отделяйте пустой строкой"_cp;
constexpr std::string_view kScript = ": скрипт "_cp;
constexpr std::string_view kScriptRuns = " — браузер выполнит его, когда откроет readme"_cp;
constexpr std::string_view kArchiveMissing = ": файл не найден"_cp;

// Elements that never have an end tag, and those whose end tag HTML lets
// an author leave out.
constexpr std::array<std::string_view, 28> kNoEndNeeded = {
    "area",  "base",   "br",    "col",   "embed", "hr",    "img",      "input",    "link",   "meta",
    "param", "source", "track", "wbr",   "p",     "li",    "dt",       "dd",       "option", "optgroup",
    "tr",    "td",     "th",    "thead", "tbody", "tfoot", "colgroup", "basefont",
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }
// HTML's own white space, between a tag's name and its attributes.
bool IsTagSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

Text Numbered(std::string_view prefix, int number) { return Text(prefix) + std::to_string(number); }

void CheckScript(std::vector<ReadmeCheck>& checks, CheckedField field, std::string_view name, std::string_view text) {
    const Text found = ScriptInText(text);
    if (!found.empty()) AddCheck(checks, field, Text(name), kScript, found + Text(kScriptRuns));
}

// The tag and break rules for one text that goes into the readme.
void CheckText(std::vector<ReadmeCheck>& checks, CheckedField field, std::string_view name, std::string_view text,
               bool multiLine) {
    const Text tag = UnbalancedTag(text);
    if (!tag.empty())
        AddCheck(checks, field, Text(name), kTagNotClosed, tag + Text(tag[1] == '/' ? kNotOpen : kNotClosed));
    if (multiLine && JoinsLines(text)) {
        AddCheck(checks, field, Text(name), kJoins);
        checks.back().offer = CheckOffer::KeepLineBreaks;
    }
    CheckScript(checks, field, name, text);
}

constexpr PluginId kScreenshotIds[3] = {PluginId::Screenshot1, PluginId::Screenshot2, PluginId::Screenshot3};

void CheckScreenshots(std::vector<ReadmeCheck>& checks, const ReadmeForm& form, std::string_view baseFolder) {
    const int count = std::clamp(form.screenshotCount, 0, 3);
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const FilePath& path = form.screenshotPath[index];
        const Text name = Numbered(kScreenshot, i + 1);
        const CheckedField field = kScreenshotIds[index];
        if (path.empty()) {
            AddCheck(checks, field, name, kNoFile);
            continue;
        }
        for (int j = 0; j < i; ++j) {
            if (ScreenshotFileNameView(form.screenshotPath[static_cast<std::size_t>(j)]) ==
                ScreenshotFileNameView(path)) {
                AddCheck(checks, field, name, kSameName, std::to_string(j + 1));
                break;
            }
        }
        fileio::InputFile file;
        if (!file.Open(fileio::ResolveAgainst(baseFolder, path))) {
            AddCheck(checks, field, name, kNotOpened);
            continue;
        }
        std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(file.length(), kImageHeaderBytes)), '\0');
        head.resize(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, file.ReadUpTo(head.data(), head.size()))));
        const ImageHeader image = ReadImageHeader(head);
        if (image.kind == ImageKind::None) {
            AddCheck(checks, field, name, kNotImage);
        } else if (image.width > 0 && FarFromRecommendedSize(image.width, image.height)) {
            AddCheck(checks, field, name, kSize,
                     std::to_string(image.width) + " x " + std::to_string(image.height) + Text(kSizeRecommended));
        }
    }
}

// Where the comment starting at at ends; npos when it never does.
std::size_t PastComment(std::string_view text, std::size_t at) {
    const std::size_t end = text.find("-->", at + 4);
    return end == std::string_view::npos ? end : end + 3;
}

}  // namespace

Text UnbalancedTag(std::string_view text) {
    std::vector<std::string> open;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        if (text.substr(at, 4) == "<!--") {
            at = PastComment(text, at);
            if (at == std::string_view::npos) break;
            continue;
        }
        const bool closing = at + 1 < text.size() && text[at + 1] == '/';
        std::size_t nameStart = at + (closing ? 2 : 1);
        // "a < b" and "<3" are text, not tags.
        if (nameStart >= text.size() || !IsLetter(text[nameStart])) {
            ++at;
            continue;
        }
        std::size_t nameEnd = nameStart;
        std::string name;
        while (nameEnd < text.size() && (IsLetter(text[nameEnd]) || (text[nameEnd] >= '0' && text[nameEnd] <= '9')))
            name += Lower(text[nameEnd++]);
        const std::size_t close = text.find('>', nameEnd);
        if (close == std::string_view::npos) break;  // the browser shows the rest as text
        const bool selfClosing = text[close - 1] == '/';
        at = close + 1;
        if (selfClosing || std::find(kNoEndNeeded.begin(), kNoEndNeeded.end(), name) != kNoEndNeeded.end()) continue;
        if (!closing) {
            open.push_back(name);
            continue;
        }
        const auto match = std::find(open.rbegin(), open.rend(), name);
        if (match == open.rend()) return "</" + name + ">";
        // An end tag closes what was opened inside it, unclosed; that inner
        // one is what the author forgot.
        if (match != open.rbegin()) return "<" + open.back() + ">";
        open.pop_back();
    }
    return open.empty() ? Text() : "<" + open.back() + ">";
}

Text ScriptInText(std::string_view text) {
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        if (text.substr(at, 4) == "<!--") {
            at = PastComment(text, at);
            if (at == std::string_view::npos) break;
            continue;
        }
        ++at;
        // An end tag's attributes are dropped; "a < b" is text.
        if (at >= text.size() || !IsLetter(text[at])) continue;
        const auto nameEnds = [&](std::size_t i) {
            return i >= text.size() || IsTagSpace(text[i]) || text[i] == '/' || text[i] == '>';
        };
        std::string name;
        while (!nameEnds(at)) name += Lower(text[at++]);
        if (name == "script") return "<script>";
        // The attributes, as the browser splits them, up to the tag's end
        // (a tag the text leaves open goes on into the template's bytes).
        while (at < text.size() && text[at] != '>') {
            if (IsTagSpace(text[at]) || text[at] == '/') {
                ++at;
                continue;
            }
            std::string attribute(1, Lower(text[at++]));
            while (at < text.size() && !IsTagSpace(text[at]) && text[at] != '/' && text[at] != '>' && text[at] != '=')
                attribute += Lower(text[at++]);
            while (at < text.size() && IsTagSpace(text[at])) ++at;
            if (at >= text.size() || text[at] != '=') continue;
            if (attribute.size() > 2 && attribute.compare(0, 2, "on") == 0) return attribute + "=";
            ++at;
            while (at < text.size() && IsTagSpace(text[at])) ++at;
            if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
                const std::size_t close = text.find(text[at], at + 1);
                at = close == std::string_view::npos ? text.size() : close + 1;
            } else {
                while (at < text.size() && !IsTagSpace(text[at]) && text[at] != '>') ++at;
            }
        }
    }
    return {};
}

bool JoinsLines(std::string_view text) {
    // A run of breaks between two other bytes leaves a blank unless its
    // length is a multiple of four (CR LF CR LF: one empty line).
    std::size_t run = 0;
    bool textBefore = false;
    for (char c : text) {
        if (IsBreak(c)) {
            ++run;
            continue;
        }
        if (textBefore && run % 4 != 0) return true;
        textBefore = true;
        run = 0;
    }
    return false;
}

bool FarFromRecommendedSize(int width, int height) {
    const auto off = [](int side, int recommended) { return std::abs(side - recommended) * 4 > recommended; };
    return off(width, kScreenshotWidth) || off(height, kScreenshotHeight);
}

FilePath ArchiveFileOf(const DatabaseRecord& record, std::string_view baseFolder) {
    // A name typed over the chosen one is looked for beside the readme.
    if (!record.archivePath.empty() && !record.archiveName.empty() &&
        ScreenshotFileNameView(record.archivePath) == record.archiveName)
        return record.archivePath;
    return fileio::ResolveAgainst(baseFolder, record.archiveName);
}

std::vector<ReadmeCheck> CheckReadme(const ReadmeForm& form, const DatabaseRecord& record,
                                     std::string_view baseFolder) {
    std::vector<ReadmeCheck> checks;
    if (form.pluginName.empty()) AddCheck(checks, PluginId::Name, Text(kName), kEmpty);
    CheckText(checks, PluginId::Name, kName, form.pluginName, false);
    // The standard texts and the archive note put the file name in a sentence.
    if (form.pluginFile.empty() && (form.installStandard || form.uninstallStandard || form.requiresBsaArchive))
        AddCheck(checks, PluginId::File, Text(kPluginFile), kEmpty);
    CheckScript(checks, PluginId::File, kPluginFile, form.pluginFile);
    if (form.description.empty()) AddCheck(checks, PluginId::Description, Text(kDescription), kEmpty);
    CheckText(checks, PluginId::Description, kDescription, form.description, true);
    if (form.requiresOther)
        CheckText(checks, PluginId::OtherRequirements, kOtherRequirements, form.otherRequirements, true);
    CheckScreenshots(checks, form, baseFolder);
    if (form.installOther) CheckText(checks, PluginId::InstallText, kInstall, form.installText, true);
    if (form.uninstallOther) CheckText(checks, PluginId::UninstallText, kUninstall, form.uninstallText, true);
    if (form.howToPlayEnabled) CheckText(checks, ExtrasId::HowToPlay, kHowToPlay, form.howToPlay, true);
    CheckText(checks, ExtrasId::Authors, kAuthors, form.authors, true);
    if (form.noteEnabled) CheckText(checks, ExtrasId::Note, kNote, form.note, true);
    if (form.warningOther) CheckText(checks, ExtrasId::WarningText, kWarning, form.warningText, true);
    if (record.recordWanted) {
        // Opened, not read: a folder or a missing file does not open.
        fileio::InputFile archive;
        if (record.archiveName.empty() || !archive.Open(ArchiveFileOf(record, baseFolder)))
            AddCheck(checks, DatabaseId::Archive, Text(kArchive), kArchiveMissing);
    }
    // With every break kept, no lines join.
    if (form.keepLineBreaks)
        std::erase_if(checks, [](const ReadmeCheck& check) { return check.offer == CheckOffer::KeepLineBreaks; });
    return checks;
}

void AddCheck(std::vector<ReadmeCheck>& checks, CheckedField field, std::string_view name, std::string_view what,
              std::string_view tail) {
    checks.push_back({field, Text(name) + Text(what) + Text(tail)});
}
