// Delimited data lines: one pass over a line cuts it into fields at the separator (outside quotes) and reads each
// field that is wanted with the whitespace reader's own number rules, so that the same text gives the same double.
#include "data/delimited.h"

#include <array>
#include <cstring>

#include "core/messages.h"
#include "core/settings.h"
#include "data/number_scan.h"
#include "data/time_text.h"

namespace
{

// Blanks around a field are no part of it; the tab is a blank only when it is not the separator.
bool is_blank(char c, char separator)
{
    return c == ' ' || (c == '\t' && separator != '\t');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ends_with_folded(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lower(tail[i]) != suffix[i])
            return false;
    return true;
}

// One field as it stands in the line: its text without the blanks around it and without its quotes.
struct raw_field {
    std::string_view text;
    bool quoted = false;
    bool doubled_quote = false; // "" inside quotes: the text needs unquoting
    bool stray = false;         // bytes after the closing quote: not one clean value
};

struct line_cursor {
    const char* pos;
    const char* end;
    char separator;
};

void skip_blanks(line_cursor& cur)
{
    while (cur.pos < cur.end && is_blank(*cur.pos, cur.separator))
        ++cur.pos;
}

std::string_view trimmed(const char* begin, const char* end, char separator)
{
    while (begin < end && is_blank(*begin, separator))
        ++begin;
    while (end > begin && is_blank(end[-1], separator))
        --end;
    return {begin, static_cast<std::size_t>(end - begin)};
}

const char* find_separator(const line_cursor& cur)
{
    const void* found = std::memchr(cur.pos, cur.separator, static_cast<std::size_t>(cur.end - cur.pos));
    return found ? static_cast<const char*>(found) : cur.end;
}

// After the opening quote: up to the closing quote, "" standing for one quote. A quote left open ends at the
// line end, since a line is parsed on its own.
void take_quoted(line_cursor& cur, raw_field& field)
{
    const char* const begin = ++cur.pos;
    for (;;) {
        const void* found = std::memchr(cur.pos, '"', static_cast<std::size_t>(cur.end - cur.pos));
        if (!found) {
            field.text = {begin, static_cast<std::size_t>(cur.end - begin)};
            cur.pos = cur.end;
            return;
        }
        const char* const quote = static_cast<const char*>(found);
        if (quote + 1 < cur.end && quote[1] == '"') {
            field.doubled_quote = true;
            cur.pos = quote + 2;
            continue;
        }
        field.text = {begin, static_cast<std::size_t>(quote - begin)};
        cur.pos = quote + 1;
        skip_blanks(cur);
        if (cur.pos < cur.end && *cur.pos != cur.separator) {
            field.stray = true;
            cur.pos = find_separator(cur);
        }
        return;
    }
}

// Takes the field at the cursor and steps over the separator after it. Returns false once the line has no more
// fields: a line of n separators has n + 1 fields.
bool next_field(line_cursor& cur, raw_field& field, bool& more)
{
    if (!more)
        return false;
    field = raw_field{};
    skip_blanks(cur);
    if (cur.pos < cur.end && *cur.pos == '"') {
        field.quoted = true;
        take_quoted(cur, field);
    } else {
        const char* const stop = find_separator(cur);
        field.text = trimmed(cur.pos, stop, cur.separator);
        cur.pos = stop;
    }
    more = cur.pos < cur.end;
    if (more)
        ++cur.pos;
    return true;
}

bool is_missing_mark(std::string_view text)
{
    static constexpr std::array<std::string_view, 5> marks = {"", "NA", "NaN", "nan", "null"};
    for (std::string_view mark : marks)
        if (text == mark)
            return true;
    return false;
}

field_kind classify(const raw_field& field, char separator, double& value)
{
    if (field.doubled_quote || field.stray)
        return field_kind::text;
    const std::string_view text =
        field.quoted ? trimmed(field.text.data(), field.text.data() + field.text.size(), separator) : field.text;
    if (!text.empty()) {
        number_cursor cur(text);
        if (read_attempt(cur) && cur.pos == cur.end) {
            value = cur.result;
            return field_kind::number;
        }
    }
    return is_missing_mark(text) ? field_kind::missing : field_kind::text;
}

// An unknown name lists the header's names, as many as a reader takes in.
constexpr std::uint32_t listed_names = 100;

void number_column(std::string_view header, char separator, const std::string& name, std::uint32_t& col,
                   const std::string& fname)
{
    if (name.empty())
        return;
    const std::uint32_t found = find_field(header, separator, name);
    if (found == 0)
        throw input_error("data file " + fname + " has no column named \"" + name +
                          "\"; its columns are: " + listed_fields(header, separator, listed_names));
    col = found;
    TW_DEBUG("column " << name << " is " << col);
}

std::string unquoted(const raw_field& field)
{
    if (!field.doubled_quote)
        return std::string(field.text);
    std::string text;
    for (std::size_t i = 0; i < field.text.size(); ++i) {
        text += field.text[i];
        if (field.text[i] == '"' && i + 1 < field.text.size() && field.text[i + 1] == '"')
            ++i;
    }
    return text;
}

} // namespace

char separator_of_name(std::string_view path)
{
    for (std::string_view packed : {".gz", ".zst", ".zstd"})
        if (ends_with_folded(path, packed)) {
            path.remove_suffix(packed.size());
            break;
        }
    if (ends_with_folded(path, ".csv"))
        return ',';
    if (ends_with_folded(path, ".tsv"))
        return '\t';
    return 0;
}

char separator_for(const std::string& path)
{
    return field_separator != 0 ? field_separator : separator_of_name(path);
}

char separator_of_option(std::string_view text)
{
    if (text == "tab" || text == "\\t")
        return '\t';
    if (text.size() != 1)
        return 0;
    const char c = text.front();
    if ((c >= '0' && c <= '9') || std::strchr(".+-eE\"\r\n", c) != nullptr || c == '\0')
        return 0;
    return c;
}

void field_scan::store(field_kind kind, double value)
{
    if (fields_ == values_.size()) {
        values_.push_back(value);
        kinds_.push_back(kind);
    } else {
        values_[fields_] = value;
        kinds_[fields_] = kind;
    }
    ++fields_;
}

namespace
{

field_kind classify_time(const raw_field& field, char separator, time_field_reader& times, double& value)
{
    // A field that starts as a date is no number: it goes to the time parser without a try as one.
    std::size_t error_at = 0;
    if (!field.quoted && !field.stray && starts_as_date(field.text))
        return times.read_text(field.text, value, error_at) ? field_kind::number : field_kind::text;
    const field_kind kind = classify(field, separator, value);
    if (kind == field_kind::number)
        value = times.from_unit(value);
    if (kind != field_kind::text || field.doubled_quote || field.stray)
        return kind;
    const std::string_view text =
        field.quoted ? trimmed(field.text.data(), field.text.data() + field.text.size(), separator) : field.text;
    return times.read_text(text, value, error_at) ? field_kind::number : field_kind::text;
}

} // namespace

void field_scan::scan(std::string_view line, char separator, std::uint32_t last_col, time_field_reader& times)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    fields_ = 0;
    while (fields_ < last_col && next_field(cur, field, more)) {
        double value = 0;
        const field_kind kind = times.columns().holds(fields_ + 1) ? classify_time(field, separator, times, value)
                                                                   : classify(field, separator, value);
        store(kind, value);
    }
}

void field_scan::scan(std::string_view line, char separator, std::uint32_t last_col)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    fields_ = 0;
    while (fields_ < last_col && next_field(cur, field, more)) {
        double value = 0;
        const field_kind kind = classify(field, separator, value);
        store(kind, value);
    }
}

std::uint32_t count_fields(std::string_view line, char separator)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    std::uint32_t count = 0;
    while (next_field(cur, field, more))
        ++count;
    return count;
}

std::string field_text(std::string_view line, char separator, std::uint32_t col)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    for (std::uint32_t k = 1; next_field(cur, field, more); ++k)
        if (k == col)
            return unquoted(field);
    return {};
}

std::uint32_t find_field(std::string_view line, char separator, std::string_view name)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    for (std::uint32_t k = 1; next_field(cur, field, more); ++k)
        if (field.doubled_quote ? unquoted(field) == name : field.text == name)
            return k;
    return 0;
}

std::string listed_fields(std::string_view line, char separator, std::uint32_t max_fields)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    std::string list;
    for (std::uint32_t k = 0; next_field(cur, field, more); ++k) {
        if (k == max_fields)
            return list + ", ...";
        list += (k == 0 ? "" : ", ") + unquoted(field);
    }
    return list;
}

std::vector<std::string> split_fields(std::string_view line, char separator)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    std::vector<std::string> names;
    while (next_field(cur, field, more))
        names.push_back(unquoted(field));
    return names;
}

bool is_header(std::string_view line, char separator)
{
    line_cursor cur{line.data(), line.data() + line.size(), separator};
    bool more = true;
    raw_field field;
    while (next_field(cur, field, more)) {
        double value = 0;
        if (classify(field, separator, value) == field_kind::text)
            return true;
    }
    return false;
}

bool is_delimited_comment_or_blank(std::string_view line, char separator)
{
    if (!line.empty() && line.front() == '#')
        return true;
    for (char c : line)
        if (!is_blank(c, separator))
            return false;
    return true;
}

input_error no_header_error(const std::string& fname)
{
    return input_error("data file " + fname +
                       " has no header line to find column names in: names are looked up in the first line of a "
                       "delimited file (*.csv, *.tsv or --separator)");
}

bool take_column_names(std::string_view line, char separator, cols& c, const std::string& fname)
{
    if (!is_header(line, separator)) {
        if (c.has_names())
            throw no_header_error(fname);
        return false;
    }
    number_column(line, separator, c.x_name, c.x, fname);
    number_column(line, separator, c.y_name, c.y, fname);
    number_column(line, separator, c.z_name, c.z, fname);
    number_column(line, separator, c.e_name, c.e, fname);
    number_column(line, separator, c.by_name, c.by, fname);
    number_column(line, separator, c.c_name, c.c, fname);
    for (expression& e : c.expr)
        for (std::size_t k = 0; k < e.names().size(); ++k) {
            std::uint32_t col = 0;
            number_column(line, separator, e.names()[k], col, fname);
            e.set_name_column(k, col);
        }
    return true;
}
