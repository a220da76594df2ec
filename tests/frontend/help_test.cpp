// The usage text of a program name too long for its base name (the version line, the settings in force and the
// base name are case files: cli/version, cli/help_shows_values).
#include <gtest/gtest.h>

#include <string>

#include "cli/help.h"
#include "core/settings.h"

namespace
{

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
