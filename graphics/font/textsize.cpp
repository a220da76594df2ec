// Measuring text: character codes from the four character types, UTF-8 decoding, string and character extents.
#include "font/textcodes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{

// Length of the sequence a lead byte starts, or 0 for a byte that cannot start one.
int sequence_length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

bool is_vertical(const GrTextOption* opt)
{
    return (opt->txo_direct & 1) != 0;
}

} // namespace

std::vector<std::uint16_t> decode_utf8(const unsigned char* text, std::size_t size)
{
    std::vector<std::uint16_t> out;
    std::size_t i = 0;
    while (i < size && text[i] != 0) {
        int n = sequence_length(text[i]);
        bool whole = n > 0 && static_cast<std::size_t>(n) <= size - i;
        for (int k = 1; whole && k < n; ++k)
            whole = (text[i + k] & 0xC0) == 0x80;
        if (!whole) {
            out.push_back('?');
            ++i;
            continue;
        }
        std::uint32_t cp = n == 1 ? text[i] : text[i] & (0x7F >> n);
        for (int k = 1; k < n; ++k)
            cp = (cp << 6) | (text[i + k] & 0x3F);
        out.push_back(static_cast<std::uint16_t>(cp)); // codes are 16 bits wide
        i += static_cast<std::size_t>(n);
    }
    return out;
}

std::vector<std::uint16_t> text_codes(const void* text, int length, int chrtype, std::vector<std::uint8_t>* attrs)
{
    std::vector<std::uint16_t> codes;
    if (!text || length <= 0)
        return codes;
    auto n = static_cast<std::size_t>(length);
    const auto* bytes = static_cast<const unsigned char*>(text);
    switch (chrtype) {
    case 1: {
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
        return decode_utf8(bytes, n);
    default:
        codes.assign(bytes, bytes + n);
        break;
    }
    return codes;
}

int GrProportionalTextWidth(const GrFont* font, const void* text, int length, int chrtype)
{
    if (!font)
        return 0;
    long long total = 0;
    for (std::uint16_t code : text_codes(text, length, chrtype, nullptr))
        total += font_char_width(font, code);
    return static_cast<int>(total);
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
    std::vector<std::uint16_t> codes = decode_utf8(text, text ? std::strlen(reinterpret_cast<const char*>(text)) : 0);
    if (count)
        *count = static_cast<int>(codes.size());
    auto* out = static_cast<unsigned short*>(std::malloc((codes.size() + 1) * sizeof(unsigned short)));
    if (!out)
        return nullptr;
    std::copy(codes.begin(), codes.end(), out);
    out[codes.size()] = 0;
    return out;
}
