// Wildcard expansion of the argument vector: the budget of directory entries examined, which no run of the program
// can reach quickly (matching, braces and their budget, folders, nesting and the trace are case files,
// tests/cases/cli/glob_*).
#include "cli/expand/glob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using Args = std::vector<std::string>;

// Runs do_glob on a copy of args and returns the new vector.
Args expand(const Args& args)
{
    std::vector<std::string> texts(args);
    std::vector<char*> old;
    for (auto& text : texts)
        old.push_back(text.data());
    int argc = static_cast<int>(old.size());
    char** argv = old.data();
    EXPECT_EQ(do_glob(&argc, &argv), 0);
    EXPECT_NE(argv, old.data());
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_EQ(old[i], texts[i].data()) << "the old vector is left alone";
    return Args(argv, argv + argc);
}

// A fresh folder, in memory where the system has one: creating a hundred thousand files on a busy disk takes a
// minute, in memory a few seconds.
struct memory_folder {
    memory_folder()
    {
        const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = base + "/tremwil-glob-XXXXXX";
        if (mkdtemp(path.data()) == nullptr)
            throw std::runtime_error("cannot create a folder under " + base);
    }
    ~memory_folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    memory_folder(const memory_folder&) = delete;
    memory_folder& operator=(const memory_folder&) = delete;
    std::string path;
};

TEST(Glob, EntryBudgetIsSharedByTheFoldersOfOneArgument)
{
    // Two folders of 50001 files: 2 entries at the top, then the walk stops after 100001 entries in all.
    const memory_folder dir;
    for (const char* name : {"/p", "/q"}) {
        std::filesystem::create_directory(dir.path + name);
        for (int i = 0; i < 50001; ++i) {
            const std::string file = dir.path + name + "/f" + std::to_string(i);
            const int fd = open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0) << file;
            close(fd);
        }
    }
    const std::string pattern = dir.path + "/*/*";
    const std::string warning = "\nWarning: the wildcard " + pattern +
                                " reached the limit of 100000 directory entries and brace alternatives examined for "
                                "one argument; further matches are left out\n";
    testing::internal::CaptureStderr();
    const Args result = expand({pattern, pattern});
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(result.size(), 2u * 99999u) << "the count starts again for each argument";
    EXPECT_TRUE(std::is_sorted(result.begin(), result.begin() + 99999));
    EXPECT_EQ(err, warning + warning) << "files left out are not left out silently";
}

} // namespace
