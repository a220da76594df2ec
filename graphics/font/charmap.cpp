// Which of a font's characters draws a Unicode character: the font's own Unicode table where its file had one (or
// declared a character set that its loader turned into one), otherwise code page 437, the set of the built-in
// font and of the PC screen fonts.
#include "font/textcodes.h"

#include "core/cp437.h"

#include <algorithm>
#include <array>

namespace
{

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
