// Corners of a polygon approximating a rotated ellipse, for the ellipse marks.
#include "plot/ellipse.h"

#include <cmath>

#include "core/messages.h"
#include "core/settings.h"
#include "plot/scale_mapping.h"
#include "print/dbg_printf.h"

namespace
{

constexpr double deg_to_rad = 0.017453292519943295;
constexpr double rad_to_deg = 57.29577951308232;
constexpr int default_steps = 36;

// A half-axis as a length the corner sums can carry: NaN counts as 0, and anything longer than any page
// is cut to a length that still ends far off every page.
double bounded_axis(double a)
{
    if (std::isnan(a))
        return 0.0;
    a = std::fabs(a);
    return a > pixel_far / 2 ? pixel_far / 2 : a;
}

// cos and sin of the whole degrees 0..359, computed once: every corner angle is a whole degree, and the
// table holds exactly what computing it per corner would give.
struct degree_table {
    double c[360];
    double s[360];
    degree_table()
    {
        for (int k = 0; k < 360; ++k) {
            c[k] = std::cos(k * deg_to_rad);
            s[k] = std::sin(k * deg_to_rad);
        }
    }
};

const degree_table& degrees()
{
    static const degree_table table;
    return table;
}

} // namespace

void calculateEllipse(double x, double y, double a, double b, double angle, int steps, int xy[][2])
{
    if (steps < 1)
        steps = default_steps;
    a = bounded_axis(a);
    b = bounded_axis(b);
    // Screen y grows downward, so a counter-clockwise turn on screen is a negative angle.
    const double beta = std::isfinite(angle) ? -angle * deg_to_rad : 0.0;
    const double sb = std::sin(beta), cb = std::cos(beta);
    const degree_table& table = degrees();
    for (int n = 0; n < steps; ++n) {
        // Whole degrees, as the corner angles of the mark have always been.
        const auto degree = static_cast<int>(static_cast<long long>(n) * 360 / steps);
        const double ca = table.c[degree], sa = table.s[degree];
        xy[n][0] = trunc_pixel(a * ca * cb - b * sa * sb + x + 0.5);
        xy[n][1] = trunc_pixel(a * ca * sb + b * sa * cb + y + 0.5);
    }
}

void calculateEllipse2(double x, double y, double dx1, double dy1, double dx2, double dy2, int steps, int xy[][2])
{
    // hypot, not the root of the summed squares, so huge components do not overflow to infinity.
    const double a = std::hypot(dx1, dy1);
    const double b = std::hypot(dx2, dy2);
    const double angle = std::atan2(dy1, dx1) * rad_to_deg;
    if (debug > 1) {
        dbg__printf(TW_FILE, __LINE__, "dx1=%g dy1=%g\n", dx1, dy1);
        dbg__printf(TW_FILE, __LINE__, "dx2=%g dy2=%g\n", dx2, dy2);
        dbg__printf(TW_FILE, __LINE__, "a=%g b=%g\n", a, b);
        dbg__printf(TW_FILE, __LINE__, "a1=%g a2=%g\n", angle, std::atan2(dy2, dx2) * rad_to_deg);
    }
    calculateEllipse(x, y, a, b, angle, steps, xy);
}
