// Option value parsers. Integers keep the 32-bit range of the program's original platform so that a
// huge value is clamped and reported instead of being silently truncated when narrowed to int.
#include "cli/value_parsers.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/messages.h"
#include "print/err_printf.h"

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

// Reads up to three comma-separated components as "%u,%u,%u" would (blanks before each number, text after the
// last ignored), but without wrapping: a value beyond any integer or with a minus sign reads as too big, and each
// keeps its text for the message. Returns the number read, or -1 when the text holds nothing but blanks.
int read_components(const char* arg, std::string (&texts)[3], unsigned long long (&values)[3])
{
    const char* p = arg;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && *p++ != ',')
            return i;
        while (std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (i == 0 && *p == '\0')
            return -1;
        const bool negative = *p == '-';
        char* end = nullptr;
        errno = 0;
        const unsigned long long v = std::strtoull(p, &end, 10);
        if (end == p)
            return i;
        texts[i].assign(p, static_cast<std::size_t>(end - p));
        values[i] = (negative && v != 0) || errno == ERANGE ? ULLONG_MAX : v;
        p = end;
    }
    return 3;
}

} // namespace

RGB get_rgb(const char* arg)
{
    std::string texts[3];
    unsigned long long values[3] = {0, 0, 0};
    const int count = read_components(arg, texts, values);
    if (count != 3)
        error("need 3 componets for r,g,b not %d\n", count);
    if (values[0] > 255 || values[1] > 255 || values[2] > 255)
        error("rgb components need to be between 0 and 255 inclusive (r=%s, g=%s, b=%s).\n", texts[0].c_str(),
              texts[1].c_str(), texts[2].c_str());
    return RGB{static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
               static_cast<std::uint8_t>(values[2])};
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

bool is_column_name(const char* s)
{
    while (std::isspace(static_cast<unsigned char>(*s)))
        ++s;
    const char* digits = (*s == '+' || *s == '-') ? s + 1 : s;
    return *s != '\0' && !std::isdigit(static_cast<unsigned char>(*digits));
}
