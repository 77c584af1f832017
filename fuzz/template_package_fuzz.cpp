// Any bytes as a template package: no read outside them, and whatever loads
// answers lookups consistently.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "template/TemplatePackage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so the sanitizer sees any overread.
    TemplatePackage package;
    package.Load({data, size});
    for (int i = 0; i < package.count(); ++i) {
        const TemplateEntry& e = package.Entry(i);
        volatile unsigned char sink = 0;
        for (std::uint32_t k = 0; k < e.size; k += 97) sink = sink ^ e.data[k];
        if (e.size > 0) sink = sink ^ e.data[e.size - 1];
        char name[17] = {};
        for (int k = 0; k < 16; ++k) name[k] = e.name[k];
        // A name without a NUL in its 16 bytes matches nothing, by design.
        const int found = package.FindEntry(name);
        const bool terminated = std::memchr(e.name, 0, sizeof e.name) != nullptr;
        if (terminated && (found < 0 || found > i)) std::abort();
        if (!terminated && found != -1) std::abort();
    }
    for (auto name : TemplatePackage::kFragmentNames) (void)package.Fragment(name).size();
    return 0;
}
