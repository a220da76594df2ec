// Option value parsers. Integers keep the 32-bit range of the program's original platform so that a
// huge value is clamped and reported instead of being silently truncated when narrowed to int.
#include "cli/value_parsers.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "print/err_printf.h"
#include "core/messages.h"

namespace
{

constexpr long long_max32 = INT32_MAX;
constexpr long long_min32 = INT32_MIN;

// strtol limited to the 32-bit range: a value beyond it is clamped with errno = ERANGE.
long strtol32(const char* s, char** end)
{
    errno = 0;
    long v = std::strtol(s, end, 10);
    if (v > long_max32) {
        v = long_max32;
        errno = ERANGE;
    } else if (v < long_min32) {
        v = long_min32;
        errno = ERANGE;
    }
    return v;
}

} // namespace

RGB get_rgb(const char* arg)
{
    unsigned int r = 0, g = 0, b = 0;
    const int count = std::sscanf(arg, "%u,%u,%u", &r, &g, &b);
    if (count != 3)
        error("need 3 componets for r,g,b not %d\n", count);
    if (r > 255 || g > 255 || b > 255)
        error("rgb components need to be between 0 and 255 inclusive (r=%u, g=%u, b=%u).\n", r, g, b);
    return RGB{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

long get_long(const char* s)
{
    char* end = nullptr;
    const long v = strtol32(s, &end);
    if (end == s) {
        err__printf(TW_FILE, __LINE__, "Can't convert %s to an integer.\n", s);
        std::exit(1);
    }
    if (errno)
        std::perror("strtol");
    return v;
}

int get_int(const char* s)
{
    return static_cast<int>(get_long(s));
}

double get_double(const char* s)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s, &end);
    if (end == s)
        error("Unable to convert \"%s\" to a number", s);
    if (errno)
        std::perror("strtod");
    return v;
}

unsigned int get_column(const char* s)
{
    char* end = nullptr;
    const long col = strtol32(s, &end);
    const int err = errno;
    if ((err == ERANGE && (col == long_max32 || col == long_min32)) || (err != 0 && col == 0)) {
        std::perror("strtol");
        std::exit(1);
    }
    if (end == s)
        error_func("No digits found (%s)\n", s);
    if (col <= 0)
        error_func("can't select columns before first column (%d).\n", static_cast<int>(col));
    return static_cast<unsigned int>(col);
}

int get_plot_index(int x, int base)
{
    return (x - base) / 6;
}
