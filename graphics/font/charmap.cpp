// Which of a font's characters draws a Unicode character: the font's own Unicode table where its file had one,
// otherwise code page 437, the set of the built-in font and of the PC screen fonts.
#include "font/textcodes.h"

#include <algorithm>
#include <array>

namespace
{

// Unicode of code page 437's codes 0x80..0xFF.
constexpr std::array<std::uint16_t, 128> cp437_upper = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Characters that look like one of code page 437's: Greek mu and beta, the ohm sign.
constexpr std::array<std::array<std::uint16_t, 2>, 3> cp437_lookalikes = {{
    {0x03BC, 0xE6},
    {0x03B2, 0xE1},
    {0x2126, 0xEA},
}};

long cp437_code(std::uint32_t codepoint)
{
    if (codepoint < 0x80)
        return codepoint;
    const auto* at = std::find(cp437_upper.begin(), cp437_upper.end(), codepoint);
    if (at != cp437_upper.end())
        return 0x80 + (at - cp437_upper.begin());
    for (const auto& pair : cp437_lookalikes)
        if (pair[0] == codepoint)
            return pair[1];
    return -1;
}

long table_code(const GrFont* font, std::uint32_t codepoint)
{
    const GrFontUnicode* end = font->unicode + font->unicodecount;
    const GrFontUnicode* at = std::lower_bound(font->unicode, end, codepoint,
                                               [](const GrFontUnicode& e, std::uint32_t c) { return e.codepoint < c; });
    return at != end && at->codepoint == codepoint ? static_cast<long>(at->code) : -1;
}

} // namespace

int GrFontCodeOf(const GrFont* font, std::uint32_t codepoint)
{
    if (!font)
        return -1;
    const long code = font->unicode ? table_code(font, codepoint) : cp437_code(codepoint);
    const long first = font->h.minchar, count = font->h.numchars;
    if (code < first || code - first >= count)
        return -1;
    return static_cast<int>(code);
}
