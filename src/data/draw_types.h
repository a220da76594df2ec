// The draw types as one table, one row each: the columns a row of the type reads, its mark and its checks; and
// the one answer to "which columns does a row need", which both the one-thread and the threaded reader take.
#ifndef TREMWIL_DRAW_TYPES_H
#define TREMWIL_DRAW_TYPES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/settings.h"
#include "data/data_set.h"

// One component value of a draw type that reads fixed columns: its letter in messages and its column offset
// from cols.e.
struct ci_t {
    char name;
    std::uint8_t value;
};

// Where the component values of a row come from (they fill dx1, dy1, dx2, dy2 in that order).
enum class component_source : std::uint8_t {
    none,    // no components: dx1 ... dy2 stay empty
    columns, // the columns cols.e + offset, in the order of the row's component_columns
    choices, // the u and v choices (numbers, names or expressions) into dx1 and dy1; dx2 and dy2 are 0
};

// How a row is drawn; plot/marks.cpp keeps the mark function of each shape.
enum class mark_shape : std::uint8_t { none, ring, ellipse, arrow };

// One draw type: where its values come from, how its rows are drawn and what is checked about them.
struct draw_type_row {
    dt_type type;
    component_source components;
    std::array<ci_t, 4> component_columns; // components::columns: in reading order
    bool reads_z;                          // z from its column, unless the z switches are on; else z is 1
    bool joins_rows;                       // a line joins each mark to the one before it
    mark_shape mark;
    bool common_component_scale; // the components share one pixel scale (Escale), set from data set 0's ranges
    bool counts_skew;            // rows whose two component pairs are not perpendicular are counted (one message)
    bool on_log_axes;            // may be drawn on a log axis (components are lengths, not positions)
};

// "xyuv" layouts hold x1 y1 x2 y2 from cols.e on, "xuyv" layouts x1 x2 y1 y2.
inline constexpr std::array<ci_t, 4> xyuv = {{{'X', 0}, {'Y', 1}, {'U', 2}, {'V', 3}}};
inline constexpr std::array<ci_t, 4> xuyv = {{{'X', 0}, {'Y', 2}, {'U', 1}, {'V', 3}}};
inline constexpr std::array<ci_t, 4> no_columns = {};

// A new draw type is one row here, its dt_type value and the option that selects it; a new shape of mark also
// its mark function in plot/marks.cpp.
// clang-format off
inline constexpr draw_type_row draw_types[] = {
//   type             components                 columns     z      joins  mark                 scale  skew   log
    {DT_NORMAL,       component_source::none,    no_columns, true,  false, mark_shape::ring,    false, false, true},
    {DT_LINE,         component_source::none,    no_columns, true,  true,  mark_shape::ring,    false, false, true},
    {DT_ELLIPSE_XYUV, component_source::columns, xyuv,       false, false, mark_shape::ellipse, true,  true,  false},
    {DT_QUIVER_XYUV,  component_source::columns, xyuv,       false, false, mark_shape::arrow,   false, true,  false},
    {DT_ELLIPSE_XUYV, component_source::columns, xuyv,       false, false, mark_shape::ellipse, true,  true,  false},
    {DT_QUIVER_XUYV,  component_source::columns, xuyv,       false, false, mark_shape::arrow,   false, true,  false},
    {DT_VECTORS,      component_source::choices, no_columns, false, false, mark_shape::arrow,   false, false, false},
};

// What a draw type value that no option gives (a test's, or a slip) reads and draws: z like the rings, and no
// mark; the reader refuses it where it would read z, the mark drawer says so for every row.
inline constexpr draw_type_row unknown_draw_type =
    {DT_UNKNOWN,      component_source::none,    no_columns, true,  false, mark_shape::none,    false, false, true};
// clang-format on

// The row of draw type type, or unknown_draw_type.
constexpr const draw_type_row& draw_type_of(int type)
{
    for (const draw_type_row& row : draw_types)
        if (row.type == type)
            return row;
    return unknown_draw_type;
}

// Whether rows of the type fill the four component vectors dx1 ... dy2 (each row one value in each).
constexpr bool has_components(const draw_type_row& row)
{
    return row.components != component_source::none;
}

// The switches that choose columns for every data set of a run: the options --nox, --noz and --only2columns, and
// what the reader decided from the files read so far (a one-column file turns nox and noz on, a line without z
// only2cols); what the reader turns on stays on for the rest of the run.
struct column_switches {
    bool nox = false; // x is the row number
    bool noz = false; // z is 1
    bool only2cols = false;

    bool reads_z() const { return !noz && !only2cols; }
    bool operator==(const column_switches&) const = default;
};

// The switches as the options set them.
column_switches switches_from_options();

// The columns one row of a data set reads under the switches as they stand, one entry per value. A value with
// an expression (cols.expr) reads the columns of its expression instead of its column.
struct row_columns {
    bool reads_x = false;
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    bool reads_z = false; // false: z is 1
    std::uint32_t z = 0;
    component_source components = component_source::none;
    std::uint8_t component_count = 0;         // 0, 2 (the u and v choices) or 4 (fixed columns)
    std::array<std::uint32_t, 4> component{}; // columns, in reading order
    std::array<char, 4> component_letter{};   // components::columns: the letters of the values
    bool counts_skew = false;                 // rows whose component pairs are not perpendicular are counted
    bool reads_colour = false;
    std::uint32_t colour = 0;
    bool filtered = false; // a --where filter decides whether the row is taken
};

// Which columns a row of d needs, drawn as type, under switches. y_column stands in for d's own y column when it
// is not 0 (a file found to have one column reads y from column 1).
row_columns needed_columns(const cols& c, const column_switches& switches, const draw_type_row& type,
                           std::uint32_t y_column = 0);

// The expression slot of component k (0: u, 1: v) of a component_source::choices draw type.
expr_slot component_slot(std::size_t k);

// The last column a line must be scanned up to for the row.
std::uint32_t last_column(const cols& c, const row_columns& need);

// The columns whose values the row is drawn from or filtered by, for the missing-value checks: y, x, the
// components (fixed ones in column order) or z, the filter's, the colour's; expressions give the columns they read.
void checked_columns(const cols& c, const row_columns& need, std::vector<std::uint32_t>& out);

#endif // TREMWIL_DRAW_TYPES_H
