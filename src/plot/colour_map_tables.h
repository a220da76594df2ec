// The colour maps of colour by value and density shading, as data: evenly spaced 8-bit sRGB colours.
#ifndef TREMWIL_COLOUR_MAP_TABLES_H
#define TREMWIL_COLOUR_MAP_TABLES_H

#include <cstddef>
#include <cstdint>

// One map: its name for "--cmap", its colours (0xRRGGBB, the lowest value's first) and whether it diverges
// from a middle colour that stands for 0.
struct colour_map_table {
    const char* name;
    const std::uint32_t* colours;
    std::size_t count;
    bool diverging;
};

inline constexpr int colour_map_count = 5;

// viridis (the default), magma, cividis, grey and coolwarm, in that order.
extern const colour_map_table colour_maps[colour_map_count];

#endif // TREMWIL_COLOUR_MAP_TABLES_H
