// Reading numbers from a line exactly as successive `>> double` extractions of a classic-locale string
// stream do, but in one left-to-right pass without building streams or strings.
#ifndef TREMWIL_NUMBER_SCAN_H
#define TREMWIL_NUMBER_SCAN_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "data/time_fields.h"

// The state a string stream carries between extractions: its read position, whether it is still good
// (neither end reached nor a failed read), and the variable the numbers are extracted into.
struct number_cursor {
    const char* pos;
    const char* end;
    double result = 0;
    bool good = true;

    explicit number_cursor(std::string_view line) : pos(line.data()), end(line.data() + line.size()) {}
};

// One extraction attempt, made only while cur.good: skips white space, then reads the longest text that can
// continue a number. Returns true when that text was a number in range. As with the stream, reaching the end
// of the line or a failed read clears good; a failed read stores 0 (or the largest finite double of the sign
// when the number is too large), and reaching the end before any text leaves result unchanged.
bool read_attempt(number_cursor& cur);

// count_columns on a view: the number of numbers read before the first failed attempt.
int count_numbers(std::string_view line);

// What a column holding a missing-value mark (NaN, NA, nan, null or a lone -) reads as: a NaN, which no number of
// the text can give (words such as nan are no numbers).
inline constexpr double missing_value = std::numeric_limits<double>::quiet_NaN();
inline bool is_missing(double value)
{
    return value != value;
}

// The number of values at the start of line, missing-value marks counted: the columns the line has.
int count_values(std::string_view line);

// The results of successive attempts along one line, so that any column up to a limit is answered from one
// scan. Column c (from 1) is reached when c attempts were made; its value is the result after attempt c. A failed
// attempt at a missing-value mark gives missing_value and does not end the scan.
class column_scan
{
public:
    // Makes attempts 1, 2, ... while the cursor stays good, at most last_col of them.
    void scan(std::string_view line, std::uint32_t last_col);
    // The same, where the attempt of a time column that meets a field starting as a date (YYYY-) takes the whole
    // field as time text, and the field after it too when the date stands alone and that field is a clock time
    // (hh:mm...): both columns then hold the time. Other fields of time columns are numbers of the time unit.
    void scan(std::string_view line, std::uint32_t last_col, time_field_reader& times);

    // A field of a time column that starts as a date but is none: its column (0: none), text, and the offset
    // where it goes wrong. The scan stops there.
    struct bad_time_field {
        std::uint32_t col = 0;
        std::string_view text;
        std::size_t error_at = 0;
    };
    const bad_time_field& bad_time() const { return bad_time_; }

    bool reached(std::uint32_t col) const { return col <= attempts_; }
    double value(std::uint32_t col) const { return results_[col - 1]; }
    // Column c's value at values()[c - 1], for the columns reached.
    const double* values() const { return results_.data(); }
    std::uint32_t attempts() const { return attempts_; }
    // Whether some attempt of the last scan met a missing-value mark.
    bool missing_seen() const { return missing_seen_; }
    // Where the last scan stopped, as an offset into its line, and whether each of its attempts read one whole
    // white-space field, so that the fields after the last column reached start at stop(). Only the scan without
    // time columns tells; the other answers false.
    std::size_t stop() const { return stop_; }
    bool whole_fields() const { return whole_fields_; }
    // The extraction variable after the last attempt.
    double last() const { return attempts_ == 0 ? 0.0 : results_[attempts_ - 1]; }

private:
    // Sized up to the largest column asked for so far and kept between lines: no allocation per row.
    std::vector<double> results_;
    std::uint32_t attempts_ = 0;
    bad_time_field bad_time_;

    void store(double value);
    std::uint32_t time_attempt(number_cursor& cur, time_field_reader& times, std::uint32_t col);
    bool missing_seen_ = false;
    std::size_t stop_ = 0;
    bool whole_fields_ = false;
};

#endif // TREMWIL_NUMBER_SCAN_H
