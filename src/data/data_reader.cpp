// The data file reader. Each line is scanned once, left to right, for the columns it needs; the values equal
// those that a fresh classic-locale string stream per column would give (see number_scan.h).
#include "data/data_reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "data/byte_source.h"
#include "data/delimited.h"
#include "data/huge_pages.h"
#include "data/line_blocks.h"
#include "data/line_pieces.h"
#include "data/number_scan.h"
#include "data/time_fields.h"
#include "data/time_text.h"
#include "print/err_printf.h"

namespace
{

bool is_comment_or_empty(std::string_view line)
{
    return line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!';
}

// Text-mode reading: a carriage return right before the line feed belongs to the line end.
std::string_view without_line_end(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// A UTF-8 byte-order mark, which some programs put before the first line of a text file, is no part of the data:
// left in, it would make the first row or the first header name unreadable. The first run of lines holds the whole
// first line, so the mark is there when the file has one.
std::string_view without_byte_order_mark(std::string_view first_lines)
{
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    if (first_lines.starts_with(mark))
        first_lines.remove_prefix(mark.size());
    return first_lines;
}

// Calls f for every line of text (without its line end); the last line needs no line feed.
template <typename F> void for_each_line(std::string_view text, F&& f)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        const char* const stop = found ? static_cast<const char*>(found) : end;
        const std::string_view line(p, static_cast<std::size_t>(stop - p));
        f(found ? without_line_end(line) : line);
        p = found ? stop + 1 : end;
    }
}

// What one call of readfile carries from line to line.
struct file_reading {
    file_reading(data& set, const read_limits& bounds, kept_inputs& kept, const column_switches& start,
                 const time_zone_in_use* zone)
        : d(set), limits(bounds), inputs(kept), switches(start), rows_before(set.x.size()),
          separator(separator_for(set.fname)), zone(zone),
          times(time_columns_of(needed_columns(set.cols, start, type), zone))
    {
    }

    data& d;
    const read_limits& limits;
    kept_inputs& inputs;
    const draw_type_row& type = draw_type_of(draw_type);
    // The switches as they stand (the file may turn some on), and the y column of a file found to have one column.
    column_switches switches;
    std::uint32_t y_column = 0;
    const std::size_t rows_before; // rows d held before this file
    int columns = -1;              // counted on the first data line
    std::size_t bad_rows = 0;
    std::uint64_t lines = 0;  // lines taken so far, comments included
    std::uint64_t rows = 0;   // rows of this file so far
    bool block_ended = false; // a blank line came after the last row
    column_scan scan;
    std::string_view line;
    // Delimited files only (separator not 0): their fields, whether the first line was looked at for a header,
    // and the rows skipped for a missing value.
    const char separator;
    field_scan fields;
    bool first_line_done = false;
    std::uint64_t missing_rows = 0;    // also rows whose expression has no value, in any file
    std::uint64_t filtered_rows = 0;   // rows --where leaves out
    std::vector<std::uint32_t> wanted; // the columns lacks_value looks at, kept from line to line
    // Columns drawn on a time axis, read as time (the first line may switch x reading off).
    const time_zone_in_use* zone;
    time_field_reader times;
    // The line that lacked z, and the rows read up to it: the advice after the file depends on whether rows
    // followed it.
    std::uint64_t short_z_line = 0;
    std::uint64_t rows_at_short_z = 0;
    // --nox numbers rows from here: a followed file's rows go on counting after its oldest rows were dropped.
    std::uint64_t first_row_number = 0;
    // --by: the rows kept so far that d no longer holds, as they went to their groups.
    std::uint64_t rows_dealt = 0;
};

// The outcome get_value_at_col gives for col, taken from the line's scan.
double column_value(const column_scan& scan, std::string_view line, std::uint32_t col)
{
    if (debug > 1)
        TW_DEBUG("col=" << col);
    if (col == 0)
        return 0;
    if (scan.reached(col))
        return scan.value(col);
    TW_DEBUG("i=" << scan.attempts() << " col=" << col << " d=" << scan.last());
    TW_DEBUG("line=" << line);
    throw too_few_columns_exception();
}

// The message of a line of r that lacks column col, which what (y, z, ...) needs.
std::string too_few_columns_text(const file_reading& r, std::uint32_t col, const char* what)
{
    const auto has = r.separator == 0 ? static_cast<std::uint64_t>(count_values(r.line))
                                      : static_cast<std::uint64_t>(count_fields(r.line, r.separator));
    return std::string("Too few columns: line ") + std::to_string(r.lines) + " of data file " + r.d.fname + " has " +
           std::to_string(has) + (has == 1 ? " column" : " columns") + ", but " + what + " needs column " +
           std::to_string(col);
}

double column_value(const file_reading& r, std::uint32_t col, const char* what)
{
    try {
        if (r.separator == 0)
            return column_value(r.scan, r.line, col);
    } catch (const too_few_columns_exception&) {
        throw short_line_error(too_few_columns_text(r, col, what));
    }
    if (col == 0)
        return 0;
    if (r.fields.reached(col))
        return r.fields.value(col);
    TW_DEBUG("fields=" << r.fields.fields() << " col=" << col);
    throw short_line_error(too_few_columns_text(r, col, what));
}

// The columns a row of this file needs under the switches as they stand now.
row_columns needs(const file_reading& r)
{
    return needed_columns(r.d.cols, r.switches, r.type, r.y_column);
}

const double* row_values(const file_reading& r)
{
    return r.separator == 0 ? r.scan.values() : r.fields.values();
}

// The value of one choice for the line: its column, or its expression over the line's columns (NaN when the row
// has no value). A line that ends before a column needed throws as column_value does.
double choice_value(const file_reading& r, expr_slot slot, std::uint32_t col, const char* what)
{
    const expression& e = r.d.cols[slot];
    if (e.empty())
        return column_value(r, col, what);
    if (e.last_column() != 0)
        column_value(r, e.last_column(), what);
    return e.evaluate(row_values(r));
}

int count_first_line_columns(file_reading& r)
{
    if (r.separator == 0)
        return count_values(r.line);
    return static_cast<int>(std::min<std::uint32_t>(count_fields(r.line, r.separator), INT_MAX));
}

void count_first_line(file_reading& r)
{
    r.columns = count_first_line_columns(r);
    TW_DEBUG("Columns: " << r.columns);
    if (r.columns != 1 || (r.switches.nox && needs(r).y == 1))
        return;
    warning("\nThere is only one column in file %s\nand you have not specified --nox, --y=1 and --noz\nI will now set "
            "those options for you.\n\n",
            r.d.fname.c_str());
    r.switches.nox = true;
    r.y_column = 1;
    r.switches.noz = true;
}

// A missing z switches z reading off for the rest of the run. The advice follows at the end of the file
// (advise_on_missing_z), when it is known whether the line was the last.
double read_z(file_reading& r)
{
    try {
        return choice_value(r, expr_slot::z, r.d.cols.z, "z");
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n"
                  << "Ignoring z. Using z=1." << std::endl;
        r.switches.only2cols = true;
        r.short_z_line = r.lines;
        r.rows_at_short_z = r.rows;
        return 1;
    }
}

// A file whose lines lack z may be drawn without it; a last line without z is more likely a file cut short while
// it was written, and dropping z for the whole file would be the wrong cure.
void advise_on_missing_z(const file_reading& r)
{
    if (r.short_z_line == 0)
        return;
    if (r.rows == r.rows_at_short_z)
        std::cerr << "Line " << r.short_z_line << " is the last line of " << r.d.fname
                  << ": was the file cut short? The rows before it keep their z." << std::endl;
    else
        std::cerr << "Rerun with --only2columns to silence this message" << std::endl;
}

// The four component values, appended as they are read. z is never read in these draw types, so the z
// switches do not stop them: every row gets its components.
void read_components(file_reading& r, const row_columns& need)
{
    static constexpr const char* labels[4] = {"x1=", "y1=", "x2=", "y2="};
    // The letters of the draw type's component columns, which every such draw type reads in this order.
    static constexpr const char* value_names[4] = {"ellipse/quiver value X", "ellipse/quiver value Y",
                                                   "ellipse/quiver value U", "ellipse/quiver value V"};
    std::vector<double>* const targets[4] = {&r.d.dx1, &r.d.dy1, &r.d.dx2, &r.d.dy2};
    for (std::size_t k = 0; k < 4; ++k) {
        const std::uint32_t column = need.component[k];
        try {
            const double value = column_value(r, column, value_names[k]);
            if (debug > 1)
                TW_DEBUG(labels[k] << value);
            targets[k]->push_back(value);
        } catch (const std::exception& e) {
            std::cerr << "Can't read value for ellipse/quiver " << need.component_letter[k] << " at column " << column
                      << " " << k << "\n";
            throw;
        }
    }
    const double dot = r.d.dx1.back() * r.d.dx2.back() + r.d.dy1.back() * r.d.dy2.back();
    if (need.counts_skew && std::fabs(dot) > 1e-6)
        ++r.bad_rows;
}

// A vector's u and v; NaN when an expression gives no value (the row is then missing).
double read_vector(file_reading& r, const row_columns& need)
{
    double uv[2];
    for (std::size_t k = 0; k < 2; ++k) {
        uv[k] = choice_value(r, component_slot(k), need.component[k], k == 0 ? "u" : "v");
        if (std::isnan(uv[k]))
            return uv[k];
    }
    r.d.dx1.push_back(uv[0]);
    r.d.dy1.push_back(uv[1]);
    r.d.dx2.push_back(0);
    r.d.dy2.push_back(0);
    return 1;
}

double read_z_or_components(file_reading& r, const row_columns& need)
{
    if (need.components == component_source::choices)
        return read_vector(r, need);
    if (need.components == component_source::columns) {
        read_components(r, need);
        return 1;
    }
    if (!need.reads_z)
        return 1;
    if (r.type.type != DT_UNKNOWN)
        return read_z(r);
    err__printf(TW_FILE, __LINE__, "Unknown draw_type: %d\n", draw_type);
    std::exit(1);
}

[[noreturn]] void too_many_rows(const file_reading& r)
{
    throw input_error("data file " + r.d.fname + " has more than " + std::to_string(r.limits.max_rows) +
                      " rows, the most one data file may hold");
}

[[noreturn]] void not_a_time(const file_reading& r, std::uint32_t col, std::string_view text, std::size_t error_at)
{
    throw input_error("line " + std::to_string(r.lines) + " of data file " + r.d.fname + ": field " +
                      std::to_string(col) + " (\"" + std::string(text) + "\") is not a time: character " +
                      std::to_string(error_at + 1) +
                      " does not fit YYYY-MM-DD[Thh:mm[:ss[.fraction]]][Z|+hh:mm|-hh:mm]");
}

[[noreturn]] void not_a_number(const file_reading& r, std::uint32_t col)
{
    if (r.times.columns().holds(col)) {
        const std::string text = field_text(r.line, r.separator, col);
        not_a_time(r, col, text, parse_time_text(text).error_at);
    }
    throw input_error("line " + std::to_string(r.lines) + " of data file " + r.d.fname + ": field " +
                      std::to_string(col) + " (\"" + field_text(r.line, r.separator, col) + "\") is not a number");
}

// The columns a row is drawn from (or filtered by) under the switches as they stand now, kept in r.
const std::vector<std::uint32_t>& wanted_columns(file_reading& r, const row_columns& need)
{
    checked_columns(r.d.cols, need, r.wanted);
    return r.wanted;
}

// The row of a delimited line lacks a value when a column it is drawn from holds a missing value; a column
// holding other text ends the run. Columns the line does not reach are left to column_value.
bool lacks_value(file_reading& r, const row_columns& need)
{
    bool missing = false;
    for (const std::uint32_t col : wanted_columns(r, need)) {
        if (col == 0 || !r.fields.reached(col))
            continue;
        if (r.fields.kind(col) == field_kind::text)
            not_a_number(r, col);
        missing = missing || r.fields.kind(col) == field_kind::missing;
    }
    return missing;
}

// The same for a whitespace-separated line: a column it is drawn from holds a missing-value mark. Most lines hold
// none, and cost one test.
bool lacks_number(file_reading& r, const row_columns& need)
{
    if (!r.scan.missing_seen())
        return false;
    for (const std::uint32_t col : wanted_columns(r, need))
        if (col != 0 && r.scan.reached(col) && is_missing(r.scan.value(col)))
            return true;
    return false;
}

// --where: a row is drawn when its filter is not 0; one without a value is missing.
bool passes_filter(file_reading& r)
{
    const expression& filter = r.d.cols[expr_slot::where];
    if (filter.empty())
        return true;
    if (filter.last_column() != 0)
        column_value(r, filter.last_column(), "the --where filter");
    const double keep = filter.evaluate(row_values(r));
    if (std::isnan(keep))
        ++r.missing_rows;
    else if (keep == 0)
        ++r.filtered_rows;
    return !std::isnan(keep) && keep != 0;
}

// The text of the line's --by column (text is allowed there); a line that ends before it is short of a column.
std::string by_value(const file_reading& r)
{
    const std::uint32_t col = r.d.cols.by;
    if (r.separator != 0 && r.fields.reached(col))
        return field_text(r.line, r.separator, col);
    const std::string_view token = r.separator == 0 ? whitespace_token(r.line, col) : std::string_view();
    if (token.empty())
        throw too_few_columns_exception();
    return std::string(token);
}

// Scans the line for the columns it needs; false when it is a delimited row to skip for a missing value.
bool scan_line(file_reading& r, const row_columns& need)
{
    if (r.separator == 0) {
        if (!r.times.columns().any()) {
            r.scan.scan(r.line, last_column(r.d.cols, need));
        } else {
            r.scan.scan(r.line, last_column(r.d.cols, need), r.times);
            const column_scan::bad_time_field& bad = r.scan.bad_time();
            if (bad.col != 0)
                not_a_time(r, bad.col, bad.text, bad.error_at);
        }
        if (!lacks_number(r, need))
            return true;
        ++r.missing_rows;
        return false;
    }
    const int last = std::max(last_column(r.d.cols, need), r.d.cols.by);
    if (r.times.columns().any())
        r.fields.scan(r.line, r.separator, last, r.times);
    else
        r.fields.scan(r.line, r.separator, last);
    if (!lacks_value(r, need))
        return true;
    ++r.missing_rows;
    return false;
}

void read_line(file_reading& r)
{
    if (r.rows == r.limits.max_rows)
        too_many_rows(r);
    ++r.rows;
    if (r.columns == -1) {
        count_first_line(r);
        r.times = time_field_reader(time_columns_of(needs(r), r.zone));
    }
    // The columns of this line: a line without z switches z off for the lines after it.
    const row_columns need = needs(r);
    if (!scan_line(r, need))
        return;
    if (!passes_filter(r))
        return;
    double x = static_cast<double>(r.first_row_number + r.rows_dealt + r.d.x.size());
    if (need.reads_x) {
        x = choice_value(r, expr_slot::x, need.x, "x");
        if (debug > 1)
            TW_DEBUG("x=" << x);
    }
    const double y = choice_value(r, expr_slot::y, need.y, "y");
    if (debug > 1)
        TW_DEBUG("y=" << y);
    // A plain column holds no NaN here (a delimited file's missing values were taken out above): only an
    // expression gives one, for a row without a value.
    if (std::isnan(x) || std::isnan(y)) {
        ++r.missing_rows;
        return;
    }
    const double z = read_z_or_components(r, need);
    if (std::isnan(z) && (!r.d.cols[expr_slot::z].empty() || need.components == component_source::choices)) {
        ++r.missing_rows;
        return;
    }
    // A row without a colour value is missing, as one without x, y or z is.
    const bool colour = need.reads_colour;
    const double c = colour ? choice_value(r, expr_slot::c, need.colour, "c") : 0.0;
    if (std::isnan(c)) {
        ++r.missing_rows;
        return;
    }
    if (colour)
        r.d.c.push_back(c);
    if (r.d.cols.by != 0)
        r.d.by.group.push_back(r.d.by.groups.group_of(by_value(r)));
    if (r.block_ended && r.rows_dealt + r.d.x.size() > 0)
        r.d.block_starts.push_back(r.d.x.size());
    r.block_ended = false;
    r.d.x.push_back(x);
    r.d.y.push_back(y);
    r.d.z.push_back(z);
}

// The columns of a data set or a group, in the order of data::columns() and then the colour values.
using column_set = std::array<std::vector<double>*, group_rows::column_count>;

// Those the reader fills: the draw type's row columns, then the colour values when the rows have them.
std::vector<std::vector<double>*> filled_columns(const file_reading& r, const column_set& all)
{
    std::vector<std::vector<double>*> filled(all.begin(), all.begin() + data::columns_used(r.type));
    if (r.d.cols.reads_colour())
        filled.push_back(all[group_rows::colour_column]);
    return filled;
}

// The values of those columns, null for the others.
std::array<const double*, group_rows::column_count> filled_values(const file_reading& r, const column_set& all)
{
    std::array<const double*, group_rows::column_count> values{};
    for (std::size_t k = 0; k < data::columns_used(r.type); ++k)
        values[k] = all[k]->data();
    if (r.d.cols.reads_colour())
        values[group_rows::colour_column] = all[group_rows::colour_column]->data();
    return values;
}

column_set columns_of(data& d)
{
    static_assert(std::tuple_size_v<data::column_list> == group_rows::colour_column);
    column_set all;
    const data::column_list rows = d.columns();
    std::copy(rows.begin(), rows.end(), all.begin());
    all[group_rows::colour_column] = &d.c;
    return all;
}

column_set columns_of(group_rows& g)
{
    column_set all;
    for (std::size_t k = 0; k < all.size(); ++k)
        all[k] = &g.columns[k];
    return all;
}

// Room for the rows that the rest of a file of known size will likely bring, judged by the rows per byte so far:
// a file of even lines gets its room in one step instead of through the copies of repeated doubling, and a file
// that is mostly blank or comment lines gets none it will not use. Without huge pages the page faults of filling
// the rows of a million-line file take a tenth of the reading time. held rows were there before the file, kept
// rows come from it.
void make_room_in(const std::vector<std::vector<double>*>& columns, std::size_t held, std::size_t kept,
                  const file_reading& r, std::uint64_t bytes_read, std::uint64_t size)
{
    // The margin covers only the rows still to come, so the estimate closes in on the true count as the file is
    // read instead of passing the room made early and growing the columns (and copying them) near the end.
    // The rows kept, not the rows read: under --where or with missing values they differ, and an estimate from
    // the rows read makes room that is given back at the end by copying every column.
    const double per_byte = static_cast<double>(kept) / static_cast<double>(bytes_read);
    const double to_come = per_byte * static_cast<double>(size - bytes_read);
    const double expected = static_cast<double>(kept) + to_come * 1.05 + 4096;
    const double bounded = std::min(expected, static_cast<double>(r.limits.max_rows));
    const std::size_t wanted = held + static_cast<std::size_t>(bounded);
    const std::size_t capacity = columns.front()->capacity();
    if (wanted <= capacity)
        return;
    // At least half as much again as before, so that a rising estimate does not copy the rows at every block.
    const std::size_t room = std::max(wanted, capacity + capacity / 2);
    for (std::vector<double>* column : columns) {
        column->reserve(room);
        advise_huge_pages(*column);
    }
}

// Under --by the rows are kept by group, and each group gets room by its own share of the rows.
void make_room(file_reading& r, std::uint64_t bytes_read, std::uint64_t size)
{
    if (size <= bytes_read || bytes_read == 0)
        return;
    if (r.d.cols.by == 0) {
        make_room_in(filled_columns(r, columns_of(r.d)), r.rows_before, r.d.x.size() - r.rows_before, r, bytes_read,
                     size);
        return;
    }
    for (group_rows& g : r.d.by.rows)
        if (g.size() > 0)
            make_room_in(filled_columns(r, columns_of(g)), 0, g.size(), r, bytes_read, size);
}

// An estimate that came out high leaves room unused.
void give_back_room(const column_set& columns)
{
    for (std::vector<double>* column : columns)
        if (column->capacity() - column->size() > column->size() / 4 + 4096)
            column->shrink_to_fit();
}

void give_back_room(data& d)
{
    give_back_room(columns_of(d));
    for (group_rows& g : d.by.rows)
        give_back_room(columns_of(g));
}

// --by: the rows d holds go to their groups, leaving d empty for the rows to come.
void deal_held_rows(file_reading& r)
{
    data& d = r.d;
    if (d.cols.by == 0 || d.x.empty())
        return;
    const column_set held = columns_of(d);
    deal_rows(d.by, {.columns = filled_values(r, held),
                     .group = d.by.group.data(),
                     .number = same_group_numbers,
                     .rows = d.x.size(),
                     .after_blank = d.block_starts});
    r.rows_dealt += d.x.size();
    for (std::vector<double>* column : held)
        column->clear();
    d.block_starts.clear();
    d.by.group.clear();
}

// The first line of a delimited file that is no comment may be a header naming the columns.
bool take_header(file_reading& r, std::string_view line)
{
    r.first_line_done = true;
    return take_column_names(line, r.separator, r.d.cols, r.d.fname);
}

void read_delimited_text(file_reading& r, std::string_view text)
{
    for_each_line(text, [&r](std::string_view line) {
        ++r.lines;
        if (is_delimited_comment_or_blank(line, r.separator)) {
            // A blank line ends a block of rows here too; a comment line does not.
            r.block_ended = r.block_ended || line.empty() || line.front() != '#';
            return;
        }
        if (!r.first_line_done && take_header(r, line))
            return;
        r.line = line;
        read_line(r);
    });
}

void read_text(file_reading& r, std::string_view text)
{
    if (r.separator != 0) {
        read_delimited_text(r, text);
        return;
    }
    for_each_line(text, [&r](std::string_view line) {
        ++r.lines;
        if (is_comment_or_empty(line)) {
            // A blank line ends a block of rows (gnuplot's separator); a comment line does not.
            r.block_ended = r.block_ended || line.empty();
            return;
        }
        r.line = line;
        read_line(r);
    });
}

// Parsing a run of lines on several threads. Each piece of the run is parsed on its own into rows of its own
// under the switches as they stand, up to the first line that the one-thread path must take (a missing column:
// a message, a switch that changes how later lines read, or an error), and the pieces are then joined in order.
// From a piece that stopped at such a line on, the rest of the run is read by the one-thread path, so the rows,
// messages, switches and the first error are those of reading the run on one thread.

// The rows one piece gives, in the order of data::columns() and then the colour values; x holds row numbers from 0
// under --nox. Under --by the rows are those of the piece's groups instead.
constexpr std::size_t piece_colour = group_rows::colour_column;
using piece_columns = std::array<std::vector<double>, group_rows::column_count>;
struct alignas(64) piece_rows { // each on its own cache lines: the threads write their counters on every line
    piece_columns columns;
    std::uint64_t lines = 0; // lines taken, comments included, before stop
    std::uint64_t rows = 0;
    std::size_t bad_rows = 0;
    std::uint64_t missing_rows = 0;            // rows whose expression has no value
    std::uint64_t filtered_rows = 0;           // rows --where leaves out
    std::size_t stop = std::string_view::npos; // where the line that stopped the piece starts
    std::vector<std::size_t> after_blank;      // rows with a blank line between them and the row before
    row_groups by;            // --by: the group of each row among the piece's own groups, and the groups' rows
    bool block_ended = false; // a blank line after the last row (any blank line, without rows)
};

// The value column_value gives for a column the scan reached: 0 for column 0.
double reached_value(const column_scan& scan, std::uint32_t col)
{
    return col == 0 ? 0.0 : scan.value(col);
}

// The row of one line when every column it needs is there with a value, as read_line makes it; false (nothing
// appended) otherwise: a row with a missing value is left to the one-thread path, which counts it.
bool parse_whole_row(const cols&, const row_columns& need, const column_scan& scan, piece_rows& out, piece_columns& to)
{
    // A line holding a missing-value mark or a bad time is left to the one-thread path, which tells or counts it.
    if (scan.bad_time().col != 0 || scan.missing_seen())
        return false;
    const std::uint32_t plain[3] = {need.reads_x ? need.x : 0, need.y, need.reads_z ? need.z : 0};
    for (const std::uint32_t col : plain)
        if (col != 0 && !scan.reached(col))
            return false;
    for (std::size_t k = 0; k < need.component_count; ++k)
        if (need.component[k] != 0 && !scan.reached(need.component[k]))
            return false;
    to[0].push_back(need.reads_x ? reached_value(scan, plain[0]) : 0.0);
    to[1].push_back(reached_value(scan, plain[1]));
    to[2].push_back(need.reads_z ? reached_value(scan, plain[2]) : 1.0);
    if (need.component_count == 4) {
        double v[4];
        for (std::size_t k = 0; k < 4; ++k)
            to[3 + k].push_back(v[k] = reached_value(scan, need.component[k]));
        if (need.counts_skew && std::fabs(v[0] * v[2] + v[1] * v[3]) > 1e-6)
            ++out.bad_rows;
    }
    ++out.rows;
    return true;
}

// One choice's value when the scan reached every column it reads; false otherwise.
bool scanned_choice(const cols& c, expr_slot slot, std::uint32_t col, const column_scan& scan, double& value)
{
    const expression& e = c[slot];
    const std::uint32_t last = e.empty() ? col : e.last_column();
    if (last != 0 && !scan.reached(last))
        return false;
    value = e.empty() ? reached_value(scan, col) : e.evaluate(scan.values());
    return true;
}

// parse_whole_row for a data set with expressions or a filter: a row left out by the filter or without a value is
// counted, as read_line counts it, and appends nothing.
bool parse_row_with_expressions(const cols& c, const row_columns& need, const column_scan& scan, piece_rows& out,
                                piece_columns& to)
{
    if (scan.bad_time().col != 0 || scan.missing_seen())
        return false; // as in parse_whole_row
    if (need.filtered) {
        double keep = 0;
        if (!scanned_choice(c, expr_slot::where, 0, scan, keep))
            return false;
        if (std::isnan(keep) || keep == 0) {
            ++(std::isnan(keep) ? out.missing_rows : out.filtered_rows);
            return true;
        }
    }
    double x = 0, y = 0, z = 1;
    if ((need.reads_x && !scanned_choice(c, expr_slot::x, need.x, scan, x)) ||
        !scanned_choice(c, expr_slot::y, need.y, scan, y))
        return false;
    if (need.reads_z && !scanned_choice(c, expr_slot::z, need.z, scan, z))
        return false;
    double v[4] = {};
    for (std::size_t k = 0; k < need.component_count; ++k) {
        if (need.components == component_source::choices) {
            if (!scanned_choice(c, component_slot(k), need.component[k], scan, v[k]))
                return false;
        } else {
            if (!scan.reached(need.component[k]))
                return false;
            v[k] = reached_value(scan, need.component[k]);
        }
    }
    double colour = 0;
    if (need.reads_colour && !scanned_choice(c, expr_slot::c, need.colour, scan, colour))
        return false;
    if (std::isnan(x) || std::isnan(y) || std::isnan(z) || std::isnan(v[0]) || std::isnan(v[1]) || std::isnan(colour)) {
        ++out.missing_rows;
        return true;
    }
    if (need.reads_colour)
        to[piece_colour].push_back(colour);
    to[0].push_back(x);
    to[1].push_back(y);
    to[2].push_back(z);
    if (need.components != component_source::none) {
        for (std::size_t k = 0; k < 4; ++k)
            to[3 + k].push_back(v[k]);
        if (need.counts_skew && std::fabs(v[0] * v[2] + v[1] * v[3]) > 1e-6)
            ++out.bad_rows;
    }
    ++out.rows;
    return true;
}

// The --by field of a line, found from where the scan stopped when the scan read whole fields short of it: the
// line is not walked a second time from its start.
std::string_view by_field(std::string_view line, const column_scan& scan, std::uint32_t col)
{
    if (scan.whole_fields() && col > scan.attempts())
        return whitespace_token(line.substr(scan.stop()), col - scan.attempts());
    return whitespace_token(line, col);
}

// --by: the row just taken belongs to the group find gave for its value: a value not met before makes a group only
// now, as a row left out makes none. Under --nox x is the row's number in the piece.
void take_group(piece_rows& out, std::string_view value, std::uint8_t group, const row_columns& need, piece_columns& to)
{
    if (group == out.by.groups.values.size())
        out.by.groups.add(value);
    out.by.group.push_back(group);
    if (!need.reads_x)
        to[0].back() = static_cast<double>(out.rows - 1);
    if (group == by_groups::max_groups)
        for (std::vector<double>& column : to) // the run ends for too many values: the rows are not wanted
            column.clear();
}

void parse_piece(const data& d, const row_columns& need, const time_columns& time_cols, std::string_view piece,
                 piece_rows& out)
{
    for (std::vector<double>& column : out.columns)
        column.clear();
    out.after_blank.clear();
    out.by.clear();
    out = {.columns = std::move(out.columns), .after_blank = std::move(out.after_blank), .by = std::move(out.by)};
    column_scan scan;
    time_field_reader times(time_cols);
    const std::uint32_t last = last_column(d.cols, need);
    const char* const start = piece.data();
    // Expressions, vectors and a colour column take the general row parser, which reads any choice.
    const auto parse_row = d.cols.has_expressions() || need.components == component_source::choices || need.reads_colour
                               ? parse_row_with_expressions
                               : parse_whole_row;
    // --by: each row goes straight to its group's columns, so that the rows are not split again after parsing.
    const bool split = d.cols.by != 0;
    piece_columns past_groups;
    for_each_line(piece, [&](std::string_view line) {
        if (out.stop != std::string_view::npos)
            return;
        if (is_comment_or_empty(line)) {
            out.block_ended = out.block_ended || line.empty();
        } else {
            if (time_cols.any())
                scan.scan(line, last, times);
            else
                scan.scan(line, last);
            const std::uint64_t row = out.rows;
            const std::string_view value = split ? by_field(line, scan, d.cols.by) : std::string_view();
            const std::uint8_t group = split ? out.by.groups.find(value) : 0;
            piece_columns& to = !split                          ? out.columns
                                : group < by_groups::max_groups ? out.by.rows[group].columns
                                                                : past_groups;
            // A line short of the --by column is left to the one-thread path, which says so.
            if ((split && value.empty()) || !parse_row(d.cols, need, scan, out, to)) {
                out.stop = static_cast<std::size_t>(line.data() - start);
                return;
            }
            // A row left out keeps the blank line before it for the next row taken.
            if (out.rows > row) {
                if (split)
                    take_group(out, value, group, need, to);
                if (out.block_ended)
                    out.after_blank.push_back(row);
                out.block_ended = false;
            }
        }
        ++out.lines;
    });
}

// A blank line after the last row read so far: the piece's own, or the one before it when the piece took no row.
void carry_block_end(file_reading& r, const piece_rows& piece)
{
    r.block_ended = piece.rows > 0 ? piece.block_ended : r.block_ended || piece.block_ended;
}

// The block starts of the first taken rows of a piece joined at row first_row, as read_line records them: a row
// after a blank line (in this piece, or before it for the piece's first row) that is not the data set's first.
void join_block_starts(file_reading& r, const piece_rows& piece, std::size_t first_row, std::uint64_t taken)
{
    if (taken > 0 && r.block_ended && first_row > 0 && (piece.after_blank.empty() || piece.after_blank[0] != 0))
        r.d.block_starts.push_back(first_row);
    for (const std::size_t row : piece.after_blank)
        if (row < taken && first_row + row > 0)
            r.d.block_starts.push_back(first_row + row);
    carry_block_end(r, piece);
}

void add_piece_counts(file_reading& r, const piece_rows& piece)
{
    r.lines += piece.lines;
    r.bad_rows += piece.bad_rows;
    r.missing_rows += piece.missing_rows;
    r.filtered_rows += piece.filtered_rows;
}

// --by: the rows of a parsed piece go straight to their groups, in file order after those dealt out before them.
void join_piece_to_groups(file_reading& r, piece_rows& piece)
{
    // Past the row limit the run ends: no row of the piece is wanted.
    if (piece.rows > r.limits.max_rows - r.rows)
        too_many_rows(r);
    // The piece numbers its groups as it met them: renumbered among the groups of the file so far.
    // Numbers the piece did not give stay past the groups.
    std::array<std::uint8_t, by_groups::max_groups + 1> number;
    number.fill(by_groups::max_groups);
    for (std::size_t k = 0; k < piece.by.groups.values.size(); ++k)
        number[k] = r.d.by.groups.group_of(piece.by.groups.values[k]);
    for (const std::string& value : piece.by.groups.more)
        r.d.by.groups.group_of(value);
    // Under --nox x is the row's number in the piece.
    if (r.switches.nox)
        for (group_rows& g : piece.by.rows)
            for (double& x : g.columns[0])
                x += static_cast<double>(r.first_row_number + r.rows_dealt);
    join_split_rows(r.d.by, piece.by.rows,
                    {.group = piece.by.group.data(),
                     .number = number.data(),
                     .rows = piece.rows,
                     .after_blank = piece.after_blank,
                     .blank_before_first = r.block_ended});
    carry_block_end(r, piece);
    r.rows += piece.rows;
    r.rows_dealt += piece.rows;
    add_piece_counts(r, piece);
}

// Appends a parsed piece to the data set as read_line would have: past the row limit only the rows up to it.
void join_piece(file_reading& r, piece_rows& piece)
{
    if (r.d.cols.by != 0) {
        join_piece_to_groups(r, piece);
        return;
    }
    const std::uint64_t taken = std::min(piece.rows, r.limits.max_rows - r.rows);
    const data::column_list columns = r.d.columns();
    const std::size_t first_row = r.d.x.size();
    for (std::size_t k = 0; k < data::columns_used(r.type); ++k)
        columns[k]->insert(columns[k]->end(), piece.columns[k].begin(),
                           piece.columns[k].begin() + static_cast<std::ptrdiff_t>(taken));
    if (r.d.cols.reads_colour())
        r.d.c.insert(r.d.c.end(), piece.columns[piece_colour].begin(),
                     piece.columns[piece_colour].begin() + static_cast<std::ptrdiff_t>(taken));
    if (r.switches.nox)
        for (std::size_t i = 0; i < taken; ++i)
            r.d.x[first_row + i] = static_cast<double>(first_row + i);
    join_block_starts(r, piece, first_row, taken);
    r.rows += taken;
    if (taken < piece.rows)
        too_many_rows(r);
    add_piece_counts(r, piece);
}

// Whether the next run may be parsed on threads: the first data line has set the column count, no trace
// level asks for per-value traces, and the draw type is one the reader knows.
bool may_parse_on_threads(const file_reading& r)
{
    return r.columns != -1 && debug == 0 && r.type.type != DT_UNKNOWN;
}

void read_text_on_threads(file_reading& r, std::string_view text, std::vector<piece_rows>& pieces)
{
    const std::vector<std::string_view> cuts = cut_at_line_feeds(text, pieces.size(), r.limits.cut_seed);
    const row_columns need = needs(r);
    run_on_threads(cuts.size(), [&](std::size_t k) { parse_piece(r.d, need, r.times.columns(), cuts[k], pieces[k]); });
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        join_piece(r, pieces[k]);
        if (pieces[k].stop != std::string_view::npos) {
            const auto from = static_cast<std::size_t>(cuts[k].data() - text.data()) + pieces[k].stop;
            read_text(r, text.substr(from));
            return;
        }
    }
}

// Reads every line of the file; false when it does not open.
bool read_lines(file_reading& r)
{
    const std::unique_ptr<byte_source> source = open_data_source(r.d.fname, r.limits.max_file_bytes, r.inputs);
    if (!source)
        return false;
    if (r.separator == 0 && r.d.cols.has_names())
        throw no_header_error(r.d.fname);
    // Delimited files are parsed on one thread: their pieces would also have to count the rows they skip.
    const bool parallel = r.separator == 0 && source->size_hint() >= r.limits.parallel_bytes;
    const unsigned threads = parallel ? parse_threads(r.limits.threads) : 1;
    // The pieces' rows are kept from run to run, so each thread's room is made once.
    std::vector<piece_rows> pieces(threads);
    line_blocks blocks(*source, r.limits.block_bytes * threads, r.limits.max_line_bytes, r.limits.max_file_bytes,
                       r.d.fname);
    try {
        for (std::string_view text = without_byte_order_mark(blocks.next()); !text.empty(); text = blocks.next()) {
            if (threads > 1 && may_parse_on_threads(r))
                read_text_on_threads(r, text, pieces);
            else
                read_text(r, text);
            // --by: the rows read on one thread go to their groups block by block, so that d holds few.
            deal_held_rows(r);
            make_room(r, blocks.bytes_read(), source->size_hint());
        }
    } catch (const line_too_long&) {
        throw input_error("line " + std::to_string(r.lines + 1) + " of data file " + r.d.fname + " is longer than " +
                          byte_count_text(r.limits.max_line_bytes) + ", the longest a line may be");
    }
    give_back_room(r.d);
    return true;
}

// 10000-01-01 00:00 UTC: numeric times past it are more likely in a finer unit than the one given.
constexpr double year_10000 = 253402300800.0;

struct time_unit_choice {
    const char* name;
    double per_second;
};

constexpr time_unit_choice finer_units[] = {{"ms", 1e3}, {"us", 1e6}, {"ns", 1e9}};

const char* unit_name(double per_second)
{
    for (const time_unit_choice& u : finer_units)
        if (u.per_second == per_second)
            return u.name;
    return "s";
}

// A warning for a time column of this file whose values lie beyond the year 9999, naming the finer unit that
// brings them back; values that no unit makes a date are left alone.
void check_time_unit(const file_reading& r, std::size_t column, const char* axis)
{
    double largest = 0;
    const auto widen = [&largest](const std::vector<double>& values, std::size_t from) {
        for (std::size_t i = from; i < values.size(); ++i)
            largest = std::max(largest, std::fabs(values[i]));
    };
    widen(*columns_of(r.d)[column], r.rows_before);
    for (const group_rows& g : r.d.by.rows)
        widen(g.columns[column], 0);
    if (!(largest > year_10000))
        return;
    const double per_second = r.times.columns().units_per_second;
    for (const time_unit_choice& u : finer_units)
        if (u.per_second > per_second && largest * per_second / u.per_second <= year_10000) {
            warning("%s times of %s lie beyond the year 9999 read as %s; are they %s? (--time-unit=%s)\n", axis,
                    r.d.fname.c_str(), unit_name(per_second), u.name, u.name);
            return;
        }
}

void check_time_units(const file_reading& r)
{
    if (r.times.columns().x != 0)
        check_time_unit(r, 0, "x");
    if (r.times.columns().y != 0)
        check_time_unit(r, 1, "y");
}

} // namespace

file_read readfile(data& d, const read_limits& limits)
{
    kept_inputs inputs;
    return readfile(d, inputs, switches_from_options(), limits);
}

namespace
{

// The messages after reading a file, or a piece of a followed one: its time units, a missing z, the rows
// skipped or left out.
void report_reading(const file_reading& r)
{
    check_time_units(r);
    advise_on_missing_z(r);
    if (r.bad_rows != 0)
        err__printf(TW_FILE, __LINE__, "dot product not zero\n");
    if (r.missing_rows != 0)
        warning("%llu row%s with missing values skipped in %s\n", static_cast<unsigned long long>(r.missing_rows),
                r.missing_rows == 1 ? "" : "s", r.d.fname.c_str());
    if (r.filtered_rows != 0 && !quiet)
        std::printf("%llu row%s of %s left out by --where=%s\n", static_cast<unsigned long long>(r.filtered_rows),
                    r.filtered_rows == 1 ? "" : "s", r.d.fname.c_str(), r.d.cols[expr_slot::where].text().c_str());
}

} // namespace

file_read readfile(data& d, kept_inputs& inputs, const column_switches& switches, const read_limits& limits)
{
    // A named zone is in force only while the file is read (see time_zone_in_use).
    std::optional<time_zone_in_use> zone;
    if ((time_x_axes || time_y_axes) && !time_zone_name.empty())
        zone.emplace(time_zone_name);
    file_reading r(d, limits, inputs, switches, zone ? &*zone : nullptr);
    if (!read_lines(r)) {
        note_run_failure();
        error_func("can't open file %s\n", d.fname.c_str());
    }
    report_reading(r);
    TW_DEBUG(sort << " " << r.switches.only2cols);
    // Rows split by --by are sorted in their data sets.
    if (sort && r.switches.reads_z() && d.cols.by == 0) {
        TW_DEBUG("sorting");
        d.sort();
    }
    TW_DEBUG("rows=" << d.x.size() + r.rows_dealt);
    return {.rows = d.x.size() + r.rows_dealt, .switches = r.switches, .one_column = r.y_column != 0};
}

std::uint64_t read_piece(data& d, std::string_view text, piece_reading& state, const read_limits& limits)
{
    std::optional<time_zone_in_use> zone;
    if ((time_x_axes || time_y_axes) && !time_zone_name.empty())
        zone.emplace(time_zone_name);
    kept_inputs unused;
    file_reading r(d, limits, unused, state.switches, zone ? &*zone : nullptr);
    if (r.separator == 0 && d.cols.has_names())
        throw no_header_error(d.fname);
    r.lines = state.lines;
    r.columns = state.columns;
    r.first_line_done = state.header_done;
    r.block_ended = state.block_ended;
    r.first_row_number = state.first_row_number;
    r.y_column = state.y_column;
    if (state.lines == 0)
        text = without_byte_order_mark(text);
    read_text(r, text);
    report_reading(r);
    state.lines = r.lines;
    state.columns = r.columns;
    state.header_done = r.first_line_done;
    state.block_ended = r.block_ended;
    state.switches = r.switches;
    state.y_column = r.y_column;
    return r.rows;
}

int count_columns(std::string line)
{
    return count_numbers(line);
}

double get_value_at_col(std::string line, std::uint32_t col)
{
    column_scan scan;
    scan.scan(line, col);
    return column_value(scan, line, col);
}
