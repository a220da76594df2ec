// Usage text and version line: the version form, the settings in force and the program's base name.
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <string>

#include "cli/help.h"
#include "core/settings.h"

namespace
{

TEST(Help, VersionLineHasBuildDateTimeAndBuildNumber)
{
    // Build date as "Mmm dd yyyy" (day padded with a space), then hh:mm:ss.
    const char* form = "tremwil Version 2.75 [A-Z][a-z][a-z] [ 123][0-9] [0-9][0-9][0-9][0-9] "
                       "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] Build: 1*";
    EXPECT_EQ(fnmatch(form, Version, 0), 0) << Version;
    EXPECT_EQ(std::string(Version).find('\n'), std::string::npos);
}

TEST(Help, ShowsTheSettingsInForce)
{
    reset_settings();
    BgColor = {0, 0, 0};
    scalez = 2.5;
    scalee = {3, 0.25};
    range_add_y = 1e-7;
    // The texts themselves are compared through the built program (run_driver_e2e_test.cpp).
    const std::string text = usage_text("C:\\tools\\tremwil.exe");
    reset_settings();
    EXPECT_NE(text.find("\n\nUsage: tremwil [options] <file.ext>\n"), std::string::npos) << "base name only";
    for (const char* shown :
         {"(default: 0,0,0).\n  --fgcolor", "(default 2.5).", "(default: 3,0.25).", "y-axis with (default 1e-07)."})
        EXPECT_NE(text.find(shown), std::string::npos) << shown;
}

TEST(Help, OverlongProgramNameGivesEmptyBaseName)
{
    reset_settings();
    testing::internal::CaptureStderr();
    const std::string text = usage_text(std::string(300, 'n').c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(err.starts_with("usage: ")) << err;
    EXPECT_NE(text.find("\nUsage:  [options] <file.ext>\n"), std::string::npos);
}

} // namespace
