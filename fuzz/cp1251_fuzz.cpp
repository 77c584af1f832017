// The codec on any bytes: Windows-1251 survives a round trip, and any input
// taken as UTF-8 yields bytes that decode to valid UTF-8 again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (cp1251::FromUtf8(cp1251::ToUtf8(bytes)) != bytes) std::abort();
    const std::string encoded = cp1251::FromUtf8(bytes);
    const std::string again = cp1251::ToUtf8(encoded);
    if (cp1251::FromUtf8(again) != encoded) std::abort();
    // The strict form is the lenient one when that needed no reference.
    std::string strict;
    const bool whole = cp1251::AppendStrictCp1251(strict, bytes);
    if (whole && (strict != encoded || !cp1251::IsValidUtf8(bytes))) std::abort();
    if (!whole && cp1251::IsValidUtf8(bytes) && cp1251::ToUtf8(encoded) == bytes) std::abort();
    return 0;
}
