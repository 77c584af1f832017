#pragma once
// The about page's banner is drawn with one colour transparent, exactly
// pure black, RGB (0, 0, 0): any other colour, however dark, shows. Every
// platform draws it by this rule.

#include <cstdint>

// colour as 0xRRGGBB; any bits above are ignored.
constexpr bool IsBannerTransparent(std::uint32_t colour) { return (colour & 0xFFFFFFu) == 0; }
