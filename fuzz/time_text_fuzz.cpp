// Fuzzing of the time-text parser and of the readers' time columns. A text that reads must name an instant within
// a day and a bit of its own date's midnight (an offset of under a day, a clock time of under a day and a leap
// second), its date alone must read too, and a failure must point inside the text; the whitespace and delimited
// readers' time columns must give what the parser gives for a whole field. Any difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "data/delimited.h"
#include "data/number_scan.h"
#include "data/time_fields.h"
#include "data/time_text.h"

namespace
{

[[noreturn]] void report(const char* what, std::size_t size)
{
    std::fprintf(stderr, "time text difference (%s) in a text of %zu bytes\n", what, size);
    std::abort();
}

constexpr std::int64_t day_micros = 86400LL * 1000000;

void check_parser(std::string_view text)
{
    const time_text_result r = parse_time_text(text);
    if (!r.ok()) {
        if (r.error_at > text.size())
            report("error past the end", text.size());
        return;
    }
    const time_text_result date = parse_time_text(text.substr(0, 10));
    if (!date.ok() || date.zoned || date.micros % day_micros != 0)
        report("date alone", text.size());
    const std::int64_t from_midnight = r.micros - date.micros;
    if (from_midnight < -day_micros || from_midnight >= 2 * day_micros + 61LL * 1000000)
        report("instant far from its date", text.size());
    if (!starts_as_date(text))
        report("time that does not start as a date", text.size());
}

// The text as the only field of a time column, in a whitespace line and in a comma-separated one.
void check_readers(std::string_view text)
{
    time_columns columns;
    columns.x = 1;
    time_field_reader times(columns);
    const time_text_result r = parse_time_text(text);
    const bool one_field = text.find_first_of(" \t\n\v\f\r,\"") == std::string_view::npos;
    column_scan scan;
    scan.scan(text, 2, times);
    if (one_field && r.ok() && (!scan.reached(1) || scan.value(1) != static_cast<double>(r.micros) / 1e6))
        report("whitespace reader", text.size());
    field_scan fields;
    fields.scan(text, ',', 2, times);
    if (one_field && r.ok() &&
        (!fields.reached(1) || fields.kind(1) != field_kind::number ||
         fields.value(1) != static_cast<double>(r.micros) / 1e6))
        report("delimited reader", text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) // a time is short; longer inputs only cost time
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    check_parser(text);
    check_readers(text);
    return 0;
}
