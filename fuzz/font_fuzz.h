// Shared body of the font loader fuzz targets: arbitrary bytes go through one driver; whatever loads is then
// measured, turned in every direction and drawn into a small frame, so that odd but accepted fonts are exercised too.
#pragma once

#include "font/fontdrv.h"

#include <cstddef>
#include <cstdint>

inline int fuzz_font_driver(const font_driver& drv, const std::uint8_t* data, std::size_t size, const char* path)
{
    static GrContext* frame = [] {
        GrContext* ctx = GrCreateFrameContext(GR_frameRAM8, 48, 40, nullptr, nullptr);
        GrSetContext(ctx);
        GrSetClipBox(3, 2, 44, 37);
        return ctx;
    }();
    (void)frame;
    GrFont* font = load_font_from_bytes(drv, std::span<const std::uint8_t>(data, size), path);
    if (!font)
        return 0;
    unsigned char text[24];
    for (std::size_t i = 0; i < sizeof text; ++i)
        text[i] = static_cast<unsigned char>(font->h.minchar + i * 7);
    GrProportionalTextWidth(font, text, sizeof text, 0);
    for (int dir = 0; dir < 4; ++dir) {
        GrTextOption opt{};
        opt.txo_font = font;
        opt.txo_fgcolor.v = 15 | (dir & 1 ? 0x10000000u : 0);
        opt.txo_bgcolor.v = dir == 2 ? GrNOCOLOR : 1;
        opt.txo_direct = static_cast<signed char>(dir);
        opt.txo_xalign = static_cast<signed char>(dir % 3);
        opt.txo_yalign = static_cast<signed char>(3 - dir);
        GrDrawString(text, sizeof text, 20, 20, &opt);
    }
    GrUnloadFont(font);
    return 0;
}
