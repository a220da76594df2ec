// The option tables handed to getopt_long. The order of the long records decides which entry an
// abbreviation matches first and the order in which an ambiguous one lists its candidates, so it must stay as
// it is; new records go at the end. The records of the per-data-set options are made from their names' parts.
#include "cli/options.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "core/settings.h"

constexpr char short_opts[] = "0:1:2:3:4:5:6:7:8:9:?E:G::M:O:S:X:Y:Z:e:g::m:o:s:x:y:z:C:c:";

namespace
{

// The long name of each per-data-set option, in the order of set_option: prefix, data set number, suffix.
// Data set 0's key name is "--name" alone.
struct name_parts {
    std::string_view prefix;
    std::string_view suffix;
};

constexpr name_parts set_option_names[set_option_kinds] = {
    {"x", ""},    {"y", ""},     {"z", ""}, {"e", ""}, {"fg", "color"}, {"offset-y", ""},
    {"name", ""}, {"where", ""}, {"u", ""}, {"v", ""}, {"c", ""},
};

struct set_option_name {
    char text[12]{};
};

constexpr set_option_name make_name(set_option kind, int n)
{
    const name_parts& parts = set_option_names[static_cast<int>(kind)];
    set_option_name name;
    std::size_t i = 0;
    for (const char c : parts.prefix)
        name.text[i++] = c;
    if (kind != set_option::name || n != 0)
        name.text[i++] = static_cast<char>('0' + n);
    for (const char c : parts.suffix)
        name.text[i++] = c;
    return name;
}

// The names, indexed as the codes are: kind by kind, data set by data set.
constexpr auto set_names = [] {
    std::array<set_option_name, set_option_kinds * data_set_count> names{};
    for (int kind = 0; kind < set_option_kinds; ++kind)
        for (int n = 0; n < data_set_count; ++n)
            names[static_cast<std::size_t>(kind * data_set_count + n)] = make_name(static_cast<set_option>(kind), n);
    return names;
}();

constexpr option set_record(set_option kind, int n)
{
    const int code = set_option_code(kind, n);
    return {set_names[static_cast<std::size_t>(code - OPT_FIRST_SET_CODE)].text, required_argument, nullptr, code};
}

// The column, colour and offset options of one data set follow each other, set by set, after these.
constexpr option leading_records[] = {
    {"width", required_argument, nullptr, OPT_WIDTH}, {"height", required_argument, nullptr, OPT_HEIGHT},
    {"x", required_argument, nullptr, 'x'},           {"y", required_argument, nullptr, 'y'},
    {"z", required_argument, nullptr, 'z'},           {"e", required_argument, nullptr, 'e'},
};

constexpr set_option data_set_record_kinds[] = {set_option::x_column, set_option::y_column, set_option::z_column,
                                                set_option::e_column, set_option::fg_color, set_option::offset_y};

// Flag records store their value into the setting themselves and make getopt_long return 0. The key names of the
// data sets follow these.
constexpr option middle_records[] = {
    {"color", no_argument, &alt_color, 1},
    {"colour", no_argument, &alt_color, 1},
    {"nocolor", no_argument, &alt_color, 0},
    {"nocolour", no_argument, &alt_color, 0},
    {"invcolor", no_argument, &invcolor, 1},
    {"invcolour", no_argument, &invcolor, 1},
    {"grey", no_argument, nullptr, OPT_GRAY},
    {"gray", no_argument, nullptr, OPT_GRAY},
    {"scalez", required_argument, nullptr, 's'},
    {"scalee", required_argument, nullptr, OPT_SCALE_E},
    {"range_add_x", required_argument, nullptr, OPT_RANGEADDX},
    {"range-add-x", required_argument, nullptr, OPT_RANGEADDX},
    {"range_add_y", required_argument, nullptr, OPT_RANGEADDY},
    {"range-add-y", required_argument, nullptr, OPT_RANGEADDY},
    {"range_add_z", required_argument, nullptr, OPT_RANGEADDZ},
    {"range-add-z", required_argument, nullptr, OPT_RANGEADDZ},
    {"maxx", required_argument, nullptr, OPT_MAXX},
    {"minx", required_argument, nullptr, OPT_MINX},
    {"maxy", required_argument, nullptr, OPT_MAXY},
    {"miny", required_argument, nullptr, OPT_MINY},
    {"maxz", required_argument, nullptr, OPT_MAXZ},
    {"minz", required_argument, nullptr, OPT_MINZ},
    {"autoz", no_argument, &autoz, 1},
    {"scaleinfo", no_argument, &scaleinfo, 1},
    {"nox", no_argument, &nox, 1},
    {"noz", no_argument, &noz, 1},
    {"drawellipse", no_argument, &draw_type, 3},
    {"drawquiver", no_argument, &draw_type, 4},
    {"drawellipse-xyuv", no_argument, &draw_type, 3},
    {"drawquiver-xyuv", no_argument, &draw_type, 4},
    {"drawellipse-xuyv", no_argument, &draw_type, 5},
    {"drawquiver-xuyv", no_argument, &draw_type, 6},
    {"x-time", no_argument, nullptr, OPT_XTIME},
    {"y-time", no_argument, nullptr, OPT_YTIME},
    {"line", no_argument, nullptr, OPT_LINE},
    {"sort", no_argument, &sort, 1},
    {"nosort", no_argument, &sort, 0},
    {"save-and-exit", no_argument, &save_and_exit, 1},
    {"only2columns", no_argument, &only2cols, 1},
    {"nopath", no_argument, &printpath, 0},
    {"no-path", no_argument, &printpath, 0},
    {"path", no_argument, &printpath, 1},
    {"quiet", no_argument, &quiet, 1},
    {"debug", no_argument, &debug, 1},
    {"debug2", no_argument, &debug, 2},
    {"debug3", no_argument, &debug, 3},
    {"nodebug", no_argument, &debug, 0},
    {"error-as-warning", no_argument, nullptr, OPT_ERRORASWARN},
    {"font", required_argument, nullptr, OPT_FONT},
    {"xlabel", required_argument, nullptr, OPT_LABELX},
    {"ylabel", required_argument, nullptr, OPT_LABELY},
    {"zlabel", required_argument, nullptr, OPT_LABELZ},
    {"title", required_argument, nullptr, OPT_TITLE},
    {"circle", required_argument, nullptr, OPT_CIRCLE},
    {"text", required_argument, nullptr, OPT_TEXT},
    {"arrow", required_argument, nullptr, OPT_ARROW},
    {"hline", required_argument, nullptr, OPT_HLINE},
    {"vline", required_argument, nullptr, OPT_VLINE},
    {"normalline", required_argument, nullptr, OPT_NLINE},
    {"bgcolor", required_argument, nullptr, OPT_COLOR_BG},
    {"fgcolor", required_argument, nullptr, set_option_code(set_option::fg_color, 0)},
    {"axcolor", required_argument, nullptr, OPT_COLOR_AX},
    {"misccolor", required_argument, nullptr, OPT_COLOR_MISC},
    {"fillcolor", required_argument, nullptr, OPT_COLOR_FILL},
    {"fillcolorring", required_argument, nullptr, OPT_COLOR_FILLRING},
    {"biggest-ring", required_argument, nullptr, OPT_BIGGEST_RING},
    {"left-offset", required_argument, nullptr, OPT_LEFT_OFFSET},
    {"in-memory", no_argument, &in_memory, 1},
    {"version", no_argument, nullptr, OPT_VERSION},
    {"more", no_argument, &more, 1},
    {"fullhelp", no_argument, &fullhelp, 1},
    {"help", no_argument, nullptr, OPT_HELP}, // the program's own messages point to it
    {"logx", no_argument, &log_x, 1},
    {"logy", no_argument, &log_y, 1},
    {"grid", no_argument, &grid_lines, 1},
    {"key", optional_argument, nullptr, OPT_KEY},
};

constexpr option trailing_records[] = {
    {"separator", required_argument, nullptr, OPT_SEPARATOR},
    // row expressions
    {"where", required_argument, nullptr, set_option_code(set_option::where, 0)},
    {"ranges", required_argument, nullptr, OPT_RANGES}, // plot ranges of every data set
    // time text, units, zones and elapsed time
    {"time-unit", required_argument, nullptr, OPT_TIME_UNIT},
    {"tz", required_argument, nullptr, OPT_TZ},
    {"x-elapsed", no_argument, nullptr, OPT_X_ELAPSED},
    {"y-elapsed", no_argument, nullptr, OPT_Y_ELAPSED},
    {"by", required_argument, nullptr, OPT_BY},
    // vectors
    {"vectors", no_argument, &draw_type, DT_VECTORS},
    {"u", required_argument, nullptr, set_option_code(set_option::u_column, 0)},
    {"v", required_argument, nullptr, set_option_code(set_option::v_column, 0)},
    // colour by value, density shading, bubble sizes
    {"cmap", required_argument, nullptr, OPT_CMAP},
    {"minc", required_argument, nullptr, OPT_MINC},
    {"maxc", required_argument, nullptr, OPT_MAXC},
    {"logc", no_argument, &log_c, 1},
    {"clabel", required_argument, nullptr, OPT_CLABEL},
    {"density", optional_argument, nullptr, OPT_DENSITY},
    {"area", no_argument, &area_rings, 1},
    {"min-ring", required_argument, nullptr, OPT_MIN_RING},
    {"set-fills", no_argument, &set_fills, 1},
    {"c", required_argument, nullptr, 'c'},
    // vector pictures
    {"format", required_argument, nullptr, OPT_FORMAT},
    {"vector-limit", required_argument, nullptr, OPT_VECTOR_LIMIT},
    {"dpi", required_argument, nullptr, OPT_DPI},
    // following a growing data file
    {"follow", no_argument, &follow, 1},
    {"every", required_argument, nullptr, OPT_EVERY},
    {"last", required_argument, nullptr, OPT_LAST},
};

// Options of every data set added later: their records for data sets 0 to 9 follow the trailing ones.
constexpr set_option later_set_kinds[] = {set_option::where, set_option::u_column, set_option::v_column,
                                          set_option::c_column};

constexpr std::size_t record_count = std::size(leading_records) + std::size(data_set_record_kinds) * data_set_count +
                                     std::size(middle_records) + data_set_count + std::size(trailing_records) +
                                     std::size(later_set_kinds) * data_set_count + 1;

constexpr auto long_option_records = [] {
    std::array<option, record_count> records{};
    std::size_t i = 0;
    for (const option& o : leading_records)
        records[i++] = o;
    for (int n = 0; n < data_set_count; ++n)
        for (const set_option kind : data_set_record_kinds)
            records[i++] = set_record(kind, n);
    for (const option& o : middle_records)
        records[i++] = o;
    for (int n = 0; n < data_set_count; ++n)
        records[i++] = set_record(set_option::name, n);
    for (const option& o : trailing_records)
        records[i++] = o;
    for (const set_option kind : later_set_kinds)
        for (int n = 0; n < data_set_count; ++n)
            records[i++] = set_record(kind, n);
    records[i++] = {nullptr, 0, nullptr, 0};
    return records;
}();

} // namespace

const option* const long_opts = long_option_records.data();
