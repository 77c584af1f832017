#pragma once
// What kind of picture a file is, and its size, read from its first bytes:
// JPEG, PNG, BMP and GIF, the kinds a browser shows from a readme.

#include <cstddef>
#include <string_view>

enum class ImageKind { None, Jpeg, Png, Bmp, Gif };

struct ImageHeader {
    ImageKind kind = ImageKind::None;
    // 0 when the header is cut short before the size.
    int width = 0;
    int height = 0;

    bool operator==(const ImageHeader&) const = default;
};

// How many of a file's first bytes ReadImageHeader needs at most: a JPEG
// may carry a large thumbnail before its size.
inline constexpr std::size_t kImageHeaderBytes = 256 * 1024;

// Any bytes; never reads past them.
ImageHeader ReadImageHeader(std::string_view bytes);

// "image/jpeg" and so on; empty for ImageKind::None.
std::string_view ImageMimeType(ImageKind kind);
