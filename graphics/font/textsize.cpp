// Measuring text: character codes from the four character types, UTF-8 decoding, string and character extents.
#include "core/c_entry.h"
#include "font/textcodes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{

// The range of the second byte of a sequence with this lead byte: narrower after E0, ED, F0 and F4, which
// would otherwise give overlong forms, surrogates or characters past U+10FFFF.
struct second_byte_range {
    unsigned char lo, hi;
};

second_byte_range second_range(unsigned char lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

// Bytes of the sequence a lead byte starts, or 0 for a byte that cannot start one.
std::size_t sequence_length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The font's code of each character of UTF-8 text; see GrDrawString.
std::vector<std::uint16_t> utf8_font_codes(const GrFont* font, const unsigned char* text, std::size_t size)
{
    std::vector<std::uint16_t> codes;
    const int question = GrFontCodeOf(font, '?');
    for (std::size_t i = 0; i < size && text[i] != 0;) {
        const utf8_char c = next_utf8(text + i, size - i);
        int code = c.valid ? GrFontCodeOf(font, c.codepoint) : text[i];
        if (code < 0)
            code = question >= 0 ? question : '?';
        codes.push_back(static_cast<std::uint16_t>(code));
        i += c.length;
    }
    return codes;
}

bool is_vertical(const GrTextOption* opt)
{
    return (opt->txo_direct & 1) != 0;
}

} // namespace

utf8_char next_utf8(const unsigned char* text, std::size_t size)
{
    const std::size_t n = size > 0 ? sequence_length(text[0]) : 0;
    if (n == 0 || n > size)
        return {0, 1, false};
    const second_byte_range second = second_range(text[0]);
    std::uint32_t cp = n == 1 ? text[0] : text[0] & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char lo = k == 1 ? second.lo : 0x80, hi = k == 1 ? second.hi : 0xBF;
        if (text[k] < lo || text[k] > hi)
            return {0, 1, false};
        cp = (cp << 6) | (text[k] & 0x3F);
    }
    return {cp, n, true};
}

std::vector<std::uint16_t> decode_utf8(const unsigned char* text, std::size_t size)
{
    std::vector<std::uint16_t> out;
    for (std::size_t i = 0; i < size && text[i] != 0;) {
        const utf8_char c = next_utf8(text + i, size - i);
        out.push_back(c.valid ? static_cast<std::uint16_t>(c.codepoint) : '?'); // codes are 16 bits wide
        i += c.length;
    }
    return out;
}

std::vector<std::uint16_t> text_codes(const GrFont* font, const void* text, int length, int chrtype,
                                      std::vector<std::uint8_t>* attrs)
{
    std::vector<std::uint16_t> codes;
    if (!text || length <= 0)
        return codes;
    auto n = static_cast<std::size_t>(length);
    const auto* bytes = static_cast<const unsigned char*>(text);
    switch (chrtype) {
    case GR_WORD_TEXT: {
        codes.resize(n);
        std::memcpy(codes.data(), text, n * sizeof(std::uint16_t));
        break;
    }
    case 2:
        for (std::size_t i = 0; i < n; ++i) {
            codes.push_back(bytes[2 * i]);
            if (attrs)
                attrs->push_back(bytes[2 * i + 1]);
        }
        break;
    case 3:
        return utf8_font_codes(font, bytes, n);
    default:
        codes.assign(bytes, bytes + n);
        break;
    }
    return codes;
}

int GrProportionalTextWidth(const GrFont* font, const void* text, int length, int chrtype)
{
    return twgr::result_or<int>(0, [&]() -> int {
        if (!font)
            return 0;
        long long total = 0;
        for (std::uint16_t code : text_codes(font, text, length, chrtype, nullptr))
            total += font_char_width(font, code);
        return static_cast<int>(total);
    });
}

int GrCharWidth(int chr, const GrTextOption* opt)
{
    const GrFont* font = opt ? opt->txo_font : nullptr;
    if (!font)
        return 0;
    return static_cast<int>(is_vertical(opt) ? font->h.height : font_char_width(font, static_cast<unsigned>(chr)));
}

int GrCharHeight(int chr, const GrTextOption* opt)
{
    const GrFont* font = opt ? opt->txo_font : nullptr;
    if (!font)
        return 0;
    return static_cast<int>(is_vertical(opt) ? font_char_width(font, static_cast<unsigned>(chr)) : font->h.height);
}

void GrCharSize(int chr, const GrTextOption* opt, int* w, int* h)
{
    if (w)
        *w = GrCharWidth(chr, opt);
    if (h)
        *h = GrCharHeight(chr, opt);
}

unsigned short* GrUTF8StrToUCS2Str(const unsigned char* text, int* count)
{
    return twgr::result_or<unsigned short*>(nullptr, [&]() -> unsigned short* {
        std::vector<std::uint16_t> codes =
            decode_utf8(text, text ? std::strlen(reinterpret_cast<const char*>(text)) : 0);
        if (count)
            *count = static_cast<int>(codes.size());
        auto* out = static_cast<unsigned short*>(std::malloc((codes.size() + 1) * sizeof(unsigned short)));
        if (!out)
            return nullptr;
        std::copy(codes.begin(), codes.end(), out);
        out[codes.size()] = 0;
        return out;
    });
}
