// Parsers for option values: colours, integers, numbers and column numbers. One checked core reads a number at the
// start of a text; each parser adds the fixed failure report its options have always given.
#ifndef TREMWIL_VALUE_PARSERS_H
#define TREMWIL_VALUE_PARSERS_H

#include <cstdint>
#include <optional>

#include "core/settings.h"

enum class read_status { ok, no_number, out_of_range };

// What reading a number at the start of a text found. Blanks before the number are skipped; the text after it is
// the caller's to judge (end points at it, or at the start of the text when there was no number). Out of range,
// the value is clamped to the type's limits (a double reads as infinity or as a value at or near 0).
template <typename T> struct number_read {
    T value;
    const char* end;
    read_status status;

    bool found() const { return status != read_status::no_number; }
};

// A base-10 integer kept to the 32-bit range of the program's original platform, so that a huge value is clamped
// and reported instead of being silently truncated when narrowed to int.
number_read<long> read_integer(const char* s);

// Any number strtod reads: decimal, hexadecimal, infinity, NaN.
number_read<double> read_real(const char* s);

// "r,g,b" with each component 0..255; anything else ends the run through error().
RGB get_rgb(const char* arg);

// Base-10 integer within the 32-bit range; text after the number is ignored. No digits: report and exit 1.
// Out of range: the system's message after "strtol", then the clamped value.
long get_long(const char* s);
int get_int(const char* s);

// Any strtod number; no number ends the run through error(), out of range prints the system's message.
double get_double(const char* s);

// Column number counting from 1; missing digits and columns before the first go through error_func, a number
// beyond the 32-bit range ends the run with the system's message after "strtol".
unsigned int get_column(const char* s);

// True when a column option's value is a header name rather than a number: a value is a column number only when it
// is all digits, so "2nd_level", "1e3" and " 7" are names. Empty text is no name.
bool is_column_name(const char* s);

// True when a column option's name is a plain word of ASCII letters, digits, '_' and '.' ("time", "2nd_level",
// "1e3"): it is taken as a header name without being read as an expression.
bool is_plain_name(const char* s);

// --last: the newest rows (rows from 1) or a time span in seconds (span above 0), the other one 0.
struct last_rows_choice {
    std::uint64_t rows = 0;
    double span = 0;
};

// "N" (all digits, 1 to the row limit of a data file) or a positive number with a unit s, min, h or d ("90s",
// "1.5h"); nothing for any other text.
std::optional<last_rows_choice> parse_last_rows(const char* text);

#endif // TREMWIL_VALUE_PARSERS_H
