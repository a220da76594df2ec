// Ranges, sorting and user limits of a data set (its printers show in traces, help and pictures: the cases
// reader/passes_traces, cli/help_full and the golden ellipse cases).
#include "data/data_set.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "reader_fixture.h"

namespace
{

using reader_tests::ReaderTest;

using DataSet = ReaderTest;

// Ranges keep the extremes of earlier passes and count the component pairs in the ellipse and quiver types only,
// each pair over both its columns: the traces of the cases reader/passes_traces and reader/quiver_ranges_traced.
// Here a range's width, its largest magnitude and the bounds of the check that warns of data sets outside it.
TEST_F(DataSet, RangesWidenOverBothVectors)
{
    data d;
    MinMax m;
    d.FindMinMax1(m, {}, {});
    EXPECT_EQ(m.Max, std::numeric_limits<double>::lowest()) << "nothing to widen with";
    d.FindMinMax1(m, {3, -1, 2}, {-2.5});
    EXPECT_TRUE(m.Max == 3 && m.Min == -2.5 && m.range() == 5.5 && m.absmax() == 3);
    EXPECT_TRUE(!m.inrange_excl(3) && !m.inrange_excl(-2.5) && m.inrange_excl(2.999));
}

// Sorts d, whose x holds each row's place in the file and y its negative, and holds it to a stable sort by z: equal
// z (-0 and +0 among them) keep file order, NaN comes last, every z keeps its exact bits and every row stays whole.
void expect_sorted_as_stable_sort(data& d)
{
    std::vector<double> expected_x = d.x;
    std::stable_sort(expected_x.begin(), expected_x.end(), [&d](double a, double b) {
        const double za = d.z[std::size_t(a)], zb = d.z[std::size_t(b)];
        return std::isnan(zb) ? !std::isnan(za) : za < zb;
    });
    std::vector<std::uint64_t> expected_z_bits;
    for (double row : expected_x)
        expected_z_bits.push_back(std::bit_cast<std::uint64_t>(d.z[std::size_t(row)]));
    d.sort();
    ASSERT_EQ(d.x, expected_x) << d.x.size() << " rows";
    std::vector<std::uint64_t> z_bits;
    for (double z : d.z)
        z_bits.push_back(std::bit_cast<std::uint64_t>(z));
    EXPECT_EQ(z_bits, expected_z_bits) << d.x.size() << " rows";
    for (std::size_t i = 0; i < d.x.size(); ++i)
        ASSERT_TRUE(d.y[i] == -d.x[i] && (d.dx1.empty() || (d.dx1[i] == d.x[i] + 0.5 && d.dy2[i] == d.x[i] + 0.5)))
            << i;
}

// Sizes below and far above the insertion-sort ranges; values with many ties, which are sorted by counting (a few
// dozen distinct ones, and some thousands), and at the largest size more distinct values than counting takes (its
// trace: the case reader/sort_traced).
TEST_F(DataSet, SortOrdersRowsBySignedZAndKeepsEveryRowWhole)
{
    draw_type = DT_ELLIPSE_XYUV;
    std::mt19937 rng(7);
    using limits = std::numeric_limits<double>;
    const double inf = limits::infinity(), nan = limits::quiet_NaN(), tiny = limits::denorm_min(), big = limits::max();
    const std::vector<double> specials{0.0, -0.0, inf, -inf, nan, -nan, tiny, -big, big};
    for (const std::size_t n : {0, 1, 2, 31, 33, 700, 5000, 70000, 150000}) {
        data d;
        std::uniform_int_distribution<int> pick(0, 40);
        std::uniform_real_distribution<double> spread(-1e6, 1e6);
        for (std::size_t i = 0; i < n; ++i) {
            const int p = pick(rng);
            const double z = p < 9        ? specials[p]
                             : p < 20     ? p - 15
                             : n > 100000 ? spread(rng)
                             : n > 50000  ? std::round(spread(rng) / 1000)
                                          : std::ldexp(p - 30, -(p % 7)) * 1.1;
            d.x.push_back(double(i));
            d.y.push_back(-double(i));
            d.z.push_back(z);
            for (std::vector<double>* component : {&d.dx1, &d.dy1, &d.dx2, &d.dy2})
                component->push_back(double(i) + 0.5);
        }
        expect_sorted_as_stable_sort(d);
    }
    // At the edge between sorting by counting (at most 65,536 distinct z) and the radix sort: each distinct value
    // twice, in shuffled order, without components.
    draw_type = DT_NORMAL;
    for (const std::size_t distinct : {std::size_t{65535}, std::size_t{65536}, std::size_t{65537}}) {
        std::vector<double> z;
        for (std::size_t v = 0; v < 2 * distinct; ++v)
            z.push_back(static_cast<double>(v % distinct) * 0.25 - 5000.0);
        std::shuffle(z.begin(), z.end(), rng);
        data d;
        for (std::size_t i = 0; i < z.size(); ++i) {
            d.x.push_back(static_cast<double>(i));
            d.y.push_back(-static_cast<double>(i));
        }
        d.z = z;
        expect_sorted_as_stable_sort(d);
    }
}

TEST_F(DataSet, UserLimitsReplaceOnlyTheGivenBounds)
{
    data d;
    d.mod_minmax.x = {10, 0};
    d.mod_minmax.y = {10, 0};
    d.mod_minmax.z = {10, 0};
    UserMinMax.y.Max = 4;
    // Half the finite range is still "not given"; just inside it counts.
    UserMinMax.x.Min = std::numeric_limits<double>::max() / 2;
    UserMinMax.z.Max = -std::numeric_limits<double>::max() / 2 * 0.999;
    UserMinMax.e1.Min = 1;
    d.apply_UserMinMax(UserMinMax);
    EXPECT_TRUE(d.mod_minmax.x.Min == 0 && d.mod_minmax.x.Max == 10);
    EXPECT_TRUE(d.mod_minmax.y.Min == 0 && d.mod_minmax.y.Max == 4);
    EXPECT_EQ(d.mod_minmax.z.Max, UserMinMax.z.Max);
    EXPECT_EQ(d.mod_minmax.e1.Min, std::numeric_limits<double>::max());
}

} // namespace
