// Differential fuzzing of the data reader's number scanning: every line of the input must give the same
// column count and the same value (bit for bit) or the same failure for each column as literal
// classic-locale string-stream reads. Any difference aborts.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/reader/stream_reference.h"
#include "data/data_reader.h"
#include "data/number_scan.h"

namespace
{

[[noreturn]] void report(const std::string& line, std::uint32_t col, const char* what)
{
    std::fprintf(stderr, "reader difference (%s) at column %u in a line of %zu bytes\n", what, col, line.size());
    std::abort();
}

void check_line(const std::string& line, column_scan& scan)
{
    const int columns = stream_reference::count_columns(line);
    if (count_columns(line) != columns)
        report(line, 0, "column count");
    const auto last = static_cast<std::uint32_t>(columns) + 3;
    scan.scan(line, last);
    for (std::uint32_t col = 1; col <= last; ++col) {
        const auto expected = stream_reference::value_at_col(line, col);
        if (scan.reached(col) != expected.reached)
            report(line, col, "column reached");
        const double got = expected.reached ? scan.value(col) : scan.last();
        if (std::bit_cast<std::uint64_t>(got) != std::bit_cast<std::uint64_t>(expected.value))
            report(line, col, "value");
        if (!expected.reached && scan.attempts() != expected.attempts)
            report(line, col, "attempts");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // Long inputs add nothing the line splitting does not already cover, and slow the stream reference down.
    if (size > 1 << 16)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    column_scan scan;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        check_line(std::string(text.substr(start, stop - start)), scan);
        start = stop + 1;
    }
    return 0;
}
