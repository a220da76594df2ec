// Option handlers: each turns one option and its value into program-wide settings, with its checks. One table
// maps the codes getopt_long returns to them.
#include "cli/options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <strings.h>

#include "cli/help.h"
#include "cli/value_parsers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/time_zone.h"
#include "data/data_set.h"
#include "data/delimited.h"
#include "plot/colour_map_tables.h"
#include "plot/overlays.h"
#include "print/err_printf.h"

namespace
{

static_assert(std::size(mydata) == data_set_count && std::size(FgColors) == data_set_count &&
              std::size(data_set_names) == data_set_count);

constexpr int first_mode = 1;
constexpr int last_mode = 12;

// What a handler is given: the option's value (null for an option without one), the data set its code names
// (0 for the options of no data set) and the state of the run.
struct option_call {
    const char* arg;
    int set;
    option_state& state;
};

using option_handler = void (*)(const option_call&);

// --- Data sets: file, columns, colour, offset and key name ---

void trace_set_option(const option_call& call)
{
    TW_DEBUG("n=" << call.set << " optarg=\"" << call.arg << "\"");
}

void read_set_file(const option_call& call)
{
    data& d = mydata[call.set];
    if (!d.x.empty())
        d.cleanup();
    d.fname = call.arg;
    trace_set_option(call);
}

// The option as the user may have written it, for messages: --y for data set 0, --y3 for data set 3.
std::string option_name(const char* base, int set)
{
    return std::string("--") + base + (set == 0 ? "" : std::to_string(set));
}

// A value that is no column number and no plain word is an expression, compiled now; one that fails ends the run
// with the place of the fault.
expression compiled(const char* option, const char* text)
{
    expression e;
    expr_error fault;
    if (e.compile(text, fault))
        return e;
    std::string report = expression_error_text(option, text, fault);
    if (std::strchr(text, '$') == nullptr)
        report += "A header name holding other characters than letters, digits, '_' and '.' is written ${name}.\n";
    error("%s", report.c_str());
}

// A column option takes a number (all digits), a header name (a word of letters, digits, '_' and '.', or ${any
// name}) or an expression over the row; the last one given counts. "$3" is column 3 as "3" is.
void read_column(const option_call& call, const char* option, std::uint32_t& column, std::string& name,
                 std::uint8_t& set, expression* expr)
{
    const std::string label = option_name(option, call.set);
    if (expr != nullptr)
        *expr = expression();
    name.clear();
    if (!is_column_name(call.arg)) {
        column = get_column(call.arg);
    } else if (is_plain_name(call.arg)) {
        name = call.arg;
    } else {
        expression e = compiled(label.c_str(), call.arg);
        if (e.is_one_column() && e.names().empty())
            column = e.last_column();
        else if (e.is_one_column())
            name = e.names().front();
        else if (expr == nullptr)
            error("%s=%s: this option takes a column number or a header name, not an expression\n", label.c_str(),
                  call.arg);
        else
            *expr = std::move(e);
    }
    set = 1;
    trace_set_option(call);
}

// The column option of one component, named by the members of ::cols it sets and the slot of its expression.
template <std::uint32_t cols::*column, std::string cols::*name, std::uint8_t cols::*set, int slot>
void read_component_column(const option_call& call)
{
    static constexpr const char* options[] = {"x", "y", "z", "u", "v", "where", "c", "e"};
    ::cols& c = mydata[call.set].cols;
    expression* expr = slot < 0 ? nullptr : &c[static_cast<expr_slot>(slot)];
    read_column(call, options[slot < 0 ? 7 : slot], c.*column, c.*name, c.*set, expr);
}

constexpr auto read_x_column = read_component_column<&cols::x, &cols::x_name, &cols::xset, 0>;
constexpr auto read_z_column = read_component_column<&cols::z, &cols::z_name, &cols::zset, 2>;
constexpr auto read_c_column =
    read_component_column<&cols::c, &cols::c_name, &cols::cset, static_cast<int>(expr_slot::c)>;
// The e column names the first of four columns: it is no expression.
constexpr auto read_e_column = read_component_column<&cols::e, &cols::e_name, &cols::eset, -1>;

void read_y_column(const option_call& call)
{
    read_component_column<&cols::y, &cols::y_name, &cols::yset, 1>(call);
    TW_DEBUG("mydata[" << call.set << "].cols.y=" << mydata[call.set].cols.y);
}

// --where: the rows drawn are those for which the expression is not 0.
void read_where(const option_call& call)
{
    mydata[call.set].cols[expr_slot::where] = compiled(option_name("where", call.set).c_str(), call.arg);
    trace_set_option(call);
}

// --u, --v: a vector component's column, name or expression, kept as an expression ("$3" for 3, "${name}" for a
// name) since these components have no column numbers of their own.
template <expr_slot slot> void read_vector_column(const option_call& call)
{
    const char* option = slot == expr_slot::u ? "u" : "v";
    std::string text;
    if (!is_column_name(call.arg))
        text.append(1, '$').append(std::to_string(get_column(call.arg)));
    else if (is_plain_name(call.arg))
        text.append("${").append(call.arg).append(1, '}');
    else
        text.append(call.arg);
    mydata[call.set].cols[slot] = compiled(option_name(option, call.set).c_str(), text.c_str());
    trace_set_option(call);
}

// --by: a column number or a header name, whose values split data set 0's file into data sets.
void read_by_column(const option_call& call)
{
    std::uint8_t given = 0;
    read_column(call, "by", mydata[0].cols.by, mydata[0].cols.by_name, given, nullptr);
}

void read_fg_color(const option_call& call)
{
    FgColors[call.set] = get_rgb(call.arg);
    trace_set_option(call);
}

void read_offset_y(const option_call& call)
{
    mydata[call.set].offset_y = get_double(call.arg);
    trace_set_option(call);
}

void read_set_name(const option_call& call)
{
    data_set_names[call.set] = call.arg;
}

// --- Page size and the sizes of the marks ---

// -g: only a value attached to the letter counts. Rows 9 to 12 have no size, so the report names the rows that
// work; a value let through by --error-as-warning without a row draws nothing.
void read_mode(const option_call& call)
{
    int& vga = call.state.vga;
    vga = call.arg ? std::atoi(call.arg) : 4;
    if (vga < first_mode || vga >= WHC_ROWS || vga > last_mode) {
        error_func("argument to -g out of range (%d <= %d <= %d).\n", first_mode, vga,
                   std::min(WHC_ROWS - 1, last_mode));
        vga = 0;
    }
}

void read_width(const option_call& call)
{
    whc[8][0] = get_int(call.arg);
    if (whc[8][0] < 320)
        err__printf(TW_FILE, __LINE__, "Width need to be at least 320 pixels\n");
    else if (whc[8][0] > 2000)
        err__printf(TW_FILE, __LINE__, "Width need to be at less than 2000 pixels\n");
    call.state.vga = 8;
}

void read_height(const option_call& call)
{
    whc[8][1] = get_int(call.arg);
    if (whc[8][1] < 200)
        err__printf(TW_FILE, __LINE__, "Height need to be at least 200 pixels\n");
    else if (whc[8][1] > 2000)
        err__printf(TW_FILE, __LINE__, "Height need to be at less than 2000 pixels\n");
    call.state.vga = 8;
}

void read_left_offset(const option_call& call)
{
    const int v = get_int(call.arg);
    if (v < 8)
        error_func("left_offset need to be > 7\n");
    else
        left_offset = v;
}

void read_output_name(const option_call& call)
{
    set_output_fname(call.arg);
}

// Text that is no number leaves the scale as it was; the user is told, since the rings would not be as asked.
// Blanks before the number and text after it are let through.
void read_scalez(const option_call& call)
{
    const number_read<double> z = read_real(call.arg);
    if (z.found())
        scalez = z.value;
    else
        warning("--scalez=%s is not a number: scalez stays %g\n", call.arg, scalez);
    // "not greater than 0" also refuses a NaN, which would poison every ring size.
    if (!(scalez > 0))
        error_func("--scalez=%g (scalez > 0)\n", scalez);
}

// "x" or "x,y"; a y that is no number takes x.
void read_scalee(const option_call& call)
{
    const char* arg = call.arg;
    const number_read<double> x = read_real(arg);
    const number_read<double> y =
        x.found() && *x.end == ',' ? read_real(x.end + 1) : number_read<double>{0.0, arg, read_status::no_number};
    if (x.found())
        scalee.x = x.value;
    if (y.found())
        scalee.y = y.value;
    if (!x.found())
        warning("--scalee=%s is not a number: scalee stays %g,%g\n", arg, scalee.x, scalee.y);
    else if (!y.found() && std::strchr(arg, ',') != nullptr)
        warning("--scalee=%s: the value after the comma is not a number: y takes x\n", arg);
    TW_DEBUG("x:" << scalee.x << " y:" << scalee.y);
    if (x.found() && !y.found()) {
        scalee.y = scalee.x;
        TW_DEBUG("x:" << scalee.x << " y:" << scalee.y);
    }
    if (!(scalee.x > 0) || !(scalee.y > 0))
        error_func("--scalee=%g,%g (scalee > 0)\n", scalee.x, scalee.y);
}

void read_biggest_ring(const option_call& call)
{
    biggest_ring = get_int(call.arg);
    if (biggest_ring <= 0)
        err__exit(TW_FILE, __LINE__, "Can't use --biggest-ring=%d < 1\n", biggest_ring);
}

// --- Axis limits and widenings ---

template <MinMax myMinMax::*axis> void read_min(const option_call& call)
{
    (UserMinMax.*axis).Min = get_double(call.arg);
}

template <MinMax myMinMax::*axis> void read_max(const option_call& call)
{
    (UserMinMax.*axis).Max = get_double(call.arg);
}

template <double& setting> void read_number(const option_call& call)
{
    setting = get_double(call.arg);
}

// --- Colours ---

template <RGB& setting> void read_colour(const option_call& call)
{
    setting = get_rgb(call.arg);
}

void set_grey_fill(const option_call&)
{
    FillColor = get_rgb("128,128,128");
}

// --- Texts, the font and the overlays ---

template <std::string& setting> void read_text(const option_call& call)
{
    setting = call.arg;
}

// The font name may be of any length: the environment takes it directly.
void read_font(const option_call& call)
{
    if (setenv(ENVFONT, call.arg, 1) != 0)
        std::perror("");
}

template <void (*add)(const char*)> void read_overlay(const option_call& call)
{
    add(call.arg);
}

template <lt_type direction> void read_line(const option_call& call)
{
    add_line(direction, call.arg);
}

// --key with no value puts the key in the corner where it hides the fewest marks; the corners are named, "left" and
// "bottom" meaning the top-left and bottom-right ones.
void read_key(const option_call& call)
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
    if (call.arg == nullptr) {
        key_corner = KEY_FEWEST_HIDDEN;
        return;
    }
    for (const place_name& p : places)
        if (std::string(call.arg) == p.name) {
            key_corner = p.place;
            return;
        }
    error_func("--key=%s: the key goes to right, left, bottom, top-right, top-left, bottom-right or bottom-left\n",
               call.arg);
}

// --ranges=all: the plot ranges cover every data set; --ranges=0 keeps data set 0's (the default).
void read_ranges(const option_call& call)
{
    const std::string value = call.arg;
    if (value == "all" || value == "0") {
        ranges_all = value == "all";
        return;
    }
    error_func("--ranges=%s: the plot ranges are those of data set 0 (0) or of every data set (all)\n", call.arg);
}

// --- How the data are read and drawn ---

// A data file's separator comes from its name unless --separator gives one for every file.
void read_separator(const option_call& call)
{
    field_separator = separator_of_option(call.arg);
    if (field_separator == 0)
        error("--separator=%s: the separator is one character (or \"tab\"), and not one that can be part of a "
              "number, a quote or a line end\n",
              call.arg);
}

void draw_lines(const option_call&)
{
    draw_type = DT_LINE;
    sort = 0;
}

void set_time_x_axis(const option_call&)
{
    time_x_axes = 1;
}

void set_time_y_axis(const option_call&)
{
    time_y_axes = 1;
}

// --- Time text, units, zones and elapsed time ---

struct time_unit_name {
    const char* name;
    double per_second;
};

constexpr time_unit_name time_units[] = {{"s", 1}, {"ms", 1e3}, {"us", 1e6}, {"ns", 1e9}};

void read_time_unit(const option_call& call)
{
    for (const time_unit_name& unit : time_units)
        if (std::strcmp(call.arg, unit.name) == 0) {
            time_units_per_second = unit.per_second;
            return;
        }
    error("--time-unit=%s: the unit of numeric times is s, ms, us or ns\n", call.arg);
}

void read_time_zone(const option_call& call)
{
    if (!is_known_time_zone(call.arg)) {
        error("--tz=%s: no such time zone; the zone is UTC, local or a name of the zone database such as "
              "Europe/Oslo\n",
              call.arg);
        return;
    }
    time_zone_name = std::strcmp(call.arg, "UTC") == 0 ? "" : call.arg;
}

// Elapsed time is drawn on a time axis, which the option asks for too.
void set_elapsed_x_axis(const option_call&)
{
    elapsed_x_axis = time_x_axes = 1;
}

void set_elapsed_y_axis(const option_call&)
{
    elapsed_y_axis = time_y_axes = 1;
}

// --- Colour by value, density shading, bubble sizes ---

void read_colour_map(const option_call& call)
{
    for (int i = 0; i < colour_map_count; ++i)
        if (std::string(call.arg) == colour_maps[i].name) {
            colour_map = i;
            return;
        }
    error_func("--cmap=%s: the colour maps are viridis, magma, cividis, grey and coolwarm\n", call.arg);
}

// --minc / --maxc: an end of the colour range; a NaN would leave it to the data, so it is refused.
template <double& setting> void read_colour_end(const option_call& call)
{
    const double v = get_double(call.arg);
    if (std::isnan(v))
        error_func("--minc and --maxc take a number, not %s\n", call.arg);
    else
        setting = v;
}

// --density with no value shades log10 of the counts. No row is sorted for it: sorting by z draws nothing
// differently here and would cost more than the shading.
void read_density(const option_call& call)
{
    struct kind_name {
        const char* name;
        density_kind kind;
    };
    static constexpr kind_name kinds[] = {{"log", DENSITY_LOG}, {"linear", DENSITY_LINEAR}, {"eqhist", DENSITY_EQHIST}};
    if (call.arg == nullptr) {
        density = DENSITY_LOG;
        sort = 0;
        return;
    }
    for (const kind_name& k : kinds)
        if (std::string(call.arg) == k.name) {
            density = k.kind;
            sort = 0;
            return;
        }
    error_func("--density=%s: the shadings are log, linear and eqhist\n", call.arg);
}

void read_min_ring(const option_call& call)
{
    const int r = get_int(call.arg);
    if (r < 0 || r > 1000)
        error_func("--min-ring=%d: the smallest ring radius is 0 to 1000 pixels\n", r);
    else
        min_ring = r;
}

// --fillcolor also keeps every data set's discs in that colour.
void read_fill_colour(const option_call& call)
{
    FillColor = get_rgb(call.arg);
    fill_color_given = 1;
}

// --- The run itself ---

// A flag record: getopt_long has stored the value already.
void flag_stored(const option_call&) {}

[[noreturn]] void show_usage(const option_call& call)
{
    Usage(call.state.prog_name);
}

[[noreturn]] void show_version(const option_call&)
{
    std::printf("%s\n", Version);
    std::exit(0);
}

void errors_as_warnings(const option_call&)
{
    error_func = warning;
}

// --- Vector pictures ---

void read_format(const option_call& call)
{
    static constexpr const char* names[] = {"png", "svg", "pdf"};
    const auto* named = std::find_if(std::begin(names), std::end(names),
                                     [&](const char* name) { return strcasecmp(name, call.arg) == 0; });
    if (named == std::end(names))
        error_func("--format=%s: the format is png, svg or pdf\n", call.arg);
    else
        picture_format = static_cast<int>(named - std::begin(names));
}

void read_vector_limit(const option_call& call)
{
    const number_read<long> n = read_integer(call.arg);
    if (!n.found() || n.status != read_status::ok || *n.end != '\0' || n.value < 0)
        error_func("--vector-limit=%s: the limit is a whole number of marks, 0 or more\n", call.arg);
    else
        vector_limit = static_cast<int>(n.value);
}

void read_dpi(const option_call& call)
{
    const number_read<double> dpi = read_real(call.arg);
    if (!dpi.found() || dpi.status != read_status::ok || *dpi.end != '\0' || !(dpi.value >= 1 && dpi.value <= 100000))
        error_func("--dpi=%s: the resolution is a number of pixels per inch from 1 to 100000\n", call.arg);
    else
        picture_dpi = dpi.value;
}

// --every=SECONDS: how often a followed file's page is drawn again at most.
void read_every(const option_call& call)
{
    const number_read<double> seconds = read_real(call.arg);
    if (!seconds.found() || seconds.status != read_status::ok || *seconds.end != '\0' ||
        !(seconds.value >= 0.01 && seconds.value <= 86400))
        error_func("--every=%s: the period is a number of seconds from 0.01 to 86400\n", call.arg);
    else
        follow_every = seconds.value;
}

// --last=N or --last=SPAN (10s, 10min, 2h, 1d): the rows of a followed file that are kept.
void read_last(const option_call& call)
{
    const std::optional<last_rows_choice> choice = parse_last_rows(call.arg);
    if (!choice) {
        error_func("--last=%s: keep the newest N rows (a whole number from 1) or a time span: a number with s, min, "
                   "h or d (--last=10min)\n",
                   call.arg);
        return;
    }
    last_rows = choice->rows;
    last_span = choice->span;
}

// Codes first_code to first_code + count - 1 go to handle; a code's data set is its distance from first_code.
struct handler_row {
    int first_code;
    int count;
    option_handler handle;
};

constexpr handler_row per_set(set_option kind, option_handler handle)
{
    return {set_option_code(kind, 0), data_set_count, handle};
}

// The short letters x, y, z, e and the digits act for data set 0 and data set n. 'm' has no handler:
// it is reported as a code nobody takes.
constexpr handler_row handlers[] = {
    // data sets
    {'0', data_set_count, read_set_file},
    {'x', 1, read_x_column},
    {'y', 1, read_y_column},
    {'z', 1, read_z_column},
    {'e', 1, read_e_column},
    per_set(set_option::x_column, read_x_column),
    per_set(set_option::y_column, read_y_column),
    per_set(set_option::z_column, read_z_column),
    per_set(set_option::e_column, read_e_column),
    per_set(set_option::fg_color, read_fg_color),
    per_set(set_option::offset_y, read_offset_y),
    per_set(set_option::name, read_set_name),
    // page and marks
    {'g', 1, read_mode},
    {OPT_WIDTH, 1, read_width},
    {OPT_HEIGHT, 1, read_height},
    {OPT_LEFT_OFFSET, 1, read_left_offset},
    {'o', 1, read_output_name},
    {'s', 1, read_scalez},
    {OPT_SCALE_E, 1, read_scalee},
    {OPT_BIGGEST_RING, 1, read_biggest_ring},
    // axis limits
    {OPT_MAXX, 1, read_max<&myMinMax::x>},
    {OPT_MINX, 1, read_min<&myMinMax::x>},
    {OPT_MAXY, 1, read_max<&myMinMax::y>},
    {OPT_MINY, 1, read_min<&myMinMax::y>},
    {OPT_MAXZ, 1, read_max<&myMinMax::z>},
    {OPT_MINZ, 1, read_min<&myMinMax::z>},
    {OPT_RANGEADDX, 1, read_number<range_add_x>},
    {OPT_RANGEADDY, 1, read_number<range_add_y>},
    {OPT_RANGEADDZ, 1, read_number<range_add_z>},
    // colours
    {OPT_COLOR_BG, 1, read_colour<BgColor>},
    {OPT_COLOR_AX, 1, read_colour<AxColor>},
    {OPT_COLOR_MISC, 1, read_colour<MiscColor>},
    {OPT_COLOR_FILL, 1, read_fill_colour},
    {OPT_COLOR_FILLRING, 1, read_colour<FillColorRing>},
    {OPT_GRAY, 1, set_grey_fill},
    // texts, font, overlays, key
    {OPT_LABELX, 1, read_text<labelx>},
    {OPT_LABELY, 1, read_text<labely>},
    {OPT_TITLE, 1, read_text<title>},
    {OPT_FONT, 1, read_font},
    {OPT_CIRCLE, 1, read_overlay<add_circle>},
    {OPT_ARROW, 1, read_overlay<add_arrow>},
    {OPT_TEXT, 1, read_overlay<add_text>},
    {OPT_HLINE, 1, read_line<LT_HORIZONTAL>},
    {OPT_VLINE, 1, read_line<LT_VERTICAL>},
    {OPT_NLINE, 1, read_line<LT_NORMAL>},
    {OPT_KEY, 1, read_key},
    // reading and drawing
    {OPT_SEPARATOR, 1, read_separator},
    {OPT_LINE, 1, draw_lines},
    {OPT_XTIME, 1, set_time_x_axis},
    {OPT_YTIME, 1, set_time_y_axis},
    // the run
    {0, 1, flag_stored},
    {OPT_HELP, 1, show_usage},
    {'?', 1, show_usage},
    {OPT_VERSION, 1, show_version},
    {OPT_ERRORASWARN, 1, errors_as_warnings},
    // row expressions
    per_set(set_option::where, read_where),
    // plot ranges of every data set
    {OPT_RANGES, 1, read_ranges},
    // time text, units, zones and elapsed time
    {OPT_TIME_UNIT, 1, read_time_unit},
    {OPT_TZ, 1, read_time_zone},
    {OPT_X_ELAPSED, 1, set_elapsed_x_axis},
    {OPT_Y_ELAPSED, 1, set_elapsed_y_axis},
    {OPT_BY, 1, read_by_column},
    // vectors
    per_set(set_option::u_column, read_vector_column<expr_slot::u>),
    per_set(set_option::v_column, read_vector_column<expr_slot::v>),
    // colour by value, density shading, bubble sizes
    {OPT_CMAP, 1, read_colour_map},
    {OPT_MINC, 1, read_colour_end<min_c>},
    {OPT_MAXC, 1, read_colour_end<max_c>},
    {OPT_CLABEL, 1, read_text<clabel>},
    {OPT_DENSITY, 1, read_density},
    {OPT_MIN_RING, 1, read_min_ring},
    {OPT_LABELZ, 1, read_text<zlabel>},
    {'c', 1, read_c_column},
    per_set(set_option::c_column, read_c_column),
    // vector pictures
    {OPT_FORMAT, 1, read_format},
    {OPT_VECTOR_LIMIT, 1, read_vector_limit},
    {OPT_DPI, 1, read_dpi},
    // following a growing data file
    {OPT_EVERY, 1, read_every},
    {OPT_LAST, 1, read_last},
};

const handler_row* handler_of(int code)
{
    const auto row = std::find_if(std::begin(handlers), std::end(handlers), [code](const handler_row& r) {
        return code >= r.first_code && code < r.first_code + r.count;
    });
    return row == std::end(handlers) ? nullptr : row;
}

} // namespace

int fold_option_code(int c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

void handle_option(int c, const char* arg, option_state& state)
{
    const handler_row* row = handler_of(c);
    if (row == nullptr) {
        std::printf("?? getopt returned character code 0%o ??\n", static_cast<unsigned>(c));
        return;
    }
    row->handle(option_call{arg, c - row->first_code, state});
}
