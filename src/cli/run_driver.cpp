// Start-up, option loop and checks; then the run loop is handed the data-file arguments.
#include "cli/run_driver.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>
#include <unistd.h>

#include "cli/expand/at_file.h"
#include "cli/expand/glob.h"
#include "cli/help.h"
#include "cli/options.h"
#include "core/messages.h"
#include "core/settings.h"
#include "data/byte_source.h"
#include "data/data_set.h"
#include "data/draw_types.h"
#include "follow/stop_signals.h"
#include "log/logfile.h"
#include "print/err_printf.h"
#include "view/viewing.h"

namespace
{

// getopt_long returns '?' both for -? and for an option it rejects. A rejected one was the element just done
// (optind has moved past it). -? is that element, or starts a cluster still being read ("-?x3"): every other
// short option takes a value, so "?" can only lead a cluster.
bool asked_for_usage(int argc, char** argv)
{
    const char* done = argv[optind - 1];
    const char* current = optind < argc ? argv[optind] : "";
    return std::strcmp(done, "-?") == 0 || (std::strncmp(current, "-?", 2) == 0 && std::strlen(current) > 2);
}

bool all_digits(const char* text)
{
    return *text != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
}

// Handles the options; returns the index of the first data-file argument, which getopt_long moved behind them.
// An option getopt_long rejects (unknown, or without its value) has had its complaint printed; the usage text
// follows and the run fails, so that a script sees it. A number written apart after -g ("-g 4": the mode takes
// its value only attached) goes to detached_mode, for the message if no data file of that name opens.
int parse_options(int argc, char** argv, option_state& state, std::string& detached_mode)
{
    int c;
    while ((c = getopt_long(argc, argv, short_opts, long_opts, nullptr)) != -1) {
        if (c == '?' && !asked_for_usage(argc, argv))
            Usage(state.prog_name, 1);
        const int code = fold_option_code(c);
        if (code == 'g' && optarg == nullptr && optind < argc && all_digits(argv[optind]))
            detached_mode = argv[optind];
        handle_option(code, optarg, state);
    }
    return optind;
}

// "-g 4" as --fullhelp shows the mode reads 4 as a data file: when it does not open, the error says why.
void check_detached_mode(int argc, char** argv, int first_file, const std::string& detached_mode)
{
    if (detached_mode.empty() || access(detached_mode.c_str(), R_OK) == 0)
        return;
    for (int i = first_file; i < argc; ++i)
        if (detached_mode == argv[i]) {
            note_run_failure();
            error_func("can't open file %s (a mode for -g is written attached to it: -g%s)\n", argv[i], argv[i]);
            return;
        }
}

// Copies data set 0's column choice (number, header name and expression) into one column slot of data set i unless
// the command line set it.
void inherit_one(int i, const char* name, std::uint32_t& col, std::string& header_name, std::uint8_t& set,
                 expression& expr, std::uint32_t from_col, const std::string& from_name, const expression& from_expr)
{
    if (set)
        return;
    TW_DEBUG("cloning " << name << "-column for dataset " << i);
    col = from_col;
    header_name = from_name;
    expr = from_expr;
    set = 1;
}

// A column as the user gave it: its expression, its header name or its number.
std::string column_text(std::uint32_t col, const std::string& name, const expression& expr = expression())
{
    if (!expr.empty())
        return expr.text();
    return name.empty() ? std::to_string(col) : name;
}

// Two columns are the same when they are given alike: the same number, the same name or the same expression (a
// name and a number can only be compared once a file's header is read). A number is all digits and a name is not,
// so their texts tell.
void warn_if_same(const char* a_label, const std::string& a, const char* b_label, const std::string& b)
{
    if (a == b)
        warning("%scol=%s and %scol=%s are the same\n", a_label, a.c_str(), b_label, b.c_str());
}

void check_limit(const MinMax& m, const char* message)
{
    if (user_min_given(m) && user_max_given(m) && m.Min >= m.Max)
        error_func(message, m.Max, m.Min);
}

void check_widening(double value, const char* message)
{
    if (value <= -0.5)
        error_func(message, value);
}

void warn_column_clashes()
{
    const ::cols& c = mydata[0].cols;
    const std::string x = column_text(c.x, c.x_name, c[expr_slot::x]);
    const std::string y = column_text(c.y, c.y_name, c[expr_slot::y]);
    const std::string z = column_text(c.z, c.z_name, c[expr_slot::z]);
    if (nox) {
        if (!only2cols)
            warn_if_same("y", y, "z", z);
        return;
    }
    warn_if_same("x", x, "y", y);
    if (only2cols || noz)
        return;
    warn_if_same("x", x, "z", z);
    warn_if_same("y", y, "z", z);
}

// Gives data sets 1 to 9 that have a file the column choices of data set 0 they were not given.
void inherit_columns()
{
    const ::cols& from = mydata[0].cols;
    for (int i = 1; i <= 9; ++i) {
        ::cols& to = mydata[i].cols;
        if (mydata[i].fname.empty())
            continue;
        inherit_one(i, "x", to.x, to.x_name, to.xset, to[expr_slot::x], from.x, from.x_name, from[expr_slot::x]);
        inherit_one(i, "y", to.y, to.y_name, to.yset, to[expr_slot::y], from.y, from.y_name, from[expr_slot::y]);
        inherit_one(i, "z", to.z, to.z_name, to.zset, to[expr_slot::z], from.z, from.z_name, from[expr_slot::z]);
        inherit_one(i, "c", to.c, to.c_name, to.cset, to[expr_slot::c], from.c, from.c_name, from[expr_slot::c]);
        expression no_expression;
        inherit_one(i, "e", to.e, to.e_name, to.eset, no_expression, from.e, from.e_name, no_expression);
        for (const expr_slot slot : {expr_slot::where, expr_slot::u, expr_slot::v})
            if (to[slot].empty())
                to[slot] = from[slot];
    }
}

void announce_columns()
{
    const ::cols& c = mydata[0].cols;
    if (nox)
        std::printf("using linenumber as x, ");
    else
        std::printf("using col %s as x, ", column_text(c.x, c.x_name, c[expr_slot::x]).c_str());
    std::printf("col %s as y, ", column_text(c.y, c.y_name, c[expr_slot::y]).c_str());
    if (only2cols || noz)
        std::printf("and z=1\n");
    else
        std::printf("col %s as z\n", column_text(c.z, c.z_name, c[expr_slot::z]).c_str());
}

// A log axis needs positive limits, and holds neither times nor the lengths of ellipse and quiver components.
void check_log_axis(int log_axis, int time_axis, const MinMax& limits, const char* axis)
{
    if (!log_axis)
        return;
    if (time_axis)
        error_func("--log%s and --%s-time exclude each other: a time axis is linear\n", axis, axis);
    if (!draw_type_of(draw_type).on_log_axes)
        error_func("--log%s cannot draw ellipses or quivers: their components are lengths, not positions\n", axis);
    if (user_min_given(limits) && !(limits.Min > 0))
        error_func("--min%s=%g: a log axis needs limits above 0\n", axis, limits.Min);
    if (user_max_given(limits) && !(limits.Max > 0))
        error_func("--max%s=%g: a log axis needs limits above 0\n", axis, limits.Max);
}

void check_settings()
{
    check_limit(UserMinMax.x, "maxx <= minx (%g <= %g)\n");
    check_limit(UserMinMax.y, "maxy <= miny (%g <= %g)\n");
    check_limit(UserMinMax.z, "maxz <= minz (%g <= %g)\n");
    check_widening(range_add_x, "range_add_x to large negative(%g). Need to be >-.5\n");
    check_widening(range_add_y, "range_add_y to large negative(%g). Need to be >-.5\n");
    check_widening(range_add_z, "range_add_z to large negative(%g). Need to be >-.5\n");
    check_log_axis(log_x, time_x_axes, UserMinMax.x, "x");
    check_log_axis(log_y, time_y_axes, UserMinMax.y, "y");
    warn_column_clashes();
}

// Standard input can be read only once: "-" may name one data file of the run, as an argument or as a data set's
// file, not two.
void check_standard_input_once(int argc, char** argv, int first_file)
{
    int named = 0;
    for (int i = first_file; i < argc; ++i)
        named += is_standard_input(argv[i]) ? 1 : 0;
    for (const data& d : mydata)
        named += is_standard_input(d.fname) ? 1 : 0;
    if (named > 1)
        error("\"-\" (standard input) is named %d times as a data file: it can be read only once\n", named);
}

// --by fills data sets 0 to 9 from one file: no data set of its own may be given beside it.
void check_by_alone()
{
    const ::cols& c = mydata[0].cols;
    if (c.by == 0 && c.by_name.empty())
        return;
    for (int i = 1; i < data_set_count; ++i)
        if (!mydata[i].fname.empty())
            error("--by makes data sets 1 to 9 from the values of a column of each file: -%d cannot be given "
                  "beside it\n",
                  i);
}

// --follow reads one file as it grows, into data set 0 alone; --every and --last only mean something then.
void check_follow()
{
    if (!follow) {
        if (last_rows != 0 || last_span > 0)
            error_func("--last keeps the newest rows of a followed file: it needs --follow\n");
        return;
    }
    const ::cols& c = mydata[0].cols;
    if (c.by != 0 || !c.by_name.empty())
        error_func("--follow cannot split the rows by --by: follow the file without it\n");
    if (last_span > 0 && !time_x_axes)
        error_func("--last with a time span keeps the rows of the newest times on a time x axis: it needs --x-time "
                   "(or --last=N for the newest N rows)\n");
}

void start_checks(int argc, char** argv, int first_file)
{
    if (fullhelp)
        Usage(argv[0]);
    if (mydata[0].fname.empty() && first_file >= argc)
        err__exit(TW_FILE, __LINE__, "Need a filename or a --0=filename\nSee %s --help\n", argv[0]);
    check_standard_input_once(argc, argv, first_file);
    check_by_alone();
    if (!quiet)
        std::printf("%s\n", Version);
    std::fflush(stdout);
    logfile(argc, argv);
    inherit_columns();
    if (!quiet)
        announce_columns();
    check_settings();
    check_follow();
}

// The data files come from the arguments; without any, data set 0's file from "-0" is the one file.
run_setup run_setup_of(int argc, char** argv, int first_file, int vga)
{
    run_setup run;
    run.files.assign(argv + first_file, argv + argc);
    if (run.files.empty())
        run.files.push_back(mydata[0].fname);
    for (int i = 0; i < first_file; ++i) {
        run.option_words += argv[i];
        run.option_words += ' ';
    }
    run.vga = vga;
    return run;
}

} // namespace

int run_tremwil(int argc, char** argv)
{
    std::setlocale(LC_TIME, "");
    rebuild_argv(&argc, &argv);
    if (argc == 1)
        Usage(argv[0]);
    option_state state{argv[0], 3};
    std::string detached_mode;
    const int first_file = parse_options(argc, argv, state, detached_mode);
    // Only the data-file operands name files: an option value such as the title "*" stays as given.
    do_glob(&argc, &argv, first_file);
    start_checks(argc, argv, first_file);
    check_detached_mode(argc, argv, first_file, detached_mode);
    view_files(run_setup_of(argc, argv, first_file, state.vga));
    // A followed run stopped by SIGINT or SIGTERM ends by that signal once its pictures are whole.
    end_by_noted_signal();
    return run_exit_status();
}
