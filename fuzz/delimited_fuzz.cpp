// Differential fuzzing of the delimited reader. The first byte picks the separator; each line of the rest is
// (1) cut into fields, which must agree with the texts split_fields, field_text and find_field give, every number field
// holding what the whitespace reader reads from that text; and (2) read as a whitespace line, whose numbers, written
// back as one delimited line (some padded with blanks, some quoted), must read back as numbers equal bit for bit. Any
// difference aborts.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "data/delimited.h"
#include "data/number_scan.h"

namespace
{

[[noreturn]] void report(std::size_t line_size, std::uint32_t field, const char* what)
{
    std::fprintf(stderr, "delimited reader difference (%s) at field %u in a line of %zu bytes\n", what, field,
                 line_size);
    std::abort();
}

bool same_bits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The whitespace reader's value of text alone on a line, when it reads one number there.
bool plain_number(std::string_view text, double& value)
{
    number_cursor cur(text);
    if (!read_attempt(cur))
        return false;
    value = cur.result;
    return true;
}

void check_fields(std::string_view line, char separator, field_scan& scan)
{
    scan.scan(line, separator, UINT32_MAX);
    const std::vector<std::string> texts = split_fields(line, separator);
    if (texts.size() != scan.fields() || count_fields(line, separator) != scan.fields())
        report(line.size(), 0, "field count");
    // The one-field lookups, on the first fields only: each walks the line.
    for (std::uint32_t col = 1; col <= std::min<std::size_t>(texts.size(), 16); ++col) {
        const std::uint32_t found = find_field(line, separator, texts[col - 1]);
        if (field_text(line, separator, col) != texts[col - 1] || found == 0 || found > col ||
            texts[found - 1] != texts[col - 1])
            report(line.size(), col, "field text");
    }
    bool text_field = false;
    for (std::uint32_t col = 1; col <= scan.fields(); ++col) {
        text_field = text_field || scan.kind(col) == field_kind::text;
        double value = 0;
        if (scan.kind(col) == field_kind::number &&
            (!plain_number(texts[col - 1], value) || !same_bits(value, scan.value(col))))
            report(line.size(), col, "number");
    }
    if (is_header(line, separator) != text_field)
        report(line.size(), 0, "header");
}

// The numbers of line as successive whitespace reads take them, each with the text it was read from.
struct plain_read {
    std::vector<std::string> texts;
    std::vector<double> values;
};

plain_read read_plain(std::string_view line)
{
    plain_read read;
    number_cursor cur(line);
    while (cur.good) {
        while (cur.pos < cur.end && (*cur.pos == ' ' || (*cur.pos >= '\t' && *cur.pos <= '\r')))
            ++cur.pos;
        const char* const start = cur.pos;
        if (!read_attempt(cur))
            break;
        read.texts.emplace_back(start, cur.pos);
        read.values.push_back(cur.result);
    }
    return read;
}

void check_written_back(std::string_view line, char separator, field_scan& scan)
{
    const plain_read read = read_plain(line);
    std::string written;
    for (std::size_t i = 0; i < read.texts.size(); ++i) {
        // The line's own bytes choose the dress of each field, so that the fuzzer can reach every one.
        const unsigned dress = static_cast<unsigned char>(line[i % line.size()]) % 4;
        if (i > 0)
            written += separator;
        written += dress == 1 ? " " + read.texts[i] + " " : dress == 2 ? "\"" + read.texts[i] + "\"" : read.texts[i];
    }
    scan.scan(written, separator, UINT32_MAX);
    if (!read.texts.empty() && scan.fields() != read.texts.size())
        report(written.size(), 0, "written field count");
    for (std::uint32_t col = 1; col <= read.values.size(); ++col)
        if (scan.kind(col) != field_kind::number || !same_bits(scan.value(col), read.values[col - 1]))
            report(written.size(), col, "written number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0 || size > 1 << 16)
        return 0;
    static constexpr char separators[4] = {',', '\t', ';', '|'};
    const char separator = separators[bytes[0] % 4];
    const std::string_view text(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    field_scan scan;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, stop - start);
        check_fields(line, separator, scan);
        check_written_back(line, separator, scan);
        start = stop + 1;
    }
    return 0;
}
