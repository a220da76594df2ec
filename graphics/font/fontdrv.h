// Internal interface of the font loaders: the font-file driver record, the driver table, and the owner of a
// loaded font's memory. Font files are untrusted input; every driver checks what it reads against the file size.
#pragma once

#include "twgr.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One font file format. A load attempt is openfile, header, then charwdt and bitmap per character, and always
// cleanup. The driver keeps its state (the file's bytes, its tables) only between openfile and cleanup.
struct font_driver {
    const char* name;
    const char* ext; // default file-name extension
    int scalable;
    // The whole file as read and the path it came from; non-zero when the file is of this format and consistent.
    int (*openfile)(std::span<const std::uint8_t> file, const char* path);
    // Fills the header; name and family stay valid until cleanup. Non-zero on success.
    int (*header)(GrFontHeader* hdr);
    int (*charwdt)(int code); // width of the character, or -1
    // Fills buffer (height rows of ceil(w / 8) bytes) with the glyph at size w x h; non-zero on success.
    int (*bitmap)(int code, int w, int h, unsigned char* buffer);
    void (*cleanup)();
    // The file's Unicode table as (character, code) pairs; null for formats that have none.
    void (*unicode)(std::vector<GrFontUnicode>* table);
};

extern const font_driver fdv_native;
extern const font_driver fdv_bgi;
extern const font_driver fdv_raw;
extern const font_driver fdv_fna;
extern const font_driver fdv_win;

// The drivers in the order a load tries them, ending with null.
extern const font_driver* const _GrFontDriverTable[];

// The characters of an opened font file, as every driver keeps them between openfile and cleanup: the first
// code, and per character its width and where its glyph starts in the driver's own store.
struct glyph_table {
    std::uint32_t first = 0;
    std::vector<std::uint32_t> widths;
    std::vector<std::size_t> offsets;

    std::uint32_t count() const { return static_cast<std::uint32_t>(widths.size()); }
    // The character's index, or none for a code outside the font.
    std::optional<std::size_t> index_of(int code) const;
    // The character's width, or -1 outside the font: what a driver's charwdt answers.
    int width_of(int code) const;
    // The character's index when its glyph is asked for at the size it is stored in (its width, and the font's
    // height); none otherwise.
    std::optional<std::size_t> stored_glyph(int code, int w, int h, std::uint32_t height) const;
};

// Copies a glyph of h rows stored src_pitch bytes apart into rows of ceil(w / 8) bytes.
void copy_glyph_rows(unsigned char* dst, const std::uint8_t* src, std::size_t src_pitch, int w, int h);

// The cleanup of a driver whose state is one variable: it forgets everything the variable held.
template <auto& State> void clear_state()
{
    State = {};
}

// Limits that keep a lying file from asking for absurd memory. Real bitmap fonts stay far below them.
inline constexpr std::size_t max_font_file_bytes = 8u << 20;
inline constexpr std::uint32_t max_glyph_side = 1024;    // pixels, either way
inline constexpr std::uint32_t max_font_chars = 0x10000; // codes are at most 16 bits wide
inline constexpr std::uint64_t max_font_bitmap_bytes = 16u << 20;

// Cache of turned and underlined glyphs, grown on demand.
struct font_aux_store {
    std::vector<unsigned char> map;
    std::array<std::vector<std::uint32_t>, 7> offsets;
};

// A font loaded from a file: the public record plus the memory behind its pointers.
struct loaded_font : GrFont {
    std::string name_store;
    std::string family_store;
    std::vector<unsigned char> bitmap_store;
    std::vector<GrFontChrInfo> chrinfo_store;
    std::vector<GrFontUnicode> unicode_store;
    font_aux_store aux;
};

// Builds a font from a driver whose openfile succeeded; null when the header or any glyph is refused.
GrFont* build_font(const font_driver& drv);

// One load attempt of a file's bytes through one driver (openfile, build, cleanup); null on failure. Gzip-compressed
// bytes are unpacked first, as a font file's are.
GrFont* load_font_from_bytes(const font_driver& drv, std::span<const std::uint8_t> file, const char* path);

// Whether a font file's bytes are gzip-compressed, and the font they hold: at most max_font_file_bytes, checked
// while unpacking; nullopt for corrupt, truncated or too large compressed data.
bool is_packed_font(std::span<const std::uint8_t> file);
std::optional<std::vector<std::uint8_t>> unpacked_font(std::span<const std::uint8_t> packed);

// Turned (kind 1..3) and/or underlined (+4) copy of a glyph, built once and cached with the font; null when the
// code is outside the font or memory runs out. Kind 0 gives the glyph itself.
const unsigned char* GrBuildAuxiliaryBitmap(GrFont* font, int code, int direct, int underline);
