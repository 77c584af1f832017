// ConvertTextToHtml on any bytes agrees with the rule taken byte by byte and
// never grows the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "readme/TextRoutines.h"

namespace {
std::string Reference(std::string_view text) {
    std::string out;
    int counter = 0;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (++counter > 3) out += "<br>", counter = 0;
        } else {
            if (counter > 0) out += ' ';
            out += c;
            counter = 0;
        }
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Text html = ConvertTextToHtml(text);
    if (html.size() > size || html != Reference(text)) std::abort();
    (void)ScreenshotFileName(text);
    (void)BsaArchiveName(text);
    return 0;
}
