// ISO 8601 / RFC 3339 time text: one left-to-right pass over fixed-width digit groups, no locale, no allocation.
#include "data/time_text.h"

namespace
{

// A cursor over the text whose first failure is remembered as the offset where it happened.
struct time_cursor {
    std::string_view text;
    std::size_t pos = 0;
    std::size_t error_at = std::string_view::npos;

    bool at_end() const { return pos == text.size(); }
    char peek() const { return at_end() ? '\0' : text[pos]; }
    bool failed() const { return error_at != std::string_view::npos; }
    void fail_here()
    {
        if (!failed())
            error_at = pos;
    }
};

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly `width` digits as a number, which must lie in lo..hi; a failure points at the digit that is wrong (the
// first of the group when the number is out of range).
int take_digits(time_cursor& c, int width, int lo, int hi)
{
    if (c.failed())
        return 0;
    const std::size_t start = c.pos;
    int value = 0;
    for (int k = 0; k < width; ++k) {
        if (!is_digit(c.peek())) {
            c.fail_here();
            return 0;
        }
        value = value * 10 + (c.text[c.pos++] - '0');
    }
    if (value < lo || value > hi) {
        c.pos = start;
        c.fail_here();
    }
    return value;
}

void take_char(time_cursor& c, char wanted)
{
    if (c.failed())
        return;
    if (c.peek() != wanted) {
        c.fail_here();
        return;
    }
    ++c.pos;
}

bool is_leap_year(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

// YYYY-MM-DD as days since 1970.
std::int64_t take_date(time_cursor& c)
{
    const int year = take_digits(c, 4, 0, 9999);
    take_char(c, '-');
    const int month = take_digits(c, 2, 1, 12);
    take_char(c, '-');
    const std::size_t day_at = c.pos;
    const int day = take_digits(c, 2, 1, 31);
    if (c.failed())
        return 0;
    if (day > days_in_month(year, month)) {
        c.pos = day_at;
        c.fail_here();
        return 0;
    }
    return days_from_civil(year, month, day);
}

// .fraction: at least one digit, the first six of them kept as microseconds.
std::int64_t take_fraction(time_cursor& c)
{
    ++c.pos; // the point
    if (!is_digit(c.peek())) {
        c.fail_here();
        return 0;
    }
    std::int64_t micros = 0;
    int digits = 0;
    for (; is_digit(c.peek()); ++c.pos, ++digits)
        if (digits < 6)
            micros = micros * 10 + (c.text[c.pos] - '0');
    for (; digits < 6; ++digits)
        micros *= 10;
    return micros;
}

// hh:mm[:ss[.fraction]] as microseconds since midnight.
std::int64_t take_clock(time_cursor& c)
{
    const int hour = take_digits(c, 2, 0, 23);
    take_char(c, ':');
    const int minute = take_digits(c, 2, 0, 59);
    int second = 0;
    std::int64_t fraction = 0;
    if (!c.failed() && c.peek() == ':') {
        ++c.pos;
        second = take_digits(c, 2, 0, 60);
        if (!c.failed() && c.peek() == '.')
            fraction = take_fraction(c);
    }
    return ((hour * 60 + minute) * 60 + second) * std::int64_t{1000000} + fraction;
}

// Z, or +hh, +hh:mm, +hhmm (or -): the seconds to add to the text's clock to reach UTC.
std::int64_t take_zone(time_cursor& c)
{
    const char sign = c.peek();
    if (sign == 'Z' || sign == 'z') {
        ++c.pos;
        return 0;
    }
    if (sign != '+' && sign != '-') {
        c.fail_here();
        return 0;
    }
    ++c.pos;
    const int hours = take_digits(c, 2, 0, 23);
    int minutes = 0;
    if (!c.failed() && !c.at_end()) {
        if (c.peek() == ':')
            ++c.pos;
        minutes = take_digits(c, 2, 0, 59);
    }
    const std::int64_t east = (hours * 60 + minutes) * 60;
    return sign == '+' ? -east : east;
}

} // namespace

std::int64_t days_from_civil(std::int64_t year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

bool starts_as_date(std::string_view text)
{
    return text.size() >= 5 && is_digit(text[0]) && is_digit(text[1]) && is_digit(text[2]) && is_digit(text[3]) &&
           text[4] == '-';
}

time_text_result parse_time_text(std::string_view text)
{
    time_cursor c{text};
    std::int64_t micros = take_date(c) * std::int64_t{86400} * 1000000;
    const char between = c.peek();
    if (!c.failed() && (between == 'T' || between == 't' || between == ' ')) {
        ++c.pos;
        micros += take_clock(c);
    }
    time_text_result result;
    if (!c.failed() && !c.at_end()) {
        micros += take_zone(c) * std::int64_t{1000000};
        result.zoned = true;
    }
    if (!c.failed() && !c.at_end())
        c.fail_here();
    result.micros = micros;
    result.error_at = c.error_at;
    return result;
}
