// Tick spacing after Lewart's SCALE1 (CACM Algorithm 463) with the number of intervals fixed at five.
#include "plot/tick_scale.h"

#include <cmath>
#include <cstdlib>

#include "core/messages.h"

namespace
{

// The permitted multipliers, and the switching points between them (sqrt 2, sqrt 10, sqrt 50).
constexpr double vint[4] = {1.0, 2.0, 5.0, 10.0};
constexpr double sqr[3] = {1.4142135623730951, 3.16228, 7.07107};

// Above 2^53 consecutive doubles are more than 1 apart, so an index loop there would stall or skip.
constexpr double exact_index_limit = 9007199254740992.0;

// Mantissa of a in [1, 10). For the tiniest spacings 10^-nal overflows, so the power is divided out instead.
double mantissa(double a, double nal)
{
    const double up = std::pow(10.0, -nal);
    return std::isfinite(up) ? a * up : a / std::pow(10.0, nal);
}

// Intervals of spacing step that lie between lo and hi.
double interval_count(double step, double lo, double hi)
{
    return std::floor(hi / step) - std::ceil(lo / step);
}

} // namespace

void scale1(double min, double max, double* tick_spacing, int* tick_spacing_type)
{
    const double sign = min < max ? 1.0 : -1.0;
    double a = sign * (max - min) / 5.0;
    // A span of finite limits wider than the largest double is divided before the difference is taken.
    if (std::isinf(a) && std::isfinite(min) && std::isfinite(max))
        a = sign * (max / 5.0 - min / 5.0);
    // A NaN bound fails this test too, so no NaN spacing reaches the tick loops.
    if (!(a > 0.0))
        error("bad trial inter-tick spacing %g\n", a);
    const double nal = std::floor(std::log10(a));
    const double b = mantissa(a, nal);
    int k = 0;
    while (k < 3 && !(b < sqr[k]))
        ++k;
    *tick_spacing = sign * vint[k] * std::pow(10.0, nal);
    *tick_spacing_type = k == 3 ? 0 : k;
}

double minor_tick_spacing(double ts, int type, double lo, double hi)
{
    switch (type) {
    case 1:
        return ts * 0.5;
    case 2:
        return ts / 5;
    case 0:
        if (interval_count(ts / 10, lo, hi) <= 29)
            return ts / 10;
        if (interval_count(ts / 5, lo, hi) <= 29)
            return ts / 5;
        return ts * 0.5;
    default:
        return ts;
    }
}

double max_ticks(int pixels)
{
    return 16.0 * (std::abs(static_cast<double>(pixels)) + 1.0);
}

bool tick_indices(double first, double last, double limit, long long* i0, long long* i1)
{
    if (!(std::fabs(first) <= exact_index_limit && std::fabs(last) <= exact_index_limit))
        return false;
    if (last - first + 1.0 > limit)
        return false;
    *i0 = static_cast<long long>(first);
    *i1 = static_cast<long long>(last);
    return true;
}
