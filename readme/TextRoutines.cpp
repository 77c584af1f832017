#include "readme/TextRoutines.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool IsBreak(char c) { return c == kCR || c == kLF; }

// Index of the first CR or LF at or after from, or size.
std::size_t FindBreak(const char* p, std::size_t from, std::size_t size) {
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8(kCR);
    const __m128i lf = _mm_set1_epi8(kLF);
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < size && !IsBreak(p[i])) ++i;
    return i;
}

}  // namespace

void AppendTextAsHtml(Text& out, std::string_view text) {
    // Every rule shortens or keeps the length: k break bytes become at most
    // k bytes ("<br>" per four, one blank for the rest), so the input's size
    // bounds the output and one resize serves the whole run.
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const char* src = text.data();
    const std::size_t size = text.size();

    std::size_t i = 0;
    while (i < size) {
        std::size_t breaks = 0;
        while (i < size && IsBreak(src[i])) ++breaks, ++i;
        for (std::size_t n = breaks / 4; n > 0; --n) {
            std::memcpy(dst, "<br>", 4);
            dst += 4;
        }
        if (i == size) break;
        if (breaks % 4 != 0) *dst++ = ' ';
        const std::size_t end = FindBreak(src, i, size);
        std::memcpy(dst, src + i, end - i);
        dst += end - i;
        i = end;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

Text ConvertTextToHtml(std::string_view text) {
    Text out;
    AppendTextAsHtml(out, text);
    return out;
}

Text ScreenshotFileName(std::string_view path) {
    const std::size_t pos = path.rfind(kPathSeparator);
    if (pos == std::string_view::npos) return Text(path);
    return Text(path.substr(pos + 1));
}

Text BsaArchiveName(std::string_view pluginFile) {
    const std::size_t pos = pluginFile.rfind('.');
    Text name(pos == std::string_view::npos ? pluginFile : pluginFile.substr(0, pos));
    name += ".bsa";
    return name;
}
