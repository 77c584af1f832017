#pragma once
// The reference pages' material, compiled into the program from resources/
// so nothing is read from disk at run time: the user guide and the licence
// (RTF, Windows-1251, no terminating zero) and the banner (an 8-bit BMP whose
// pure black is transparent).

#include <cstddef>
#include <span>

extern const unsigned char kHelpRtf[];
extern const std::size_t kHelpRtfSize;
extern const unsigned char kLicenseRtf[];
extern const std::size_t kLicenseRtfSize;
extern const unsigned char kBannerBmp[];
extern const std::size_t kBannerBmpSize;

inline std::span<const unsigned char> HelpRtfBytes() { return {kHelpRtf, kHelpRtfSize}; }
inline std::span<const unsigned char> LicenseRtfBytes() { return {kLicenseRtf, kLicenseRtfSize}; }
inline std::span<const unsigned char> BannerBmpBytes() { return {kBannerBmp, kBannerBmpSize}; }
