// Keyboard encodings: their names, the system and user encodings of key events, and the conversion of a
// key event's character between CP437, CP850, CP1252, ISO 8859-1, UTF-8 and UCS-2.
#include "window/sdl2_window.h"

#include "core/cp437.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace
{

constexpr std::array<const char*, 6> encoding_names = {"CP437", "CP850", "CP1252", "ISO_8859_1", "UTF_8", "UCS_2"};

// Unicode of code page 850's codes 0x80..0xFF.
constexpr std::array<char16_t, 128> cp850_upper = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// CP1252 differs from ISO 8859-1 only in 0x80-0x9F; 0 marks the five unassigned codes.
constexpr std::array<char16_t, 32> cp1252_80_9f = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int sys_encoding = GRENC_CP1252;
int user_encoding = GRENC_CP1252;

bool known(int enc)
{
    return enc >= 0 && enc < (int)encoding_names.size();
}

// Unicode of a byte in a single-byte encoding; 0 for an unassigned code (0 itself is NUL everywhere).
char32_t byte_to_unicode(unsigned b, int enc)
{
    if (b < 0x80 || enc == GRENC_ISO_8859_1)
        return b;
    if (enc == GRENC_CP437)
        return cp437_upper[b - 0x80];
    if (enc == GRENC_CP850)
        return cp850_upper[b - 0x80];
    return b < 0xA0 ? cp1252_80_9f[b - 0x80] : b;
}

bool unicode_to_byte(char32_t c, int enc, unsigned& b)
{
    for (unsigned v = 0; v < 256; ++v) {
        if (byte_to_unicode(v, enc) == c && (c != 0 || v == 0)) {
            b = v;
            return true;
        }
    }
    return false;
}

void set_bytes(GrEvent& ev, const unsigned char* bytes, int n)
{
    ev.p1 = 0;
    std::memcpy(ev.cp1, bytes, (std::size_t)n);
    ev.p2 = n;
}

int encode_utf8(char32_t c, unsigned char out[4])
{
    if (c < 0x80) {
        out[0] = (unsigned char)c;
        return 1;
    }
    if (c < 0x800) {
        out[0] = (unsigned char)(0xC0 | c >> 6);
        out[1] = (unsigned char)(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = (unsigned char)(0xE0 | c >> 12);
        out[1] = (unsigned char)(0x80 | (c >> 6 & 0x3F));
        out[2] = (unsigned char)(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = (unsigned char)(0xF0 | c >> 18);
    out[1] = (unsigned char)(0x80 | (c >> 12 & 0x3F));
    out[2] = (unsigned char)(0x80 | (c >> 6 & 0x3F));
    out[3] = (unsigned char)(0x80 | (c & 0x3F));
    return 4;
}

bool is_surrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// One UTF-8 sequence of at most avail bytes: its character and length, or length 0 when it is invalid.
char32_t decode_utf8(const unsigned char* s, std::size_t avail, int& len)
{
    len = 0;
    if (avail == 0)
        return 0;
    unsigned char b = s[0];
    int n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || (std::size_t)n > avail)
        return 0;
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (s[k] & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    constexpr char32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || c > 0x10FFFF || is_surrogate(c))
        return 0;
    len = n;
    return c;
}

} // namespace

const char* GrStrEncoding(int enc)
{
    return known(enc) ? encoding_names[(std::size_t)enc] : "UNKNOW";
}

int GrFindEncoding(const char* name)
{
    if (name == nullptr)
        return -1;
    for (std::size_t i = 0; i < encoding_names.size(); ++i)
        if (strcasecmp(name, encoding_names[i]) == 0)
            return (int)i;
    return -1;
}

int GrGetKbSysEncoding(void)
{
    return sys_encoding;
}

int GrGetKbEncoding(void)
{
    return user_encoding;
}

int GrSetKbEncoding(int enc)
{
    if (!known(enc))
        return 0;
    user_encoding = enc;
    return 1;
}

int GrRecodeEvent(GrEvent* ev, int from, int to)
{
    if (ev == nullptr || from == to || !known(from) || !known(to) || ev->p2 == GRKEY_SPECIAL)
        return 0;
    char32_t c = 0;
    if (!twgr::input::decode_char(*ev, from, c) || !twgr::input::encode_char(c, to, *ev))
        twgr::input::encode_char(U'?', to, *ev);
    return 1;
}

namespace twgr::input
{

void read_kb_encodings()
{
    sys_encoding = GRENC_CP1252;
    int named = GrFindEncoding(std::getenv("TWGRKBSYSENCODING"));
    if (named >= 0)
        sys_encoding = named;
    // Programs get single bytes: UTF-8 input reaches them as ISO 8859-1.
    user_encoding = sys_encoding == GRENC_UTF_8 ? GRENC_ISO_8859_1 : sys_encoding;
}

std::vector<char32_t> utf8_decode(const char* text)
{
    std::vector<char32_t> out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = std::strlen(text);
    for (std::size_t i = 0; i < n;) {
        int len = 0;
        char32_t c = decode_utf8(s + i, n - i, len);
        if (len == 0) {
            ++i;
            continue;
        }
        out.push_back(c);
        i += (std::size_t)len;
    }
    return out;
}

bool encode_char(char32_t c, int enc, GrEvent& ev)
{
    unsigned char bytes[4] = {};
    if (enc == GRENC_UTF_8) {
        if (c > 0x10FFFF || is_surrogate(c))
            return false;
        set_bytes(ev, bytes, encode_utf8(c, bytes));
        return true;
    }
    if (enc == GRENC_UCS_2) {
        if (c > 0xFFFF || is_surrogate(c))
            return false;
        ev.p1 = (int)c;
        ev.p2 = 2;
        return true;
    }
    unsigned b = 0;
    if (!known(enc) || !unicode_to_byte(c, enc, b))
        return false;
    ev.p1 = (int)b;
    ev.p2 = 1;
    return true;
}

bool decode_char(const GrEvent& ev, int enc, char32_t& c)
{
    if (enc == GRENC_UTF_8) {
        int len = 0;
        std::size_t avail = ev.p2 > 0 && ev.p2 <= 4 ? (std::size_t)ev.p2 : 0;
        c = decode_utf8(reinterpret_cast<const unsigned char*>(ev.cp1), avail, len);
        return len == ev.p2 && len > 0;
    }
    if (enc == GRENC_UCS_2) {
        c = (char32_t)ev.p1;
        return ev.p1 >= 0 && ev.p1 <= 0xFFFF && !is_surrogate(c);
    }
    if (!known(enc) || ev.p1 < 0 || ev.p1 > 0xFF)
        return false;
    c = byte_to_unicode((unsigned)ev.p1, enc);
    return c != 0 || ev.p1 == 0;
}

} // namespace twgr::input
