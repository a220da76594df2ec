// The built program with response files, wildcards and the usage log: what reaches the log, and the failures.
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

TEST(SupportEndToEnd, ResponseFilesAndWildcardsAreExpandedBeforeTheOptionsAreLogged)
{
    TempDir dir;
    // Empty data files: the run logs, then stops at reading the first one.
    dir.write("a1.dat", "");
    dir.write("A2.DAT", "");
    dir.write("args.rsp", "--title=My plot\r\n# comment\r\n-y\r\n2\r\n*.none\r\n");
    const auto result = run_tremwil({"a?.dat", "@args.rsp", "-g5", "--xlabel=say \"x\""}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("A2.DAT"), std::string::npos) << "the first file in byte order is read first";
    // Options move before the data files; a wildcard from the response file is not expanded.
    const std::string log = read_file(dir / "logfile");
    EXPECT_TRUE(log.find('\n') == log.size() - 1 &&
                log.ends_with(std::string(" ") + TREMWIL_BIN +
                              " --title=\"My plot\" -y 2 -g5 --xlabel=\"say \\\"x\\\"\" A2.DAT a1.dat \"*.none\"\n"))
        << log;
}

TEST(SupportEndToEnd, ASelfNamingResponseFileEndsTheRunBeforeLogging)
{
    TempDir dir;
    dir.write("loop.rsp", "-x\n1\n@loop.rsp\n");
    const auto result = run_tremwil({"@loop.rsp", "a.dat"}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("Error: ") && result.err.find("\"loop.rsp\"") != std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "logfile"));
}

TEST(SupportEndToEnd, AnUnopenableLogGivesNoEntryAndTheRunGoesOn)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "logfile");
    dir.write("empty.dat", "");
    const auto result = run_tremwil({"empty.dat"}, dir.path());
    const size_t no_entry = result.err.find("No logfile entry\n");
    ASSERT_NE(no_entry, std::string::npos) << result.err;
    EXPECT_NE(result.err.find("empty.dat", no_entry), std::string::npos) << "the reader still runs: " << result.err;
}

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
