// Follow mode benchmark: a followed file of 1M rows "x y z" gains 1000 rows; prints, in one run, the CPU time of
// reading the new rows (follower::next) against reading the whole file again (readfile), and of putting the rows
// kept into data set 0 for a drawing (follower::show: the copy and the sort by z) for all rows and for --last=10000.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <time.h>

#include "core/settings.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "follow/follower.h"
#include "plot/run_state.h"

namespace
{

constexpr int row_count = 1000000;
constexpr int appended_rows = 1000;
constexpr int repetitions = 5;

std::mt19937_64 rng(1);

void write_rows(const std::string& path, const char* mode, int first, int count)
{
    std::uniform_real_distribution<double> y(0, 100);
    std::uniform_real_distribution<double> z(-10, 10);
    std::FILE* out = std::fopen(path.c_str(), mode);
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    for (int i = first; i < first + count; ++i)
        std::fprintf(out, "%d %.3f %.2f\n", i, y(rng), z(rng));
    std::fclose(out);
}

double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Best CPU time of work, with prepare (not timed) before each round.
double seconds_of(
    const std::function<void()>& work, const std::function<void()>& prepare = [] {})
{
    double best = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        const double start = cpu_seconds();
        work();
        best = std::min(best, cpu_seconds() - start);
    }
    return best;
}

// One appended piece read and shown by a follower keeping keep rows (0: all); the times of next and show.
struct update_times {
    double next = 0, show = 0;
};

update_times time_updates(const std::string& path, std::uint64_t keep, int& written)
{
    reset_run_state();
    mydata[0].fname = path;
    follower rows(mydata[0], switches_from_options(), keep_rule{keep, 0}, 500);
    if (rows.start() != follow_news::new_rows)
        std::exit(1);
    update_times t;
    t.next = seconds_of(
        [&] {
            if (rows.next(0) != follow_news::new_rows)
                std::exit(1);
        },
        [&] {
            write_rows(path, "a", written, appended_rows);
            written += appended_rows;
        });
    data shown;
    t.show = seconds_of([&] { rows.show(shown); });
    std::printf("  keeping %zu rows:\n", rows.rows());
    return t;
}

} // namespace

int main()
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("follow_bench_" + std::to_string(rng()));
    std::filesystem::create_directory(dir);
    const std::string path = (dir / "run.dat").string();
    write_rows(path, "w", 0, row_count);
    int written = row_count;

    reset_run_state();
    sort = 1;
    const double whole = seconds_of([&] {
        data d;
        d.fname = path;
        readfile(d);
    });
    std::printf("readfile of the whole file (%d rows, sorted): %.4f s\n", written, whole);

    const update_times all = time_updates(path, 0, written);
    std::printf("    next (read %d new rows): %.5f s = %.4f x readfile\n", appended_rows, all.next, all.next / whole);
    std::printf("    show (copy and sort):     %.5f s = %.4f x readfile\n", all.show, all.show / whole);
    const update_times last = time_updates(path, 10000, written);
    std::printf("    next (read %d new rows): %.5f s = %.4f x readfile\n", appended_rows, last.next, last.next / whole);
    std::printf("    show (copy and sort):     %.5f s = %.4f x readfile\n", last.show, last.show / whole);
    std::filesystem::remove_all(dir);
}
