// Following a growing file end to end: the built program saves its picture again as a writer appends rows, follows
// a rotated file, keeps --last rows, ends at a stream's end or by SIGTERM with its picture whole, and sleeps while
// nothing comes (the options it refuses are case files, run/follow_*). Every wait polls for what the program wrote
// and has a limit that only ends a hang.
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

using namespace std::chrono_literals;
using test_support::eventually;
using test_support::TempDir;

constexpr auto limit = 60s;

// What a saved picture's comment tells of the rows: read and shown.
struct row_counts {
    long read = -1, shown = -1;
    bool operator==(const row_counts&) const = default;
};

std::ostream& operator<<(std::ostream& os, const row_counts& c)
{
    return os << c.read << " read, " << c.shown << " shown";
}

// A writer process of the test's own: appends a row to path every pause until it is stopped.
class writer_process
{
public:
    writer_process(const std::filesystem::path& path, int first_x, std::chrono::milliseconds pause, int rows)
    {
        pid_ = fork();
        if (pid_ != 0)
            return;
        for (int i = 0; i < rows; ++i) {
            const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
            const std::string row = std::to_string(first_x + i) + " " + std::to_string((first_x + i) % 7) + " 1\n";
            const bool written = fd >= 0 && write(fd, row.data(), row.size()) == static_cast<ssize_t>(row.size());
            if (fd >= 0)
                close(fd);
            if (!written)
                _exit(1);
            std::this_thread::sleep_for(pause);
        }
        _exit(0);
    }
    ~writer_process() { stop(); }
    writer_process(const writer_process&) = delete;
    writer_process& operator=(const writer_process&) = delete;
    // Waits for it to write every row; true when it did.
    bool finish()
    {
        int status = 0;
        const bool done =
            pid_ > 0 && waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        pid_ = -1;
        return done;
    }
    void stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

class FollowRun : public testing::Test
{
protected:
    void TearDown() override
    {
        if (pid_ > 0)
            test_support::finish_tremwil(pid_, dir_.path(), 0ms);
    }

    void start(std::vector<std::string> args, const std::filesystem::path& input = "/dev/null")
    {
        args.insert(args.begin(), {"--in-memory", "--follow", "--every=0.1"});
        // A test started in the background may ignore SIGINT, and the program would inherit that.
        const auto old = std::signal(SIGINT, SIG_DFL);
        pid_ = test_support::start_tremwil(args, dir_.path(), {}, input);
        std::signal(SIGINT, old);
    }
    test_support::RunResult finish()
    {
        auto r = test_support::finish_tremwil(pid_, dir_.path(), limit);
        pid_ = -1;
        return r;
    }
    void append(const std::string& text) const { std::ofstream(dir_ / "a.dat", std::ios::app) << text; }

    // The counts in the comment of the whole picture at name; none while there is no whole picture.
    row_counts counts(const std::string& name = "a.png") const
    {
        const auto picture = test_support::read_png(dir_ / name);
        row_counts c;
        if (!picture || !picture->comment)
            return c;
        const std::string& comment = *picture->comment;
        const auto at = comment.find("(followed: ");
        if (at != std::string::npos)
            std::sscanf(comment.c_str() + at, "(followed: %ld rows read, %ld shown)", &c.read, &c.shown);
        return c;
    }
    // Waits until the picture tells these counts; true when it did within the limit.
    bool shows(row_counts wanted, const std::string& name = "a.png") const
    {
        return eventually([&] { return counts(name) == wanted; });
    }
    // The program's CPU time so far, in clock ticks.
    long cpu_ticks() const
    {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string line;
        std::getline(stat, line);
        // The fields after the command's name in brackets: state is field 3, utime 14, stime 15.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
        return f.size() > 12 ? std::stol(f[11]) + std::stol(f[12]) : -1;
    }
    // Sends sig and waits for the program to end; true when it ended by that signal.
    bool ended_by(int sig)
    {
        kill(pid_, sig);
        int status = 0;
        const bool ended = eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        pid_ = -1;
        return ended && WIFSIGNALED(status) && WTERMSIG(status) == sig;
    }
    // The hidden temporary files that saving leaves only when it is cut off.
    int temporary_files() const
    {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
            n += entry.path().filename().string().find(".tmp") != std::string::npos ? 1 : 0;
        return n;
    }

    TempDir dir_;
    pid_t pid_ = -1;
};

TEST_F(FollowRun, RowsAWriterAppendsReachThePicture)
{
    dir_.write("a.dat", "1 1 1\n2 3 2\n3 2 1\n");
    start({"a.dat"});
    ASSERT_TRUE(shows({3, 3}));
    const auto before = test_support::read_png(dir_ / "a.png");
    writer_process writer(dir_ / "a.dat", 4, 20ms, 20);
    ASSERT_TRUE(writer.finish());
    ASSERT_TRUE(shows({23, 23})) << counts();
    const auto after = test_support::read_png(dir_ / "a.png");
    ASSERT_TRUE(before && after);
    EXPECT_NE(before->pixels, after->pixels); // the new rows are drawn
    // A part of a line waits for its end.
    append("30 3");
    append(" 1\n");
    EXPECT_TRUE(shows({24, 24})) << counts();
    EXPECT_TRUE(ended_by(SIGINT));
    EXPECT_EQ(temporary_files(), 0);
}

TEST_F(FollowRun, ARotatedFileIsFollowedByItsName)
{
    dir_.write("a.dat", "1 1 1\n2 2 1\n");
    start({"a.dat"});
    ASSERT_TRUE(shows({2, 2}));
    // Rename and create.
    std::filesystem::rename(dir_ / "a.dat", dir_ / "a.dat.1");
    dir_.write("a.dat", "3 3 1\n");
    ASSERT_TRUE(shows({3, 3})) << counts();
    // Copy and truncate; the truncation is seen by the file being shorter than what was read of it.
    std::filesystem::copy_file(dir_ / "a.dat", dir_ / "a.dat.2");
    std::filesystem::resize_file(dir_ / "a.dat", 0);
    append("4 4\n");
    ASSERT_TRUE(shows({4, 4})) << counts();
    ASSERT_TRUE(ended_by(SIGTERM));
    const std::string err = test_support::read_file(dir_ / ".stderr");
    EXPECT_EQ(test_support::occurrences(err, "data file a.dat was replaced: reading it from its start\n"), 1) << err;
    EXPECT_EQ(test_support::occurrences(err, "data file a.dat was truncated: reading it from its start\n"), 1) << err;
}

TEST_F(FollowRun, LastKeepsTheNewestRows)
{
    dir_.write("a.dat", "1 1 1\n2 2 1\n3 3 1\n");
    start({"--last=5", "a.dat"});
    ASSERT_TRUE(shows({3, 3}));
    writer_process writer(dir_ / "a.dat", 4, 5ms, 40);
    ASSERT_TRUE(writer.finish());
    EXPECT_TRUE(shows({43, 5})) << counts();
    EXPECT_TRUE(ended_by(SIGTERM));
}

TEST_F(FollowRun, SigtermWhileSavingLeavesAWholePicture)
{
    dir_.write("a.dat", "1 1 1\n");
    start({"--every=0.01", "a.dat"});
    ASSERT_TRUE(shows({1, 1}));
    // Rows keep coming, so that the program is saving most of the time when the signal comes.
    writer_process writer(dir_ / "a.dat", 2, 1ms, 100000);
    ASSERT_TRUE(eventually([&] { return counts().read > 200; }));
    ASSERT_TRUE(ended_by(SIGTERM));
    writer.stop();
    EXPECT_GT(counts().read, 200); // the picture decodes whole
    EXPECT_EQ(temporary_files(), 0);
}

TEST_F(FollowRun, SleepsWhileNothingArrives)
{
    dir_.write("a.dat", "1 1 1\n2 2 1\n");
    start({"a.dat"});
    ASSERT_TRUE(shows({2, 2}));
    std::this_thread::sleep_for(300ms); // the first picture's finishing is done
    const long before = cpu_ticks();
    std::this_thread::sleep_for(2s);
    const long after = cpu_ticks();
    ASSERT_GE(before, 0);
    EXPECT_LT(static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)), 0.05);
    // It still wakes for a row.
    append("3 3 1\n");
    EXPECT_TRUE(shows({3, 3}));
}

TEST_F(FollowRun, StandardInputIsFollowedToItsEnd)
{
    const auto fifo = dir_ / "in.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    start({"-"}, fifo);
    const int writer = open(fifo.c_str(), O_WRONLY); // waits for the program to open its end
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "1 1 1\n2 2 1\n", 12), 12);
    ASSERT_TRUE(shows({2, 2}, "stdin.png")) << counts("stdin.png");
    ASSERT_EQ(write(writer, "3 3 1\n4 4", 9), 9); // the last line needs no line feed
    close(writer);
    const test_support::RunResult r = finish();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(counts("stdin.png"), (row_counts{4, 4}));
    EXPECT_EQ(test_support::occurrences(r.out, "saved stdin.png\n"), 1) << r.out;
}

} // namespace
