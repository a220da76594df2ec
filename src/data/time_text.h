// Time as logs and instruments write it: ISO 8601 / RFC 3339 text read to microseconds since 1970-01-01 00:00 UTC.
// A pure function of the text, so that the reader's threads may call it at will. Input is untrusted: any bytes.
#ifndef TREMWIL_TIME_TEXT_H
#define TREMWIL_TIME_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string_view>

// What a time text says. For text without a zone (no Z and no offset) micros is the wall-clock time read as if it
// were UTC; the caller moves it into the zone it stands for.
struct time_text_result {
    std::int64_t micros = 0;
    bool zoned = false;
    // npos when the whole text is a time; else the offset of the first character that does not fit.
    std::size_t error_at = std::string_view::npos;

    bool ok() const { return error_at == std::string_view::npos; }
};

// Reads the forms YYYY-MM-DD and YYYY-MM-DD[T| ]hh:mm[:ss[.fraction]] (t also for T), each of them optionally
// followed by Z (or z), +hh, +hh:mm or +hhmm (or - for +). Years run 0000 to 9999; the day must exist in its
// month (leap years by the Gregorian rules); second 60 (a leap second) reads as the next minute's first. A
// fraction keeps its first six digits (microseconds); further digits are read and dropped.
time_text_result parse_time_text(std::string_view text);

// Whether text starts as a date does (four digits and a dash): a field of a time column that starts so and is
// not a time is a malformed date, not some other word.
bool starts_as_date(std::string_view text);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (month 1..12, day 1..31).
std::int64_t days_from_civil(std::int64_t year, int month, int day);

#endif // TREMWIL_TIME_TEXT_H
