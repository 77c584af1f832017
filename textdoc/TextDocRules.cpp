#include "textdoc/TextDocRules.h"

#include <algorithm>
#include <cstdint>

#include "output/FileIo.h"
#include "text/Cp1251.h"
#include "text/LineBreaks.h"
#include "text/Utf16.h"

namespace {

enum class Utf8Check { Invalid, Valid, CutShort };

struct Utf8Scan {
    Utf8Check check = Utf8Check::Invalid;
    std::size_t completeSize = 0;  // bytes up to the last whole character
    bool nonAscii = false;
};

// A sequence that is only missing its last bytes at the very end is CutShort.
Utf8Scan ScanUtf8(std::string_view bytes) {
    Utf8Scan scan;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        bool cutShort = false;
        const std::size_t length = cp1251::DecodeUtf8(bytes, i, cp, &cutShort);
        if (length == 0) {
            scan.nonAscii = true;
            if (cutShort) {
                scan.check = Utf8Check::CutShort;
                scan.completeSize = i;
            }
            return scan;
        }
        scan.nonAscii = scan.nonAscii || length > 1;
        i += length;
    }
    scan.check = Utf8Check::Valid;
    scan.completeSize = bytes.size();
    return scan;
}

// UTF-16 with its byte-order mark, what Windows editors write for
// "Unicode": decoded up to the first zero character, an unpaired surrogate
// as U+FFFD, an odd last byte (or half a pair) cut by the limit dropped.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const char16_t unit =
            bigEndian ? static_cast<char16_t>(first << 8 | second) : static_cast<char16_t>(second << 8 | first);
        if (unit == 0) break;
        units += unit;
    }
    // The other half of a pair cut by the limit lies past it: not a fault.
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
    return utf16::ToUtf8(units);
}

}  // namespace

TextSelection NormaliseSelection(int start, int end) {
    if (start < 0 || end < 0 || start > end) return {};
    return {start, end};
}

Text CaptureSelection(std::string_view text, int start, int end) {
    const TextSelection selection = NormaliseSelection(start, end);
    const std::size_t from = std::min(static_cast<std::size_t>(selection.start), text.size());
    return Text(text.substr(from, static_cast<std::size_t>(selection.end - selection.start)));
}

Text InsertFieldText(std::string_view captured) { return Text(captured); }

Text AddFieldText(std::string_view fieldText, std::string_view captured) {
    Text result;
    result.reserve(fieldText.size() + captured.size());
    result += fieldText;
    result += captured;
    return result;
}

std::optional<TextFileRead> ReadTextFile(const FilePath& path, std::span<char, kTextBufferSize> buffer) {
    fileio::InputFile file;
    if (!file.Open(path)) return std::nullopt;
    const std::uint64_t length = file.length();
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxTextFileBytes));

    std::fill(buffer.begin(), buffer.end(), '\0');
    const std::ptrdiff_t read = file.ReadUpTo(buffer.data(), wanted);
    if (read < 0) return std::nullopt;
    const auto got = static_cast<std::size_t>(read);
    return TextFileRead{got, got == kMaxTextFileBytes && length > kMaxTextFileBytes};
}

std::string DocumentText(std::string_view bytes, bool cut) {
    if (bytes.starts_with("\xFF\xFE")) return WithCrLf(DecodeUtf16(bytes, false));
    if (bytes.starts_with("\xFE\xFF")) return WithCrLf(DecodeUtf16(bytes, true));
    const std::size_t zero = bytes.find('\0');
    const std::string_view text = bytes.substr(0, zero);
    // A zero byte ended the text before the limit did.
    const bool cutByLimit = cut && zero == std::string_view::npos;

    const Utf8Scan scan = ScanUtf8(text);
    const bool utf8 =
        scan.nonAscii && (scan.check == Utf8Check::Valid || (scan.check == Utf8Check::CutShort && cutByLimit));
    if (!utf8) return WithCrLf(cp1251::ToUtf8(text));

    std::string_view whole = text.substr(0, scan.completeSize);
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (whole.starts_with(kByteOrderMark)) whole.remove_prefix(kByteOrderMark.size());
    return WithCrLf(whole);
}

namespace {

constexpr std::string_view kShownFirst = "Показаны первые "_cp;
constexpr std::string_view kKilobytesOf = " КБ из "_cp;
constexpr std::string_view kKilobytes = " КБ"_cp;

}  // namespace

Text DocumentCutNote(std::size_t shown, std::uint64_t length) {
    constexpr std::uint64_t kKilobyte = 1024;
    const std::uint64_t shownKb = std::max<std::uint64_t>(1, (shown + kKilobyte / 2) / kKilobyte);
    const std::uint64_t wholeKb = std::max(shownKb + 1, (length + kKilobyte - 1) / kKilobyte);
    Text note(kShownFirst);
    note += std::to_string(shownKb);
    note += kKilobytesOf;
    note += std::to_string(wholeKb);
    note += kKilobytes;
    return note;
}
