// The usage text of a program name too long for its base name (the version line, the settings in force and the
// base name are case files: cli/version, cli/help_shows_values).
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "cli/help.h"
#include "cli/options.h"
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

// The full text names every long option of the table, as a whole word (not "--x" inside "--x-time").
TEST(Help, FullTextNamesEveryOption)
{
    reset_settings();
    fullhelp = 1;
    const std::string text = usage_text("tremwil");
    for (const option* o = long_opts; o->name != nullptr; ++o) {
        const std::string name = std::string("--") + o->name;
        bool named = false;
        for (std::size_t at = text.find(name); at != std::string::npos && !named; at = text.find(name, at + 1)) {
            const char after = at + name.size() < text.size() ? text[at + name.size()] : ' ';
            named = !std::isalnum(static_cast<unsigned char>(after)) && after != '-' && after != '_';
        }
        EXPECT_TRUE(named) << name;
    }
    reset_settings();
}

} // namespace
