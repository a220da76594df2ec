// Nice tick spacings (1, 2 or 5 times a power of ten for about five intervals), the minor spacing that goes
// with them, and the bounded index runs that the axis drawers walk.
#ifndef TREMWIL_TICK_SCALE_H
#define TREMWIL_TICK_SCALE_H

// Tick spacing of min..max (negative for a descending range) and its type: 0 for 1 or 10 times a power of ten,
// 1 for 2 times, 2 for 5 times. An empty range ends the run with "bad trial inter-tick spacing".
void scale1(double min, double max, double* tick_spacing, int* tick_spacing_type);

// Minor tick spacing for major spacing ts of the given type over lo..hi: a half for type 1, a fifth for
// type 2; for type 0 a tenth, a fifth or a half, the finest that gives at most 29 intervals.
double minor_tick_spacing(double ts, int type, double lo, double hi);

// Most ticks an axis of the given length in pixels walks: beyond a few per pixel they cannot be told apart,
// so a longer run only comes from an absurd range and is not drawn.
double max_ticks(int pixels);

// Integer bounds of a run of tick indices from first to last (both already whole numbers). False when the run
// cannot be walked: a bound that is not finite or not exactly representable, or more than limit ticks.
bool tick_indices(double first, double last, double limit, long long* i0, long long* i1);

// Calls f(v) for every v = i * step, i from first to last, that lies between lo and hi (in either order, so a
// descending range keeps its ticks too). A run that tick_indices refuses calls nothing.
template <typename F>
void for_each_tick(double first, double last, double step, double lo, double hi, double limit, F&& f)
{
    long long i0 = 0, i1 = 0;
    if (!tick_indices(first, last, limit, &i0, &i1))
        return;
    const double low = lo < hi ? lo : hi;
    const double high = lo < hi ? hi : lo;
    for (long long i = i0; i <= i1; ++i) {
        const double v = static_cast<double>(i) * step;
        if (low <= v && v <= high)
            f(v);
    }
}

#endif // TREMWIL_TICK_SCALE_H
