// The program among streams and descriptors as a shell leaves them: closed standard descriptors, standard input
// from a file or a pipe (no picture replaces a file behind it: the cases run/never_replace_stdin_*), pipes and
// FIFOs named as data files, signals and file size limits during a save.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

namespace fs = std::filesystem;
using test_support::contains;
using test_support::names_in;
using test_support::read_file;
using test_support::run_shell;
using test_support::TempDir;

// The last chunk of a whole PNG: nothing may follow it.
bool ends_with_iend(const std::string& bytes)
{
    static const std::string iend("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    return bytes.size() >= iend.size() && bytes.compare(bytes.size() - iend.size(), iend.size(), iend) == 0;
}

// A closed standard output or error must not become the picture being written: the messages of the next file
// would end up after the end of the PNG.
TEST(Streams, ClosedStandardDescriptorsNeverTakeAPicture)
{
    TempDir dir;
    dir.write("a.dat", "0 0 1\n10 10 1\n");
    dir.write("one.dat", "5\n7\n"); // its one-column warning comes while a.png is finished
    for (const char* closed : {"2>&-", ">&- 2>&-", "<&- >&- 2>&-"}) {
        const auto run = run_shell(dir, std::string("TW --in-memory --nopath a.dat one.dat ") + closed);
        EXPECT_EQ(run.status, 0) << closed;
        const std::string png = read_file(dir / "a.png");
        EXPECT_TRUE(ends_with_iend(png)) << closed << ": " << png.size() << " bytes";
        EXPECT_TRUE(test_support::read_png(dir / "a.png").has_value()) << closed;
        fs::remove(dir / "a.png");
    }
}

// Past the file size limit: the picture cannot be saved (status 1, its name given, no temporary file left), and the
// log entry that does not fit is left out without ending the run.
TEST(Streams, FileSizeLimitFailsTheSaveWithoutEndingTheRun)
{
    TempDir dir;
    dir.write("a.dat", "0 0 1\n10 10 1\n");
    dir.write("logfile", std::string(3000, '#') + "\n");
    const auto run = run_shell(dir, "ulimit -f 2 && TW --in-memory --nopath a.dat");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "No logfile entry\n")) << run.err;
    EXPECT_TRUE(contains(run.err, "Error: can't save a.png\n")) << run.err;
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"a.dat", "logfile", "run.err", "run.out"}));
    EXPECT_EQ(fs::file_size(dir / "logfile"), 3001U);
}

// A pipe, a FIFO or process substitution named as a data file is read once and kept for the run like standard
// input: a data set that reads it in every pass gets its rows each time, never an empty data set, never a wait for
// a writer that is gone.
TEST(Streams, PipesNamedAsDataFilesAreKeptForTheRun)
{
    TempDir dir;
    dir.write("a.dat", "0 0 1\n10 10 1\n");
    dir.write("b.dat", "0 0 1\n10 10 1\n");
    ASSERT_EQ(mkfifo((dir / "ref.fifo").c_str(), 0600), 0);
    // Each command reads the three rows of the pipe in two passes, and in a third as data set 0.
    const struct {
        const char* command;
        int readings;
    } runs[] = {
        {"printf '1 1 1\\n2 2 2\\n3 3 3\\n' >ref.fifo & timeout -s KILL 30 TW --in-memory --debug -1 ref.fifo a.dat "
         "b.dat",
         2},
        {"printf '1 1 1\\n2 2 2\\n3 3 3\\n' | timeout -s KILL 30 TW --in-memory --debug -1 /dev/stdin /dev/stdin", 2},
        {"printf '1 1 1\\n2 2 2\\n3 3 3\\n' | timeout -s KILL 30 TW --in-memory --debug -1 /dev/stdin - a.dat", 3},
        {"bash -c \"timeout -s KILL 30 TW --in-memory --debug -1 <(printf '1 1 1\\n2 2 2\\n3 3 3\\n') a.dat b.dat\"",
         2},
    };
    for (const auto& [command, readings] : runs) {
        const auto run = run_shell(dir, command);
        EXPECT_EQ(run.status, 0) << command << "\n" << run.err;
        EXPECT_EQ(test_support::occurrences(run.err, ") rows=3\n"), readings) << command << "\n" << run.err;
    }
}

// What is kept of standard input takes disk space, not memory: a long standard input is read at the memory a
// file of its size takes.
TEST(Streams, KeptStandardInputStaysOutOfMemory)
{
    TempDir dir;
    const auto run =
        run_shell(dir, "{ yes '' | head -c 200000000; echo '1 2 3'; echo '2 3 4'; } | TW --in-memory --quiet -");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.peak_kb, 64 * 1024) << "200 MB of standard input";
    EXPECT_TRUE(test_support::read_png(dir / "stdin.png").has_value());
}

} // namespace
