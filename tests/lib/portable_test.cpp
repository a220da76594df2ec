// The portable helpers: bounded string copy, path splitting and absolute paths.
#include "portable/compat.h"
#include "portable/mypath.h"

#include <gtest/gtest.h>
#include <test_support.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <unistd.h>

namespace
{

// explode_path's result and parts joined as "result|drive|directory|filename|extension", buffers pre-filled with
// garbage so that a part left unset shows.
std::string split(const char* path)
{
    char drive[3], directory[256], filename[256], extension[256];
    for (char* part : {drive, directory, filename, extension})
        std::memset(part, 'Z', part == drive ? sizeof drive : sizeof directory);
    const int result = explode_path(path, drive, directory, filename, extension);
    return std::to_string(result) + "|" + drive + "|" + directory + "|" + filename + "|" + extension;
}

TEST(ExplodePath, SplitsIntoFourParts)
{
    const std::string long_name = "dir/" + std::string(300, 'n') + ".ext";
    const struct {
        const char* path;
        const char* parts;
    } cases[] = {
        {"C:\\dir\\sub\\tremwil.exe", "0|C:|\\dir\\sub\\|tremwil|.exe"},
        {"/usr/bin/tremwil", "0||/usr/bin/|tremwil|"},
        {"C:tremwil.exe", "0|C:||tremwil|.exe"},
        {"x.tar.gz", "0|||x.tar|.gz"},
        {"a.b/c", "0||a.b/|c|"},
        {"..", "0|||.|."},
        {"dir/", "0||dir/||"},
        {"home/.profile", "0||home/||.profile"},
        {"mixed/dir\\name.", "0||mixed/dir\\|name|."},
        {"", "0||||"},
        {nullptr, "0||||"},
        // Too long: the extension is split off and fitted first; parts after the failing one stay empty.
        {long_name.c_str(), "38||||.ext"},
        {"AB:x.c", "38|||x|.c"}, // the drive buffer of explode_path holds two characters
    };
    for (const auto& c : cases)
        EXPECT_EQ(split(c.path), c.parts) << (c.path ? c.path : "null");

    // An unwanted part is not limited.
    char filename[4];
    EXPECT_EQ(explode_path_n(long_name.c_str(), nullptr, 0, nullptr, 0, filename, sizeof filename, nullptr, 0), 38);
    EXPECT_EQ(explode_path_n("a/bc.averylongextension", nullptr, 0, nullptr, 0, filename, sizeof filename, nullptr, 0),
              0);
    EXPECT_STREQ(filename, "bc");
}

std::string resolve(const char* path)
{
    char resolved[PATH_MAX];
    return tw::realpath(path, resolved) == resolved ? resolved : "<null>";
}

TEST(Realpath, JoinsWithTheCurrentDirectoryRemovesDotComponentsAndRefusesWhatItCannotResolve)
{
    test_support::TempDir dir;
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string base = cwd;
    EXPECT_EQ(resolve("missing.dat"), base + "/missing.dat") << "the file need not exist";
    EXPECT_EQ(resolve("a/./b/../c.dat"), base + "/a/c.dat");
    EXPECT_EQ(resolve("."), base);
    EXPECT_EQ(resolve("./sub/"), base + "/sub");
    EXPECT_EQ(resolve("a\\b"), base + "/a\\b") << "a backslash is part of a name here";
    std::filesystem::current_path(saved);

    EXPECT_EQ(resolve("/x/../../y//z/."), "/y/z") << "\"..\" stops at the root";
    EXPECT_EQ(resolve("/"), "/");
    EXPECT_EQ(resolve("/.."), "/");
    std::string collapsing = "/";
    for (int i = 0; i < PATH_MAX / 4; ++i)
        collapsing += "ab/../";
    EXPECT_EQ(resolve((collapsing + "end").c_str()), "/end") << "a long path that collapses to a short one is fine";

    char resolved[PATH_MAX];
    EXPECT_EQ(tw::realpath("", resolved), nullptr);
    EXPECT_EQ(tw::realpath(nullptr, resolved), nullptr);
    EXPECT_EQ(tw::realpath("/a", nullptr), nullptr);
    EXPECT_EQ(tw::realpath(("/" + std::string(PATH_MAX, 'x')).c_str(), resolved), nullptr);
}

// The whole buffer after each copy: what was written, and nothing past the size given.
TEST(Strlcpy, CutsToTheBufferAndAlwaysReturnsTheSourceLength)
{
    using namespace std::string_literals;
    for (const auto& [source, size, after] : {std::tuple{"0123456789", 4, "012\0ZZZZ"s},
                                              {"0123456789", 0, "ZZZZZZZZ"s},
                                              {"abc", 4, "abc\0ZZZZ"s},
                                              {"abcd", 4, "abc\0ZZZZ"s},
                                              {"", 1, "\0ZZZZZZZ"s}}) {
        char buffer[8];
        std::memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(tw::strlcpy(buffer, source, size), std::strlen(source)) << source;
        EXPECT_EQ(std::string(buffer, sizeof buffer), after) << source << " into " << size << " bytes";
    }
}

} // namespace
