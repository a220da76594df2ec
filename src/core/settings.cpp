// The program-wide settings with their start values, and the reset that restores them.
#include "core/settings.h"

#include <cstring>
#include <limits>
#include <memory>

#include "core/messages.h"

const char* const ENVFONT = "TREMWIL_FONT";

int debug;
int quiet;
int more;
int fullhelp;
int in_memory;
int save_and_exit;
char* output_fname;
int nox;
int noz;
int only2cols;
char field_separator;
int ranges_all; // plot ranges of every data set
double time_units_per_second = 1;
std::string time_zone_name;
int elapsed_x_axis;
int elapsed_y_axis;
int sort;
int draw_type;
int alt_color;
int invcolor;
int autoz;
int scaleinfo;
int biggest_ring;
double scalez;
scalee_t scalee;
double range_add_x;
double range_add_y;
double range_add_z;
int left_offset;
int printpath;
std::string labelx;
std::string labely;
std::string title;
int time_x_axes;
int time_y_axes;
int log_x;
int log_y;
int grid_lines;
int key_corner;
std::string data_set_names[10];
int picture_format;
int vector_limit;
double picture_dpi;

// Colour by value, density shading and readable bubble sizes.
int colour_map;
double min_c;
double max_c;
int log_c;
std::string clabel;
int density;
int area_rings;
int min_ring;
std::string zlabel;
int fill_color_given;
int set_fills;

RGB BgColor;
RGB FgColors[10];
RGB AxColor;
RGB MiscColor;
RGB FillColor;
RGB FillColorRing;

const char* const colornames[COLOR_LAST] = {
    "White",    "Black",    "bgcolor",  "fgcolor",  "fg1color", "fg2color",  "fg3color",  "fg4color",  "fg5color",
    "fg6color", "fg7color", "fg8color", "fg9color", "axcolor",  "misccolor", "fillcolor", "lastcolor",
};

int whc[WHC_ROWS][3];

// follow mode
int follow;
double follow_every = 0.5;
std::uint64_t last_rows;
double last_span;

namespace
{

constexpr RGB start_fg_colors[10] = {
    {0, 0, 0},     {0, 72, 140},  {216, 64, 0},   {67, 76, 67},   {179, 0, 35},
    {240, 180, 0}, {92, 151, 70}, {62, 117, 167}, {122, 101, 62}, {225, 102, 42},
};

constexpr int start_whc[WHC_ROWS][3] = {
    {0, 0, 256},      {640, 200, 256},   {640, 350, 256},   {640, 480, 256}, {800, 600, 256},
    {1024, 768, 256}, {1280, 1024, 256}, {1600, 1200, 256}, {640, 640, 256},
};

std::unique_ptr<char[]> output_fname_store;

void reset_colors()
{
    BgColor = {255, 255, 255};
    for (int i = 0; i < 10; ++i)
        FgColors[i] = start_fg_colors[i];
    AxColor = {0, 0, 0};
    MiscColor = {255, 0, 0};
    FillColor = {255, 128, 0};
    FillColorRing = {255, 64, 0};
    std::memcpy(whc, start_whc, sizeof whc);
}

// Settings read by the plot composer and the marks.
void reset_plot_settings()
{
    draw_type = DT_NORMAL;
    alt_color = 1;
    invcolor = 0;
    autoz = 0;
    scaleinfo = 0;
    biggest_ring = 0;
    scalez = 1.0;
    scalee = {1.0, 1.0};
    range_add_x = range_add_y = range_add_z = 0.02;
    left_offset = -1;
    printpath = 1;
    labelx.clear();
    labely.clear();
    title.clear();
    time_x_axes = time_y_axes = 0;
    log_x = log_y = 0;
    grid_lines = 0;
    key_corner = KEY_NONE;
    for (std::string& name : data_set_names)
        name.clear();
    ranges_all = 0; // plot ranges of every data set
    picture_format = PICTURE_PNG;
    vector_limit = 20000;
    picture_dpi = 0;
}

// Colour by value, density shading and readable bubble sizes.
void reset_value_colour_settings()
{
    colour_map = 0;
    min_c = max_c = std::numeric_limits<double>::quiet_NaN();
    log_c = 0;
    clabel.clear();
    density = DENSITY_NONE;
    area_rings = 0;
    min_ring = 0;
    zlabel.clear();
    fill_color_given = 0;
    set_fills = 0;
}

// Runs before main so that every setting holds its start value from the beginning.
[[maybe_unused]] const bool settings_ready = (reset_settings(), true);

} // namespace

void set_output_fname(const char* name)
{
    if (!name) {
        output_fname_store.reset();
        output_fname = nullptr;
        return;
    }
    const std::size_t len = std::strlen(name);
    auto copy = std::make_unique<char[]>(len + 1);
    std::memcpy(copy.get(), name, len + 1);
    output_fname_store = std::move(copy);
    output_fname = output_fname_store.get();
}

void reset_settings()
{
    error_func = error;
    clear_run_failure();
    debug = quiet = more = fullhelp = 0;
    in_memory = save_and_exit = 0;
    set_output_fname(nullptr);
    nox = noz = only2cols = 0;
    field_separator = 0;
    time_units_per_second = 1;
    time_zone_name.clear();
    elapsed_x_axis = elapsed_y_axis = 0;
    sort = 1;
    reset_plot_settings();
    reset_colors();
    reset_value_colour_settings();
    // follow mode
    follow = 0;
    follow_every = 0.5;
    last_rows = 0;
    last_span = 0;
}
