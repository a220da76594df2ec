// Reading through the built program, where a case file cannot say it: a file that shrinks while it is read,
// endless or huge inputs, and standard input (the passes, "@N" references and compressed files are case files
// under tests/cases/reader).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

// Every run draws in memory, so no window system is needed.
using test_support::contains;
using test_support::finish_tremwil;
using test_support::read_file;
using test_support::run_shell;
using test_support::run_tremwil;
using test_support::start_tremwil;
using test_support::TempDir;
using namespace std::chrono_literals;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool address_sanitizer = true;
#elif defined(__has_feature)
constexpr bool address_sanitizer = __has_feature(address_sanitizer);
#else
constexpr bool address_sanitizer = false;
#endif

// True while program pid is inside reading file: the file is mapped, or open with the read position inside it.
bool reading_now(pid_t pid, const std::filesystem::path& file)
{
    const std::string proc = "/proc/" + std::to_string(pid);
    if (contains(read_file(proc + "/maps"), file.string()))
        return true;
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(proc + "/fd", failed)) {
        std::error_code ignored;
        if (std::filesystem::read_symlink(entry.path(), ignored) != file)
            continue;
        const std::string info = read_file(proc + "/fdinfo/" + entry.path().filename().string());
        const auto pos = std::stoull(info.substr(info.find(':') + 1));
        return pos > 0 && pos < std::filesystem::file_size(file);
    }
    return false;
}

// Log rotation by copy and truncate while the program reads the file: an error naming the file, never a fault.
TEST(ReaderPasses, FileTruncatedWhileItIsReadEndsWithAnError)
{
    TempDir dir;
    {
        std::ofstream out(dir / "big.dat", std::ios::binary);
        const std::string rows = [] {
            std::string text;
            for (int i = 0; i < 100000; ++i)
                text += "1 2 3\n";
            return text;
        }();
        for (int i = 0; i < 70; ++i)
            out << rows; // 42 MB
    }
    const pid_t pid = start_tremwil({"--in-memory", "big.dat"}, dir.path());
    const auto give_up = std::chrono::steady_clock::now() + 60s;
    bool caught = false;
    while (!caught && test_support::still_running(pid) && std::chrono::steady_clock::now() < give_up)
        caught = reading_now(pid, dir / "big.dat");
    if (caught)
        std::filesystem::resize_file(dir / "big.dat", 0);
    const auto run = finish_tremwil(pid, dir.path(), 60s);
    ASSERT_TRUE(caught) << "the reading was not seen in progress: " << run.err;
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "\nError: data file big.dat shrank while it was read (42000000 bytes when opened"))
        << run.err;
}

// Endless and huge inputs end in bounded time and memory with an error that names them.
TEST(ReaderPasses, EndlessOrHugeInputsEndWithAnErrorNamingThem)
{
    // 100 million blank lines and two rows: no room made per line feed, no copy of the file kept (/dev/zero: a
    // case file).
    TempDir dir;
    {
        std::ofstream out(dir / "blank.dat", std::ios::binary);
        const std::string blank(1'000'000, '\n');
        for (int i = 0; i < 100; ++i)
            out << blank;
        out << "1 2 3\n4 5 6\n";
    }
    auto run = finish_tremwil(start_tremwil({"--in-memory", "blank.dat"}, dir.path()), dir.path(), 120s);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.peak_kb, 64 * 1024) << "a 100 MB file of blank lines";

    // The sanitizers' shadow memory needs more address space than a limit on it leaves, and fifty million rows
    // through them take minutes: the reader's tests hold the row limit at small bounds in every build.
    if (address_sanitizer)
        return;
    run = run_shell(dir, "yes '1 2 3' | timeout -s KILL 240 TW --in-memory /dev/stdin");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with(
        "\nError: data file /dev/stdin has more than 50000000 rows, the most one data file may hold\n"))
        << run.err;

    // Memory that runs out while reading: one message, no abort.
    {
        std::ofstream out(dir / "rows.dat", std::ios::binary);
        for (int i = 0; i < 3'000'000; ++i)
            out << "1 2 3\n";
    }
    run = run_shell(dir, "ulimit -v 100000 && exec TW --in-memory rows.dat");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "\nError: out of memory while reading data file rows.dat (")) << run.err;
}

// Compressed files and standard input from a file: the case files under tests/cases/reader. Standard input,
// compressed, through a pipe gives their picture as stdin.png; standard input that the shell has already partly read
// is read from where it stands: the line read before the program started (a point far off) is not in the picture.
TEST(ReaderPasses, StandardInputThroughAPipeAndPartlyReadGivesThePlainFilesPicture)
{
    TempDir dir;
    const std::string packed = std::string(TEST_DATA_DIR) + "/reader/packed/";
    std::filesystem::copy_file(packed + "rows.dat", dir / "rows.dat");
    std::filesystem::copy_file(packed + "rows_two_frames.zst", dir / "rows_two_frames.zst");
    dir.write("far_first.dat", "500 500 9\n" + read_file(dir / "rows.dat"));
    ASSERT_EQ(run_tremwil({"--in-memory", "--nopath", "-o", "plain.png", "rows.dat"}, dir.path()).status, 0);
    const auto plain = test_support::read_png(dir / "plain.png");
    ASSERT_TRUE(plain);
    for (const auto& [command, picture] :
         {std::pair{"cat rows_two_frames.zst | TW --in-memory --nopath -", "stdin.png"},
          {"{ read -r first; TW --in-memory --nopath -o rest.png -; } <far_first.dat", "rest.png"}}) {
        const auto run = run_shell(dir, command);
        EXPECT_EQ(run.status, 0) << command << ": " << run.err;
        const auto got = test_support::read_png(dir / picture);
        ASSERT_TRUE(got) << command;
        EXPECT_EQ(got->pixels, plain->pixels) << command;
    }
}

} // namespace
