// Delimited data lines (CSV, TSV, or any one separator character): the separator a file is read with, the fields
// of one line as numbers, and the header line's names. Each line is parsed on its own, so any run of whole lines can
// be handed over; a quoted field does not continue past its line. Input is untrusted: any bytes, any line length.
#ifndef TREMWIL_DELIMITED_H
#define TREMWIL_DELIMITED_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/byte_source.h"
#include "data/data_set.h"
#include "data/time_fields.h"

// ',' for a name ending in .csv, '\t' for .tsv (any case, also before .gz, .zst or .zstd); 0 for any other name.
char separator_of_name(std::string_view path);

// The separator data file path is read with: --separator when given, else the one its name asks for. 0 means
// whitespace-separated, read by the long-standing rules.
char separator_for(const std::string& path);

// The separator --separator=text asks for: a single character, or "tab" or "\t" for the tab; 0 when text names no
// usable separator (a character that can be part of a number, a quote or a line end).
char separator_of_option(std::string_view text);

// What one field holds. A missing value is an empty field or NA, NaN, nan, null.
enum class field_kind : std::uint8_t { number, missing, text };

// The fields of one line, up to a limit, read as numbers: a field is a number when the whole of it (blanks around
// and quotes taken off) reads as one number of the whitespace-separated rules.
class field_scan
{
public:
    // Reads fields 1, 2, ... of line, at most last_col of them.
    void scan(std::string_view line, char separator, std::uint32_t last_col);
    // The same, where a field of a time column is a number of the time unit or, when it is text, time text.
    void scan(std::string_view line, char separator, std::uint32_t last_col, time_field_reader& times);

    bool reached(std::uint32_t col) const { return col <= fields_; }
    std::uint32_t fields() const { return fields_; }
    field_kind kind(std::uint32_t col) const { return kinds_[col - 1]; }
    double value(std::uint32_t col) const { return values_[col - 1]; }
    // Field c's value at values()[c - 1], for the fields reached (a missing or text field holds 0).
    const double* values() const { return values_.data(); }

private:
    // Sized up to the most fields asked for so far and kept between lines: no allocation per row.
    std::vector<double> values_;
    std::vector<field_kind> kinds_;
    std::uint32_t fields_ = 0;

    void store(field_kind kind, double value);
};

// The number of fields of line, without reading them.
std::uint32_t count_fields(std::string_view line, char separator);

// A field's text: blanks around taken off, quotes removed and "" inside quotes read as one quote. The functions
// below make no string per field, so that a line of millions of separators costs no more than its own bytes.
// field_text: the text of field col (from 1), empty past the last field. find_field: the first field (from 1)
// whose text is name, 0 when none is. listed_fields: the texts of the first at most max_fields fields joined by
// ", ", with "..." after them when there are more.
std::string field_text(std::string_view line, char separator, std::uint32_t col);
std::uint32_t find_field(std::string_view line, char separator, std::string_view name);
std::string listed_fields(std::string_view line, char separator, std::uint32_t max_fields);

// Every field's text, one string each (for short lines: checks and tests).
std::vector<std::string> split_fields(std::string_view line, char separator);

// True when some field of line is text: then the line is a header of column names, not a row.
bool is_header(std::string_view line, char separator);

// A delimited line to skip: empty, blanks only, or a comment starting with '#' (';' and '!', comments in
// whitespace-separated files, may start a first field that is empty or text).
bool is_delimited_comment_or_blank(std::string_view line, char separator);

// The first line of delimited file fname that is no comment: when it is a header, the columns c gives by name are
// looked up in it and numbered, and the result is true. Throws input_error when a name is not in the header, or
// when c gives names and the line is no header.
bool take_column_names(std::string_view line, char separator, cols& c, const std::string& fname);

// The error of a column name given for a file without a header line.
input_error no_header_error(const std::string& fname);

#endif // TREMWIL_DELIMITED_H
