#include "template/BuiltInTemplate.h"

#include <cstddef>

// Generated from resources/ at build time.
extern const unsigned char kBuiltInTemplatePackage[];
extern const std::size_t kBuiltInTemplatePackageSize;

namespace {
std::optional<std::span<const unsigned char>> g_override;
}

std::span<const unsigned char> BuiltInTemplateBytes() {
    if (g_override) return *g_override;
    return {kBuiltInTemplatePackage, kBuiltInTemplatePackageSize};
}

void OverrideBuiltInTemplateForTesting(std::optional<std::span<const unsigned char>> bytes) { g_override = bytes; }
