#pragma once
// Puts what the RTF reader read into a Qt rich-text document, so a read-only
// text view shows the document formatted and never its RTF source.

#include <span>

#include "rtf/RtfDocument.h"

class QTextDocument;

namespace rtf {

// Replaces the whole content of target; its undo history is dropped.
void FillTextDocument(QTextDocument& target, const Document& document);

// Reads bytes as ReadRtf does and fills target with the result.
void SetRtf(QTextDocument& target, std::span<const unsigned char> bytes);

}  // namespace rtf
