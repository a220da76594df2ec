// The usage log: line format, quoting, failure to open, and parallel writers.
#include "logfile.h"

#include <gtest/gtest.h>
#include <test_support.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <set>
#include <sstream>
#include <string>
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

std::string arguments(const std::vector<std::string>& texts)
{
    return with_argv(texts, [](int argc, char** argv) { return tw::log_arguments(argc, argv); });
}

struct free_deleter {
    void operator()(char* p) const { std::free(p); }
};

TEST(QuoteString, EscapesBackslashesAndDoubleQuotes)
{
    std::unique_ptr<char, free_deleter> quoted(quote_string("say \"hi\" to C:\\dir\\"));
    ASSERT_NE(quoted, nullptr);
    EXPECT_STREQ(quoted.get(), "say \\\"hi\\\" to C:\\\\dir\\\\");
    std::unique_ptr<char, free_deleter> empty(quote_string(nullptr));
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty.get(), "");
}

TEST(LogArguments, QuotesOnlyArgumentsWithSpacesCommasOrAsterisks)
{
    EXPECT_EQ(arguments({"tremwil", "-g5", "a.dat"}), " tremwil -g5 a.dat");
    EXPECT_EQ(arguments({"--title=My plot"}), " --title=\"My plot\"") << "long option: only the value is quoted";
    EXPECT_EQ(arguments({"a,b"}), " \"a,b\"");
    EXPECT_EQ(arguments({"*.dat"}), " \"*.dat\"");
    EXPECT_EQ(arguments({"-t=a b"}), " \"-t=a b\"") << "one dash: the whole argument is quoted";
    EXPECT_EQ(arguments({"--text=1,2,x=3"}), " --text=\"1,2,x=3\"") << "split at the first =";
    EXPECT_EQ(arguments({"--no value"}), " \"--no value\"");
    EXPECT_EQ(arguments({"--t=say \"hi\" \\o/"}), " --t=\"say \\\"hi\\\" \\\\o/\"");
    EXPECT_EQ(arguments({"plain\"quote", "back\\slash"}), " plain\"quote back\\slash") << "no quoting, so no escaping";
    EXPECT_EQ(arguments({"", "x"}), "  x");
}

TEST(LogArguments, WithoutMemoryForTheQuotedCopyTheArgumentIsLoggedUnquoted)
{
    auto no_memory = [](const char*) -> char* { return nullptr; };
    const std::string line = with_argv({"p", "--title=say \"hi\"", "a,b"},
                                       [&](int argc, char** argv) { return tw::log_arguments(argc, argv, no_memory); });
    EXPECT_EQ(line, " p --title=\"say \"hi\"\" \"a,b\"");
}

// The seconds since the epoch that a log line's time text stands for, in the "C" locale's date and time forms.
std::time_t parse_time_text(const std::string& text)
{
    std::tm local{};
    const char* end = strptime(text.c_str(), "%x %X", &local);
    if (end == nullptr || *end != '\0')
        return -1;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

TEST(Flogfile, AppendsOneLineWithTheTimeAndTheArguments)
{
    test_support::TempDir dir;
    const std::string log = (dir / "logfile").string();
    dir.write("logfile", "earlier line\n");
    const std::time_t before = std::time(nullptr);
    with_argv({"tremwil", "-g5", "--title=My plot", "a.dat"}, [&](int argc, char** argv) {
        flogfile(log.c_str(), argc, argv);
        return 0;
    });
    const std::time_t after = std::time(nullptr);

    const std::string text = read_file(log);
    const std::string head = "earlier line\n";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << "appends, never truncates";
    const std::string line = text.substr(head.size());
    const std::string tail = " tremwil -g5 --title=\"My plot\" a.dat\n";
    ASSERT_GT(line.size(), tail.size());
    ASSERT_EQ(line.substr(line.size() - tail.size()), tail);
    const std::time_t logged = parse_time_text(line.substr(0, line.size() - tail.size()));
    EXPECT_GE(logged, before - 1) << line;
    EXPECT_LE(logged, after + 1) << line;
}

TEST(Flogfile, AFileThatCannotBeOpenedGivesNoEntryAndReturns)
{
    test_support::TempDir dir;
    const std::string log = (dir / "missing-folder" / "logfile").string();
    testing::internal::CaptureStderr();
    with_argv({"tremwil", "a.dat"}, [&](int argc, char** argv) {
        flogfile(log.c_str(), argc, argv);
        return 0;
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No logfile entry\n");
    EXPECT_FALSE(std::filesystem::exists(log));
}

TEST(Flogfile, ParallelWritersLeaveOneWholeLineEach)
{
    // Long lines make a non-atomic append interleave visibly.
    constexpr int writers = 50;
    test_support::TempDir dir;
    const std::string log = (dir / "logfile").string();
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::vector<std::string> args{"writer" + std::to_string(w)};
            for (int i = 0; i < 40; ++i)
                args.push_back(std::string(100, static_cast<char>('a' + w % 26)) + "," + std::to_string(w));
            with_argv(args, [&](int argc, char** argv) {
                flogfile(log.c_str(), argc, argv);
                return 0;
            });
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::istringstream lines(read_file(log));
    std::set<int> seen;
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find(" writer");
        ASSERT_NE(start, std::string::npos) << line.substr(0, 80);
        const int w = std::stoi(line.substr(start + 7));
        std::string expected = " writer" + std::to_string(w);
        for (int i = 0; i < 40; ++i)
            expected += " \"" + std::string(100, static_cast<char>('a' + w % 26)) + "," + std::to_string(w) + "\"";
        EXPECT_EQ(line.substr(start), expected) << "line of writer " << w << " was broken";
        EXPECT_TRUE(seen.insert(w).second) << "writer " << w << " logged twice";
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(writers));
}

} // namespace
