// The command-line option tables handed to getopt_long and the handlers that turn each option into settings.
#ifndef TREMWIL_OPTIONS_H
#define TREMWIL_OPTIONS_H

#include <getopt.h>

// Codes returned for long options that have no short letter.
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
    OPT_DRAWELLIPSE,
    OPT_SCALE_E,
    OPT_LEFT_OFFSET, // 290
    // One block of six per data set n, each 6n above the n = 0 code.
    OPT_X0 = 291,
    OPT_Y0 = 292,
    OPT_Z0 = 293,
    OPT_E0 = 294,
    OPT_COLOR_FG0 = 295,
    OPT_OFFS_Y0 = 296,
    OPT_X9 = 345,
    OPT_Y9 = 346,
    OPT_Z9 = 347,
    OPT_E9 = 348,
    OPT_COLOR_FG9 = 349,
    OPT_OFFS_Y9 = 350,
    OPT_XTIME = 351,
    OPT_YTIME = 352,
    OPT_INVCOLOR = 353,
    OPT_HELP = 354,
    OPT_KEY = 355,
    // The key names of data sets 0 to 9 ("--name" is data set 0's).
    OPT_NAME0 = 356,
    OPT_NAME9 = 365,
    OPT_SEPARATOR = 366,
};

inline constexpr int LONG_OPTION_COUNT = 153;

extern const char short_opts[];
extern const struct option long_opts[LONG_OPTION_COUNT + 1]; // ends with an all-zero record

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
