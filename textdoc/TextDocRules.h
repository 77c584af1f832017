#pragma once
// The text document's rules on plain byte strings, apart from any window:
// the passage the field editor captures, what insert and add make of a
// field, and how Open turns a file's bytes into the document's text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/Buffer.h"
#include "text/Text.h"

// Open reads at most this much, so the buffer always ends in a zero byte.
inline constexpr std::size_t kMaxTextFileBytes = kTextBufferSize - 1;

// Character positions in the document's text, as the edit control reports
// its selection: the start, and one past the last selected character.
struct TextSelection {
    int start = 0;
    int end = 0;

    bool empty() const { return start == end; }
    bool operator==(const TextSelection&) const = default;
};

// A negative bound, or a start after the end, counts as no selection: (0, 0).
TextSelection NormaliseSelection(int start, int end);

// The selected characters, clipped to the text; empty for no selection.
Text CaptureSelection(std::string_view text, int start, int end);

// "Вставить в": the field's text becomes the captured text.
Text InsertFieldText(std::string_view captured);
// "Добавить в": the captured text follows the field's text, with nothing
// between them.
Text AddFieldText(std::string_view fieldText, std::string_view captured);

// How much of a file ReadTextFile put into the buffer, and whether the file
// went on past the limit.
struct TextFileRead {
    std::size_t size = 0;
    bool cut = false;

    bool operator==(const TextFileRead&) const = default;
};

// Fills the buffer with zero bytes, then reads the first bytes of the file
// at path (in the file system's encoding) into it, at most
// kMaxTextFileBytes. Nothing when the file cannot be opened or read: it is
// missing, is not a plain file (a folder, a pipe, a device), or a read fails.
std::optional<TextFileRead> ReadTextFile(const FilePath& path, std::span<char, kTextBufferSize> buffer);

// The document's text, as UTF-8 with CR LF line breaks, from the bytes Open
// read (cut says the file was longer). The text ends at the first zero byte.
// Bytes that start with a UTF-16 byte-order mark (either order) are UTF-16.
// Other bytes are Windows-1251 unless they are valid UTF-8 holding at least
// one byte outside ASCII; then they are read as UTF-8, without a leading
// byte-order mark, and a character that the limit cut in two is dropped.
// A CR LF pair, a lone CR and a lone LF are each one line break.
std::string DocumentText(std::string_view bytes, bool cut);

// The status line's note for a file longer than the buffer, in Windows-1251:
// shown bytes to the nearest kilobyte, the whole file's rounded up, so a file
// a little longer never reads as the same size.
Text DocumentCutNote(std::size_t shown, std::uint64_t length);
