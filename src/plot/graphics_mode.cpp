// Entering and leaving graphics mode once per shown file, the colour slots, the font and the text helpers.
#include "plot/graphics_mode.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/messages.h"
#include "data/data_set.h"
#include "plot/colour_bar.h"
#include "plot/scale_mapping.h"

GrColor colors[256];
GrColor set_fill_colors[10];
GrFont* font = &GrFont_PC8x16;
GrGraphicsMode oldmode = GR_default_text;

namespace
{

bool mode_entered = false;
bool events_started = false;

// Only a window page has an input queue; a memory page never waits for keys.
void start_events()
{
    GrEventInit();
}

void stop_events()
{
    GrEventUnInit();
}

// Next key press from the window's queue; mouse clicks and other events do not end the wait. Without a queue
// (a memory page) nothing could ever arrive, so the wait ends at once with a space, which moves the viewing
// loop on to the next file instead of blocking for ever.
int wait_for_key_event()
{
    if (!events_started)
        return ' ';
    for (;;) {
        GrEvent ev{};
        GrEventWaitKeyOrClick(&ev);
        TW_DEBUG("ev.type=" << ev.type);
        if (ev.type == GREV_KEY)
            return ev.p1;
    }
}

// Row of the size table for a size index; indices outside the table fall back to the placeholder row, which
// stands for row 3, instead of reading past the table's end.
int size_row(int vga)
{
    const int row = vga >= 0 && vga < WHC_ROWS ? vga : 0;
    return whc[row][0] == 0 ? 3 : row;
}

// Page width of a row widened by the z legend column, kept inside the int range.
int page_width(int row)
{
    const long long w = static_cast<long long>(whc[row][0]) + Zscale.legend_width;
    return static_cast<int>(std::clamp<long long>(w, INT_MIN, INT_MAX));
}

void release_font()
{
    if (font != &GrFont_PC8x16)
        GrUnloadFont(font);
    font = &GrFont_PC8x16;
}

// A font still loaded from an entry without exit is released first, so it cannot leak.
void load_font()
{
    release_font();
    const char* name = std::getenv(ENVFONT);
    if (name == nullptr)
        return;
    TW_DEBUG(ENVFONT << "=" << name);
    GrFont* loaded = GrLoadFont(name);
    TW_DEBUG("font = " << static_cast<const void*>(loaded));
    if (loaded != nullptr) {
        font = loaded;
        return;
    }
    std::printf("Font %ss not found\n", name);
    std::printf("Using default font\n");
    std::fflush(stdout);
}

GrColor alloc_rgb(const RGB& c)
{
    return GrAllocColor(c.r, c.g, c.b);
}

std::uint8_t halfway_to_white(std::uint8_t v)
{
    return static_cast<std::uint8_t>((v + 256) / 2);
}

const GrFont* font_of(const GrTextOption* opt)
{
    return opt != nullptr && opt->txo_font != nullptr ? opt->txo_font : font;
}

bool is_vertical(const GrTextOption* opt)
{
    return opt != nullptr && (opt->txo_direct & 1) != 0;
}

// The program's texts (titles, labels, --text, paths) are UTF-8, as on today's systems; bytes that are not
// valid UTF-8 still draw as the font's glyph of that byte.
constexpr signed char program_text = GR_UTF8_TEXT;

// Length of s along the writing direction: the widths of its characters, so a fixed font gives the cell width
// times the number of characters, not of bytes.
unsigned int along_text(const std::string& s, const GrTextOption* opt)
{
    const int length = static_cast<int>(std::min<std::size_t>(s.size(), INT_MAX));
    return static_cast<unsigned int>(
        std::max(GrProportionalTextWidth(font_of(opt), s.data(), length, program_text), 0));
}

int clamp_position(long v)
{
    return static_cast<int>(std::clamp<long>(v, -pixel_far, pixel_far));
}

// A window needs a display. Without one the run ends as the library's mode set would end it, with a second
// line that names the way to draw without a window.
void require_video_driver()
{
    if (GrDriverInfo->vdriver == nullptr)
        GrSetDriver(nullptr);
    if (GrDriverInfo->vdriver != nullptr)
        return;
    std::fprintf(stderr, "GrSetMode: could not find suitable video driver\n"
                         "No window can be opened here; --in-memory saves the pictures without one.\n");
    std::exit(1);
}

} // namespace

void entergrmode(int vga)
{
    if (vga == 0)
        return;
    // Entering again without leaving keeps the mode found on the first entry, the one to return to.
    if (!mode_entered)
        oldmode = GrDriverInfo->mcode;
    const int row = size_row(vga);
    if (in_memory)
        GrSetDriver("memory");
    else
        require_video_driver();
    GrSetMode(GR_width_height_color_graphics, page_width(row), whc[row][1], whc[row][2]);
    mode_entered = true;
    // An error from here on leaves graphics mode before it speaks, so its message reaches a usable terminal.
    set_error_cleanup(exitgrmode);
    load_font();
    // A page without a window (the memory driver, chosen by --in-memory or through TWGRDRV) has no input.
    events_started = GrDriverInfo->vdriver != nullptr && GrDriverInfo->vdriver->adapter != GR_MEM;
    if (events_started)
        start_events();
}

void exitgrmode()
{
    if (!mode_entered)
        return;
    mode_entered = false;
    set_error_cleanup(nullptr);
    if (events_started)
        stop_events();
    events_started = false;
    release_font();
    GrSetMode(oldmode);
}

void alloc_colors()
{
    colors[COLOR_WHITE] = GrWhite();
    colors[COLOR_BLACK] = GrBlack();
    colors[COLOR_BG] = alloc_rgb(BgColor);
    for (int i = 0; i < 10; ++i)
        colors[COLOR_FG0 + i] = alloc_rgb(FgColors[i]);
    colors[COLOR_AX] = alloc_rgb(AxColor);
    colors[COLOR_MISC] = alloc_rgb(MiscColor);
    colors[COLOR_FILL] = alloc_rgb(FillColor);
    colors[COLOR_FILLRING] = alloc_rgb(FillColorRing);
    for (int i = 1; i < 10; ++i) {
        const RGB& c = FgColors[i];
        set_fill_colors[i] = alloc_rgb({halfway_to_white(c.r), halfway_to_white(c.g), halfway_to_white(c.b)});
    }
    if (invcolor) {
        std::swap(colors[COLOR_BG], colors[COLOR_FG0]);
        colors[COLOR_AX] = colors[COLOR_WHITE];
    }
    for (int slot = COLOR_FG0; slot <= COLOR_FILLRING; ++slot)
        if (colors[slot] == colors[COLOR_BG])
            std::fprintf(stderr, "WARNING: Color %s is the same as background color\n", colornames[slot]);
    // The map's levels take palette cells only on pages that colour by value.
    if (colours_by_value(mydata))
        alloc_colour_levels();
}

bool page_in_window()
{
    return events_started;
}

int GrKeyRead()
{
    const int key = wait_for_key_event();
    TW_DEBUG("ev.type=1 ev.p1=" << key);
    return key;
}

int gprintfxy(long xloc, long yloc, GrTextOption* opt, const char* fmt, ...)
{
    char text[512];
    va_list args;
    va_start(args, fmt);
    const int formatted = std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    if (formatted <= 0)
        return 0;
    const int length = std::min(formatted, static_cast<int>(sizeof text) - 1);
    TW_DEBUG("gprintfxy(" << xloc << "," << yloc << ") " << text);
    if (opt == nullptr)
        return length;
    GrTextOption utf8 = *opt;
    utf8.txo_chrtype = program_text;
    GrDrawString(text, length, clamp_position(xloc), clamp_position(yloc), &utf8);
    return length;
}

unsigned int GrStringWidth_(const std::string& s, GrTextOption* opt)
{
    return is_vertical(opt) ? font_of(opt)->h.height : along_text(s, opt);
}

unsigned int GrStringHeight_(const std::string& s, GrTextOption* opt)
{
    return is_vertical(opt) ? along_text(s, opt) : font_of(opt)->h.height;
}
