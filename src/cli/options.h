// The command-line option tables handed to getopt_long and the handlers that turn each option into settings.
#ifndef TREMWIL_OPTIONS_H
#define TREMWIL_OPTIONS_H

#include <getopt.h>

inline constexpr int data_set_count = 10;

// The options given once per data set ("--x3", "--fg3color", "--name3"): each has one code per data set.
enum class set_option {
    x_column,
    y_column,
    z_column,
    e_column,
    fg_color,
    offset_y,
    name,
    // row expressions: the filter
    where,
    // vectors: the u and v columns
    u_column,
    v_column,
    // colour by value: the colour column
    c_column,
};
inline constexpr int set_option_kinds = 11;

// Codes returned for long options that have no short letter. The value of a code shows only in the report of
// one that no handler takes ('m'), so the named codes keep their values.
enum OPTIONS {
    OPT_MAXX = 256,
    OPT_MINX,
    OPT_MAXY,
    OPT_MINY,
    OPT_MAXZ,
    OPT_MINZ,
    OPT_FONT,
    OPT_RANGEADDX,
    OPT_RANGEADDY,
    OPT_RANGEADDZ,
    OPT_ERRORASWARN,
    OPT_LABELX,
    OPT_LABELY,
    OPT_LABELZ,
    OPT_TITLE,
    OPT_GRAY,
    OPT_CIRCLE,
    OPT_TEXT,
    OPT_LINE,
    OPT_ARROW,
    OPT_HLINE,
    OPT_VLINE,
    OPT_NLINE,
    OPT_COLOR_BG,
    OPT_COLOR_AX,
    OPT_COLOR_MISC,
    OPT_COLOR_FILL,
    OPT_COLOR_FILLRING,
    OPT_WIDTH,
    OPT_HEIGHT,
    OPT_VERSION,
    OPT_BIGGEST_RING,
    OPT_SCALE_E,
    OPT_LEFT_OFFSET,
    OPT_XTIME,
    OPT_YTIME,
    OPT_HELP,
    OPT_KEY,
    OPT_SEPARATOR,
    OPT_RANGES, // plot ranges of every data set
    // time text, units, zones and elapsed time
    OPT_TIME_UNIT,
    OPT_TZ,
    OPT_X_ELAPSED,
    OPT_Y_ELAPSED,
    OPT_BY, // one data set per value of a column
    // colour by value, density shading, bubble sizes
    OPT_CMAP,
    OPT_MINC,
    OPT_MAXC,
    OPT_CLABEL,
    OPT_DENSITY,
    OPT_MIN_RING,
    // vector pictures
    OPT_FORMAT,
    OPT_VECTOR_LIMIT,
    OPT_DPI,
    // following a growing data file
    OPT_EVERY,
    OPT_LAST,
    // The codes of the per-data-set options follow, data_set_count for each kind (see set_option_code).
    OPT_FIRST_SET_CODE,
};

// The code of one per-data-set option for data set n (0 to data_set_count - 1).
constexpr int set_option_code(set_option kind, int n)
{
    return OPT_FIRST_SET_CODE + static_cast<int>(kind) * data_set_count + n;
}

extern const char short_opts[];
extern const struct option* const long_opts; // ends with an all-zero record

// State of the run that the handlers change besides the program-wide settings.
struct option_state {
    const char* prog_name; // argv[0], for the usage text
    int vga;               // graphics mode row; 0 draws nothing
};

// Handles one code returned by getopt_long (upper-case letters already folded) with its argument.
// Unknown codes print the "?? getopt returned character code" message and return.
void handle_option(int c, const char* arg, option_state& state);

// Folds an upper-case letter code to its lower-case twin; other codes pass unchanged.
int fold_option_code(int c);

#endif // TREMWIL_OPTIONS_H
