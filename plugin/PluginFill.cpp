#include "plugin/PluginFill.h"

#include <algorithm>
#include <array>

#include "output/FileIo.h"
#include "readme/TextRoutines.h"
#include "text/Cp1251.h"
#include "text/LineBreaks.h"

namespace {

constexpr std::string_view kNoteStart = "Из заголовка плагина: "_cp;
constexpr std::string_view kRequires = "требует "_cp;
constexpr std::string_view kBsaTaken = "архив BSA"_cp;
constexpr std::string_view kDescriptionTaken = "описание"_cp;
constexpr std::string_view kAuthorTaken = "автор"_cp;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// As Windows compares file names in the Latin letters; other bytes as they are.
bool SameName(std::string_view a, std::string_view b) { return SameFileName(a, b); }

// A name inside a longer one ("Data.esm" in "Tamriel_Data.esm") is not named.
bool NamePart(char c) {
    const char l = Lower(c);
    return (l >= 'a' && l <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// A dot joins two names ("A.esm.bak"); at the end of a sentence it does not.
bool JoinsName(std::string_view text, std::size_t at, bool forward) {
    if (at >= text.size()) return false;
    if (NamePart(text[at])) return true;
    if (text[at] != '.') return false;
    return forward ? at + 1 < text.size() && NamePart(text[at + 1]) : at > 0 && NamePart(text[at - 1]);
}

bool Names(std::string_view text, std::string_view name) {
    if (name.empty() || text.size() < name.size()) return false;
    for (std::size_t at = 0; at + name.size() <= text.size(); ++at) {
        if (!SameName(text.substr(at, name.size()), name)) continue;
        if ((at == 0 || !JoinsName(text, at - 1, false)) && !JoinsName(text, at + name.size(), true)) return true;
    }
    return false;
}

// The file name: after the last separator; Windows takes "/" too.
std::string_view FileNameOf(std::string_view path) {
    std::size_t last = path.rfind(kPathSeparator);
    if (kPathSeparator != '/') {
        const std::size_t slash = path.rfind('/');
        if (slash != std::string_view::npos && (last == std::string_view::npos || slash > last)) last = slash;
    }
    return last == std::string_view::npos ? path : path.substr(last + 1);
}

// CR LF for every break, nothing blank at the end.
Text Cleaned(std::string_view text) {
    Text cleaned = WithCrLf(text);
    while (!cleaned.empty() && (cleaned.back() == ' ' || cleaned.back() == '\t' || cleaned.back() == '\r' ||
                                cleaned.back() == '\n' || cleaned.back() == '\0'))
        cleaned.pop_back();
    return cleaned;
}

bool TakeWhereEmpty(Text& field, const Text& value) {
    if (!field.empty() || value.empty()) return false;
    field = value;
    return true;
}

}  // namespace

bool SameFileName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool RequirementsName(std::string_view text, std::string_view master) { return Names(text, master); }

Text PluginFileName(std::string_view pluginPath) { return cp1251::FromUtf8(FileNameOf(pluginPath)); }

PluginFill ApplyPluginHeader(FormFile& file, const PluginHeader& header, const FilePath& pluginPath, bool bsaBeside) {
    ReadmeForm& form = file.form;
    PluginFill fill;
    form.pluginFile = PluginFileName(pluginPath);
    form.pluginPath = pluginPath;

    const std::array<std::pair<std::string_view, bool ReadmeForm::*>, 3> game = {{
        {"Morrowind.esm", &ReadmeForm::requiresMorrowind},
        {"Tribunal.esm", &ReadmeForm::requiresTribunal},
        {"Bloodmoon.esm", &ReadmeForm::requiresBloodmoon},
    }};
    for (const auto& [name, box] : game) form.*box = false;
    for (const PluginMaster& master : header.masters) {
        if (std::any_of(fill.required.begin(), fill.required.end(),
                        [&](const Text& seen) { return SameName(seen, master.name); }))
            continue;
        fill.required.push_back(master.name);
        const auto known = std::find_if(game.begin(), game.end(),
                                        [&](const auto& entry) { return SameName(entry.first, master.name); });
        if (known != game.end()) {
            form.*(known->second) = true;
            continue;
        }
        form.requiresOther = true;
        if (Names(form.otherRequirements, master.name)) continue;
        if (!form.otherRequirements.empty()) form.otherRequirements += "\r\n";
        form.otherRequirements += master.name;
    }

    if (bsaBeside) form.requiresBsaArchive = true;
    fill.bsaArchive = bsaBeside;

    fill.description = TakeWhereEmpty(form.description, Cleaned(header.description));
    const Text author = Cleaned(header.author);
    const bool authors = TakeWhereEmpty(form.authors, author);
    const bool authorName = TakeWhereEmpty(file.record.authorName, author);
    fill.author = authors || authorName;
    return fill;
}

bool BsaBesidePlugin(const FilePath& pluginPath) {
    const std::string_view name = FileNameOf(pluginPath);
    if (name.empty()) return false;
    const std::string_view folder = std::string_view(pluginPath).substr(0, pluginPath.size() - name.size());
    const Text archive = BsaArchiveName(name);
    const std::vector<std::string> names = fileio::NamesIn(folder.empty() ? std::string_view(".") : folder);
    return std::any_of(names.begin(), names.end(), [&](const std::string& other) { return SameName(other, archive); });
}

Text PluginFillNote(const PluginFill& fill) {
    Text parts;
    const auto part = [&parts](std::string_view what) {
        if (!parts.empty()) parts += "; ";
        parts += what;
    };
    if (!fill.required.empty()) {
        Text masters(kRequires);
        for (std::size_t i = 0; i < fill.required.size(); ++i) masters += (i > 0 ? ", " : "") + fill.required[i];
        part(masters);
    }
    if (fill.bsaArchive) part(kBsaTaken);
    if (fill.description) part(kDescriptionTaken);
    if (fill.author) part(kAuthorTaken);
    if (parts.empty()) return {};
    return Text(kNoteStart) + parts;
}
