// The usage log's time in the locale of the environment (the other runs with response files, wildcards and the log
// are case files under tests/cases/lib).
#include <gtest/gtest.h>
#include <test_support.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace
{

using test_support::read_file;
using test_support::run_tremwil;
using test_support::TempDir;

TEST(SupportEndToEnd, TheLogTimeFollowsTheTimeLocaleOfTheEnvironment)
{
    TempDir dir;
    const std::string compile = "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(compile.c_str()) != 0)
        GTEST_SKIP() << "cannot build a German locale here (localedef and its sources are missing)";
    dir.write("empty.dat", "");
    auto german_date = [](std::time_t when) {
        std::tm local{};
        localtime_r(&when, &local);
        char text[32];
        std::strftime(text, sizeof text, "%d.%m.%Y", &local);
        return std::string(text);
    };
    const std::time_t before = std::time(nullptr);
    run_tremwil({"empty.dat"}, dir.path(),
                {{"LOCPATH", dir.path().string()}, {"LC_ALL", ""}, {"LC_TIME", "de_DE.UTF-8"}});
    const std::time_t after = std::time(nullptr);
    const std::string line = read_file(dir / "logfile");
    // "%x %X" in this locale: day.month.year and a 24-hour time.
    ASSERT_GE(line.size(), 20u) << line;
    const std::string date = line.substr(0, 10);
    EXPECT_TRUE(date == german_date(before) || date == german_date(after)) << line;
    EXPECT_TRUE(line[10] == ' ' && line[13] == ':' && line[16] == ':' && line[19] == ' ') << line;
}

} // namespace
