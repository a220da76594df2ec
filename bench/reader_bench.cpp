// Data reader benchmark: generates a file of 1M rows "x y z" and prints, in one run, the time of readfile +
// FindMinMax with sorting off and on, the same rows as a CSV file (header and commas) against the plain one, the index
// sort alone, a naive string-stream reader and a from_chars floor, and the peak memory of the reader against the
// vectors it fills plus the file; then readfile of the same rows gzip- and zstd-compressed against unpacking them
// alone.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "../tests/support/packed.h"
#include "core/settings.h"
#include "data/byte_source.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "data/line_pieces.h"
#include "unpack.h"

namespace
{

constexpr int row_count = 1000000;
constexpr int repetitions = 5;

// Rows like "123456 42.125 -3.75" (or with commas and a header line for CSV): about 21 bytes each. Written
// piecewise so the parent holds no copy.
void write_sample(const std::string& path, char separator = ' ')
{
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> y(0, 100);
    std::uniform_real_distribution<double> z(-10, 10);
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    if (separator != ' ')
        std::fprintf(out, "x%cy%cz\n", separator, separator);
    for (int i = 0; i < row_count; ++i)
        std::fprintf(out, "%d%c%.3f%c%.2f\n", i, separator, y(rng), separator, z(rng));
    std::fclose(out);
}

// CPU time of the process (user and system, page faults included, the reader's parsing threads too): on a
// machine shared with other work it varies far less than the wall clock.
double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Best wall-clock time of work: what parsing on several threads gains.
double wall_seconds_of(const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

double seconds_of(const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        const double start = cpu_seconds();
        work();
        best = std::min(best, cpu_seconds() - start);
    }
    return best;
}

void read_into_data_set(const std::string& path, int sorting, const read_limits& limits = {})
{
    sort = sorting;
    data d;
    d.fname = path;
    readfile(d, limits);
    d.FindMinMax();
    if (d.x.size() != row_count)
        std::abort();
}

void read_naively(const std::string& path)
{
    std::vector<double> x, y, z;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        double a = 0, b = 0, c = 0;
        fields >> a >> b >> c;
        x.push_back(a);
        y.push_back(b);
        z.push_back(c);
    }
    if (x.size() != row_count)
        std::abort();
}

// Every number of the file through from_chars into a sum: the least any reader of this file must do. The file
// is read whole through the same byte source as the reader's, in blocks as large.
void parse_floor(const std::string& path)
{
    const auto source = open_file_source(path);
    std::string text(source->size_hint(), '\0');
    std::size_t used = 0;
    while (used < text.size())
        used += source->next_block({text.data() + used, std::min<std::size_t>(text.size() - used, 1 << 20)});
    const char* p = text.data();
    const char* const end = p + text.size();
    double sum = 0;
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\n'))
            ++p;
        double v = 0;
        p = std::from_chars(p, end, v).ptr;
        sum += v;
    }
    if (sum == 0)
        std::abort();
}

// A compressed copy of the file at path, beside it.
std::string write_packed(const std::string& path, bool zstd)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string packed_path = path + (zstd ? ".zst" : ".gz");
    std::ofstream(packed_path, std::ios::binary) << test_support::packed(text, zstd);
    return packed_path;
}

// Unpacking alone, from memory into a reused buffer as large as the reader's: what reading a compressed file
// cannot go below.
void unpack_only(const std::vector<std::uint8_t>& packed_bytes, std::size_t plain_size)
{
    unpacker unpacking(packing_of(packed_bytes));
    std::vector<std::uint8_t> room(1 << 20);
    std::span<const std::uint8_t> input(packed_bytes);
    std::size_t made = 0;
    for (;;) {
        const unpack_step step = unpacking.step(input, room);
        input = input.subspan(step.used);
        made += step.made;
        if (step.used == 0 && step.made == 0)
            break;
    }
    if (made != plain_size)
        std::abort();
}

// readfile of each compressed copy against unpacking it alone, sorting off.
void compare_packed(const std::string& path, double plain_seconds)
{
    const auto plain_size = static_cast<std::size_t>(std::filesystem::file_size(path));
    for (const bool zstd : {false, true}) {
        const std::string packed_path = write_packed(path, zstd);
        std::ifstream in(packed_path, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const double read = seconds_of([&] { read_into_data_set(packed_path, 0); });
        const double unpack = seconds_of([&] { unpack_only(bytes, plain_size); });
        std::printf("%s (%.1f MB): readfile+FindMinMax %8.1f ms, unpacking alone %6.1f ms, plain readfile %6.1f ms; "
                    "readfile - plain = %.2fx unpacking\n",
                    zstd ? "zstd" : "gzip", static_cast<double>(bytes.size()) / 1e6, read * 1e3, unpack * 1e3,
                    plain_seconds * 1e3, (read - plain_seconds) / unpack);
        std::filesystem::remove(packed_path);
    }
}

// data::sort alone (index sort and permutations), and the index sort by itself, on fresh unsorted copies so
// that no copying is timed.
std::pair<double, double> sort_seconds(const std::string& path)
{
    sort = 0;
    data unsorted;
    unsorted.fname = path;
    readfile(unsorted);
    std::vector<data> copies(repetitions, unsorted);
    std::size_t next = 0;
    const double whole = seconds_of([&] { copies[next++].sort(); });
    const std::vector<double>& z = unsorted.z;
    std::vector<std::vector<std::size_t>> indexes(repetitions, std::vector<std::size_t>(z.size()));
    next = 0;
    const double index_only = seconds_of([&] {
        std::vector<std::size_t>& index = indexes[next++];
        for (std::size_t i = 0; i < index.size(); ++i)
            index[i] = i;
        std::sort(index.begin(), index.end(), [&z](std::size_t a, std::size_t b) { return z[a] < z[b]; });
    });
    return {whole, index_only};
}

// Peak resident memory of work, run in a child so that each figure stands alone (kilobytes).
long peak_kb(const std::function<void()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main()
{
    const std::string path = (std::filesystem::temp_directory_path() / "tremwil_reader_bench.dat").string();
    write_sample(path);
    const double file_mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    const double vectors_mb = 3.0 * sizeof(double) * row_count / 1e6;

    // Memory first, while this process holds no freed heap memory that a child could reuse unseen.
    const long base = peak_kb([] {});
    const long peak_off = peak_kb([&] { read_into_data_set(path, 0); }) - base;
    const long peak_on = peak_kb([&] { read_into_data_set(path, 1); }) - base;
    const double limit_mb = 1.5 * (vectors_mb + file_mb);
    const double off = seconds_of([&] { read_into_data_set(path, 0); });
    const double on = seconds_of([&] { read_into_data_set(path, 1); });
    const auto [whole_sort, index_sort] = sort_seconds(path);
    const double naive = seconds_of([&] { read_naively(path); });
    const double wall_one = wall_seconds_of([&] { read_into_data_set(path, 0, {.threads = 1}); });
    const double wall_all = wall_seconds_of([&] { read_into_data_set(path, 0); });
    const double floor = seconds_of([&] { parse_floor(path); });
    const std::string csv_path = (std::filesystem::temp_directory_path() / "tremwil_reader_bench.csv").string();
    write_sample(csv_path, ',');
    // Alternately, so that a change of load from other work hits both files alike; the plain file on one thread,
    // as the delimited reader parses.
    double csv = 1e300, plain_one = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        plain_one = std::min(plain_one, seconds_of([&] { read_into_data_set(path, 0, {.threads = 1}); }));
        csv = std::min(csv, seconds_of([&] { read_into_data_set(csv_path, 0); }));
    }
    std::filesystem::remove(csv_path);

    std::printf("file: %d rows, %.1f MB; CPU time, best of %d runs\n", row_count, file_mb, repetitions);
    std::printf("readfile+FindMinMax, sort off : %8.1f ms  (%.2fx floor, %.1fx faster than naive)\n", off * 1e3,
                off / floor, naive / off);
    std::printf("readfile+FindMinMax, sort on  : %8.1f ms  (sorting adds %.1f ms)\n", on * 1e3, (on - off) * 1e3);
    std::printf("data::sort alone              : %8.1f ms  (index sort %.1f ms + permutations)\n", whole_sort * 1e3,
                index_sort * 1e3);
    std::printf("same rows as CSV, sort off    : %8.1f ms  (%.2fx the plain file on one thread, %.1f ms)\n", csv * 1e3,
                csv / plain_one, plain_one * 1e3);
    std::printf("naive stream reader           : %8.1f ms\n", naive * 1e3);
    std::printf("wall time, sort off: one thread %.1f ms, %u threads %.1f ms (%.2fx)\n", wall_one * 1e3,
                parse_threads(0), wall_all * 1e3, wall_one / wall_all);
    std::printf("floor (from_chars every number): %7.1f ms\n", floor * 1e3);

    std::printf("peak memory above start, sort off: %.1f MB, sort on: %.1f MB (vectors %.1f MB + file %.1f MB; "
                "limit 1.5x = %.1f MB)\n",
                peak_off / 1e3, peak_on / 1e3, vectors_mb, file_mb, limit_mb);
    compare_packed(path, off);
    std::filesystem::remove(path);
    return 0;
}
