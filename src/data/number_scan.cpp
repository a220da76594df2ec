// One pass over a line that yields what repeated classic-locale `>> double` extractions would.
#include "data/number_scan.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

#include "data/time_text.h"

namespace
{

// The stream skips what the classic locale classes as space: blank, \t, \n, \v, \f, \r.
bool is_stream_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// The text the extraction consumes, and whether it spells a whole number.
struct number_text {
    const char* begin;
    const char* end;
    bool complete;
};

// The stream's longest-prefix rule: optional sign, digits with at most one point, then an exponent letter only
// after a mantissa digit, with its own optional sign. It stops at the first character that cannot continue.
number_text take_number_text(const char* p, const char* end)
{
    const char* const begin = p;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    bool mantissa = false;
    bool point = false;
    bool exponent = false;
    bool exponent_digit = false;
    while (p < end) {
        const char c = *p;
        if (is_digit(c)) {
            (exponent ? exponent_digit : mantissa) = true;
        } else if (c == '.' && !point && !exponent) {
            point = true;
        } else if ((c == 'e' || c == 'E') && mantissa && !exponent) {
            exponent = true;
            if (p + 1 < end && (p[1] == '+' || p[1] == '-'))
                ++p;
        } else {
            break;
        }
        ++p;
    }
    return {begin, p, mantissa && (!exponent || exponent_digit)};
}

// The conversion the stream makes with strtod: too large gives the largest finite double of the sign and
// fails; too small gives what strtod rounds to (often 0) and succeeds.
bool convert_with_strtod(const number_text& text, double& value)
{
    const std::string copy(text.begin, text.end);
    const double v = std::strtod(copy.c_str(), nullptr);
    if (std::isinf(v)) {
        value = std::copysign(std::numeric_limits<double>::max(), v);
        return false;
    }
    value = v;
    return true;
}

bool convert(const number_text& text, double& value)
{
    if (!text.complete) {
        value = 0;
        return false;
    }
    // from_chars takes no '+'; the sign it would skip leaves the value unchanged.
    const char* first = *text.begin == '+' ? text.begin + 1 : text.begin;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(first, text.end, v, std::chars_format::general);
    if (ec == std::errc{} && ptr == text.end) {
        value = v;
        return true;
    }
    // Out of range either way: rare, so let strtod settle overflow against underflow exactly.
    return convert_with_strtod(text, value);
}

// The common case in one step: a plain number that from_chars reads exactly as far as the stream would.
// Anything else (words, a lone sign or point, an unfinished exponent, out of range) returns false and is
// left to the general path.
bool take_plain_number(number_cursor& cur)
{
    // from_chars takes no '+', and the stream takes only one sign.
    const char* first = *cur.pos == '+' ? cur.pos + 1 : cur.pos;
    const char* digits = *cur.pos == '+' || *cur.pos == '-' ? cur.pos + 1 : cur.pos;
    if (digits == cur.end || !(is_digit(*digits) || (*digits == '.' && digits + 1 < cur.end && is_digit(digits[1]))))
        return false;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(first, cur.end, v, std::chars_format::general);
    // from_chars leaves an exponent without digits unread, while the stream takes it in and fails.
    if (ec != std::errc{} || (ptr != cur.end && (*ptr == 'e' || *ptr == 'E')))
        return false;
    cur.pos = ptr;
    cur.result = v;
    if (ptr == cur.end)
        cur.good = false;
    return true;
}

bool is_missing_mark(std::string_view token)
{
    static constexpr std::string_view marks[] = {"NaN", "NA", "nan", "null", "-"};
    for (const std::string_view mark : marks)
        if (token == mark)
            return true;
    return false;
}

// After a failed attempt that began at start: when the token there is a missing-value mark, the attempt gives the
// missing value instead and reading goes on after the token. Only failed attempts come here, so numbers cost
// nothing more. True when it was a mark.
bool take_missing_mark(number_cursor& cur, const char* start)
{
    while (start < cur.end && is_stream_space(*start))
        ++start;
    const char* stop = start;
    while (stop < cur.end && !is_stream_space(*stop))
        ++stop;
    if (stop == start || !is_missing_mark({start, static_cast<std::size_t>(stop - start)}))
        return false;
    cur.result = missing_value;
    cur.pos = stop;
    cur.good = stop < cur.end;
    return true;
}

} // namespace

bool read_attempt(number_cursor& cur)
{
    while (cur.pos < cur.end && is_stream_space(*cur.pos))
        ++cur.pos;
    if (cur.pos == cur.end) {
        cur.good = false;
        return false;
    }
    if (take_plain_number(cur))
        return true;
    const number_text text = take_number_text(cur.pos, cur.end);
    cur.pos = text.end;
    const bool ok = convert(text, cur.result);
    if (!ok || cur.pos == cur.end)
        cur.good = false;
    return ok;
}

int count_numbers(std::string_view line)
{
    number_cursor cur(line);
    int count = 0;
    while (cur.good && read_attempt(cur))
        ++count;
    return count;
}

int count_values(std::string_view line)
{
    number_cursor cur(line);
    int count = 0;
    while (cur.good) {
        const char* const start = cur.pos;
        if (!read_attempt(cur) && !take_missing_mark(cur, start))
            break;
        ++count;
    }
    return count;
}

void column_scan::store(double value)
{
    if (attempts_ == results_.size())
        results_.push_back(value);
    else
        results_[attempts_] = value;
    ++attempts_;
}

namespace
{

const char* field_end(const char* p, const char* end)
{
    while (p < end && !is_stream_space(*p))
        ++p;
    return p;
}

const char* skip_space(const char* p, const char* end)
{
    while (p < end && is_stream_space(*p))
        ++p;
    return p;
}

bool is_clock_field(std::string_view field)
{
    return field.size() >= 5 && is_digit(field[0]) && is_digit(field[1]) && field[2] == ':';
}

// The longest date and clock time that two fields may join into: longer ones are no time anyway.
constexpr std::size_t longest_joined_time = 64;

} // namespace

// Returns the number of columns taken: 2 for a date and a clock time in two fields, else 1.
std::uint32_t column_scan::time_attempt(number_cursor& cur, time_field_reader& times, std::uint32_t col)
{
    cur.pos = skip_space(cur.pos, cur.end);
    const char* const stop = field_end(cur.pos, cur.end);
    const std::string_view field(cur.pos, static_cast<std::size_t>(stop - cur.pos));
    if (!starts_as_date(field)) {
        if (read_attempt(cur))
            cur.result = times.from_unit(cur.result);
        return 1;
    }
    std::size_t error_at = 0;
    const char* const next = skip_space(stop, cur.end);
    const std::string_view clock(next, static_cast<std::size_t>(field_end(next, cur.end) - next));
    if (field.size() == 10 && is_clock_field(clock) && field.size() + 1 + clock.size() <= longest_joined_time) {
        char joined[longest_joined_time];
        field.copy(joined, field.size());
        joined[field.size()] = 'T';
        clock.copy(joined + field.size() + 1, clock.size());
        cur.pos = clock.data() + clock.size();
        if (times.read_text({joined, field.size() + 1 + clock.size()}, cur.result, error_at)) {
            cur.good = cur.pos < cur.end;
            return 2;
        }
        // Told where it goes wrong in the line's own text, blanks and all.
        const auto gap = static_cast<std::size_t>(clock.data() - field.data());
        bad_time_ = {col,
                     {field.data(), gap + clock.size()},
                     error_at <= field.size() ? error_at : error_at - 1 - field.size() + gap};
        cur.result = 0;
        cur.good = false;
        return 1;
    }
    if (times.read_text(field, cur.result, error_at)) {
        cur.pos = stop;
        cur.good = cur.pos < cur.end;
        return 1;
    }
    bad_time_ = {col, field, error_at};
    cur.result = 0;
    cur.good = false;
    return 1;
}

void column_scan::scan(std::string_view line, std::uint32_t last_col, time_field_reader& times)
{
    number_cursor cur(line);
    attempts_ = 0;
    bad_time_ = {};
    missing_seen_ = false;
    whole_fields_ = false;
    while (attempts_ < last_col && cur.good) {
        const std::uint32_t col = attempts_ + 1;
        if (!times.columns().holds(col)) {
            const char* const start = cur.pos;
            if (!read_attempt(cur) && take_missing_mark(cur, start))
                missing_seen_ = true;
            store(cur.result);
            continue;
        }
        const std::uint32_t taken = time_attempt(cur, times, col);
        for (std::uint32_t k = 0; k < taken && attempts_ < last_col; ++k)
            store(cur.result);
    }
    stop_ = static_cast<std::size_t>(cur.pos - line.data());
}

void column_scan::scan(std::string_view line, std::uint32_t last_col)
{
    number_cursor cur(line);
    attempts_ = 0;
    missing_seen_ = false;
    bool mid_field = false; // some attempt stopped inside a field, as in "1-2" or "3x"
    // A huge column number costs room only for the attempts a line really allows.
    while (attempts_ < last_col && cur.good) {
        const char* const start = cur.pos;
        if (!read_attempt(cur) && take_missing_mark(cur, start))
            missing_seen_ = true;
        mid_field |= cur.pos != cur.end && !is_stream_space(*cur.pos);
        store(cur.result);
    }
    stop_ = static_cast<std::size_t>(cur.pos - line.data());
    whole_fields_ = !mid_field;
}
