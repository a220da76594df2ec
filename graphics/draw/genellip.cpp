// Ellipse outlines as point lists: points at equal angle steps, from a quarter-turn sine table in 1/16384.
#include "core/twgr_internal.h"

#include <algorithm>
#include <array>
#include <climits>

namespace
{

// sintab[i] = round(16384 * sin(i * 2 pi / 1024)): a quarter turn at 1024 steps per turn.
constexpr std::array<int, 257> sintab{
    0,     101,   201,   302,   402,   503,   603,   704,   804,   904,   1005,  1105,  1205,  1306,  1406,  1506,
    1606,  1706,  1806,  1906,  2006,  2105,  2205,  2305,  2404,  2503,  2603,  2702,  2801,  2900,  2999,  3098,
    3196,  3295,  3393,  3492,  3590,  3688,  3786,  3883,  3981,  4078,  4176,  4273,  4370,  4467,  4563,  4660,
    4756,  4852,  4948,  5044,  5139,  5235,  5330,  5425,  5520,  5614,  5708,  5803,  5897,  5990,  6084,  6177,
    6270,  6363,  6455,  6547,  6639,  6731,  6823,  6914,  7005,  7096,  7186,  7276,  7366,  7456,  7545,  7635,
    7723,  7812,  7900,  7988,  8076,  8163,  8250,  8337,  8423,  8509,  8595,  8680,  8765,  8850,  8935,  9019,
    9102,  9186,  9269,  9352,  9434,  9516,  9598,  9679,  9760,  9841,  9921,  10001, 10080, 10159, 10238, 10316,
    10394, 10471, 10549, 10625, 10702, 10778, 10853, 10928, 11003, 11077, 11151, 11224, 11297, 11370, 11442, 11514,
    11585, 11656, 11727, 11797, 11866, 11935, 12004, 12072, 12140, 12207, 12274, 12340, 12406, 12472, 12537, 12601,
    12665, 12729, 12792, 12854, 12916, 12978, 13039, 13100, 13160, 13219, 13279, 13337, 13395, 13453, 13510, 13567,
    13623, 13678, 13733, 13788, 13842, 13896, 13949, 14001, 14053, 14104, 14155, 14206, 14256, 14305, 14354, 14402,
    14449, 14497, 14543, 14589, 14635, 14680, 14724, 14768, 14811, 14854, 14896, 14937, 14978, 15019, 15059, 15098,
    15137, 15175, 15213, 15250, 15286, 15322, 15357, 15392, 15426, 15460, 15493, 15525, 15557, 15588, 15619, 15649,
    15679, 15707, 15736, 15763, 15791, 15817, 15843, 15868, 15893, 15917, 15941, 15964, 15986, 16008, 16029, 16049,
    16069, 16088, 16107, 16125, 16143, 16160, 16176, 16192, 16207, 16221, 16235, 16248, 16261, 16273, 16284, 16295,
    16305, 16315, 16324, 16332, 16340, 16347, 16353, 16359, 16364, 16369, 16373, 16376, 16379, 16381, 16383, 16384,
    16384,
};

struct arc_record {
    long long xs, ys, xe, ye, xc, yc;
};
arc_record last_arc{};

// Sine and cosine in 1/16384 of the angle t, in 1/1024 of a turn (0 <= t < 1024).
void sincos(int t, long long& s, long long& c)
{
    int u = t % 1024;
    switch (t >> 8) {
    case 0:
        s = sintab[u];
        c = sintab[256 - u];
        break;
    case 1:
        s = sintab[512 - u];
        c = -sintab[u - 256];
        break;
    case 2:
        s = -sintab[u - 512];
        c = -sintab[768 - u];
        break;
    default:
        s = -sintab[1024 - u];
        c = sintab[u - 768];
    }
}

// Angle step: enough points for the perimeter, a power of two between 1 and 64 (16 to 1024 points).
int angle_step(long long a, long long b)
{
    long long k = ((a + b) * 628 / 500 + 1) >> 1;
    k = std::clamp(k, 16LL, 1024LL);
    if (k == 1024)
        return 1;
    int s = 2;
    while (1024 / s > k)
        s *= 2;
    return s;
}

int saturate(long long v)
{
    return (int)std::clamp(v, (long long)INT_MIN, (long long)INT_MAX);
}

// a * sine / 16384 rounded as irscale rounds, halves away from zero. The axes are ints and the sines at most
// 16384, so the product fits 64 bits and the division by a constant becomes shifts.
long long scale_by_sine(long long a, long long sine)
{
    const long long away = (a ^ sine) < 0 ? -1 : 0;
    return (2 * a * sine / 16384 + away + 1) >> 1;
}

// The points of the last ellipse, around the origin. A disc is filled and then outlined with the same points,
// and rows sorted by z draw runs of rings of one size: those are moved, not computed again.
struct ellipse_shape {
    long long xa = 0, ya = 0;
    int n = 0;
    long long pts[1024][2];
};
thread_local ellipse_shape last_shape;

const ellipse_shape& shape_of(long long xa, long long ya)
{
    ellipse_shape& shape = last_shape;
    if (shape.n != 0 && shape.xa == xa && shape.ya == ya)
        return shape;
    const int step = angle_step(xa < 0 ? -xa : xa, ya < 0 ? -ya : ya);
    int n = 0;
    for (int t = 0; t < 1024; t += step, ++n) {
        long long s = 0, c = 0;
        sincos(t, s, c);
        shape.pts[n][0] = scale_by_sine(xa, c);
        shape.pts[n][1] = -scale_by_sine(ya, s);
    }
    shape.xa = xa;
    shape.ya = ya;
    shape.n = n;
    return shape;
}

} // namespace

int twgr::generate_ellipse64(long long xc, long long yc, long long xa, long long ya, long long pts[][2])
{
    const ellipse_shape& shape = shape_of(xa, ya);
    const int n = shape.n;
    for (int i = 0; i < n; ++i) {
        pts[i][0] = xc + shape.pts[i][0];
        pts[i][1] = yc + shape.pts[i][1];
    }
    last_arc = {pts[0][0], pts[0][1], pts[n - 1][0], pts[n - 1][1], xc, yc};
    return n;
}

int GrGenerateEllipse(int xc, int yc, int xa, int ya, int points[][2])
{
    long long pts[1024][2];
    int n = twgr::generate_ellipse64(xc, yc, xa, ya, pts);
    // Points of an ellipse reaching past the int range are pinned to its ends.
    for (int i = 0; i < n; ++i) {
        points[i][0] = saturate(pts[i][0]);
        points[i][1] = saturate(pts[i][1]);
    }
    return n;
}

void GrLastArcCoords(int* xs, int* ys, int* xe, int* ye, int* xc, int* yc)
{
    *xs = saturate(last_arc.xs);
    *ys = saturate(last_arc.ys);
    *xe = saturate(last_arc.xe);
    *ye = saturate(last_arc.ye);
    *xc = saturate(last_arc.xc);
    *yc = saturate(last_arc.yc);
}
