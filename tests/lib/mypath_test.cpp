// Path splitting and absolute paths.
#include "mypath.h"

#include <gtest/gtest.h>
#include <test_support.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{

struct Parts {
    int result = -1;
    std::string drive, directory, filename, extension;
};

Parts split(const char* path)
{
    char drive[3], directory[256], filename[256], extension[256];
    std::memset(drive, 'Z', sizeof drive);
    std::memset(directory, 'Z', sizeof directory);
    std::memset(filename, 'Z', sizeof filename);
    std::memset(extension, 'Z', sizeof extension);
    Parts parts;
    parts.result = explode_path(path, drive, directory, filename, extension);
    parts.drive = drive;
    parts.directory = directory;
    parts.filename = filename;
    parts.extension = extension;
    return parts;
}

struct SplitCase {
    const char* path;
    const char* drive;
    const char* directory;
    const char* filename;
    const char* extension;
};

class ExplodePath : public testing::TestWithParam<SplitCase>
{
};

TEST_P(ExplodePath, SplitsIntoFourParts)
{
    const SplitCase& c = GetParam();
    const Parts parts = split(c.path);
    EXPECT_EQ(parts.result, 0);
    EXPECT_EQ(parts.drive, c.drive);
    EXPECT_EQ(parts.directory, c.directory);
    EXPECT_EQ(parts.filename, c.filename);
    EXPECT_EQ(parts.extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExplodePath,
    testing::Values(SplitCase{"C:\\dir\\sub\\tremwil.exe", "C:", "\\dir\\sub\\", "tremwil", ".exe"},
                    SplitCase{"/usr/bin/tremwil", "", "/usr/bin/", "tremwil", ""},
                    SplitCase{"C:tremwil.exe", "C:", "", "tremwil", ".exe"},
                    SplitCase{"x.tar.gz", "", "", "x.tar", ".gz"}, SplitCase{"a.b/c", "", "a.b/", "c", ""},
                    SplitCase{"..", "", "", ".", "."}, SplitCase{"dir/", "", "dir/", "", ""},
                    SplitCase{"home/.profile", "", "home/", "", ".profile"},
                    SplitCase{"mixed/dir\\name.", "", "mixed/dir\\", "name", "."}, SplitCase{"", "", "", "", ""}));

TEST(ExplodePathLimits, TooLongPartsGive38AndKeepWhatWasFilledBefore)
{
    const std::string long_name = "dir/" + std::string(300, 'n') + ".ext";
    Parts parts = split(long_name.c_str());
    EXPECT_EQ(parts.result, 38);
    EXPECT_EQ(parts.extension, ".ext") << "the extension is split off first and fitted";
    EXPECT_EQ(parts.filename, "");
    EXPECT_EQ(parts.directory, "") << "parts after the failing one stay empty";

    // The drive buffer of explode_path holds two characters.
    parts = split("AB:x.c");
    EXPECT_EQ(parts.result, 38);
    EXPECT_EQ(parts.filename, "x");
    EXPECT_EQ(parts.extension, ".c");
    EXPECT_EQ(parts.drive, "");

    // An unwanted part is not limited.
    char filename[4];
    EXPECT_EQ(explode_path_n(long_name.c_str(), nullptr, 0, nullptr, 0, filename, sizeof filename, nullptr, 0), 38);
    EXPECT_EQ(explode_path_n("a/bc.averylongextension", nullptr, 0, nullptr, 0, filename, sizeof filename, nullptr, 0),
              0);
    EXPECT_STREQ(filename, "bc");
}

TEST(ExplodePathLimits, NullPathGivesEmptyParts)
{
    const Parts parts = split(nullptr);
    EXPECT_EQ(parts.result, 0);
    EXPECT_EQ(parts.drive + parts.directory + parts.filename + parts.extension, "");
}

class CurrentDirectory
{
public:
    explicit CurrentDirectory(const std::filesystem::path& dir) : saved_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~CurrentDirectory() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

std::string resolve(const char* path)
{
    char resolved[PATH_MAX];
    return tw::realpath(path, resolved) == resolved ? resolved : "<null>";
}

TEST(Realpath, JoinsWithTheCurrentDirectoryAndRemovesDotComponents)
{
    test_support::TempDir dir;
    CurrentDirectory here(dir.path());
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string base = cwd;

    EXPECT_EQ(resolve("missing.dat"), base + "/missing.dat") << "the file need not exist";
    EXPECT_EQ(resolve("a/./b/../c.dat"), base + "/a/c.dat");
    EXPECT_EQ(resolve("."), base);
    EXPECT_EQ(resolve("./sub/"), base + "/sub");
    EXPECT_EQ(resolve("/x/../../y//z/."), "/y/z") << "\"..\" stops at the root";
    EXPECT_EQ(resolve("/"), "/");
    EXPECT_EQ(resolve("/.."), "/");
    EXPECT_EQ(resolve("a\\b"), base + "/a\\b") << "a backslash is part of a name here";
}

TEST(Realpath, RefusesWhatItCannotResolve)
{
    char resolved[PATH_MAX];
    EXPECT_EQ(tw::realpath("", resolved), nullptr);
    EXPECT_EQ(tw::realpath(nullptr, resolved), nullptr);
    EXPECT_EQ(tw::realpath("/a", nullptr), nullptr);
    const std::string too_long = "/" + std::string(PATH_MAX, 'x');
    EXPECT_EQ(tw::realpath(too_long.c_str(), resolved), nullptr);
    // A long path that collapses to a short one is fine.
    std::string collapsing = "/";
    for (int i = 0; i < PATH_MAX / 4; ++i)
        collapsing += "ab/../";
    collapsing += "end";
    EXPECT_EQ(resolve(collapsing.c_str()), "/end");
}

} // namespace
