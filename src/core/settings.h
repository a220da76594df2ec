// Program-wide settings of tremwil: what the option handlers write and the later stages read.
// All of them are defined, with their start values, in settings.cpp; reset_settings() restores those values.
#ifndef TREMWIL_SETTINGS_H
#define TREMWIL_SETTINGS_H

#include <cstdint>
#include <string>

// How the rows of a data set are drawn; values 3 to 6 read four component columns per row, 7 two.
enum dt_type : int {
    DT_UNKNOWN = 0,
    DT_NORMAL = 1,
    DT_LINE = 2,
    DT_ELLIPSE_XYUV = 3,
    DT_ELLIPSE = DT_ELLIPSE_XYUV,
    DT_QUIVER_XYUV = 4,
    DT_ELLIPSE_XUYV = 5,
    DT_QUIVER_XUYV = 6,
    DT_VECTORS = 7, // x y u v: an arrow (u, v) from each point, in dx1 and dy1
};

struct RGB {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};

// Extra factors for the ellipse and quiver components.
struct scalee_t {
    double x;
    double y;
};

// Colour slots filled when graphics mode is entered; data set n is drawn in slot COLOR_FG0 + n.
enum {
    COLOR_WHITE = 0,
    COLOR_BLACK = 1,
    COLOR_BG = 2,
    COLOR_FG0 = 3,
    COLOR_FG1 = 4,
    COLOR_FG2 = 5,
    COLOR_FG3 = 6,
    COLOR_Fg4 = 7,
    COLOR_FG5 = 8,
    COLOR_FG6 = 9,
    COLOR_FG7 = 10,
    COLOR_FG8 = 11,
    COLOR_FG9 = 12,
    COLOR_AX = 13,
    COLOR_MISC = 14,
    COLOR_FILL = 15,
    COLOR_FILLRING = 16,
    COLOR_LAST = 17,
};

// Name of the environment variable that names the font file.
extern const char* const ENVFONT;

extern int debug;
extern int quiet;
extern int more;
extern int fullhelp;
extern int in_memory;
extern int save_and_exit;
extern char* output_fname; // null until "-o" gives a name; owned by set_output_fname
// --nox, --noz, --only2columns as given; the reader may turn them on for a run (data/draw_types column_switches).
extern int nox;
extern int noz;
extern int only2cols;
// Set by "--separator": every data file is delimited by this character; 0 leaves it to each file's name.
extern char field_separator;
extern int sort;
extern int draw_type; // a dt_type value; an int because the flag options store into it
extern int alt_color;
extern int invcolor;
extern int autoz;
extern int scaleinfo;
extern int biggest_ring;
extern double scalez; // --scalez; the run's ring scale (plot/scale_mapping) starts from it
extern scalee_t scalee;
extern double range_add_x;
extern double range_add_y;
extern double range_add_z;
extern int left_offset;
extern int printpath;
extern std::string labelx;
extern std::string labely;
extern std::string title;

// Set by "--x-time" / "--y-time": the axis holds seconds and is drawn as a time axis.
extern int time_x_axes;
extern int time_y_axes;

// Set by "--logx" / "--logy": the axis is base-10 logarithmic.
extern int log_x;
extern int log_y;

// Set by "--grid": dotted lines at the major ticks of both axes, under the data.
extern int grid_lines;

// Where "--key" puts the key of the data sets inside the plot area; KEY_NONE draws none.
enum key_place : int {
    KEY_NONE = 0,
    KEY_TOP_RIGHT = 1,
    KEY_TOP_LEFT = 2,
    KEY_BOTTOM_RIGHT = 3,
    KEY_BOTTOM_LEFT = 4,
    KEY_FEWEST_HIDDEN = 5, // "--key" alone: the corner where the key hides the fewest marks
};
extern int key_corner; // a key_place value

// Names of the data sets in the key ("--name", "--name1" ... "--name9"); an empty one takes the file name.
extern std::string data_set_names[10];

// Vector pictures: "--format" chooses the kind of picture saved under a default name (-o's extension chooses for
// its name), "--vector-limit" the marks drawn as shapes before they become one image, "--dpi" the pixels per inch
// of the saved page (0: one point per pixel).
enum picture_kind : int {
    PICTURE_PNG = 0,
    PICTURE_SVG = 1,
    PICTURE_PDF = 2,
};
extern int picture_format; // a picture_kind value
extern int vector_limit;
extern double picture_dpi;

extern RGB BgColor;
extern RGB FgColors[10];
extern RGB AxColor;
extern RGB MiscColor;
extern RGB FillColor;
extern RGB FillColorRing;
extern const char* const colornames[COLOR_LAST];

// Colour by value, density shading and readable bubble sizes.
extern int colour_map; // index into the colour map tables ("--cmap"); 0 is viridis
extern double min_c;   // "--minc" / "--maxc": the colour range's ends; NaN leaves an end to the data
extern double max_c;
extern int log_c;          // "--logc": colours follow log10 of the values
extern std::string clabel; // "--clabel": the colour bar's title
// "--density": rows counted per pixel of the plot area and shaded, instead of marks.
enum density_kind : int { DENSITY_NONE = 0, DENSITY_LOG = 1, DENSITY_LINEAR = 2, DENSITY_EQHIST = 3 };
extern int density;          // a density_kind value
extern int area_rings;       // "--area": a ring's area, not its radius, follows |z|
extern int min_ring;         // "--min-ring": the smallest ring radius in pixels
extern std::string zlabel;   // "--zlabel": the z legend's title
extern int fill_color_given; // "--fillcolor" was given: every data set's discs take it
extern int set_fills;        // "--set-fills": discs of data sets 1 to 9 filled with a tint of their colour

// Graphics mode size table: width, height, colours; row 8 is overwritten by --width/--height.
inline constexpr int WHC_ROWS = 9;
extern int whc[WHC_ROWS][3];

// Plot ranges: set by "--ranges=all" to cover every data set instead of data set 0 alone.
extern int ranges_all;

// Replaces output_fname by a copy of name (a previous copy is released).
void set_output_fname(const char* name);

// Time columns ("--time-unit", "--tz", "--x-elapsed", "--y-elapsed"): the units of numeric time values per second
// (1, 1000, 1e6 or 1e9); the zone of labels and of zone-less time text ("" for UTC, "local" or a zone name); the
// time axes labelled as time elapsed since the earliest time of data set 0.
extern double time_units_per_second;
extern std::string time_zone_name;
extern int elapsed_x_axis;
extern int elapsed_y_axis;

// Follow mode ("--follow", "--every", "--last"): keep reading the last data file as it grows and redraw at most every
// follow_every seconds; keep only the newest last_rows rows (0: all), or the rows within last_span seconds of the
// newest time on the x axis (0: no span).
extern int follow;
extern double follow_every;
extern std::uint64_t last_rows;
extern double last_span;

// Puts every setting above, and error_func, back to its start value (for tests and for a fresh run).
void reset_settings();

#endif // TREMWIL_SETTINGS_H
