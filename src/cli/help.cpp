// Version line, usage text and the pager route for it.
#include "cli/help.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/options.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "portable/mypath.h"

// TREMWIL_VERSION comes from the build (the project's version), so the program and its package agree.
const char Version[] =
    "tremwil Version " TREMWIL_VERSION " " __DATE__ " " __TIME__ " Build: 1 (built by the tremwil developers)";
const char Notice[] = "tremwil is free to use, copy and change.\n"
                      "It comes without any warranty.";
const char Contact[] = "Please send reports and comments to the tremwil developers.";

namespace
{

[[maybe_unused]] const char short_version[] = "tremwil Ver: " TREMWIL_VERSION;
[[maybe_unused]] const char version_tag[] = "$vekver " TREMWIL_VERSION;

constexpr const char* count[11] = {"zeroth", "first",   "second", "third", "fourth", "fifth",
                                   "sixth",  "seventh", "eighth", "ninth", nullptr};

constexpr std::size_t buffer_size = 256;

void fg_line(std::ostream& os, int n)
{
    os << "  --fg" << n << "color=r,g,b    Specify color for " << count[n] << " line (default: " << FgColors[n]
       << ").\n";
}

void data_set_lines(std::ostream& os, int n)
{
    os << "  -" << n << " file             Specify " << count[n] << " data file to be plotted in same plot\n"
       << "  --x" << n << "=#, --y" << n << "=#, --z" << n << "=#, --e" << n << "=#\n"
       << "                      Specifies columns x, y, z & ellipse for " << count[n] << " file.\n";
}

// The full text lists data sets 1 to 9; the short one only 1 and 9 with "..." between.
void per_set_lines(std::ostream& os, void (*lines)(std::ostream&, int))
{
    if (fullhelp) {
        for (int n = 1; n <= 9; ++n)
            lines(os, n);
        return;
    }
    lines(os, 1);
    os << "     ...\n";
    lines(os, 9);
}

void options_head(std::ostream& os)
{
    os << " [options] <file.ext>\n"
          "options:\n"
          "  -g #                # = 2  640 x  350     3*  640 x  480\n"
          "                          4  800 x  600     5  1024 x  768\n"
          "                          6 1280 x 1024     7  1600 x 1200\n"
          "                      Default:*\n"
          "  --width=#           Specify width of image\n"
          "  --height=#          Specify height of image\n"
          "  --left-offset=#     Specify left offset of plot\n"
          "  -x #, --x=#         Specifies X column.\n"
          "  -y #, --y=#         Specifies Y column.\n"
          "  -z #, --z=#         Specifies Z column.\n"
          "  -e #, --e=#         Specifies Ellipse columns, read 4 values starting at #.\n"
          "  --minx=#,--maxx=#   Specifies min, max for X column.\n"
          "  --miny=#,--maxy=#   Specifies min, max for Y column.\n"
          "  --minz=#,--maxz=#   Specifies min, max for Z column.\n"
          "  --nox               No x column, use linenumber.\n"
          "  --noz               No z column, use 1.\n"
          "  --drawellipse\n"
          "  --drawellipse-xyuv  draw data as an ellipse data( x1 y1 x2 y2).\n"
          "  --drawquiver-xyuv   draw data as an arrow data( x1 y1 x2 y2).\n"
          "  --drawellipse-xuyv  draw data as an ellipse data( x1 x2 y1 y2).\n"
          "  --drawquiver-xuyv   draw data as an arrow data( x1 x2 y1 y2).\n"
          "  --x-time            x is time in seconds of day, print hh:mm:ss.\n"
          "  --line              Draw lines between marks. (implies --nosort).\n"
          "  --[no]sort          En/Disable sorting of data (default: enabled).\n";
}

void scale_lines(std::ostream& os)
{
    os << "  --scalez=#          Specifies scale for Z column (default " << scalez << ").\n"
       << "  --scalee=#[,#]      Specifies scale for Ellipse/Quiver columns (default: " << scalee.x << "," << scalee.y
       << ").\n"
       << "  --autoz             Try to autoscale Z column.\n"
          "  --biggest-ring=#    Make ring for max(abs(z)) # pixels.\n"
          "  --scaleinfo         Add labels for Z.\n"
       << "  --range-add-x=#     Specifies how big chunk of range to expand\n"
       << "                      x-axis with (default " << range_add_x << ").\n"
       << "  --range-add-y=#     Specifies how big chunk of range to expand\n"
       << "                      y-axis with (default " << range_add_y << ").\n"
       << "  --range-add-z=#     Specifies how big chunk of range to expand\n"
       << "                      z-axis with (default " << range_add_z << ").\n";
}

void item_lines(std::ostream& os)
{
    os << "  --circle=x,y,r      Draw a circle in data coordinates.\n"
          "  --arrow=x,y,x1,y1   Draw an arrow from x,y pointing to x1,x2 in\n"
          "                      data coordinates.\n"
          "  --hline=y           Draw a horizontal line in data coordinates at x.\n"
          "  --vline=x           Draw a vertical line in data coordinates at y.\n"
          "  --normalline=x1,y1,x2,y2\n"
          "                      Draw a line in data coordinates from (x1,x2) to (x2,y2).\n"
          "  --text=x,y,\"text\"   Draw \"text\" at x,y in data coordinates.\n"
          "  --color             Specifies that negative values plotted in color (default).\n"
          "  --nocolor           Specifies that negative values plotted as ordinary circles.\n"
          "  --grey, --gray      Specifies that negative values plotted in grey.\n"
          "  --save-and-exit     Saves an image and exits.\n"
          "  --xlabel=\"string\"   Label for x-axis.\n"
          "  --ylabel=\"string\"   Label for y-axis.\n"
          "  --title=\"string\"    Title.\n";
}

void color_lines(std::ostream& os)
{
    os << "  --bgcolor=r,g,b     Specify background color (default: " << BgColor << ").\n"
       << "  --fgcolor=r,g,b     Specify color for first line (default: " << FgColors[0] << ").\n";
    per_set_lines(os, fg_line);
    os << "  --axcolor=r,g,b     Specify color of axes (default: " << AxColor << ").\n"
       << "  --misccolor=r,g,b   Specify color of other items (default: " << MiscColor << ").\n"
       << "  --fillcolor=r,g,b   Specify color to fill negative (default: " << FillColor << ").\n"
       << "  --fillcolorring=r,g,b Specify color rim of filled negative (default: " << FillColorRing << ").\n"
       << "  --[no]path          Do[n't] write the path to data-file.\n"
          "  --font=fontfile     Specifies which font to use.\n"
       << "                      Default from environment variable " << ENVFONT << ".\n";
}

void tail_lines(std::ostream& os)
{
    per_set_lines(os, data_set_lines);
    os << "  --in-memory         Use the memory-driver. Implies --save-and-exit\n"
          "  -o fname.png        Use fname.png as resulting image name\n"
          "\n"
          "  --quiet             Silence.\n"
          "  --debug             Debug output.\n"
          "  --error-as-warning  Don't bail out on error.\n"
          "\n"
          "When running the program:\n"
          "  s saves a png-file\n"
          "  Backspace shows previous file\n"
          "  Space shows next file\n"
          "\n";
}

// The options of the axes and the key, in the full text only, after the text the short one shares.
void axes_and_key_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Axes and key:\n"
          "  --logx, --logy      Base-10 x or y axis; rows with values <= 0 on it are not drawn.\n"
          "  --grid              Dotted grid lines at the major ticks of both axes.\n"
          "  --key[=place]       Key naming the data sets, inside the plot in the corner where\n"
          "                      it hides the fewest marks, or at place: right, left, bottom,\n"
          "                      top-right, top-left, bottom-right, bottom-left.\n"
          "  --name=\"string\"     Name of the data set in the key (default: the file name).\n"
          "  --name1=\"string\" ... --name9=\"string\"\n"
          "                      Names of the first to ninth data sets in the key.\n"
          "\n";
}

// Where data comes from, in the full text only, after the text the short one shares.
void data_input_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Data files:\n"
          "  -                   Read the data file from standard input (once per run;\n"
          "                      its picture is stdin.png unless -o names one).\n"
          "  file.gz, file.zst   gzip and zstd compressed data files, and standard input,\n"
          "                      are recognised by their first bytes and read unpacked.\n"
          "  --font=file.psf.gz  gzip-compressed font files load like plain ones.\n"
          "\n";
}

// Delimited data files and --separator, in the full text only, after the data files.
void delimited_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Delimited data (CSV, TSV):\n"
          "  file.csv, file.tsv  Fields separated by a comma or a tab (any case, also before\n"
          "                      .gz, .zst or .zstd); blanks around fields, \"quoted, fields\".\n"
          "                      A first line that is not all numbers names the columns.\n"
          "  --separator=c       Fields of every data file, standard input too, separated by c\n"
          "                      (\"tab\" for a tab).\n"
          "  --x=name, --y2=name ...\n"
          "                      Columns of any column option given by their header names.\n"
          "                      Rows with an empty field, NA, NaN, nan or null in a column\n"
          "                      that is drawn are skipped; a warning counts them.\n"
          "\n";
}

// Time text, units, zones and elapsed time, in the full text only, after the delimited data.
void time_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Time (columns on a time axis, --x-time, --y-time):\n"
          "  2024-03-14T13:25:00.255Z, 2024-03-14 13:25, 2024-03-14T13:25+01:00 ...\n"
          "                      ISO 8601 / RFC 3339 time text, read to microseconds;\n"
          "                      numbers are seconds since 1970-01-01 00:00 UTC.\n"
          "  --time-unit=s|ms|us|ns\n"
          "                      Unit of numeric times (default s).\n"
          "  --tz=UTC|local|Area/City\n"
          "                      Zone of labels and of time text without a zone\n"
          "                      (default UTC); days start at its midnights.\n"
          "  --x-elapsed, --y-elapsed\n"
          "                      Time axis labelled as time since the earliest time.\n"
          "\n";
}

// Row expressions, filters, one data set per category and vectors, in the full text only, after delimited data.
void expression_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Expressions, filters and categories:\n"
          "  --y='$2/1000'       A column option (-x -y -z, --x0= ... --z9=, --u= --v=) takes\n"
          "                      a column number (all digits), a header name, or an\n"
          "                      expression over the row: $N (column N), header names\n"
          "                      (${any name} for one with other characters), numbers,\n"
          "                      + - * / % ^ ( ), comparisons == != < <= > >=, && || !\n"
          "                      (true is 1), abs sqrt exp log log10 sin cos atan2 min max\n"
          "                      floor ceil. A row whose expression meets a missing value,\n"
          "                      a division by zero or a domain error is skipped, counted.\n"
          "  --where=expr        Draw only the rows for which expr is not 0 (--where1= ...\n"
          "                      --where9= for data sets 1 to 9, which inherit it).\n"
          "  --by=column         One data set per value (text or number) of the column of\n"
          "                      data set 0's file, at most 10, named column=value in the\n"
          "                      key; not beside -1 ... -9.\n"
          "  --vectors           Draw x y u v as an arrow (u, v) from each point, scaled by\n"
          "                      --scalee; u and v from columns e and e+1, or --u= and --v=.\n"
          "\n";
}

// Colour by value, density shading and bubble sizes, in the full text only, after the delimited data.
void value_colour_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Colour by value, density, bubble sizes:\n"
          "  -c #, --c=#         Colour each mark by column # (or a header name) through the\n"
          "  --c1=# ... --c9=#   colour map, with a colour bar right of the plot.\n"
          "  --cmap=name         viridis (default), magma, cividis, grey or coolwarm\n"
          "                      (diverging, its middle colour at 0).\n"
          "  --minc=#, --maxc=#  Ends of the colour range; values beyond take the end colours.\n"
          "  --logc              Colours follow log10 of the values.\n"
          "  --clabel=\"string\"   Title of the colour bar.\n"
          "  --density[=log|linear|eqhist]\n"
          "                      Count the rows on each pixel and shade the counts (with -c\n"
          "                      the mean colour value) instead of drawing marks.\n"
          "  --area              The ring's area, not its radius, follows |z|.\n"
          "  --min-ring=#        Every ring at least # pixels in radius.\n"
          "  --zlabel=\"string\"   Title of the z legend (--scaleinfo).\n"
          "  --set-fills         Discs of data sets 1-9 filled with a tint of their colour.\n"
          "\n";
}

// SVG and PDF pictures, in the full text only, at the end of the listed options.
void vector_picture_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "SVG and PDF pictures:\n"
          "  -o name.svg, -o name.pdf\n"
          "                      Save the page as SVG or PDF: frame, axes, texts (real text,\n"
          "                      monospace), overlays and key as vectors; -o with another\n"
          "                      extension than .png, .svg or .pdf saves a PNG (with a warning).\n"
          "  --format=png|svg|pdf  Kind of picture saved under the default names.\n"
          "  --vector-limit=#    Marks drawn as vector shapes up to # (default 20000); above,\n"
          "                      the plot area is one embedded PNG image, as in the PNG.\n"
          "  --dpi=#             Pixels per inch of the saved page (default: 1 pixel = 1 point).\n"
          "\n";
}

// Whether text names the long option as a whole (not "--x" inside "--x-time", nor "--name" inside "--name2").
bool names_option(const std::string& text, const std::string& option)
{
    for (std::size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        const unsigned char after = end < text.size() ? static_cast<unsigned char>(text[end]) : ' ';
        if (!std::isalnum(after) && after != '-' && after != '_')
            return true;
    }
    return false;
}

// The options of the table that the text before leaves out, so that the full text names every option; lines of
// at most 78 characters.
std::string unlisted_options(const std::string& text)
{
    std::string lines, line;
    for (const option* o = long_opts; o->name != nullptr; ++o) {
        const std::string name = std::string("--") + o->name;
        if (names_option(text, name) || names_option(lines + line, name))
            continue;
        const char* value = o->has_arg == required_argument ? "=#" : o->has_arg == optional_argument ? "[=#]" : "";
        const std::string word = name + value;
        if (!line.empty() && line.size() + 1 + word.size() > 78) {
            lines += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "  " : " ") + word;
    }
    if (!line.empty())
        lines += line + "\n";
    return lines.empty() ? "" : "Options not described above (see the manual page, man tremwil):\n" + lines;
}

// The program's base name; a name whose parts do not fit gives the system's text after "usage" and "".
std::string base_name(const char* name)
{
    char file[buffer_size];
    const int code = explode_path_n(name, nullptr, 0, nullptr, 0, file, sizeof file, nullptr, 0);
    if (code != 0) {
        errno = code;
        std::perror("usage");
        return {};
    }
    return file;
}

// Runs the program again through the pager with --more, and returns the pager command's exit status.
int run_through_pager(const char* name)
{
    // Built at full length: a command cut short would start some other program.
    const std::string command = std::string("\"") + name + "\" " + (fullhelp ? "--fullhelp " : "") + "--more -? | more";
    const int status = std::system(command.c_str());
    if (status == -1)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

// Exploring the page in the window, in the full text only, after the data files.
void window_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "In the window (each view is drawn from the data, as --minx ... --maxy draw it):\n"
          "  left drag           Zoom to the box.\n"
          "  wheel, + and -      Zoom in and out about the pointer, or about the centre.\n"
          "  arrow keys          Pan by a tenth of the range.\n"
          "  right or middle drag\n"
          "                      Pan.\n"
          "  u                   The view before; a (or Home) the whole data.\n"
          "  click on a mark     Print its row: file:line: x y z.\n"
          "                      The values under the pointer show above the plot. After each\n"
          "                      zoom or pan the options of the view are printed; s saves the\n"
          "                      view with them in the comment. A resized window is laid out\n"
          "                      again at its size.\n"
          "\n";
}

// Following a growing data file, in the full text only, after the window's keys.
void follow_lines(std::ostream& os)
{
    if (!fullhelp)
        return;
    os << "Following a growing file (a log, a measurement under way):\n"
          "  --follow            Keep the last data file (or standard input, -) open and\n"
          "                      draw its page again as rows are appended; a saving run\n"
          "                      (--in-memory) saves the picture again, whole, each time.\n"
          "                      A file replaced or truncated (log rotation) is read again\n"
          "                      from its start. Ends on q, SIGINT, SIGTERM or (saving) at\n"
          "                      the end of standard input.\n"
          "  --every=seconds     Draw again at most this often (default 0.5).\n"
          "  --last=N, --last=10min\n"
          "                      Keep only the newest N rows, or the rows within a span\n"
          "                      (s, min, h, d) of the newest time on a time x axis.\n"
          "\n";
}

std::string usage_text(const char* name)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << Version << "\n" << Notice << "\n\nUsage: " << base_name(name);
    options_head(os);
    scale_lines(os);
    item_lines(os);
    color_lines(os);
    tail_lines(os);
    axes_and_key_lines(os);
    data_input_lines(os);
    delimited_lines(os);
    time_lines(os);
    expression_lines(os);
    value_colour_lines(os);
    vector_picture_lines(os);
    window_lines(os);
    follow_lines(os);
    os << Notice << "\n" << Contact << "\n";
    if (fullhelp) {
        os << "\nMore options:\n"
              "  --help              Same as -?.\n";
        os << unlisted_options(os.str());
    }
    return os.str();
}

void Usage(const char* name, int status)
{
    // Paging only helps a reader at a terminal; piped or redirected output gets the text directly.
    if (!more && isatty(STDOUT_FILENO)) {
        std::fflush(nullptr);
        const int paged = run_through_pager(name);
        std::exit(status != 0 ? status : paged);
    }
    const std::string text = usage_text(name);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    std::exit(status);
}
