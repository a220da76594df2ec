// Data sets: range finding, sorting by z (the sort itself is data/z_sort), emptying, user limits and the printers
// used by traces.
#include "data/data_set.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <span>

#include "core/messages.h"
#include "data/draw_types.h"
#include "data/z_sort.h"

data mydata[10];
myMinMax UserMinMax;

double MinMax::absmax() const
{
    return std::max(std::fabs(Max), std::fabs(Min));
}

namespace
{

// The block number of every row, from the rows where blocks start; as doubles, so that they are sorted along
// like a column.
std::vector<double> block_numbers(const std::vector<std::size_t>& starts, std::size_t rows)
{
    std::vector<double> number(rows);
    std::size_t next = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        while (next < starts.size() && starts[next] <= i)
            ++next;
        number[i] = static_cast<double>(next);
    }
    return number;
}

// The rows whose block number differs from the row's before.
std::vector<std::size_t> block_changes(const std::vector<double>& number)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 1; i < number.size(); ++i)
        if (number[i] != number[i - 1])
            starts.push_back(i);
    return starts;
}

void print_values(const std::vector<double>& v)
{
    for (double value : v)
        std::cout << value << " ";
    std::cout << "\n";
}

void widen_traced(data& d, const char* label, MinMax& range, const std::vector<double>& v1,
                  const std::vector<double>& v2)
{
    d.FindMinMax1(range, v1, v2);
    TW_DEBUG(label << range);
}

} // namespace

void data::FindMinMax1(MinMax& d, const std::vector<double>& v1, const std::vector<double>& v2)
{
    // Two plain comparisons per element: their branches are almost always predicted, unlike the pairwise
    // comparisons of std::minmax_element on unordered data.
    const std::vector<double>* const both[] = {&v1, &v2};
    for (const std::vector<double>* v : std::span(both, &v1 == &v2 ? 1 : 2)) { // one column given twice: one scan
        if (v->empty())
            continue;
        double lo = v->front();
        double hi = lo;
        for (double value : *v) {
            lo = value < lo ? value : lo;
            hi = value > hi ? value : hi;
        }
        d.set_min(lo);
        d.set_max(hi);
    }
}

std::size_t data::columns_used(const draw_type_row& type)
{
    return has_components(type) ? 7 : 3;
}

std::size_t data::columns_used(int type)
{
    return columns_used(draw_type_of(type));
}

void data::FindMinMax()
{
    widen_traced(*this, "minmax.x ", minmax.x, x, x);
    widen_traced(*this, "minmax.y ", minmax.y, y, y);
    widen_traced(*this, "minmax.z ", minmax.z, z, z);
    if (!has_components(draw_type_of(draw_type)))
        return;
    widen_traced(*this, "minmax.e1 ", minmax.e1, dx1, dy1);
    widen_traced(*this, "minmax.e2 ", minmax.e2, dx2, dy2);
}

void data::sort()
{
    if (debug > 1)
        print_values(z);
    // A column of another length has no rows to match: it is left as it is.
    std::vector<std::vector<double>*> others;
    const column_list all = columns();
    for (std::size_t k = 0; k < columns_used(draw_type); ++k)
        if (all[k] != &z && all[k]->size() == z.size())
            others.push_back(all[k]);
    if (!c.empty() && c.size() == z.size())
        others.push_back(&c);
    std::vector<double> blocks;
    if (!block_starts.empty()) {
        blocks = block_numbers(block_starts, z.size());
        others.push_back(&blocks);
    }
    sort_by_z(z, others);
    if (!block_starts.empty())
        block_starts = block_changes(blocks);
    if (debug > 1)
        print_values(z);
}

void data::clear_rows()
{
    for (std::vector<double>* column : columns())
        column->clear();
    c.clear();
    block_starts.clear();
    warned_log = false;
    warned_z = false;
    by.clear();
}

void data::cleanup()
{
    fname.clear();
    clear_rows();
}

void data::apply_UserMinMax(myMinMax& umm)
{
    MinMax* const plotted[] = {&mod_minmax.x, &mod_minmax.y, &mod_minmax.z};
    const MinMax* const given[] = {&umm.x, &umm.y, &umm.z};
    for (int i = 0; i < 3; ++i) {
        if (user_min_given(*given[i]))
            plotted[i]->Min = given[i]->Min;
        if (user_max_given(*given[i]))
            plotted[i]->Max = given[i]->Max;
    }
}

void data::check_mod_minmax()
{
    const MinMax* const plotted[] = {&mod_minmax.x, &mod_minmax.y, &mod_minmax.z};
    const MinMax* const read[] = {&minmax.x, &minmax.y, &minmax.z};
    const char* const names[] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i) {
        if (plotted[i]->Min > read[i]->Max)
            error_func("Set --min%s=%g is bigger than largest %s=%g in file\nresulting in no datapoints\n", names[i],
                       plotted[i]->Min, names[i], read[i]->Max);
        if (read[i]->Min > plotted[i]->Max)
            error_func("Set --max%s=%g is smaller than smallest %s=%g in file\nresulting in no datapoints\n", names[i],
                       plotted[i]->Max, names[i], read[i]->Min);
    }
}

std::ostream& operator<<(std::ostream& os, const MinMax& m)
{
    return os << "Max:" << m.Max << " Min:" << m.Min << " Range:" << m.Max - m.Min;
}

std::ostream& operator<<(std::ostream& os, const RGB& c)
{
    return os << unsigned{c.r} << "," << unsigned{c.g} << "," << unsigned{c.b};
}

std::ostream& operator<<(std::ostream& os, const scalee_t& s)
{
    return os << "x:" << s.x << " y:" << s.y;
}
