// The data sets of a run: ranges (MinMax, myMinMax), column choices (cols), the data set itself (data),
// the table of ten data sets (mydata), the user's axis limits (UserMinMax) and the stream printers of traces.
#ifndef TREMWIL_DATA_SET_H
#define TREMWIL_DATA_SET_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/settings.h"
#include "data/by_groups.h"
#include "data/expression.h"

// The extent of one quantity. A new one is empty (Max lowest, Min highest), so the first value widened in
// becomes both bounds.
class MinMax
{
public:
    double Max = std::numeric_limits<double>::lowest();
    double Min = std::numeric_limits<double>::max();

    void set_max(double v)
    {
        if (v > Max)
            Max = v;
    }
    void set_min(double v)
    {
        if (v < Min)
            Min = v;
    }
    double range() const { return Max - Min; }
    bool inrange_excl(double v) const { return v > Min && v < Max; }
    double absmax() const;
};

// Ranges of x, y, z and of the two ellipse/quiver component pairs.
struct myMinMax {
    MinMax x;
    MinMax y;
    MinMax z;
    MinMax e1;
    MinMax e2;
};

// A user limit counts as given when it lies inside half the finite double range (an unset one holds the
// extreme start value of an empty MinMax).
inline constexpr double user_limit_bound = std::numeric_limits<double>::max() / 2;
inline bool user_min_given(const MinMax& m)
{
    return m.Min < user_limit_bound;
}
inline bool user_max_given(const MinMax& m)
{
    return m.Max > -user_limit_bound;
}

// The choices of a data set that may be expressions over the row, one entry each: the columns x, y and z, the
// vector components u and v, the row filter (--where) and the colour column (-c). A column choice without an expression
// reads its column.
enum class expr_slot : std::uint8_t { x, y, z, u, v, where, c };
inline constexpr std::size_t expr_slot_count = 7;

// Which file columns fill a data set (counted from 1), and whether the command line gave each one. A column given
// by name (x_name ...) is looked up in the header of each file when that file is read, which sets its number; so
// are the names an expression reads.
struct cols {
    std::uint32_t x = 1;
    std::uint32_t y = 2;
    std::uint32_t z = 3;
    std::uint32_t e = 3;
    std::uint8_t xset = 0;
    std::uint8_t yset = 0;
    std::uint8_t zset = 0;
    std::uint8_t eset = 0;
    std::string x_name = {};
    std::string y_name = {};
    std::string z_name = {};
    std::string e_name = {};
    std::array<expression, expr_slot_count> expr = {};
    // --by (data set 0 only): the column whose values split the file into data sets; 0 for none.
    std::uint32_t by = 0;
    std::string by_name = {};
    // The colour column (-c): 0 reads none, unless a name or an expression gives it.
    std::uint32_t c = 0;
    std::uint8_t cset = 0;
    std::string c_name = {};

    bool is_set() const { return xset || yset || zset || eset; }
    bool has_names() const
    {
        for (const expression& e : expr)
            if (!e.names().empty())
                return true;
        return !x_name.empty() || !y_name.empty() || !z_name.empty() || !e_name.empty() || !by_name.empty() ||
               !c_name.empty();
    }
    // Whether the rows take a colour value (-c).
    bool reads_colour() const { return c != 0 || !c_name.empty() || !(*this)[expr_slot::c].empty(); }
    expression& operator[](expr_slot slot) { return expr[static_cast<std::size_t>(slot)]; }
    const expression& operator[](expr_slot slot) const { return expr[static_cast<std::size_t>(slot)]; }
    bool has_expressions() const
    {
        for (const expression& e : expr)
            if (!e.empty())
                return true;
        return false;
    }
};

struct draw_type_row;

// One data set: its file, one vector per quantity (row i is the i-th entry of every non-empty vector),
// the ranges as read (minmax) and as plotted (mod_minmax), and the column choice.
class data
{
public:
    std::string fname;
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> z;
    std::vector<double> dx1;
    std::vector<double> dy1;
    std::vector<double> dx2;
    std::vector<double> dy2;
    // The colour column's values, one per row when a colour column is read (empty otherwise).
    std::vector<double> c;
    // Rows that start a new block: in the file, the first row after a blank line (the separator of data blocks);
    // after a sort by z, each row whose neighbour before it came from another block. Ascending; the line mode
    // joins no row to the one before it across a block start.
    std::vector<std::size_t> block_starts;
    double offset_y = 0;
    myMinMax minmax;
    myMinMax mod_minmax;
    ::cols cols;
    bool warned_x = false;
    bool warned_y = false;
    bool warned_log = false; // its rows off the log axes have been counted aloud; cleared with the rows
    bool warned_z = false;   // its rows outside the plot's z range have been counted aloud; cleared with the rows
    // --by: the group of each row as the reader gives it (data set 0), and the key's name of a data set dealt
    // out by the groups ("status=500"); cleared with the rows.
    row_groups by;
    std::string label;

    // The seven row vectors in one order, for the steps that treat them alike; the draw type fills the
    // first columns_used of them.
    using column_list = std::array<std::vector<double>*, 7>;
    column_list columns() { return {&x, &y, &z, &dx1, &dy1, &dx2, &dy2}; }
    static std::size_t columns_used(const draw_type_row& type);
    static std::size_t columns_used(int type);

    // Widens minmax with the data (never resets it); traces each range when debug is set.
    void FindMinMax();
    // Widens d with the smallest and largest element of v1 and v2 together; leaves d alone when both are empty.
    void FindMinMax1(MinMax& d, const std::vector<double>& v1, const std::vector<double>& v2);
    // Reorders the rows by ascending z; rows of equal z (-0 and +0 alike) keep their file order, and rows
    // whose z is NaN come last. The block starts follow.
    void sort();
    // Empties the seven vectors and the block starts and clears warned_log and warned_z; file name, ranges, columns,
    // offset and the other flags stay.
    void clear_rows();
    // Empties the file name and the seven vectors; ranges, columns, offset and flags stay.
    void cleanup();
    // Replaces the x, y and z bounds of mod_minmax by the limits given in umm.
    void apply_UserMinMax(myMinMax& umm);
    // Reports through error_func each plotted bound that leaves no data point.
    void check_mod_minmax();
};

extern data mydata[10];
extern myMinMax UserMinMax;

std::ostream& operator<<(std::ostream& os, const MinMax& m);
std::ostream& operator<<(std::ostream& os, const RGB& c);
std::ostream& operator<<(std::ostream& os, const scalee_t& s);

#endif // TREMWIL_DATA_SET_H
