// Internal helpers of text drawing and measuring: turning text of any character type into character codes, and the
// width a font gives a code.
#pragma once

#include "twgr.h"

#include <cstdint>
#include <vector>

// Font codes of length characters of text (chrtype 0 bytes, 1 16-bit units, 2 (character, attribute) byte
// pairs, 3 UTF-8 limited to length bytes, drawn with font's codes). attrs, when given, receives the attribute of
// each pair text character.
std::vector<std::uint16_t> text_codes(const GrFont* font, const void* text, int length, int chrtype,
                                      std::vector<std::uint8_t>* attrs);

// One step through UTF-8: the character at the start of text and its length in bytes, or valid = false (length
// 1) when the bytes there are not a well-formed sequence (overlong forms and surrogates included).
struct utf8_char {
    std::uint32_t codepoint;
    std::size_t length;
    bool valid;
};
utf8_char next_utf8(const unsigned char* text, std::size_t size);

// Decodes at most size bytes of UTF-8 (stopping at a zero byte); an invalid byte gives '?' and advances one byte.
std::vector<std::uint16_t> decode_utf8(const unsigned char* text, std::size_t size);

// The width of code in font: its own width when it lies in the font, else the font's nominal width.
inline std::uint32_t font_char_width(const GrFont* font, unsigned code)
{
    std::uint32_t index = code - font->h.minchar;
    return index < font->h.numchars ? font->chrinfo[index].width : font->h.width;
}
