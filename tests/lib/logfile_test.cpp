// The usage log: its time in the locale of a run, quoting, what it writes to, and parallel writers (appending and
// the line in the "C" locale: the case lib/log_appends).
#include "log/logfile.h"

#include <gtest/gtest.h>
#include <in_child.h>
#include <test_support.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

using test_support::read_file;

// Calls fn with a null-terminated char* vector over the texts.
template <typename Fn> auto with_argv(std::vector<std::string> texts, Fn fn)
{
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    return fn(static_cast<int>(texts.size()), argv.data());
}

std::string arguments(const std::vector<std::string>& texts, tw::quote_function quote = quote_string)
{
    return with_argv(texts, [&](int argc, char** argv) { return tw::log_arguments(argc, argv, quote); });
}

void log_to(const std::string& log, const std::vector<std::string>& texts)
{
    with_argv(texts, [&](int argc, char** argv) {
        flogfile(log.c_str(), argc, argv);
        return 0;
    });
}

// The ordinary quoting shows in the log of a run (the case file lib/log_quoting); here, what a command line
// cannot bring.
TEST(LogArguments, ControlCharactersAreEscapedAndAFailedCopyKeepsTheArgument)
{
    // A control character could forge a line or drive the terminal: it is quoted and escaped.
    EXPECT_EQ(arguments({"a\nNov 1 12:00:00 tremwil -g5 b.dat", "t\tab\r", "--title=\x1b[2J\x7f\x01"}),
              " \"a\\nNov 1 12:00:00 tremwil -g5 b.dat\" \"t\\tab\\r\" --title=\"\\x1b[2J\\x7f\\x01\"");
    // Without memory for the quoted copy the argument goes in unquoted rather than being lost.
    EXPECT_EQ(arguments({"p", "--title=say \"hi\"", "a,b"}, [](const char*) -> char* { return nullptr; }),
              " p --title=\"say \"hi\"\" \"a,b\"");
    char* empty = quote_string(nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
    std::free(empty);
}

TEST(Flogfile, WritesOnlyARegularFileAndNeverATornLine)
{
    test_support::TempDir dir;
    // A link, a pipe without reader, a pipe with one and a device: no entry, nothing written, no wait.
    const std::string other = dir.write("other.txt", "not a log\n").string();
    std::filesystem::create_symlink(other, dir / "link");
    ASSERT_EQ(mkfifo((dir / "lonely").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "read").c_str(), 0600), 0);
    const int reader = open((dir / "read").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::vector<const char*> names{"link", "lonely", "read"};
    // A device as well, where this user may make one (the null device: it would swallow the line).
    if (mknod((dir / "device").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        names.push_back("device");
    for (const char* name : names) {
        const std::string log = (dir / name).string();
        SCOPED_TRACE(name);
        test_support::in_child([&] {
            alarm(5); // a log that blocks fails the test instead of holding it
            testing::internal::CaptureStderr();
            log_to(log, {"tremwil", "a.dat"});
            return testing::internal::GetCapturedStderr() == "No logfile entry\n";
        });
    }
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0) << "nothing reaches a pipe";
    close(reader);
    EXPECT_EQ(read_file(other), "not a log\n");

    // The disk fills up in the middle of the line: the line is taken back whole.
    const std::string log = dir.write("logfile", "earlier line\n").string();
    test_support::in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{20, 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        log_to(log, {"tremwil", std::string(200, 'x')});
        return true;
    });
    EXPECT_EQ(read_file(log), "earlier line\n");
}

TEST(Flogfile, ParallelWritersLeaveOneWholeLineEach)
{
    // Long lines make a non-atomic append interleave visibly.
    constexpr int writers = 50;
    test_support::TempDir dir;
    const std::string log = (dir / "logfile").string();
    auto argument = [](int w) { return std::string(100, static_cast<char>('a' + w % 26)) + "," + std::to_string(w); };
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            log_to(log, std::vector<std::string>(40, argument(w)));
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // The lines' arguments (what follows the time) are the writers' own, each whole and once.
    std::multiset<std::string> logged, written;
    std::istringstream lines(read_file(log));
    for (std::string line; std::getline(lines, line);)
        logged.insert(line.substr(std::min(line.find(" \""), line.size())));
    for (int w = 0; w < writers; ++w) {
        std::string arguments;
        for (int i = 0; i < 40; ++i)
            arguments += " \"" + argument(w) + "\"";
        written.insert(arguments);
    }
    EXPECT_TRUE(logged == written) << "lines were broken, lost or written twice:\n" << read_file(log).substr(0, 2000);
}

} // namespace
