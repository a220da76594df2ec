// Differential fuzzing of the data reader's number scanning: every line of the input must give the same
// column count and the same value (bit for bit) or the same failure for each column as literal
// classic-locale string-stream reads; and the input read as a data file in pieces on several threads (cut
// where its last byte says, with a colour column for every other input and rows split by a column's values for
// every third) must give what one thread gives. Any difference aborts.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "../tests/reader/stream_reference.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "data/number_scan.h"
#include "plot/run_state.h"

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

// What reading a data file gave: every column bit for bit, the block starts, the switches it set, its messages
// and error, and the groups' values.
struct reading {
    std::vector<std::uint64_t> bits;
    int switches;
    std::string messages, error;
    std::vector<std::string> groups;
    bool operator==(const reading&) const = default;
};

void add_column(reading& out, const std::vector<double>& column)
{
    out.bits.push_back(column.size());
    for (const double v : column)
        out.bits.push_back(std::bit_cast<std::uint64_t>(v));
}

reading read_as_data_file(const std::string& path, const read_limits& limits, std::uint32_t colour_column,
                          std::uint32_t by_column)
{
    reset_run_state();
    mydata[0].fname = path;
    mydata[0].cols.c = colour_column;
    mydata[0].cols.by = by_column;
    reading out{};
    std::ostringstream messages;
    std::streambuf* const old = std::cerr.rdbuf(messages.rdbuf());
    try {
        const column_switches after = readfile(mydata[0], limits).switches;
        out.switches = after.nox | after.noz << 1 | after.only2cols << 2;
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    std::cerr.rdbuf(old);
    out.messages = messages.str();
    // Split rows go to their groups a run of lines at a time, so after an error (which ends the run: nothing is
    // drawn) the rows read before it lie partly in the data set and partly in the groups, depending on the cuts.
    if (by_column != 0 && !out.error.empty())
        return out;
    for (const std::vector<double>* column : mydata[0].columns())
        add_column(out, *column);
    add_column(out, mydata[0].c);
    out.bits.push_back(mydata[0].block_starts.size());
    out.bits.insert(out.bits.end(), mydata[0].block_starts.begin(), mydata[0].block_starts.end());
    // More values than groups end the run: then only their count is the same whatever the cuts (a piece that met
    // more values than groups drops the rows of its later ones, which the file may know as one of its groups).
    out.bits.push_back(mydata[0].by.groups.distinct());
    if (mydata[0].by.groups.distinct() > by_groups::max_groups)
        return out;
    out.groups = mydata[0].by.groups.values;
    for (const group_rows& group : mydata[0].by.rows) {
        for (const std::vector<double>& column : group.columns)
            add_column(out, column);
        out.bits.push_back(group.block_starts.size());
        out.bits.insert(out.bits.end(), group.block_starts.begin(), group.block_starts.end());
    }
    return out;
}

void check_threads(std::string_view text)
{
    // One file per process, removed at its end.
    static const struct temp_file {
        std::string path = "/tmp/reader_fuzz_" + std::to_string(::getpid()) + ".dat";
        ~temp_file() { std::remove(path.c_str()); }
    } file;
    const std::string& path = file.path;
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    const unsigned cut = text.empty() ? 1 : static_cast<unsigned char>(text.back()) + 1u;
    // Every other input also reads a colour column, which takes the general row parser.
    const std::uint32_t colour = cut % 2 == 0 ? 0 : 1 + cut % 5;
    const std::uint32_t by = cut % 3 == 0 ? 1 + cut % 4 : 0;
    const reading one = read_as_data_file(path, {}, colour, by);
    const reading many = read_as_data_file(
        path, {.block_bytes = 1 + cut % 13, .threads = 2 + cut % 4, .parallel_bytes = 0, .cut_seed = cut}, colour, by);
    if (!(one == many)) {
        std::fprintf(stderr,
                     "reader difference with threads (cut %u)\none thread: %zu values, error \"%s\", messages:\n%s\n"
                     "threads: %zu values, error \"%s\", messages:\n%s\n",
                     cut, one.bits.size(), one.error.c_str(), one.messages.c_str(), many.bits.size(),
                     many.error.c_str(), many.messages.c_str());
        std::abort();
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
    check_threads(text);
    return 0;
}
