#pragma once
// What will look broken or wrong in the readme, each naming its field: the
// list beside the preview. The checks inform; Save never waits for them.
// They read the screenshot and archive files, and write nothing.

#include <string_view>
#include <variant>
#include <vector>

#include "output/DatabaseRecord.h"
#include "readme/DatabaseIds.h"
#include "readme/ExtrasIds.h"
#include "readme/PluginIds.h"
#include "readme/ReadmeForm.h"
#include "text/Cp1251.h"
#include "text/Text.h"

using CheckedField = std::variant<PluginId, ExtrasId, DatabaseId>;

// What a check can do about itself, beside leading to its field.
enum class CheckOffer {
    None,
    KeepLineBreaks,  // turn on the form's option that keeps every line break
};

struct ReadmeCheck {
    CheckedField field;
    Text message;  // Windows-1251, one line that starts with the field's name
    CheckOffer offer = CheckOffer::None;

    bool operator==(const ReadmeCheck&) const = default;
};

// The recommended screenshot size, as the Plugin page says.
inline constexpr int kScreenshotWidth = 300;
inline constexpr int kScreenshotHeight = 225;

// Every check, in the order of the form's fields. Relative file names are
// taken against baseFolder, as Save takes them against the readme's folder;
// the archive where its dialog found it, while the record still names it.
std::vector<ReadmeCheck> CheckReadme(const ReadmeForm& form, const DatabaseRecord& record, std::string_view baseFolder);

// One check: the field's name, what is wrong, and what follows, as every
// check's line reads. Checks of other folders add theirs with it.
void AddCheck(std::vector<ReadmeCheck>& checks, CheckedField field, std::string_view name, std::string_view what,
              std::string_view tail = {});

// The rules one at a time.

// The first HTML tag of text opened and not closed, or closed and not open,
// as "<b>" or "</b>"; empty when the tags balance. Elements without an end
// tag (br, img, ...) and those whose end HTML leaves out (p, li, td, ...)
// need none.
Text UnbalancedTag(std::string_view text);
// True when a line break in text will become a blank, joining two lines:
// only an empty line makes a new paragraph in the readme.
bool JoinsLines(std::string_view text);
// What in text a browser runs when it opens the readme: "<script>" for a
// script element, or an event attribute inside a tag as "onclick=", in
// lower case; empty when there is none.
Text ScriptInText(std::string_view text);
// True when a screenshot's side is more than a quarter off the recommended.
bool FarFromRecommendedSize(int width, int height);
// The archive file the record names.
FilePath ArchiveFileOf(const DatabaseRecord& record, std::string_view baseFolder);
