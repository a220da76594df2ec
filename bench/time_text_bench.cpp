// Time text benchmark: writes a CSV file of 10M rows whose time column holds ISO 8601 text
// ("2024-03-14T00:00:20.255Z,42.125,-3.75") and the same rows with epoch seconds ("1710374420.255,..."), reads each
// on a time axis with readfile + FindMinMax (sorting off), and prints the best processor time of each and their
// ratio; then the ISO rows without a zone read in Europe/Oslo. Usage: time_text_bench [rows] [repetitions].
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

#include "core/settings.h"
#include "data/data_reader.h"
#include "data/data_set.h"

namespace
{

enum class time_form { iso, epoch, zoneless };

// The rows: a time one to two seconds after the one before, with milliseconds; y and z as the reader bench has them.
void write_sample(const std::string& path, long rows, time_form form)
{
    std::mt19937_64 rng(1);
    std::uniform_int_distribution<long> step(1000, 2000);
    std::uniform_real_distribution<double> y(0, 100);
    std::uniform_real_distribution<double> z(-10, 10);
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fprintf(out, "time,level,size\n");
    long long ms = 1710374400000LL; // 2024-03-14 00:00 UTC
    for (long i = 0; i < rows; ++i) {
        ms += step(rng);
        const std::time_t s = ms / 1000;
        std::tm utc{};
        gmtime_r(&s, &utc);
        char when[96];
        if (form == time_form::epoch)
            std::snprintf(when, sizeof when, "%lld.%03lld", ms / 1000, ms % 1000);
        else
            std::snprintf(when, sizeof when, "%04d-%02d-%02dT%02d:%02d:%02d.%03lld%s", utc.tm_year + 1900,
                          utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ms % 1000,
                          form == time_form::iso ? "Z" : "");
        std::fprintf(out, "%s,%.3f,%.2f\n", when, y(rng), z(rng));
    }
    std::fclose(out);
}

double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void read_on_time_axis(const std::string& path, long rows, const char* zone)
{
    reset_settings();
    sort = 0;
    time_x_axes = 1;
    time_zone_name = zone;
    data d;
    d.fname = path;
    readfile(d);
    d.FindMinMax();
    if (static_cast<long>(d.x.size()) != rows)
        std::abort();
}

// Best processor time of each reading; the readings take turns, so that a change of load falls on all of them.
void measure(const std::string& iso, const std::string& epoch, const std::string& zoneless, long rows, int repetitions)
{
    double best_iso = 1e300, best_epoch = 1e300, best_zoneless = 1e300;
    const auto time_of = [](const std::function<void()>& work) {
        const double start = cpu_seconds();
        work();
        return cpu_seconds() - start;
    };
    for (int i = 0; i < repetitions; ++i) {
        best_epoch = std::min(best_epoch, time_of([&] { read_on_time_axis(epoch, rows, ""); }));
        best_iso = std::min(best_iso, time_of([&] { read_on_time_axis(iso, rows, ""); }));
        best_zoneless = std::min(best_zoneless, time_of([&] { read_on_time_axis(zoneless, rows, "Europe/Oslo"); }));
    }
    std::printf("%ld rows, best of %d, processor time\n", rows, repetitions);
    std::printf("  epoch seconds (1710374420.255)         %8.3f s\n", best_epoch);
    std::printf("  ISO text (2024-03-14T00:00:20.255Z)    %8.3f s   %.2f x epoch seconds\n", best_iso,
                best_iso / best_epoch);
    std::printf("  zone-less text in Europe/Oslo          %8.3f s   %.2f x epoch seconds\n", best_zoneless,
                best_zoneless / best_epoch);
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = argc > 1 ? std::atol(argv[1]) : 10000000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
    const auto dir = std::filesystem::temp_directory_path() / ("tremwil_time_bench_" + std::to_string(getpid()));
    std::filesystem::create_directory(dir);
    const std::string iso = dir / "iso.csv", epoch = dir / "epoch.csv", zoneless = dir / "zoneless.csv";
    write_sample(iso, rows, time_form::iso);
    write_sample(epoch, rows, time_form::epoch);
    write_sample(zoneless, rows, time_form::zoneless);
    std::printf("files: ISO %.0f MB, epoch %.0f MB\n", std::filesystem::file_size(iso) / 1e6,
                std::filesystem::file_size(epoch) / 1e6);
    measure(iso, epoch, zoneless, rows, repetitions);
    std::filesystem::remove_all(dir);
    return 0;
}
