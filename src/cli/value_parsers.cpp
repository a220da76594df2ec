// Option value parsers. Integers keep the 32-bit range of the program's original platform so that a
// huge value is clamped and reported instead of being silently truncated when narrowed to int.
#include "cli/value_parsers.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/messages.h"
#include "data/data_reader.h"
#include "print/err_printf.h"

namespace
{

constexpr long long_max32 = INT32_MAX;
constexpr long long_min32 = INT32_MIN;

// The system's own report of a number out of range, as the C library's call would have left it: "strtol: ...".
void report_out_of_range(const char* call)
{
    errno = ERANGE;
    std::perror(call);
}

[[noreturn]] void fail_out_of_range(const char* call)
{
    report_out_of_range(call);
    std::exit(1);
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

number_read<long> read_integer(const char* s)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (end == s)
        return {0, s, read_status::no_number};
    if (errno == ERANGE || v > long_max32 || v < long_min32)
        return {v > 0 ? long_max32 : long_min32, end, read_status::out_of_range};
    return {v, end, read_status::ok};
}

number_read<double> read_real(const char* s)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s, &end);
    if (end == s)
        return {0.0, s, read_status::no_number};
    return {v, end, errno == ERANGE ? read_status::out_of_range : read_status::ok};
}

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
    const number_read<long> r = read_integer(s);
    if (!r.found())
        err__exit(TW_FILE, __LINE__, "Can't convert %s to an integer.\n", s);
    if (r.status == read_status::out_of_range)
        report_out_of_range("strtol");
    return r.value;
}

int get_int(const char* s)
{
    return static_cast<int>(get_long(s));
}

double get_double(const char* s)
{
    const number_read<double> r = read_real(s);
    if (!r.found())
        error("Unable to convert \"%s\" to a number", s);
    if (r.status == read_status::out_of_range)
        report_out_of_range("strtod");
    return r.value;
}

unsigned int get_column(const char* s)
{
    const number_read<long> r = read_integer(s);
    if (r.status == read_status::out_of_range)
        fail_out_of_range("strtol");
    if (!r.found())
        error_func("No digits found (%s)\n", s);
    if (r.value <= 0)
        error_func("can't select columns before first column (%d).\n", static_cast<int>(r.value));
    return static_cast<unsigned int>(r.value);
}

bool is_column_name(const char* s)
{
    if (*s == '\0')
        return false;
    for (; *s != '\0'; ++s)
        if (!std::isdigit(static_cast<unsigned char>(*s)))
            return true;
    return false;
}

bool is_plain_name(const char* s)
{
    if (*s == '\0')
        return false;
    for (; *s != '\0'; ++s)
        if (!std::isalnum(static_cast<unsigned char>(*s)) && *s != '_' && *s != '.')
            return false;
    return true;
}

namespace
{

struct span_unit {
    const char* name;
    double seconds;
};
constexpr span_unit span_units[] = {{"s", 1}, {"min", 60}, {"h", 3600}, {"d", 86400}};

bool all_digits(const char* text)
{
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

std::optional<last_rows_choice> row_count(const char* text)
{
    constexpr std::uint64_t most = read_limits{}.max_rows;
    std::uint64_t rows = 0;
    for (; *text != '\0'; ++text) {
        rows = rows * 10 + static_cast<std::uint64_t>(*text - '0');
        if (rows > most)
            return std::nullopt; // checked at each digit, so that the product never overflows
    }
    if (rows == 0)
        return std::nullopt;
    return last_rows_choice{rows, 0};
}

} // namespace

std::optional<last_rows_choice> parse_last_rows(const char* text)
{
    if (all_digits(text))
        return row_count(text);
    // A plain decimal number: hexadecimal, infinity and NaN are no spans.
    if (!std::isdigit(static_cast<unsigned char>(*text)) && *text != '.')
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || std::strspn(text, "0123456789.eE+-") != static_cast<std::size_t>(end - text))
        return std::nullopt;
    for (const span_unit& unit : span_units) {
        if (std::strcmp(end, unit.name) != 0)
            continue;
        const double span = value * unit.seconds;
        if (!(span > 0) || !std::isfinite(span))
            return std::nullopt;
        return last_rows_choice{0, span};
    }
    return std::nullopt;
}
