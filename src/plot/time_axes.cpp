// Time axes: ticks at calendar and clock steps, labelled in UTC with strftime. The distance table decides the
// step; where its labels would overlap only every k-th tick is labelled, and ranges of many days move on to
// calendar steps (2 days, a week, months, years) so that no range draws thousands of ticks.
#include "plot/time_axes.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "core/settings.h"
#include "core/time_zone.h"
#include "plot/axes.h"
#include "plot/graphics_mode.h"
#include "plot/scale_mapping.h"
#include "plot/tick_scale.h"
#include "print/dbg_printf.h"

namespace
{

constexpr double seconds_per_day = 86400.0;
constexpr double seconds_per_month = 30.436875 * seconds_per_day; // the mean Gregorian month
constexpr double seconds_per_year = 12 * seconds_per_month;

// Largest magnitude that converts to a 64-bit integer without overflow.
constexpr double int64_limit = 9223372036854775807.0;

// Calendar arithmetic is not tried beyond about 30 million years from 1970: strftime could not name the year.
constexpr double calendar_limit = 1e15;

// The widest step the table prefers, in pixels.
constexpr double widest_step = 120.0;

// Minor ticks of calendar steps closer than this many pixels would only darken the axis.
constexpr double closest_calendar_minor = 3.0;

// Ticks every `size` seconds from `origin` (axis seconds, shifted one day), or at the start of every
// `size`-th month counted from year 0.
enum class step_unit { seconds, months };

struct tick_step {
    step_unit unit;
    double size;
    double origin;

    double nominal_seconds() const { return unit == step_unit::seconds ? size : size * seconds_per_month; }
};

struct axis_step {
    tick_step major, minor;
    const char* fmt;
    bool calendar; // not from the distance table
};

constexpr double day = seconds_per_day;

// Calendar steps below a year, coarsest first. Weeks start on Mondays: 1970-01-05 is shifted day 5.
constexpr axis_step calendar_steps[] = {
    {{step_unit::months, 3, 0}, {step_unit::months, 1, 0}, "%Y-%m", true},
    {{step_unit::months, 1, 0}, {step_unit::seconds, day, 0}, "%Y-%m", true},
    {{step_unit::seconds, 7 * day, 5 * day}, {step_unit::seconds, day, 0}, "%Y-%m-%d", true},
    {{step_unit::seconds, 2 * day, day}, {step_unit::seconds, day, 0}, "%Y-%m-%d", true},
};

// Below half a second the steps go on by 1, 2 and 5 down to the microsecond that time text keeps; their labels
// carry as many digits of the second as the step needs, so that no two read the same.
constexpr int subsecond_count = 17;
constexpr distance_entry subsecond_distance[subsecond_count] = {
    {0.2, 0.1, "%H:%M:%S"},   {0.1, 0.02, "%H:%M:%S"},  {0.05, 0.01, "%H:%M:%S"}, {0.02, 0.01, "%H:%M:%S"},
    {1e-2, 2e-3, "%H:%M:%S"}, {5e-3, 1e-3, "%H:%M:%S"}, {2e-3, 1e-3, "%H:%M:%S"}, {1e-3, 2e-4, "%H:%M:%S"},
    {5e-4, 1e-4, "%H:%M:%S"}, {2e-4, 1e-4, "%H:%M:%S"}, {1e-4, 2e-5, "%H:%M:%S"}, {5e-5, 1e-5, "%H:%M:%S"},
    {2e-5, 1e-5, "%H:%M:%S"}, {1e-5, 2e-6, "%H:%M:%S"}, {5e-6, 1e-6, "%H:%M:%S"}, {2e-6, 1e-6, "%H:%M:%S"},
    {1e-6, 1e-6, "%H:%M:%S"},
};
constexpr int last_entry = dist_max + subsecond_count - 1;

const distance_entry& entry_of(int dist)
{
    return dist < dist_max ? distance[dist] : subsecond_distance[dist - dist_max];
}

axis_step table_step(int dist)
{
    const distance_entry& e = entry_of(dist);
    return {{step_unit::seconds, e.tick, 0}, {step_unit::seconds, e.subtick, 0}, e.fmt, false};
}

// Digits of the second a label of a step shows: none from a second up, 1 for 0.5 and 0.2, 2 for 0.05 ...
int fraction_digits(double step)
{
    int digits = 0;
    for (double unit = 1; step < unit * 0.999 && digits < 6; unit /= 10)
        ++digits;
    return digits;
}

// Elapsed time over many days steps by 1, 2 and 5 times days (and tens of them), from the first time on.
axis_step elapsed_day_step(double n)
{
    const double digit = std::round(n / std::pow(10.0, std::floor(std::log10(n))));
    const double minor = n == 1 ? 0.25 : digit == 1 ? n / 10 : digit == 2 ? n / 2 : n / 5;
    return {{step_unit::seconds, n * seconds_per_day, seconds_per_day},
            {step_unit::seconds, minor * seconds_per_day, seconds_per_day},
            "",
            true};
}

// The widest such step of at most 120 pixels; none when a day is wider already.
std::optional<axis_step> choose_elapsed_step(int XSize, double range)
{
    const double pixels_per_day = XSize / range * seconds_per_day;
    if (!(pixels_per_day <= widest_step))
        return std::nullopt;
    double n = 1;
    for (;;) {
        const double digit = std::round(n / std::pow(10.0, std::floor(std::log10(n))));
        const double next = digit == 2 ? n * 2.5 : n * 2;
        if (!(next * pixels_per_day <= widest_step) || next > 1e12)
            break;
        n = next;
    }
    return elapsed_day_step(n);
}

// 1, 2 or 5: the leading digit of a step of n years from the 1, 2, 5 series.
double leading_digit(double n)
{
    return std::round(n / std::pow(10.0, std::floor(std::log10(n))));
}

// Steps of n years, n = 1, 2, 5, 10, 20, 50, ...; the minor ticks divide them in months or whole years.
axis_step year_step(double n)
{
    const double digit = leading_digit(n);
    const double minor_years = n == 1 ? 0 : digit == 1 ? n / 10 : digit == 2 ? n / 2 : n / 5;
    const tick_step minor =
        minor_years == 0 ? tick_step{step_unit::months, 1, 0} : tick_step{step_unit::months, 12 * minor_years, 0};
    return {{step_unit::months, 12 * n, 0}, minor, "%Y", true};
}

// First entry whose major step on this axis is at most 120 pixels, the last one at most.
int choose_distance(int XSize, double range)
{
    int dist = 0;
    for (;; ++dist) {
        const distance_entry& e = entry_of(dist);
        const double pixels = e.tick * XSize / range;
        if (debug > 1)
            dbg__printf(TW_FILE, __LINE__, "distance[dist=%d]={%g,%g,%s} %g\n", dist, e.tick, e.subtick, e.fmt, pixels);
        if (pixels <= widest_step || dist == last_entry)
            break;
    }
    if (debug > 1)
        dbg__printf(TW_FILE, __LINE__, "dist_arr[dist] * (XSize=%d/Range=%g) = %g\n", XSize, range,
                    entry_of(dist).tick * XSize / range);
    return dist;
}

// The widest calendar step of at most 120 pixels; none when even two days are wider.
std::optional<axis_step> choose_calendar_step(int XSize, double range)
{
    const double pixels_per_second = XSize / range;
    if (!(seconds_per_year * pixels_per_second <= widest_step)) {
        for (const axis_step& s : calendar_steps)
            if (s.major.nominal_seconds() * pixels_per_second <= widest_step)
                return s;
        return std::nullopt;
    }
    // Years step 1, 2, 5, 10, 20, 50, ... The bound keeps a zero-width axis from stepping for ever; years that
    // far out have no calendar anyway.
    double n = 1;
    for (;;) {
        const double next = leading_digit(n) == 2 ? n * 2.5 : n * 2;
        if (!(next * seconds_per_year * pixels_per_second <= widest_step) || next > 1e12)
            break;
        n = next;
    }
    return year_step(n);
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12), and back.
long long days_from_civil(long long y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Months since year 0 (year * 12 + month - 1) of the day that holds a time.
long long month_index_of(double real_seconds)
{
    const long long z = static_cast<long long>(std::floor(real_seconds / seconds_per_day)) + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    return y * 12 + m - 1;
}

double month_start_seconds(long long month_index)
{
    const long long y = month_index >= 0 ? month_index / 12 : -((-month_index + 11) / 12);
    const int m = static_cast<int>(month_index - y * 12) + 1;
    return static_cast<double>(days_from_civil(y, m, 1)) * seconds_per_day;
}

// Where the ticks of one time axis go: shifted range, tolerant limits and the axis position on the page.
// In a zone other than UTC the ticks are found on the zone's wall clock (min_s to max_s, lo, hi and every tick
// are wall times, shifted) and placed at the real times that clock shows then, so that days start at the zone's
// midnights, also on days of 23 or 25 hours; range stays the real one.
struct time_axis {
    double min_s, max_s, range, lo, hi, eps, limit;
    int XSize, xoffset;
    GrTextOption* text; // of the labels, which are measured with it
    const time_zone_in_use* zone = nullptr;
    double real_min = 0; // min_s as a real time
    bool elapsed = false;

    // The real (shifted) time at which the wall clock shows v.
    double real(double v) const
    {
        const double wall = v - seconds_per_day;
        if (zone == nullptr || !(std::fabs(wall) < calendar_limit))
            return v;
        const double whole = std::floor(wall);
        return static_cast<double>(zone->utc_of_wall(static_cast<std::int64_t>(whole))) + (wall - whole) +
               seconds_per_day;
    }
    // The wall time of the real (shifted) time t.
    double wall(double t) const
    {
        const double real_t = t - seconds_per_day;
        if (zone == nullptr || !(std::fabs(real_t) < calendar_limit))
            return t;
        return t + static_cast<double>(zone->offset_at(static_cast<std::int64_t>(std::floor(real_t))));
    }
    // Whether the wall clock shows v at all: not in the hour skipped by a change to summer time.
    bool shown(double v) const { return zone == nullptr || std::fabs(wall(real(v)) - v) < 1; }
    int column(double v) const { return trunc_pixel(xoffset + XSize / range * (real(v) - real_min)); }
};

// A tick at shifted time v; index counts the step from its origin, so every k-th tick is index % k == 0.
struct tick {
    double v;
    long long index;
};

// The ticks of a step between the limits; none (and refused) when more than the axis's limit would be walked.
struct tick_run {
    std::vector<tick> ticks;
    bool refused = false;
};

tick_run seconds_ticks(const tick_step& s, const time_axis& a, double first, double last)
{
    tick_run run;
    long long i0 = 0, i1 = 0;
    if (!tick_indices(first, last, a.limit, &i0, &i1)) {
        run.refused = true;
        return run;
    }
    // A tick at a wall time the zone skips would stand on the next one: clock steps leave it out.
    const bool clock_step = s.size < seconds_per_day;
    for (long long i = i0; i <= i1; ++i) {
        const double v = s.origin + static_cast<double>(i) * s.size;
        if (a.lo <= v && v <= a.hi && (!clock_step || a.shown(v)))
            run.ticks.push_back({v, i});
    }
    return run;
}

tick_run month_ticks(const tick_step& s, const time_axis& a)
{
    tick_run run;
    const double lo = a.lo - seconds_per_day, hi = a.hi - seconds_per_day;
    if (!(std::fabs(lo) < calendar_limit && std::fabs(hi) < calendar_limit) ||
        (hi - lo) / (s.size * 28 * seconds_per_day) > a.limit) {
        run.refused = true;
        return run;
    }
    const auto size = static_cast<long long>(s.size);
    const long long first = month_index_of(lo);
    for (long long m = (first >= 0 ? first + size - 1 : first) / size * size;; m += size) {
        const double t = month_start_seconds(m);
        if (t > hi)
            break;
        if (t >= lo)
            run.ticks.push_back({t + seconds_per_day, m / size});
    }
    return run;
}

// Major ticks bound their walk like the linear axis: from the first step after min (within eps) to the last.
tick_run major_ticks(const tick_step& s, const time_axis& a)
{
    if (s.unit == step_unit::months)
        return month_ticks(s, a);
    return seconds_ticks(s, a, std::floor((a.eps + a.min_s - s.origin) / s.size),
                         std::ceil((a.max_s - a.eps - s.origin) / s.size));
}

tick_run minor_ticks(const tick_step& s, const time_axis& a)
{
    if (s.unit == step_unit::months)
        return month_ticks(s, a);
    return seconds_ticks(s, a, std::ceil((a.lo - s.origin) / s.size), std::floor((a.hi - s.origin) / s.size));
}

// Label of a tick at shifted time v. Formats with a date name the day of the tick itself, so they are made
// from the unshifted time; the clock formats read the same either way. Empty when the time has no date.
std::string time_label(double v, const char* fmt)
{
    const bool dated = std::string(fmt).find("%Y") != std::string::npos;
    const double t = dated ? v - seconds_per_day : v;
    if (!(std::fabs(t) < int64_limit))
        return {};
    const std::time_t seconds = static_cast<std::time_t>(static_cast<std::int64_t>(t));
    std::tm broken{};
    char text[100];
    if (gmtime_r(&seconds, &broken) == nullptr || std::strftime(text, sizeof text, fmt, &broken) == 0)
        return {};
    if (debug)
        dbg__printf(TW_FILE, __LINE__, "%g %lld %s\n", v, static_cast<long long>(seconds), text);
    return text;
}

// The tick's time in microseconds (shifted), exact from its index where that fits; none for month steps.
std::optional<long long> tick_micros(const tick& t, const tick_step& s)
{
    if (s.unit != step_unit::seconds)
        return std::nullopt;
    const long long size = std::llround(s.size * 1e6);
    const double origin = std::round(s.origin * 1e6);
    if (size <= 0 || !(std::fabs(static_cast<double>(t.index)) * static_cast<double>(size) + std::fabs(origin) < 9e18))
        return std::nullopt;
    return static_cast<long long>(origin) + t.index * size;
}

long long floor_div(long long a, long long b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Digits of the second after the point, for a step under a second.
std::string second_fraction(long long micros, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, ".%06lld", micros - floor_div(micros, 1000000) * 1000000);
    return std::string(text, static_cast<std::size_t>(digits) + 1);
}

// Elapsed time of a tick: "0", "+05:00", "+1d 02:00", "+00:00:02.5", or whole days "+3d" on day steps.
std::string elapsed_label(long long micros, double step)
{
    if (micros == 0)
        return "0";
    const char sign = micros < 0 ? '-' : '+';
    const unsigned long long m = micros < 0 ? -static_cast<unsigned long long>(micros) : micros;
    const unsigned long long seconds = m / 1000000, days = seconds / 86400, in_day = seconds % 86400;
    char text[64];
    if (step >= seconds_per_day) {
        std::snprintf(text, sizeof text, "%c%llud", sign, days);
        return text;
    }
    int n = days > 0
                ? std::snprintf(text, sizeof text, "%c%llud %02llu:%02llu", sign, days, in_day / 3600, in_day / 60 % 60)
                : std::snprintf(text, sizeof text, "%c%02llu:%02llu", sign, in_day / 3600, in_day / 60 % 60);
    if (step < 60)
        n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ":%02llu", in_day % 60);
    const int digits = fraction_digits(step);
    return std::string(text) + (digits > 0 ? second_fraction(static_cast<long long>(m % 1000000), digits) : "");
}

// The label of a major tick: the clock or calendar time of the zone (with the digits of the second a step under
// a second needs), or the time elapsed since the axis's origin.
std::string tick_label(const tick& t, const axis_step& step, const time_axis& a)
{
    const std::optional<long long> micros = tick_micros(t, step.major);
    const long long day_micros = 86400LL * 1000000;
    if (a.elapsed)
        return micros ? elapsed_label(*micros - day_micros, step.major.size) : std::string();
    const int digits = step.major.unit == step_unit::seconds ? fraction_digits(step.major.size) : 0;
    if (digits == 0 || !micros)
        return time_label(t.v, step.fmt);
    const std::string clock = time_label(static_cast<double>(floor_div(*micros, 1000000)), step.fmt);
    return clock.empty() ? clock : clock + second_fraction(*micros, digits);
}

// A major tick with its label as it would be centred under the tick.
struct labelled_tick {
    tick t;
    int x;
    time_label_box box;
};

std::vector<labelled_tick> label_ticks(const std::vector<tick>& ticks, const time_axis& a, const axis_step& step)
{
    std::vector<labelled_tick> out;
    out.reserve(ticks.size());
    for (const tick& t : ticks) {
        const int x = a.column(t.v);
        std::string text = tick_label(t, step, a);
        const int w = static_cast<int>(GrStringWidth_(text, a.text));
        const int left = x - (w >> 1); // as the centred text box is placed
        out.push_back({t, x, {std::move(text), left, left + w - 1}});
    }
    return out;
}

bool every_kth(long long index, long long k)
{
    return index % k == 0;
}

// Whether labelling the ticks whose index is a multiple of k leaves at least gap columns between labels.
bool spaced(const std::vector<labelled_tick>& ticks, long long k, int gap)
{
    const time_label_box* prev = nullptr;
    for (const labelled_tick& t : ticks) {
        if (!every_kth(t.t.index, k) || t.box.text.empty())
            continue;
        if (prev != nullptr && t.box.left - prev->right - 1 < gap)
            return false;
        prev = &t.box;
    }
    return true;
}

// The smallest k whose labels are spaced; at most one label is left when no k is.
long long label_stride(const std::vector<labelled_tick>& ticks, int gap)
{
    long long k = 1;
    while (k <= static_cast<long long>(ticks.size()) && !spaced(ticks, k, gap))
        ++k;
    return k;
}

int character_gap(GrTextOption* text)
{
    return static_cast<int>(GrStringWidth_("0", text));
}

// Moves a box that crosses a page edge inside; false when it is wider than the page.
bool move_inside(time_label_box& box, int page_width)
{
    if (box.right - box.left + 1 > page_width)
        return false;
    const int shift = box.left < 0 ? -box.left : box.right >= page_width ? page_width - 1 - box.right : 0;
    box.left += shift;
    box.right += shift;
    return true;
}

// The labels of every k-th tick, moved inside the page; a moved label that would then touch its neighbour is
// left out.
std::vector<time_label_box> place_labels(const std::vector<labelled_tick>& ticks, long long k, int page_width, int gap)
{
    std::vector<time_label_box> boxes;
    std::vector<bool> moved;
    for (const labelled_tick& t : ticks) {
        if (!every_kth(t.t.index, k) || t.box.text.empty())
            continue;
        time_label_box box = t.box;
        if (!move_inside(box, page_width))
            continue;
        boxes.push_back(box);
        moved.push_back(box.left != t.box.left);
    }
    std::vector<time_label_box> kept;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const bool clashes_before = !kept.empty() && boxes[i].left - kept.back().right - 1 < gap;
        const bool clashes_after = i + 1 < boxes.size() && boxes[i + 1].left - boxes[i].right - 1 < gap;
        if (moved[i] && (clashes_before || clashes_after))
            continue;
        kept.push_back(boxes[i]);
    }
    return kept;
}

// Traces the linear spacing of the range in tick units, which the time axis itself does not use.
void trace_linear_spacing(double lo, double hi, double tick)
{
    double ts = 0;
    int type = 0;
    scale1(lo / tick, hi / tick, &ts, &type);
    if (!debug)
        return;
    dbg__printf(TW_FILE, __LINE__, "tick_spacing = %g\n", ts);
    dbg__printf(TW_FILE, __LINE__, "lin_subtick_spacing = %g\n", minor_tick_spacing(ts, type, lo / tick, hi / tick));
}

// Everything the axis draws: its step, major ticks and placed labels.
struct axis_plan {
    axis_step step;
    std::vector<labelled_tick> majors;
    std::vector<time_label_box> labels;
};

// The table's step, kept while its labels fit; a daily step whose labels do not fit (or whose ticks are too
// many to walk) gives way to the widest calendar step of at most 120 pixels.
axis_plan plan_axis(const time_axis& a, int dist, int page_width)
{
    axis_step step = table_step(dist);
    tick_run run = major_ticks(step.major, a);
    std::vector<labelled_tick> majors = label_ticks(run.ticks, a, step);
    const int gap = character_gap(a.text);
    if (dist == 0 && (run.refused || label_stride(majors, gap) > 1)) {
        const auto wider = a.elapsed ? choose_elapsed_step(a.XSize, a.range) : choose_calendar_step(a.XSize, a.range);
        if (wider) {
            step = *wider;
            run = major_ticks(step.major, a);
            majors = label_ticks(run.ticks, a, step);
        }
    }
    const long long k = label_stride(majors, gap);
    std::vector<time_label_box> labels = place_labels(majors, k, page_width, gap);
    // Labels left out at the page edges may leave one alone; a wider stride may then keep two.
    for (long long wider = k + 1; labels.size() < 2 && wider <= static_cast<long long>(majors.size()); ++wider) {
        if (!spaced(majors, wider, gap))
            continue;
        std::vector<time_label_box> other = place_labels(majors, wider, page_width, gap);
        if (other.size() > labels.size())
            labels = std::move(other);
    }
    return {step, std::move(majors), std::move(labels)};
}

// The axis of Min..Max after the day shift, or none when the range is not finite. A time of day running past
// midnight starts on the day before; every value is then moved one day on.
// Elapsed time has no zone: it counts from the origin that the caller has taken off already.
std::optional<time_axis> shifted_axis(const axis_style& style, int XSize, int xoffset, double Min, double Max,
                                      const time_zone_in_use* zone, bool elapsed)
{
    if (Min > Max)
        Min -= seconds_per_day;
    const double min_s = Min + seconds_per_day;
    const double max_s = Max + seconds_per_day;
    const double range = max_s - min_s;
    if (!std::isfinite(range))
        return std::nullopt;
    const double eps = 1e-6 * range;
    time_axis a{min_s, max_s, range, min_s - eps, max_s + eps, eps, max_ticks(XSize), XSize, xoffset, style.text};
    a.real_min = min_s;
    a.elapsed = elapsed;
    if (zone != nullptr && !zone->is_utc() && !elapsed) {
        a.zone = zone;
        a.min_s = a.wall(min_s);
        a.max_s = a.wall(max_s);
        a.lo = a.min_s - eps;
        a.hi = a.max_s + eps;
    }
    return a;
}

void draw_minor_ticks(const axis_plan& p, const time_axis& a, int y0, GrColor color)
{
    if (p.step.calendar && p.step.minor.nominal_seconds() * a.XSize / a.range < closest_calendar_minor)
        return;
    for (const tick& t : minor_ticks(p.step.minor, a).ticks) {
        const int x = a.column(t.v);
        GrLine(x, y0 + 1, x, trunc_pixel(y0 + 1 + 2.0), color);
    }
}

int page_width_now()
{
    return GrCurrentContext()->gc_xmax + 1;
}

int draw_time_axis(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, double Min, double Max,
                   bool elapsed)
{
    // The zone of --tz is in force while the axis is planned and drawn (see time_zone_in_use).
    const time_zone_in_use zone(elapsed ? std::string() : time_zone_name);
    const auto a = shifted_axis(style, XSize, xoffset, Min, Max, &zone, elapsed);
    if (!a)
        return 0;
    const int dist = choose_distance(XSize, a->range);
    trace_linear_spacing(a->min_s, a->max_s, entry_of(dist).tick);
    if (a->range < 0) // descending times more than a day apart: no tick lies between the limits
        return 0;
    const axis_plan p = plan_axis(*a, dist, page_width_now());
    const int y0 = yoffset + YSize;
    for (const labelled_tick& t : p.majors) {
        GrLine(t.x, y0 + 1, t.x, y0 + 6, style.color);
        if (style.major_ticks != nullptr)
            style.major_ticks->push_back(t.x);
    }
    for (const time_label_box& box : p.labels)
        gprintfxy(box.left + ((box.right - box.left + 1) >> 1), y0 + 8, style.text, "%s", box.text.c_str());
    draw_minor_ticks(p, *a, y0, style.color);
    return 0;
}

} // namespace

int draw_x_axes_time(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int /*log_axis*/,
                     double Min, double Max, int /*nodraw*/)
{
    return draw_time_axis(style, XSize, YSize, xoffset, yoffset, Min, Max, false);
}

int draw_x_axes_elapsed(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int /*log_axis*/,
                        double Min, double Max, int /*nodraw*/)
{
    return draw_time_axis(style, XSize, YSize, xoffset, yoffset, Min, Max, true);
}

double elapsed_origin(const std::vector<double>& times)
{
    double least = 0;
    bool found = false;
    for (const double t : times)
        if (!std::isnan(t) && (!found || t < least)) {
            least = t;
            found = true;
        }
    return least;
}

std::vector<time_label_box> time_axis_labels(const axis_style& style, int XSize, int xoffset, double Min, double Max,
                                             int page_width)
{
    const time_zone_in_use zone(time_zone_name);
    const auto a = shifted_axis(style, XSize, xoffset, Min, Max, &zone, false);
    if (!a || a->range < 0)
        return {};
    return plan_axis(*a, choose_distance(XSize, a->range), page_width).labels;
}

int draw_y_axes_time(const axis_style& style, int XSize, int YSize, int xoffset, int yoffset, int log_axis, double Min,
                     double Max, int nodraw)
{
    return draw_y_axes(style, XSize, YSize, xoffset, yoffset, log_axis, Min, Max, nodraw);
}
