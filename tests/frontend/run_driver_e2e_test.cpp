// The built program end to end: help and version routes, the data-file check, checks in their order,
// column inheritance and the messages of the option handlers, each with its stream and exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <string>
#include <vector>

#include "cli/help.h"
#include "test_support.h"

namespace
{

using test_support::TempDir;

// These runs check the front end, not the picture: the memory driver keeps them independent of a display,
// and without --in-memory nothing is saved and no key is waited for.
test_support::RunResult run_tremwil(const std::vector<std::string>& args, const std::filesystem::path& dir)
{
    return test_support::run_tremwil(args, dir, {{"TWGRDRV", "memory"}});
}

const char three_columns[] = "1 2 3\n2 4 5\n3 1 2\n";
const std::string version_line = std::string(Version) + "\n";

std::string usage(const std::string& expected_file)
{
    return version_line + Notice + "\n\n" +
           test_support::read_file(std::string(TEST_DATA_DIR) + "/frontend/" + expected_file) + Notice + "\n" +
           Contact + "\n";
}

TEST(RunDriverEndToEnd, HelpAndVersionRoutes)
{
    TempDir dir;
    const auto none = run_tremwil({}, dir.path());
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "");
    EXPECT_EQ(none.out, usage("usage_short.txt"));

    const auto version = run_tremwil({"--version", "a.dat"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out + version.err, version_line);

    const auto full = run_tremwil({"--fullhelp", "missing.dat"}, dir.path());
    EXPECT_EQ(full.status, 0);
    // Options added since the text was written follow it.
    EXPECT_EQ(full.out, usage("usage_full.txt") + "\nMore options:\n  --help              Same as -?.\n");

    // Values given before -? show in the text.
    const auto more = run_tremwil({"--bgcolor", "0,0,0", "--more", "-?"}, dir.path());
    EXPECT_EQ(more.status, 0);
    EXPECT_NE(more.out.find("Specify background color (default: 0,0,0).\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "logfile"));

    for (const char* help : {"-?", "--help"}) {
        const auto asked = run_tremwil({help}, dir.path());
        EXPECT_EQ(asked.status, 0) << help;
        EXPECT_EQ(asked.out, none.out) << help;
    }

    // An option the parser rejects: its complaint, the usage text, and a failed run.
    const struct {
        std::vector<std::string> args;
        const char* complaint;
    } rejected[] = {
        {{"--bogus", "a.dat"}, "unrecognized option '--bogus'\n"},
        {{"--drawe", "a.dat"}, "ambiguous"},
        {{"-q", "-?"}, "invalid option -- 'q'\n"},
        {{"a.dat", "--title"}, "option '--title' requires an argument\n"},
        {{"a.dat", "-x"}, "option requires an argument -- 'x'\n"},
    };
    for (const auto& r : rejected) {
        const auto run = run_tremwil(r.args, dir.path());
        EXPECT_EQ(run.status, 1) << r.complaint;
        EXPECT_NE(run.err.find(r.complaint), std::string::npos) << run.err;
        EXPECT_EQ(run.out, none.out) << r.complaint;
    }
}

TEST(RunDriverEndToEnd, MissingDataFileIsReportedWithPositionAndNoLog)
{
    TempDir dir;
    const auto r = run_tremwil({"-x", "2", "--quiet"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    const char* form = "Error: run_driver.cpp([0-9]*) Need a filename or a --0=filename\n"
                       "See *tremwil --help\n";
    EXPECT_EQ(fnmatch(form, r.err.c_str(), 0), 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "logfile"));
}

TEST(RunDriverEndToEnd, NormalRunPrintsVersionAndColumnsAndLogsOnce)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    const auto r = run_tremwil({"a.dat"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, version_line + "using col 1 as x, col 2 as y, col 3 as z\n");
    const auto nox = run_tremwil({"--nox", "-y", "3", "-z", "2", "a.dat"}, dir.path());
    EXPECT_EQ(nox.out, version_line + "using linenumber as x, col 3 as y, col 2 as z\n");
    const auto noz = run_tremwil({"--noz", "-X", "2", "-Y", "1", "a.dat"}, dir.path());
    EXPECT_EQ(noz.out, version_line + "using col 2 as x, col 1 as y, and z=1\n");
    const auto quiet = run_tremwil({"--quiet", "-0", "a.dat"}, dir.path());
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    const std::string log = test_support::read_file(dir / "logfile");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
}

TEST(RunDriverEndToEnd, ChecksRunInOrderAndWarnUnderErrorAsWarning)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    const auto fatal = run_tremwil({"--minx=5", "--maxx=5", "--maxy=1", "--miny=2", "a.dat"}, dir.path());
    EXPECT_EQ(fatal.status, 1);
    EXPECT_EQ(fatal.err, "\nError: maxx <= minx (5 <= 5)\n");

    const auto warned = run_tremwil({"--minx=5", "--maxx=5", "--maxy=1", "--miny=2", "--maxz=0", "--minz=0",
                                     "--range-add-x=-0.5", "--range-add-y=-0.49", "--range_add_z=-3", "-x", "2", "-y",
                                     "2", "-z", "2", "--error-as-warning", "a.dat"},
                                    dir.path());
    // The checks only warn and the run goes on to read the file, whose own reports follow them.
    const std::string checks = "\nWarning: maxx <= minx (5 <= 5)\n"
                               "\nWarning: maxy <= miny (1 <= 2)\n"
                               "\nWarning: maxz <= minz (0 <= 0)\n"
                               "\nWarning: range_add_x to large negative(-0.5). Need to be >-.5\n"
                               "\nWarning: range_add_z to large negative(-3). Need to be >-.5\n"
                               "\nWarning: xcol=2 and ycol=2 are the same\n"
                               "\nWarning: xcol=2 and zcol=2 are the same\n"
                               "\nWarning: ycol=2 and zcol=2 are the same\n";
    EXPECT_EQ(warned.err.substr(0, checks.size()), checks);
    EXPECT_NE(warned.err.find("\nWarning: Set --minx=5 is bigger than largest x=4 in file\n", checks.size()),
              std::string::npos);

    const auto widening = run_tremwil({"--range-add-y=-0.5", "a.dat"}, dir.path());
    EXPECT_EQ(widening.status, 1);
    EXPECT_EQ(widening.err, "\nError: range_add_y to large negative(-0.5). Need to be >-.5\n");

    // Which columns may clash depends on the column modes.
    const struct {
        std::vector<std::string> args;
        const char* err;
    } clashes[] = {
        {{"--nox", "--only2columns", "-y", "3", "-z", "3"}, ""},
        {{"--nox", "-y", "3", "-z", "3"}, "\nWarning: ycol=3 and zcol=3 are the same\n"},
        {{"--noz", "-x", "3"}, ""},
        {{"--noz", "-x", "2", "-y", "2"}, "\nWarning: xcol=2 and ycol=2 are the same\n"},
    };
    for (const auto& clash : clashes) {
        auto args = clash.args;
        args.push_back("a.dat");
        EXPECT_EQ(run_tremwil(args, dir.path()).err, clash.err) << testing::PrintToString(clash.args);
    }
}

TEST(RunDriverEndToEnd, DataSetsInheritColumnsAfterParsing)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    dir.write("b.dat", "1 2\n3 4\n");
    // -y after -1 still reaches data set 1, whose file has no third column.
    const auto inherited = run_tremwil({"-1", "b.dat", "-y", "3", "--noz", "a.dat"}, dir.path());
    EXPECT_EQ(inherited.status, 1) << inherited.err;
    const auto own = run_tremwil({"-1", "b.dat", "-y", "3", "--y1=2", "--noz", "a.dat"}, dir.path());
    EXPECT_EQ(own.status, 0) << own.err;

    const auto traced = run_tremwil({"--debug", "-1", "b.dat", "--y1=2", "--noz", "a.dat"}, dir.path());
    EXPECT_NE(traced.err.find("Debug:run_driver.cpp("), std::string::npos);
    // x and e are the same in both sets here, so only the traces show that they were taken over.
    EXPECT_NE(traced.err.find(") cloning x-column for dataset 1\n"), std::string::npos) << traced.err;
    EXPECT_EQ(traced.err.find("cloning y-column for dataset 1"), std::string::npos);
    EXPECT_NE(traced.err.find(") cloning e-column for dataset 1\n"), std::string::npos);
    EXPECT_EQ(traced.err.find("for dataset 2"), std::string::npos);
}

TEST(RunDriverEndToEnd, HandlerMessagesAndTheirEffectOnTheRun)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    // These two end the run whatever --error-as-warning says.
    const auto radius = run_tremwil({"--error-as-warning", "--circle=1,2,0", "a.dat"}, dir.path());
    EXPECT_EQ(radius.status, 1);
    EXPECT_EQ(radius.err, "\nError: radius may not be zero or negative (1,2,0)\n");
    EXPECT_EQ(radius.out, "");
    const auto ring = run_tremwil({"--error-as-warning", "--biggest-ring=0", "a.dat"}, dir.path());
    EXPECT_EQ(ring.status, 1);
    EXPECT_EQ(fnmatch("Error: options.cpp([0-9]*) Can't use --biggest-ring=0 < 1\n", ring.err.c_str(), 0), 0)
        << ring.err;

    // A mode let through without a size draws nothing, for every file.
    const auto mode = run_tremwil({"--error-as-warning", "-g0", "--quiet", "a.dat", "a.dat"}, dir.path());
    EXPECT_EQ(mode.status, 0);
    EXPECT_EQ(mode.err, "\nWarning: argument to -g out of range (1 <= 0 <= 8).\n");
}

TEST(RunDriverEndToEnd, PassesWalkTheDataFileArguments)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    dir.write("b.dat", three_columns);
    // A file named with -0 is shown only when no data-file argument is given.
    EXPECT_EQ(run_tremwil({"--quiet", "-0", "missing.dat", "b.dat"}, dir.path()).status, 0);
    EXPECT_EQ(run_tremwil({"--quiet", "-0", "a.dat"}, dir.path()).status, 0);
    EXPECT_EQ(run_tremwil({"--quiet", "-0", "missing.dat"}, dir.path()).status, 1);
    // Every argument gets its pass, the last one included.
    EXPECT_EQ(run_tremwil({"--quiet", "a.dat", "b.dat", "a.dat"}, dir.path()).status, 0);
    EXPECT_EQ(run_tremwil({"--quiet", "a.dat", "b.dat", "missing.dat"}, dir.path()).status, 1);
    // Wildcards are expanded; "@0" is no response file but data set 0's file.
    EXPECT_EQ(run_tremwil({"--quiet", "*.DAT"}, dir.path()).status, 0);
    EXPECT_EQ(run_tremwil({"--quiet", "-1", "@0", "--y1=3", "a.dat"}, dir.path()).status, 0);
    // Option values are never patterns: the title "*" names no files, and data set 1's "*.dat" is that name.
    const auto title = run_tremwil({"--quiet", "--in-memory", "--title", "*", "a.dat"}, dir.path());
    EXPECT_EQ(title.status, 0) << title.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "a.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.png"));
    const auto set1 = run_tremwil({"--quiet", "--in-memory", "-1", "*.dat", "b.dat"}, dir.path());
    EXPECT_EQ(set1.status, 1);
    EXPECT_NE(set1.err.find("*.dat"), std::string::npos) << set1.err;
}

} // namespace
