#pragma once
// The package bytes embedded at build time, with a seam for tests that need
// a damaged or missing package.

#include <optional>
#include <span>

std::span<const unsigned char> BuiltInTemplateBytes();

// Replaces what BuiltInTemplateBytes returns until reset with std::nullopt.
// An empty span stands for a package the program does not carry.
void OverrideBuiltInTemplateForTesting(std::optional<std::span<const unsigned char>> bytes);
