// Internal helpers of text drawing and measuring: turning text of any character type into character codes, and the
// width a font gives a code.
#pragma once

#include "twgr.h"

#include <cstdint>
#include <vector>

// Character codes of length characters of text (chrtype 0 bytes, 1 16-bit units, 2 (character, attribute) byte
// pairs, 3 UTF-8 limited to length bytes). attrs, when given, receives the attribute of each pair text character.
std::vector<std::uint16_t> text_codes(const void* text, int length, int chrtype, std::vector<std::uint8_t>* attrs);

// Decodes at most size bytes of UTF-8 (stopping at a zero byte); an invalid byte gives '?' and advances one byte.
std::vector<std::uint16_t> decode_utf8(const unsigned char* text, std::size_t size);

// The width of code in font: its own width when it lies in the font, else the font's nominal width.
inline std::uint32_t font_char_width(const GrFont* font, unsigned code)
{
    std::uint32_t index = code - font->h.minchar;
    return index < font->h.numchars ? font->chrinfo[index].width : font->h.width;
}
