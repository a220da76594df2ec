// Data sets: range finding, sorting by z, emptying, user limits and the printers used by traces.
#include "data/data_set.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <numeric>

#include "core/messages.h"

data mydata[10];
myMinMax UserMinMax;

double MinMax::absmax() const
{
    return std::max(std::fabs(Max), std::fabs(Min));
}

namespace
{

// Builds column[index[i]] in scratch, then swaps, so the column's old storage is the next scratch vector.
void permute(std::vector<double>& column, const std::vector<std::size_t>& index, std::vector<double>& scratch)
{
    scratch.resize(index.size());
    for (std::size_t i = 0; i < index.size(); ++i)
        scratch[i] = column[index[i]];
    column.swap(scratch);
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
    for (const std::vector<double>* v : {&v1, &v2}) {
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

void data::FindMinMax()
{
    widen_traced(*this, "minmax.x ", minmax.x, x, x);
    widen_traced(*this, "minmax.y ", minmax.y, y, y);
    widen_traced(*this, "minmax.z ", minmax.z, z, z);
    if (!is_ellipse_quiver(draw_type))
        return;
    widen_traced(*this, "minmax.e1 ", minmax.e1, dx1, dy1);
    widen_traced(*this, "minmax.e2 ", minmax.e2, dx2, dy2);
}

void data::sort()
{
    std::vector<std::size_t> index(x.size());
    std::iota(index.begin(), index.end(), std::size_t{0});
    std::sort(index.begin(), index.end(), [this](std::size_t a, std::size_t b) { return z[a] < z[b]; });

    std::vector<double> scratch;
    const column_list all = columns();
    for (std::size_t k = 0; k < columns_used(draw_type); ++k) {
        const bool traced = all[k] == &z && debug > 1; // z before and after
        if (traced)
            print_values(z);
        permute(*all[k], index, scratch);
        if (traced)
            print_values(z);
    }
}

void data::clear_rows()
{
    for (std::vector<double>* column : columns())
        column->clear();
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
