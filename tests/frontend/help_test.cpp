// Usage text and version line: the texts line for line, with the settings in force when printed.
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <fstream>
#include <sstream>
#include <string>

#include "help.h"
#include "settings.h"

namespace
{

std::string read_expected(const std::string& name)
{
    std::ifstream in(std::string(TEST_DATA_DIR) + "/frontend/" + name);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

// The text between the version/notice head and the closing notice and contact lines.
std::string usage_body(const std::string& text)
{
    const std::string head = std::string(Version) + "\n" + Notice + "\n\n";
    const std::string tail = std::string(Notice) + "\n" + Contact + "\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_GE(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    return text.substr(head.size(), text.size() - head.size() - tail.size());
}

// Compares line by line so that a failure names the first differing line.
void expect_same_lines(const std::string& actual, const std::string& expected)
{
    std::istringstream a(actual), e(expected);
    std::string la, le;
    int line = 1;
    while (std::getline(e, le)) {
        ASSERT_TRUE(std::getline(a, la)) << "missing line " << line << ": " << le;
        ASSERT_EQ(la, le) << "line " << line;
        ++line;
    }
    EXPECT_FALSE(std::getline(a, la)) << "extra line " << line << ": " << la;
    EXPECT_EQ(actual, expected);
}

TEST(Help, VersionLineHasBuildDateTimeAndBuildNumber)
{
    // Build date as "Mmm dd yyyy" (day padded with a space), then hh:mm:ss.
    const char* form = "tremwil Version 2.75 [A-Z][a-z][a-z] [ 123][0-9] [0-9][0-9][0-9][0-9] "
                       "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] Build: 1*";
    EXPECT_EQ(fnmatch(form, Version, 0), 0) << Version;
    EXPECT_EQ(std::string(Version).find('\n'), std::string::npos);
}

TEST(Help, ShortTextWithStartValues)
{
    reset_settings();
    expect_same_lines(usage_body(usage_text("/usr/bin/tremwil")), read_expected("usage_short.txt"));
}

TEST(Help, FullTextListsEveryDataSet)
{
    reset_settings();
    fullhelp = 1;
    expect_same_lines(usage_body(usage_text("C:\\tools\\tremwil.exe")), read_expected("usage_full.txt"));
    reset_settings();
}

TEST(Help, ShowsTheSettingsInForce)
{
    reset_settings();
    BgColor = {0, 0, 0};
    scalez = 2.5;
    scalee = {3, 0.25};
    range_add_y = 1e-7;
    const std::string text = usage_text("tremwil");
    reset_settings();
    EXPECT_NE(text.find("(default: 0,0,0).\n  --fgcolor"), std::string::npos);
    EXPECT_NE(text.find("(default 2.5)."), std::string::npos);
    EXPECT_NE(text.find("(default: 3,0.25)."), std::string::npos);
    EXPECT_NE(text.find("y-axis with (default 1e-07)."), std::string::npos);
}

TEST(Help, OverlongProgramNameGivesEmptyBaseName)
{
    reset_settings();
    const std::string name(300, 'n');
    testing::internal::CaptureStderr();
    const std::string text = usage_text(name.c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("usage: ", 0), 0u) << err;
    EXPECT_NE(text.find("\nUsage:  [options] <file.ext>\n"), std::string::npos);
}

} // namespace
