// Option handlers: each turns one option and its value into program-wide settings, with its checks.
#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/help.h"
#include "cli/value_parsers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "data/delimited.h"
#include "plot/overlays.h"
#include "print/err_printf.h"

namespace
{

constexpr int first_mode = 1;
constexpr int last_mode = 12;

// Kinds of the per-data-set codes, in the order of their block of six.
enum set_kind { kind_x, kind_y, kind_z, kind_e, kind_fg, kind_offs };

void trace_set_option(int n, const char* arg)
{
    TW_DEBUG("n=" << n << " optarg=\"" << arg << "\"");
}

void handle_set_file(int n, const char* arg)
{
    data& d = mydata[n];
    if (!d.x.empty())
        d.cleanup();
    d.fname = arg;
    trace_set_option(n, arg);
}

// A column option takes a number or a header name; the last one given counts.
void set_column(const char* arg, std::uint32_t& column, std::string& name, std::uint8_t& set)
{
    if (is_column_name(arg)) {
        name = arg;
    } else {
        column = get_column(arg);
        name.clear();
    }
    set = 1;
}

void handle_set_option(int c, const char* arg)
{
    const int kind = (c - OPT_X0) % 6;
    const int n = get_plot_index(c, OPT_X0 + kind);
    ::cols& cols = mydata[n].cols;
    switch (kind) {
    case kind_x:
        set_column(arg, cols.x, cols.x_name, cols.xset);
        break;
    case kind_y:
        set_column(arg, cols.y, cols.y_name, cols.yset);
        break;
    case kind_z:
        set_column(arg, cols.z, cols.z_name, cols.zset);
        break;
    case kind_e:
        set_column(arg, cols.e, cols.e_name, cols.eset);
        break;
    case kind_fg:
        FgColors[n] = get_rgb(arg);
        break;
    default:
        mydata[n].offset_y = get_double(arg);
        break;
    }
    trace_set_option(n, arg);
    if (kind == kind_y)
        TW_DEBUG("mydata[" << n << "].cols.y=" << cols.y);
}

// Text that is no number leaves the scale as it was; the user is told, since the rings would not be as asked.
void handle_scalez(const char* arg)
{
    if (std::sscanf(arg, "%lg", &scalez) != 1)
        warning("--scalez=%s is not a number: scalez stays %g\n", arg, scalez);
    // "not greater than 0" also refuses a NaN, which would poison every ring size.
    if (!(scalez > 0))
        error_func("--scalez=%g (scalez > 0)\n", scalez);
}

void handle_scalee(const char* arg)
{
    const int count = std::sscanf(arg, "%lg,%lg", &scalee.x, &scalee.y);
    if (count < 1)
        warning("--scalee=%s is not a number: scalee stays %g,%g\n", arg, scalee.x, scalee.y);
    else if (count == 1 && std::strchr(arg, ',') != nullptr)
        warning("--scalee=%s: the value after the comma is not a number: y takes x\n", arg);
    TW_DEBUG("x:" << scalee.x << " y:" << scalee.y);
    if (count == 1) {
        scalee.y = scalee.x;
        TW_DEBUG("x:" << scalee.x << " y:" << scalee.y);
    }
    if (!(scalee.x > 0) || !(scalee.y > 0))
        error_func("--scalee=%g,%g (scalee > 0)\n", scalee.x, scalee.y);
}

void handle_biggest_ring(const char* arg)
{
    biggest_ring = get_int(arg);
    if (biggest_ring <= 0) {
        err__printf(TW_FILE, __LINE__, "Can't use --biggest-ring=%d < 1\n", biggest_ring);
        std::exit(1);
    }
}

// -g: only a value attached to the letter counts. Rows 9 to 12 have no size, so the report names the rows that
// work; a value let through by --error-as-warning without a row draws nothing.
void handle_mode(const char* arg, option_state& state)
{
    state.vga = arg ? std::atoi(arg) : 4;
    if (state.vga < first_mode || state.vga >= WHC_ROWS || state.vga > last_mode) {
        error_func("argument to -g out of range (%d <= %d <= %d).\n", first_mode, state.vga,
                   std::min(WHC_ROWS - 1, last_mode));
        state.vga = 0;
    }
}

void handle_width(const char* arg, option_state& state)
{
    whc[8][0] = get_int(arg);
    if (whc[8][0] < 320)
        err__printf(TW_FILE, __LINE__, "Width need to be at least 320 pixels\n");
    else if (whc[8][0] > 2000)
        err__printf(TW_FILE, __LINE__, "Width need to be at less than 2000 pixels\n");
    state.vga = 8;
}

void handle_height(const char* arg, option_state& state)
{
    whc[8][1] = get_int(arg);
    if (whc[8][1] < 200)
        err__printf(TW_FILE, __LINE__, "Height need to be at least 200 pixels\n");
    else if (whc[8][1] > 2000)
        err__printf(TW_FILE, __LINE__, "Height need to be at less than 2000 pixels\n");
    state.vga = 8;
}

void handle_left_offset(const char* arg)
{
    const int v = get_int(arg);
    if (v < 8)
        error_func("left_offset need to be > 7\n");
    else
        left_offset = v;
}

// The font name may be of any length: the environment takes it directly.
void handle_font(const char* arg)
{
    if (setenv(ENVFONT, arg, 1) != 0)
        std::perror("");
}

bool handle_size_option(int c, const char* arg, option_state& state)
{
    switch (c) {
    case 'g':
        handle_mode(arg, state);
        return true;
    case OPT_WIDTH:
        handle_width(arg, state);
        return true;
    case OPT_HEIGHT:
        handle_height(arg, state);
        return true;
    case OPT_LEFT_OFFSET:
        handle_left_offset(arg);
        return true;
    case 'o':
        set_output_fname(arg);
        return true;
    case 's':
        handle_scalez(arg);
        return true;
    case OPT_SCALE_E:
        handle_scalee(arg);
        return true;
    case OPT_BIGGEST_RING:
        handle_biggest_ring(arg);
        return true;
    }
    return false;
}

bool handle_range_option(int c, const char* arg)
{
    switch (c) {
    case OPT_MAXX:
        UserMinMax.x.Max = get_double(arg);
        return true;
    case OPT_MINX:
        UserMinMax.x.Min = get_double(arg);
        return true;
    case OPT_MAXY:
        UserMinMax.y.Max = get_double(arg);
        return true;
    case OPT_MINY:
        UserMinMax.y.Min = get_double(arg);
        return true;
    case OPT_MAXZ:
        UserMinMax.z.Max = get_double(arg);
        return true;
    case OPT_MINZ:
        UserMinMax.z.Min = get_double(arg);
        return true;
    case OPT_RANGEADDX:
        range_add_x = get_double(arg);
        return true;
    case OPT_RANGEADDY:
        range_add_y = get_double(arg);
        return true;
    case OPT_RANGEADDZ:
        range_add_z = get_double(arg);
        return true;
    }
    return false;
}

bool handle_color_option(int c, const char* arg)
{
    switch (c) {
    case OPT_COLOR_BG:
        BgColor = get_rgb(arg);
        return true;
    case OPT_COLOR_AX:
        AxColor = get_rgb(arg);
        return true;
    case OPT_COLOR_MISC:
        MiscColor = get_rgb(arg);
        return true;
    case OPT_COLOR_FILL:
        FillColor = get_rgb(arg);
        return true;
    case OPT_COLOR_FILLRING:
        FillColorRing = get_rgb(arg);
        return true;
    case OPT_GRAY:
        FillColor = get_rgb("128,128,128");
        return true;
    }
    return false;
}

bool handle_text_option(int c, const char* arg)
{
    switch (c) {
    case OPT_LABELX:
        labelx = arg;
        return true;
    case OPT_LABELY:
        labely = arg;
        return true;
    case OPT_TITLE:
        title = arg;
        return true;
    case OPT_FONT:
        handle_font(arg);
        return true;
    case OPT_CIRCLE:
        add_circle(arg);
        return true;
    case OPT_ARROW:
        add_arrow(arg);
        return true;
    case OPT_HLINE:
        add_line(LT_HORIZONTAL, arg);
        return true;
    case OPT_VLINE:
        add_line(LT_VERTICAL, arg);
        return true;
    case OPT_NLINE:
        add_line(LT_NORMAL, arg);
        return true;
    case OPT_TEXT:
        add_text(arg);
        return true;
    }
    return false;
}

// --key with no value puts the key at the top right; the other corners are named, "left" and "bottom"
// meaning the top-left and bottom-right ones.
void handle_key(const char* arg)
{
    struct place_name {
        const char* name;
        key_place place;
    };
    static constexpr place_name places[] = {
        {"right", KEY_TOP_RIGHT},
        {"top-right", KEY_TOP_RIGHT},
        {"top", KEY_TOP_RIGHT},
        {"left", KEY_TOP_LEFT},
        {"top-left", KEY_TOP_LEFT},
        {"bottom", KEY_BOTTOM_RIGHT},
        {"bottom-right", KEY_BOTTOM_RIGHT},
        {"bottom-left", KEY_BOTTOM_LEFT},
    };
    if (arg == nullptr) {
        key_corner = KEY_TOP_RIGHT;
        return;
    }
    for (const place_name& p : places)
        if (std::string(arg) == p.name) {
            key_corner = p.place;
            return;
        }
    error_func("--key=%s: the key goes to right, left, bottom, top-right, top-left, bottom-right or bottom-left\n",
               arg);
}

bool handle_key_option(int c, const char* arg)
{
    if (c == OPT_KEY) {
        handle_key(arg);
        return true;
    }
    if (c >= OPT_NAME0 && c <= OPT_NAME9) {
        data_set_names[c - OPT_NAME0] = arg;
        return true;
    }
    return false;
}

// A data file's separator comes from its name unless --separator gives one for every file.
void handle_separator(const char* arg)
{
    field_separator = separator_of_option(arg);
    if (field_separator == 0)
        error("--separator=%s: the separator is one character (or \"tab\"), and not one that can be part of a "
              "number, a quote or a line end\n",
              arg);
}

bool handle_run_option(int c, option_state& state)
{
    switch (c) {
    case 0: // a flag record: getopt_long has stored the value already
        return true;
    case OPT_HELP:
    case '?':
        Usage(state.prog_name);
    case OPT_VERSION:
        std::printf("%s\n", Version);
        std::exit(0);
    case OPT_ERRORASWARN:
        error_func = warning;
        return true;
    case OPT_LINE:
        draw_type = DT_LINE;
        sort = 0;
        return true;
    case OPT_XTIME:
        time_x_axes = 1;
        return true;
    case OPT_YTIME:
        time_y_axes = 1;
        return true;
    }
    return false;
}

// The short letters x, y, z, e act as the codes of data set 0.
int set_code_of_letter(int c)
{
    switch (c) {
    case 'x':
        return OPT_X0;
    case 'y':
        return OPT_Y0;
    case 'z':
        return OPT_Z0;
    case 'e':
        return OPT_E0;
    }
    return c;
}

} // namespace

int fold_option_code(int c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

void handle_option(int c, const char* arg, option_state& state)
{
    c = set_code_of_letter(c);
    if (c >= '0' && c <= '9') {
        handle_set_file(c - '0', arg);
        return;
    }
    if (c >= OPT_X0 && c <= OPT_OFFS_Y9) {
        handle_set_option(c, arg);
        return;
    }
    if (c == OPT_SEPARATOR) {
        handle_separator(arg);
        return;
    }
    if (handle_size_option(c, arg, state) || handle_range_option(c, arg) || handle_color_option(c, arg) ||
        handle_text_option(c, arg) || handle_key_option(c, arg) || handle_run_option(c, state))
        return;
    std::printf("?? getopt returned character code 0%o ??\n", static_cast<unsigned>(c));
}
