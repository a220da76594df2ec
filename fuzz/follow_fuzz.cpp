// Differential fuzzing of following a growing file: the input, written to a file a few bytes at a time with a look
// after each write, must give through the followed file's whole lines and the piece reader exactly the rows and
// error that reading the finished file whole gives. Its first line is also given to the --last parser, whose
// answer must lie in range. Any difference aborts.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "cli/value_parsers.h"
#include "data/data_reader.h"
#include "follow/followed_file.h"
#include "plot/run_state.h"
#include "unpack.h"

namespace
{

// Every value bit for bit, the block starts, the switches set and the error.
struct reading {
    std::vector<std::uint64_t> bits;
    int switches = 0;
    std::string error;
    bool operator==(const reading&) const = default;
};

void take_rows(const data& d, reading& out)
{
    for (const std::vector<double>* column : const_cast<data&>(d).columns()) {
        out.bits.push_back(column->size());
        for (const double v : *column)
            out.bits.push_back(std::bit_cast<std::uint64_t>(v));
    }
    out.bits.push_back(d.block_starts.size());
    out.bits.insert(out.bits.end(), d.block_starts.begin(), d.block_starts.end());
    out.switches = nox | noz << 1 | only2cols << 2;
}

// Settings as a run starts; every other input reads a comma-separated file.
void start_run(unsigned choice)
{
    reset_run_state();
    sort = 0; // the followed rows stay in the file's order until they are shown
    field_separator = choice % 2 == 0 ? 0 : ',';
}

reading read_whole(const std::string& path, unsigned choice)
{
    start_run(choice);
    data d;
    d.fname = path;
    reading out;
    try {
        readfile(d);
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    take_rows(d, out);
    return out;
}

reading read_growing(int fd, const std::string& path, std::string_view text, unsigned choice)
{
    start_run(choice);
    const std::size_t write_size = 1 + choice % 23;
    followed_file file(path, std::size_t{1} << 20, 1 + choice % 29);
    if (!file.open())
        std::abort();
    data d;
    d.fname = path;
    piece_reading state;
    reading out;
    try {
        for (std::size_t at = 0; at < text.size(); at += write_size) {
            const std::size_t n = std::min(write_size, text.size() - at);
            if (write(fd, text.data() + at, n) != static_cast<ssize_t>(n))
                std::abort();
            for (file_news news = file_news::lines; news == file_news::lines;) {
                std::string lines;
                news = file.look(lines);
                read_piece(d, lines, state);
            }
        }
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    take_rows(d, out);
    return out;
}

void check_last_parser(std::string_view text)
{
    const std::string first_line(text.substr(0, std::min(text.find('\n'), text.size())));
    if (first_line.find('\0') != std::string::npos)
        return;
    const std::optional<last_rows_choice> choice = parse_last_rows(first_line.c_str());
    if (!choice)
        return;
    const bool rows = choice->rows >= 1 && choice->rows <= read_limits{}.max_rows && choice->span == 0;
    const bool span = choice->rows == 0 && choice->span > 0 && std::isfinite(choice->span);
    if (!rows && !span)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size > 1 << 14)
        return 0;
    std::string text(reinterpret_cast<const char*>(bytes), size);
    check_last_parser(text);
    // Compressed data is refused while it is followed, and unpacked when read whole.
    if (packing_of({bytes, std::min(size, packing_magic_bytes)}) != packing::none)
        return 0;
    // A followed line waits for its end: the file is finished with one.
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    const unsigned choice = size == 0 ? 0 : bytes[0];
    // A file in memory: no disk is written, and its path reads it afresh.
    const int fd = memfd_create("follow_fuzz", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::ostringstream quiet_messages;
    std::streambuf* const old = std::cerr.rdbuf(quiet_messages.rdbuf());
    const reading growing = read_growing(fd, path, text, choice);
    const reading whole = read_whole(path, choice);
    std::cerr.rdbuf(old);
    close(fd);
    if (!(growing == whole)) {
        std::fprintf(stderr, "followed file differs from the whole: %zu against %zu values, errors \"%s\" and \"%s\"\n",
                     growing.bits.size(), whole.bits.size(), growing.error.c_str(), whole.error.c_str());
        std::abort();
    }
    return 0;
}
