#include "readme/TextRoutines.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr std::string_view kParagraph = "<br>";

bool IsBreak(char c) { return c == kCR || c == kLF; }

// The rule, byte by byte: `breaks` counts the current run of line-break
// bytes; every fourth one makes a "<br>", and a run not ended by one makes a
// blank before the next byte. Returns the new end of the output.
char* ConvertBytes(const char* src, std::size_t size, char* dst, unsigned& breaks) {
    for (std::size_t i = 0; i < size; ++i) {
        if (IsBreak(src[i])) {
            if (++breaks > 3) {
                std::memcpy(dst, kParagraph.data(), kParagraph.size());
                dst += kParagraph.size();
                breaks = 0;
            }
            continue;
        }
        if (breaks > 0) *dst++ = ' ';
        *dst++ = src[i];
        breaks = 0;
    }
    return dst;
}

#if defined(__SSE2__)
constexpr std::size_t kChunk = 64;

std::uint64_t BreakMask(const char* p) {
    const __m128i cr = _mm_set1_epi8(kCR);
    const __m128i lf = _mm_set1_epi8(kLF);
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const auto bits =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        mask |= static_cast<std::uint64_t>(bits) << (16 * k);
    }
    return mask;
}

void Copy64(char* dst, const char* src) {
    for (int k = 0; k < 4; ++k)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16 * k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16 * k)));
}

// The same rule, 64 bytes at a time: runs of text are copied with whole
// 64-byte stores whose excess the next write covers. Typical text has about
// one break per chunk, so the branches stay predictable. The output never
// runs ahead of the input, and a chunk is taken only while 128 input bytes
// remain, so every load and store stays inside the buffers.
char* ConvertChunks(const char* src, std::size_t size, std::size_t& done, char* dst, unsigned& breaks) {
    std::size_t p = 0;
    for (; p + 2 * kChunk <= size; p += kChunk) {
        const std::uint64_t mask = BreakMask(src + p);
        std::size_t cur = 0;
        while (cur < kChunk) {
            std::uint64_t rest = mask >> cur;
            const std::size_t text = rest ? static_cast<std::size_t>(__builtin_ctzll(rest)) : kChunk - cur;
            if (text > 0) {
                *dst = ' ';
                dst += breaks != 0;
                breaks = 0;
                Copy64(dst, src + p + cur);
                dst += text;
                cur += text;
                if (cur == kChunk) break;
                rest = mask >> cur;
            }
            // Bits above the chunk shift in as zeros, so ~rest ends the run,
            // unless the whole chunk is breaks.
            const auto run = ~rest ? static_cast<std::size_t>(__builtin_ctzll(~rest)) : kChunk;
            cur += run;
            breaks += static_cast<unsigned>(run);
            for (; breaks > 3; breaks -= 4) {
                std::memcpy(dst, kParagraph.data(), kParagraph.size());
                dst += kParagraph.size();
            }
        }
    }
    done = p;
    return dst;
}
#endif

}  // namespace

void AppendTextAsHtml(Text& out, std::string_view text) {
    // k break bytes become at most k bytes ("<br>" per four, one blank for the
    // rest), so the input's size bounds the output and one resize serves.
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    unsigned breaks = 0;
    std::size_t done = 0;
#if defined(__SSE2__)
    dst = ConvertChunks(text.data(), text.size(), done, dst, breaks);
#endif
    dst = ConvertBytes(text.data() + done, text.size() - done, dst, breaks);
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

Text ConvertTextToHtml(std::string_view text) {
    Text out;
    AppendTextAsHtml(out, text);
    return out;
}

void AppendTextKeepingBreaks(Text& out, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!IsBreak(text[at])) continue;
        out.append(text.substr(from, at - from));
        out += kParagraph;
        if (text[at] == kCR && at + 1 < text.size() && text[at + 1] == kLF) ++at;
        from = at + 1;
    }
    out.append(text.substr(from));
}

Text ConvertTextKeepingBreaks(std::string_view text) {
    Text out;
    AppendTextKeepingBreaks(out, text);
    return out;
}

std::string_view ScreenshotFileNameView(std::string_view path) {
    const std::size_t pos = path.rfind(kPathSeparator);
    return pos == std::string_view::npos ? path : path.substr(pos + 1);
}

Text ScreenshotFileName(std::string_view path) { return Text(ScreenshotFileNameView(path)); }

std::string_view BsaArchiveStem(std::string_view pluginFile) {
    const std::size_t pos = pluginFile.rfind('.');
    return pos == std::string_view::npos ? pluginFile : pluginFile.substr(0, pos);
}

Text BsaArchiveName(std::string_view pluginFile) {
    Text name(BsaArchiveStem(pluginFile));
    name += ".bsa";
    return name;
}
