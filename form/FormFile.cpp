#include "form/FormFile.h"

#include <climits>
#include <functional>
#include <nlohmann/json.hpp>
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
    std::string_view expected;
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

// A file name stays as the file system knows it, in UTF-8.
bool ToPath(const json& value, FilePath& out) {
    if (!value.is_string()) return false;
    out = value.get_ref<const std::string&>();
    return true;
}
json FromPath(const FilePath& path) { return path; }

template <class Record>
Field<Record> PathField(std::string_view name, FilePath Record::*member) {
    return {name, "a string", [member](const json& v, Record& r) { return ToPath(v, r.*member); },
            [member](const Record& r) { return FromPath(r.*member); }};
}

template <class Record>
Field<Record> TextField(std::string_view name, Text Record::*member) {
    return {name, "a string", [member](const json& v, Record& r) { return ToText(v, r.*member); },
            [member](const Record& r) { return FromText(r.*member); }};
}

template <class Record>
Field<Record> FlagField(std::string_view name, bool Record::*member) {
    return {name, "true or false",
            [member](const json& v, Record& r) {
                if (!v.is_boolean()) return false;
                r.*member = v.get<bool>();
                return true;
            },
            [member](const Record& r) { return json(r.*member); }};
}

template <class Record>
Field<Record> IntField(std::string_view name, int Record::*member) {
    return {name, "a whole number", [member](const json& v, Record& r) { return ToInt(v, r.*member); },
            [member](const Record& r) { return FromInt(r.*member); }};
}

// Arrays are all or nothing: a bad element leaves the field as it was.
template <class Record, class Element, class Convert, class Back>
Field<Record> ArrayField(std::string_view name, std::string_view expected, std::array<Element, 3> Record::*member,
                         Convert convert, Back back) {
    return {name, expected,
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
        IntField("screenshotCount", &F::screenshotCount),
        ArrayField("screenshotPath", "an array of 3 strings", &F::screenshotPath, ToPath, FromPath),
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
    };
    return fields;
}

const std::vector<Field<DatabaseRecord>>& RecordFields() {
    using R = DatabaseRecord;
    static const std::vector<Field<R>> fields = {
        FlagField("recordWanted", &R::recordWanted),
        IntField("categoryIndex", &R::categoryIndex),
        PathField("archiveName", &R::archiveName),
        TextField("imageName", &R::imageName),
        TextField("authorName", &R::authorName),
        TextField("authorEmail", &R::authorEmail),
        TextField("adapterName", &R::adapterName),
        TextField("adapterEmail", &R::adapterEmail),
        TextField("archiveSize", &R::archiveSize),
        TextField("originalLink", &R::originalLink),
        ArrayField("grades", "an array of 3 whole numbers", &R::grades, ToInt, FromInt),
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
        if (field == fields.end()) return "unknown key " + Quoted(prefix, key);
        if (!field->set(value, record)) return Quoted(prefix, key) + " must be " + std::string(field->expected);
    }
    return {};
}

}  // namespace

FormFileResult ReadFormFile(std::string_view bytes) {
    FormFileResult result;
    json root;
    try {
        root = json::parse(bytes.begin(), bytes.end());
    } catch (const json::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 2, column 7: ..."; a number
        // too large for a double ("7e999") is an out_of_range error, not a parse error.
        const std::string what = e.what();
        const std::size_t tag = what.find("] ");
        result.error = tag == std::string::npos ? what : what.substr(tag + 2);
        return result;
    }
    if (!root.is_object()) {
        result.error = "the form must be a JSON object";
        return result;
    }
    if (const auto version = root.find(kVersionKey); version != root.end()) {
        int number = 0;
        if (!ToInt(*version, number) || number < 1) {
            result.error = Quoted("", kVersionKey) + " must be a whole number from 1";
            return result;
        }
        if (number > kFormFileVersion) {
            result.error = "the form was written by a newer Quillsmith (" + Quoted("", kVersionKey) + " " +
                           std::to_string(number) + "; this one reads up to " + std::to_string(kFormFileVersion) + ")";
            return result;
        }
    }
    FormFile& file = result.file;
    result.error = ReadObject(root, FormFields(), "", file.form, [&file](const json& database) -> std::string {
        if (!database.is_object()) return Quoted("", kDatabaseKey) + " must be an object";
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
