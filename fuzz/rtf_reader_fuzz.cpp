// The RTF reader on any bytes: no crash, no hang, and the text it yields is
// valid UTF-8 for the view.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "rtf/RtfReader.h"
#include "text/Cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rtf::Document doc = rtf::ReadRtf(std::span<const unsigned char>(data, size));
    const std::string text = doc.PlainText();
    if (!cp1251::IsValidUtf8(text)) std::abort();
    return 0;
}
