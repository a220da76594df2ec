// Parsers for option values: colours, integers, numbers and column numbers, each with its fixed failure report.
#ifndef TREMWIL_VALUE_PARSERS_H
#define TREMWIL_VALUE_PARSERS_H

#include "core/settings.h"

// "r,g,b" with each component 0..255; anything else ends the run through error().
RGB get_rgb(const char* arg);

// Base-10 integer within the 32-bit range; text after the number is ignored. No digits: report and exit 1.
// Out of range: the system's message after "strtol", then the clamped value.
long get_long(const char* s);
int get_int(const char* s);

// Any strtod number; no number ends the run through error(), out of range prints the system's message.
double get_double(const char* s);

// Column number counting from 1; missing digits and columns before the first go through error_func.
unsigned int get_column(const char* s);

// True when a column option's value is a header name rather than a number: text in which get_column would find
// no digits at its start ("time", "level"). Empty or blank text is no name.
bool is_column_name(const char* s);

#endif // TREMWIL_VALUE_PARSERS_H
