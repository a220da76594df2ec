// Wildcard expansion of the argument vector.
#include "cli/expand/glob.h"

#include <gtest/gtest.h>

#include "core/settings.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// A fresh folder that is the current directory for the test's lifetime; in memory where the system has one, as
// creating a hundred thousand files on a busy disk takes a minute, in memory a few seconds.
class GlobFolder : public testing::Test
{
protected:
    GlobFolder() : saved_(std::filesystem::current_path())
    {
        const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string name = base + "/tremwil-glob-XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            throw std::runtime_error("cannot create a folder under " + base);
        path_ = name;
        std::filesystem::current_path(path_);
    }
    ~GlobFolder() override
    {
        std::filesystem::current_path(saved_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    void touch(std::initializer_list<std::string> names) const
    {
        for (const auto& name : names) {
            std::filesystem::create_directories((path_ / name).parent_path());
            std::ofstream(name) << "1 2 3\n";
        }
    }
    std::filesystem::path path_;

private:
    std::filesystem::path saved_;
};

std::string budget_warning(const std::string& pattern)
{
    return "\nWarning: the wildcard " + pattern +
           " reached the limit of 100000 directory entries and brace alternatives examined for one argument; "
           "further matches are left out\n";
}

TEST_F(GlobFolder, MatchesIgnoringCaseAndSortsEachArgumentInByteOrder)
{
    touch({"a1.dat", "A2.DAT", "b.dat", "c.txt"});
    EXPECT_EQ(expand({"tremwil", "a?.dat"}), (Args{"tremwil", "A2.DAT", "a1.dat"}));
    EXPECT_EQ(expand({"*.DAT"}), (Args{"A2.DAT", "a1.dat", "b.dat"}));
    EXPECT_EQ(expand({"[ab]*.dat"}), (Args{"A2.DAT", "a1.dat", "b.dat"}));
    EXPECT_EQ(expand({"[!a]*"}), (Args{"b.dat", "c.txt"}));
    EXPECT_EQ(expand({"p", "c*", "-x", "2", "a*"}), (Args{"p", "c.txt", "-x", "2", "A2.DAT", "a1.dat"}))
        << "arguments keep their order; options without matches stay";
    const std::string absolute = path_.string() + "/A?.dat";
    EXPECT_EQ(expand({absolute}), (Args{path_.string() + "/A2.DAT", path_.string() + "/a1.dat"}));
}

TEST_F(GlobFolder, UnmatchedHiddenAndBackslashNames)
{
    touch({"a.dat", "a\\x.dat", "ax.dat", ".hidden.dat"});
    EXPECT_EQ(expand({"*.none", "nodir/*.dat", "no*/a.dat", "--title=Run *", "[z]", "", "missing.dat", "?hidden.dat"}),
              (Args{"*.none", "nodir/*.dat", "no*/a.dat", "--title=Run *", "[z]", "", "missing.dat", "?hidden.dat"}));
    EXPECT_EQ(expand({"*.dat"}), (Args{"a.dat", "a\\x.dat", "ax.dat"})) << "hidden names need a leading dot";
    EXPECT_EQ(expand({".*"}), (Args{".hidden.dat"}));
    // As an escape, "\*" would stand for a literal asterisk and match nothing here.
    EXPECT_EQ(expand({"a\\*", "a\\?.dat"}), (Args{"a\\x.dat", "a\\x.dat"}));
}

TEST_F(GlobFolder, BraceAlternatives)
{
    touch({"x2.dat", "y1.dat", "y2.txt"});
    EXPECT_EQ(expand({"x{1,2}.dat"}), (Args{"x2.dat"}));
    EXPECT_EQ(expand({"x{1,3}.dat"}), (Args{"x{1,3}.dat"})) << "nothing matches: unchanged";
    EXPECT_EQ(expand({"{y,x}*"}), (Args{"x2.dat", "y1.dat", "y2.txt"})) << "results of one argument are sorted";
    EXPECT_EQ(expand({"{x{1,2},y{1,9}}.dat"}), (Args{"x2.dat", "y1.dat"})) << "nested groups";
    EXPECT_EQ(expand({"y*.{txt,dat}"}), (Args{"y1.dat", "y2.txt"}));
    EXPECT_EQ(expand({"{}", "x{2}.dat"}), (Args{"{}", "x2.dat"}));
}

TEST_F(GlobFolder, WildcardsInFolderParts)
{
    touch({"Sub1/x1.dat", "sub2/X2.dat", "sub2/deeper/x3.dat", "plain.dat"});
    EXPECT_EQ(expand({"sub*/x*.dat"}), (Args{"Sub1/x1.dat", "sub2/X2.dat"}));
    EXPECT_EQ(expand({"*/*/x?.dat"}), (Args{"sub2/deeper/x3.dat"}));
    EXPECT_EQ(expand({"sub?/"}), (Args{"Sub1/", "sub2/"}));
    EXPECT_EQ(expand({"*"}), (Args{"Sub1", "plain.dat", "sub2"})) << "folders get no trailing separator";
    EXPECT_EQ(expand({"sub2/*/x3.dat"}), (Args{"sub2/deeper/x3.dat"}));
    EXPECT_EQ(expand({"plain.dat/*"}), (Args{"plain.dat/*"})) << "a file is not a folder";
}

TEST_F(GlobFolder, NestingDeeperThanEightLevelsFails)
{
    std::string chain;
    for (int level = 0; level < 10; ++level)
        chain += "d/";
    touch({chain + "f"});
    std::string pattern;
    for (int level = 0; level < 8; ++level)
        pattern += "*/";
    std::string deeper = pattern + "*/";
    EXPECT_EQ(expand({pattern + "d/d/f"}), (Args{chain + "f"}));
    EXPECT_EQ(expand({deeper + "d/f"}), (Args{deeper + "d/f"}));

    touch({"b.dat"});
    const std::string eight_groups = "{{{{{{{{b}}}}}}}}.dat";
    EXPECT_EQ(expand({eight_groups}), (Args{"b.dat"}));
    EXPECT_EQ(expand({"{" + eight_groups + "}"}), (Args{"{" + eight_groups + "}"}));
}

TEST_F(GlobFolder, EntryBudgetIsSharedByTheFoldersOfOneArgument)
{
    // Two folders of 50001 files: 2 entries at the top, then the walk stops after 100001 entries in all.
    for (const char* name : {"p", "q"}) {
        std::filesystem::create_directory(name);
        for (int i = 0; i < 50001; ++i) {
            const std::string file = std::string(name) + "/f" + std::to_string(i);
            const int fd = open(file.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0) << file;
            close(fd);
        }
    }
    testing::internal::CaptureStderr();
    const Args result = expand({"*/*", "*/*"});
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(result.size(), 2u * 99999u) << "the count starts again for each argument";
    EXPECT_TRUE(std::is_sorted(result.begin(), result.begin() + 99999));
    EXPECT_EQ(err, budget_warning("*/*") + budget_warning("*/*")) << "files left out are not left out silently";
}

TEST_F(GlobFolder, BraceAlternativesCountAgainstTheBudget)
{
    touch({"a7b7c7d7e7.dat"});
    std::string group = "{";
    for (int i = 0; i < 100; ++i)
        group += std::to_string(i) + (i < 99 ? "," : "}");
    const std::string five_groups = "a" + group + "b" + group + "c" + group + "d" + group + "e" + group + ".dat";
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    const Args result = expand({five_groups, "a{6,7}b7c7d7e{7,8}.dat"});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(result, (Args{five_groups, "a7b7c7d7e7.dat"})) << "the match lies beyond the budget";
    EXPECT_EQ(err, budget_warning(five_groups));
}

TEST_F(GlobFolder, DebugTracesEveryEntry)
{
    touch({"only.dat"});
    const int saved_debug = debug;
    debug = 1;
    testing::internal::CaptureStderr();
    expand({"prog", "o*"});
    const std::string err = testing::internal::GetCapturedStderr();
    debug = saved_debug;
    // Whole lines "Debug:glob.cpp(<line>) <text>".
    std::istringstream lines(err);
    Args texts;
    for (std::string line; std::getline(lines, line);) {
        const size_t close = line.find(") ");
        const bool traced = line.starts_with("Debug:glob.cpp(") && line.find_first_not_of("0123456789", 15) == close;
        texts.push_back(traced ? line.substr(close + 2) : line);
    }
    EXPECT_EQ(texts, (Args{"argv[0] = prog", "argv[1] = only.dat"})) << err;
}

} // namespace
