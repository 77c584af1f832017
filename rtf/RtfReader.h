#pragma once
// A small RTF reader for the program's own documents: groups, the font and
// colour tables, character formatting (\b \i \ul \fs \f \cf \plain),
// paragraphs (\par \pard, alignment, indents, spacing, tab stops), \line and
// \tab, \'hh escapes in Windows-1251 and \uN with its \ucN fallback.
// Destinations it does not show (\* groups, \info, \stylesheet, pictures ...)
// are skipped.
//
// It takes any bytes. Malformed or truncated input gives whatever text could
// be read; nesting deeper than kMaxGroupDepth is skipped, numbers are clamped,
// and the work is linear in the input. Input that does not begin with "{\rtf"
// is shown as plain Windows-1251 text, as a rich-edit control shows it.

#include <cstddef>
#include <span>
#include <string_view>

#include "rtf/RtfDocument.h"

namespace rtf {

inline constexpr std::size_t kMaxGroupDepth = 256;

Document ReadRtf(std::span<const unsigned char> bytes);
Document ReadRtf(std::string_view bytes);

}  // namespace rtf
