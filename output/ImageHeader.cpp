#include "output/ImageHeader.h"

#include <cstdint>

namespace {

std::uint32_t Byte(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }
std::uint32_t BigEndian16(std::string_view b, std::size_t at) { return Byte(b, at) << 8 | Byte(b, at + 1); }
std::uint32_t LittleEndian16(std::string_view b, std::size_t at) { return Byte(b, at + 1) << 8 | Byte(b, at); }
std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
    return BigEndian16(b, at) << 16 | BigEndian16(b, at + 2);
}
std::uint32_t LittleEndian32(std::string_view b, std::size_t at) {
    return LittleEndian16(b, at + 2) << 16 | LittleEndian16(b, at);
}

// Sizes beyond this are a damaged header, not a picture.
constexpr std::uint32_t kMaxSide = 1u << 20;

ImageHeader Sized(ImageKind kind, std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return {kind, 0, 0};
    return {kind, static_cast<int>(width), static_cast<int>(height)};
}

ImageHeader Png(std::string_view b) {
    // Signature, then the IHDR chunk: length, type, width, height.
    if (b.size() < 24 || b.substr(12, 4) != "IHDR") return {ImageKind::Png, 0, 0};
    return Sized(ImageKind::Png, BigEndian32(b, 16), BigEndian32(b, 20));
}

ImageHeader Gif(std::string_view b) {
    if (b.size() < 10) return {ImageKind::Gif, 0, 0};
    return Sized(ImageKind::Gif, LittleEndian16(b, 6), LittleEndian16(b, 8));
}

ImageHeader Bmp(std::string_view b) {
    // File header (14 bytes), then the info header, whose size says its kind.
    if (b.size() < 18) return {ImageKind::Bmp, 0, 0};
    const std::uint32_t infoSize = LittleEndian32(b, 14);
    if (infoSize == 12) {
        if (b.size() < 22) return {ImageKind::Bmp, 0, 0};
        return Sized(ImageKind::Bmp, LittleEndian16(b, 18), LittleEndian16(b, 20));
    }
    if (infoSize < 40 || b.size() < 26) return {ImageKind::Bmp, 0, 0};
    const auto width = static_cast<std::int32_t>(LittleEndian32(b, 18));
    // A negative height is a picture stored top down.
    const auto height = static_cast<std::int32_t>(LittleEndian32(b, 22));
    if (width <= 0 || height == 0 || height == INT32_MIN) return {ImageKind::Bmp, 0, 0};
    return Sized(ImageKind::Bmp, static_cast<std::uint32_t>(width),
                 static_cast<std::uint32_t>(height < 0 ? -height : height));
}

bool IsStartOfFrame(std::uint32_t marker) {
    // SOF0 to SOF15, without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

ImageHeader Jpeg(std::string_view b) {
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (Byte(b, at) != 0xFF) return {ImageKind::Jpeg, 0, 0};
        const std::uint32_t marker = Byte(b, at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        // Markers without a length: TEM, RST0 to RST7.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return {ImageKind::Jpeg, 0, 0};  // no frame before the data
        const std::uint32_t length = BigEndian16(b, at + 2);
        if (length < 2) return {ImageKind::Jpeg, 0, 0};
        if (IsStartOfFrame(marker)) {
            // Length, precision, height, width.
            if (length < 7 || at + 9 > b.size()) return {ImageKind::Jpeg, 0, 0};
            return Sized(ImageKind::Jpeg, BigEndian16(b, at + 7), BigEndian16(b, at + 5));
        }
        at += 2 + length;
    }
    return {ImageKind::Jpeg, 0, 0};
}

}  // namespace

ImageHeader ReadImageHeader(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF") return Jpeg(bytes);
    if (bytes.size() >= 8 && bytes.substr(0, 8) == "\x89PNG\r\n\x1A\n") return Png(bytes);
    if (bytes.size() >= 6 && (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")) return Gif(bytes);
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM") return Bmp(bytes);
    return {};
}

std::string_view ImageMimeType(ImageKind kind) {
    switch (kind) {
        case ImageKind::Jpeg:
            return "image/jpeg";
        case ImageKind::Png:
            return "image/png";
        case ImageKind::Bmp:
            return "image/bmp";
        case ImageKind::Gif:
            return "image/gif";
        case ImageKind::None:
            break;
    }
    return {};
}
