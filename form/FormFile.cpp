#include "form/FormFile.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "text/Cp1251.h"

namespace {

using nlohmann::json;

constexpr std::string_view kDatabaseKey = "database";

constexpr std::string_view kVersionKey = "formatVersion";

// Each setter returns false for a value of the wrong type; each getter gives
// the value as the file holds it.
template <class Record>
struct Field {
    std::string_view name;
    std::string expected;  // completes "must be", in Russian
    std::function<bool(const json&, Record&)> set;
    std::function<json(const Record&)> get;
};

bool ToText(const json& value, Text& out) {
    if (!value.is_string()) return false;
    out = cp1251::FromUtf8(value.get_ref<const std::string&>());
    return true;
}
json FromText(const Text& text) { return cp1251::ToUtf8(text); }

bool ToInt(const json& value, int& out) {
    if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (n > static_cast<std::uint64_t>(INT_MAX)) return false;
        out = static_cast<int>(n);
        return true;
    }
    if (!value.is_number_integer()) return false;
    const auto n = value.get<std::int64_t>();
    if (n < INT_MIN || n > INT_MAX) return false;
    out = static_cast<int>(n);
    return true;
}
json FromInt(int n) { return n; }

// The lists: "Нет", "1", "2", "3"; the fourteen categories; the three grades.
constexpr int kLastScreenshotCount = 3;
constexpr int kLastCategory = 13;
constexpr int kLastGrade = 2;

template <int First, int Last>
bool ToIndex(const json& value, int& out) {
    int n = 0;
    if (!ToInt(value, n) || n < First || n > Last) return false;
    out = n;
    return true;
}

template <int First, int Last>
std::string IndexRange(std::string_view what) {
    return std::string(what) + " от " + std::to_string(First) + " до " + std::to_string(Last);
}

// A file name stays as the file system knows it, in UTF-8.
bool ToPath(const json& value, FilePath& out) {
    if (!value.is_string()) return false;
    out = value.get_ref<const std::string&>();
    return true;
}
json FromPath(const FilePath& path) { return path; }

template <class Record>
Field<Record> PathField(std::string_view name, FilePath Record::*member) {
    return {name, "строкой", [member](const json& v, Record& r) { return ToPath(v, r.*member); },
            [member](const Record& r) { return FromPath(r.*member); }};
}

template <class Record>
Field<Record> TextField(std::string_view name, Text Record::*member) {
    return {name, "строкой", [member](const json& v, Record& r) { return ToText(v, r.*member); },
            [member](const Record& r) { return FromText(r.*member); }};
}

template <class Record>
Field<Record> FlagField(std::string_view name, bool Record::*member) {
    return {name, "true или false",
            [member](const json& v, Record& r) {
                if (!v.is_boolean()) return false;
                r.*member = v.get<bool>();
                return true;
            },
            [member](const Record& r) { return json(r.*member); }};
}

template <class Record>
Field<Record> IntField(std::string_view name, int Record::*member) {
    return {name, "целым числом", [member](const json& v, Record& r) { return ToInt(v, r.*member); },
            [member](const Record& r) { return FromInt(r.*member); }};
}

// A number is an index into one of the pages' lists; -1 where the list may
// have no selection.
template <int First, int Last, class Record>
Field<Record> IndexField(std::string_view name, int Record::*member) {
    return {name, IndexRange<First, Last>("целым числом"),
            [member](const json& v, Record& r) { return ToIndex<First, Last>(v, r.*member); },
            [member](const Record& r) { return FromInt(r.*member); }};
}

// Arrays are all or nothing: a bad element leaves the field as it was.
template <class Record, class Element, class Convert, class Back>
Field<Record> ArrayField(std::string_view name, std::string expected, std::array<Element, 3> Record::*member,
                         Convert convert, Back back) {
    return {name, std::move(expected),
            [member, convert](const json& v, Record& r) {
                if (!v.is_array() || v.size() != 3) return false;
                std::array<Element, 3> values{};
                for (std::size_t i = 0; i < 3; ++i)
                    if (!convert(v[i], values[i])) return false;
                r.*member = values;
                return true;
            },
            [member, back](const Record& r) {
                json values = json::array();
                for (const Element& element : r.*member) values.push_back(back(element));
                return values;
            }};
}

const std::vector<Field<ReadmeForm>>& FormFields() {
    using F = ReadmeForm;
    static const std::vector<Field<F>> fields = {
        TextField("pluginName", &F::pluginName),
        TextField("pluginFile", &F::pluginFile),
        TextField("description", &F::description),
        FlagField("requiresMorrowind", &F::requiresMorrowind),
        FlagField("requiresTribunal", &F::requiresTribunal),
        FlagField("requiresBloodmoon", &F::requiresBloodmoon),
        FlagField("requiresBsaArchive", &F::requiresBsaArchive),
        FlagField("requiresOther", &F::requiresOther),
        TextField("otherRequirements", &F::otherRequirements),
        IndexField<-1, kLastScreenshotCount>("screenshotCount", &F::screenshotCount),
        ArrayField("screenshotPath", "массивом из 3 строк", &F::screenshotPath, ToPath, FromPath),
        FlagField("installStandard", &F::installStandard),
        FlagField("installOther", &F::installOther),
        TextField("installText", &F::installText),
        FlagField("uninstallStandard", &F::uninstallStandard),
        FlagField("uninstallOther", &F::uninstallOther),
        TextField("uninstallText", &F::uninstallText),
        FlagField("howToPlayEnabled", &F::howToPlayEnabled),
        TextField("howToPlay", &F::howToPlay),
        TextField("authors", &F::authors),
        FlagField("noteEnabled", &F::noteEnabled),
        TextField("note", &F::note),
        FlagField("warningStandard", &F::warningStandard),
        FlagField("warningOther", &F::warningOther),
        TextField("warningText", &F::warningText),
        FlagField("writeBackgroundImages", &F::writeBackgroundImages),
        FlagField("copyScreenshots", &F::copyScreenshots),
        FlagField("keepLineBreaks", &F::keepLineBreaks),
        FlagField("writeReadmeText", &F::writeReadmeText),
        PathField("pluginPath", &F::pluginPath),
    };
    return fields;
}

const std::vector<Field<DatabaseRecord>>& RecordFields() {
    using R = DatabaseRecord;
    static const std::vector<Field<R>> fields = {
        FlagField("recordWanted", &R::recordWanted),
        IndexField<-1, kLastCategory>("categoryIndex", &R::categoryIndex),
        PathField("archiveName", &R::archiveName),
        TextField("imageName", &R::imageName),
        TextField("authorName", &R::authorName),
        TextField("authorEmail", &R::authorEmail),
        TextField("adapterName", &R::adapterName),
        TextField("adapterEmail", &R::adapterEmail),
        TextField("archiveSize", &R::archiveSize),
        TextField("originalLink", &R::originalLink),
        ArrayField("grades", IndexRange<0, kLastGrade>("массивом из 3 целых чисел"), &R::grades, ToIndex<0, kLastGrade>,
                   FromInt),
        PathField("archivePath", &R::archivePath),
    };
    return fields;
}

std::string Quoted(std::string_view prefix, std::string_view key) {
    std::string name = "\"";
    name += prefix;
    name += key;
    name += "\"";
    return name;
}

// The parser's own reader, stopping at the first fault instead of throwing,
// so that the place of a number too large comes back too.
struct JsonReader : nlohmann::detail::json_sax_dom_parser<json> {
    explicit JsonReader(json& into) : json_sax_dom_parser(into, false) {}

    template <class Exception>
    bool parse_error(std::size_t read, const std::string& token, const Exception& fault) {
        failed = true;
        bytesRead = read;
        tokenLength = token.size();
        what = fault.what();
        return false;
    }

    bool failed = false;
    std::size_t bytesRead = 0;  // up to and with the byte the fault was found at
    std::size_t tokenLength = 0;
    std::string what;
};

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Lines end at LF, CR LF or a lone CR; a column counts UTF-8 characters, a
// malformed byte as one, and a leading byte-order mark not at all.
std::string PlaceOf(std::string_view bytes, std::size_t at) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t i = bytes.starts_with(kBom) && at >= kBom.size() ? kBom.size() : 0;
    while (i < at && i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            i += c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2U : 1U;
            ++line;
            column = 1;
            continue;
        }
        char32_t cp = 0;
        i += std::max<std::size_t>(1, cp1251::DecodeUtf8(bytes, i, cp));
        ++column;
    }
    return "строка " + std::to_string(line) + ", символ " + std::to_string(column);
}

// The parser's English, as the author of a form would say it; the first
// fragment found in its message wins.
constexpr std::pair<std::string_view, std::string_view> kSyntaxFaults[] = {
    {"; expected end of input", "после конца формы лишний текст"},
    {"unexpected end of input", "форма обрывается, не закончившись"},
    {"missing closing quote", "текст в кавычках не закрыт"},
    {"ill-formed UTF-8", "байты не в кодировке UTF-8"},
    {"control character", "управляющий символ в тексте в кавычках (перевод строки пишется как \\n)"},
    {"forbidden character after backslash", "после обратной косой черты недопустимый знак"},
    {"must be followed by 4 hex digits", "после \\u нужны 4 шестнадцатеричные цифры"},
    {"surrogate", "\\u задаёт половину суррогатной пары без другой половины"},
    {"invalid number", "неверно записано число"},
    {"number overflow", "число слишком велико"},
    {"invalid BOM", "испорчена метка порядка байтов в начале файла"},
    {"; expected ':'", "после ключа нужно двоеточие"},
    {"; expected '}'", "нужна запятая или закрывающая \"}\""},
    {"; expected ']'", "нужна запятая или закрывающая \"]\""},
    {"; expected string literal", "нужен ключ в кавычках"},
    {"; expected '[', '{', or a literal", "нужно значение"},
};

// Russian, with the place and without a byte of the file: the parser's own
// message quotes what it read.
std::string SyntaxFault(std::string_view bytes, const JsonReader& reader) {
    const std::string& what = reader.what;
    std::size_t at = reader.bytesRead > 0 ? reader.bytesRead - 1 : 0;
    std::string_view fault = "ошибка в записи JSON";
    if (what.find("invalid literal") != std::string::npos &&
        what.find("; expected end of input") == std::string::npos) {
        // "tru}" fails at the brace; the word is the fault.
        std::size_t word = std::min(at, bytes.size());
        while (word > 0 && IsAsciiLetter(bytes[word - 1])) --word;
        char32_t cp = 0;
        if (word < at || (at < bytes.size() && IsAsciiLetter(bytes[at]))) {
            at = word;
            fault = "неизвестное слово; значение пишется в кавычках, числом, true, false или null";
        } else if (at < bytes.size() && cp1251::DecodeUtf8(bytes, at, cp) == 0) {
            fault = "байты не в кодировке UTF-8";
        } else {
            fault = "недопустимый знак вне кавычек";
        }
        return PlaceOf(bytes, at) + ": " + std::string(fault);
    }
    for (const auto& [english, russian] : kSyntaxFaults) {
        if (what.find(english) != std::string::npos) {
            fault = russian;
            break;
        }
    }
    // A whole token read before it was found wrong: the place is its start.
    // The parser's token text starts with the token only for strings and
    // numbers; true, false and null are letters.
    if (what.find("unexpected string literal") != std::string::npos ||
        what.find("unexpected number literal") != std::string::npos ||
        what.find("number overflow") != std::string::npos) {
        if (reader.tokenLength > 0 && reader.tokenLength <= reader.bytesRead)
            at = reader.bytesRead - reader.tokenLength;
    } else if (what.find(" literal;") != std::string::npos) {
        while (at > 0 && at <= bytes.size() && IsAsciiLetter(bytes[at - 1])) --at;
    }
    // The parser stops at the byte that does not continue a sequence; the
    // fault is the sequence, and everything before it was read.
    if (what.find("ill-formed UTF-8") != std::string::npos) {
        char32_t cp = 0;
        for (std::size_t i = 0; i < at && i < bytes.size();
             i += std::max<std::size_t>(1, cp1251::DecodeUtf8(bytes, i, cp))) {
            if (cp1251::DecodeUtf8(bytes, i, cp) == 0) {
                at = i;
                break;
            }
        }
    }
    if (what.find("unexpected end of input") != std::string::npos &&
        bytes.find_first_not_of(" \t\r\n") == std::string_view::npos)
        fault = "файл пуст";
    return PlaceOf(bytes, at) + ": " + std::string(fault);
}

// A key as the message shows it: what Windows-1251 cannot show, or a
// control character, becomes "?".
std::string Shown(std::string_view key) {
    std::string shown;
    for (std::size_t i = 0; i < key.size();) {
        char32_t cp = 0;
        const std::size_t length = cp1251::DecodeUtf8(key, i, cp);
        if (length == 0 || cp < 0x20 || cp == 0x7F || cp1251::FromCodePoint(cp) < 0) {
            shown += '?';
        } else {
            shown.append(key.substr(i, length));
        }
        i += std::max<std::size_t>(1, length);
    }
    return shown;
}

// Reads one object's keys into record; an error names the key.
template <class Record>
std::string ReadObject(const json& object, const std::vector<Field<Record>>& fields, std::string_view prefix,
                       Record& record, const std::function<std::string(const json&)>& nested = {}) {
    for (auto item = object.begin(); item != object.end(); ++item) {
        const std::string& key = item.key();
        const json& value = item.value();
        if (nested && key == kVersionKey) continue;  // checked before the fields
        if (nested && key == kDatabaseKey) {
            if (std::string error = nested(value); !error.empty()) return error;
            continue;
        }
        const auto field = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.name == key; });
        if (field == fields.end()) return "неизвестный ключ " + Quoted(prefix, Shown(key));
        if (!field->set(value, record)) return "значение " + Quoted(prefix, key) + " должно быть " + field->expected;
    }
    return {};
}

}  // namespace

FormFileResult ReadFormFile(std::string_view bytes) {
    FormFileResult result;
    json root;
    JsonReader reader(root);
    if (!json::sax_parse(bytes.begin(), bytes.end(), &reader) || reader.failed) {
        result.error = SyntaxFault(bytes, reader);
        return result;
    }
    if (!root.is_object()) {
        result.error = "форма должна быть объектом JSON: {...}";
        return result;
    }
    if (const auto version = root.find(kVersionKey); version != root.end()) {
        int number = 0;
        if (!ToInt(*version, number) || number < 1) {
            result.error = "значение " + Quoted("", kVersionKey) + " должно быть целым числом от 1";
            return result;
        }
        if (number > kFormFileVersion) {
            result.error = "форма записана более новой версией Quillsmith (" + Quoted("", kVersionKey) + " " +
                           std::to_string(number) + ", эта читает до " + std::to_string(kFormFileVersion) + ")";
            return result;
        }
    }
    FormFile& file = result.file;
    result.error = ReadObject(root, FormFields(), "", file.form, [&file](const json& database) -> std::string {
        if (!database.is_object()) return "значение " + Quoted("", kDatabaseKey) + " должно быть объектом";
        return ReadObject(database, RecordFields(), "database.", file.record);
    });
    return result;
}

std::string WriteFormFile(const FormFile& file) {
    json root = json::object();
    root[std::string(kVersionKey)] = kFormFileVersion;
    for (const auto& field : FormFields()) root[std::string(field.name)] = field.get(file.form);
    json database = json::object();
    for (const auto& field : RecordFields()) database[std::string(field.name)] = field.get(file.record);
    root[std::string(kDatabaseKey)] = std::move(database);
    // Paths the reader took are UTF-8 already; anything else is replaced, not thrown.
    return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

Text FormFileNameFor(std::string_view pluginName) {
    Text name;
    for (const char c : pluginName) {
        const bool forbidden =
            static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        name += forbidden ? '_' : c;
    }
    // Windows drops trailing dots and blanks, and a name of only those is none.
    const std::size_t first = name.find_first_not_of(' ');
    const std::size_t last = name.find_last_not_of(". ");
    if (first == Text::npos || last == Text::npos || last < first) return {};
    return name.substr(first, last - first + 1) + ".qsform";
}
