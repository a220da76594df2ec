// The built program end to end: help and version routes, the data-file check, checks in their order,
// column inheritance and the messages of the option handlers, each with its stream and exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "help.h"
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

std::string read_expected(const std::string& name)
{
    return test_support::read_file(std::string(TEST_DATA_DIR) + "/frontend/" + name);
}

std::string usage_with_name(const std::string& body)
{
    return version_line + Notice + "\n\n" + body + Notice + "\n" + Contact + "\n";
}

int count_lines(const std::filesystem::path& p)
{
    std::ifstream in(p);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        ++n;
    return n;
}

TEST(RunDriverEndToEnd, HelpAndVersionRoutes)
{
    TempDir dir;
    const auto none = run_tremwil({}, dir.path());
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err, "");
    EXPECT_EQ(none.out, usage_with_name(read_expected("usage_short.txt")));

    const auto version = run_tremwil({"--version", "a.dat"}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, version_line);
    EXPECT_EQ(version.err, "");

    const auto full = run_tremwil({"--fullhelp", "missing.dat"}, dir.path());
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(full.out, usage_with_name(read_expected("usage_full.txt")));

    const auto more = run_tremwil({"--more", "-?"}, dir.path());
    EXPECT_EQ(more.status, 0);
    EXPECT_EQ(more.out, none.out);
    EXPECT_FALSE(std::filesystem::exists(dir / "logfile"));
}

TEST(RunDriverEndToEnd, HelpShowsValuesGivenBeforeIt)
{
    TempDir dir;
    const auto r = run_tremwil({"--bgcolor", "0,0,0", "--more", "-?"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Specify background color (default: 0,0,0).\n"), std::string::npos);
}

TEST(RunDriverEndToEnd, UnknownOptionGetsParserComplaintThenUsage)
{
    TempDir dir;
    const auto r = run_tremwil({"--bogus", "a.dat"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("unrecognized option '--bogus'\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, usage_with_name(read_expected("usage_short.txt")));
    const auto ambiguous = run_tremwil({"--drawe", "a.dat"}, dir.path());
    EXPECT_NE(ambiguous.err.find("ambiguous"), std::string::npos) << ambiguous.err;
    EXPECT_EQ(ambiguous.out, r.out);
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
    EXPECT_EQ(count_lines(dir / "logfile"), 1);

    const auto nox = run_tremwil({"--nox", "-y", "3", "-z", "2", "a.dat"}, dir.path());
    EXPECT_EQ(nox.out, version_line + "using linenumber as x, col 3 as y, col 2 as z\n");
    const auto noz = run_tremwil({"--noz", "-X", "2", "-Y", "1", "a.dat"}, dir.path());
    EXPECT_EQ(noz.out, version_line + "using col 2 as x, col 1 as y, and z=1\n");
    const auto quiet = run_tremwil({"--quiet", "-0", "a.dat"}, dir.path());
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(count_lines(dir / "logfile"), 4);

    // The log holds the command line as the parser reordered it: options first.
    run_tremwil({"a.dat", "-x", "2", "--title=My plot"}, dir.path());
    const std::string log = test_support::read_file(dir / "logfile");
    const std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
    EXPECT_NE(last.find("tremwil -x 2 --title=\"My plot\" a.dat\n"), std::string::npos) << last;
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
}

TEST(RunDriverEndToEnd, ColumnClashWarningsFollowTheColumnModes)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    EXPECT_EQ(run_tremwil({"--nox", "--only2columns", "-y", "3", "-z", "3", "a.dat"}, dir.path()).err, "");
    EXPECT_EQ(run_tremwil({"--nox", "-y", "3", "-z", "3", "a.dat"}, dir.path()).err,
              "\nWarning: ycol=3 and zcol=3 are the same\n");
    EXPECT_EQ(run_tremwil({"--noz", "-x", "3", "a.dat"}, dir.path()).err, "");
    EXPECT_EQ(run_tremwil({"--noz", "-x", "2", "-y", "2", "a.dat"}, dir.path()).err,
              "\nWarning: xcol=2 and ycol=2 are the same\n");
    EXPECT_EQ(run_tremwil({"-x", "3", "a.dat"}, dir.path()).err, "\nWarning: xcol=3 and zcol=3 are the same\n");
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
    EXPECT_NE(traced.err.find(") cloning x-column for dataset 1\n"), std::string::npos) << traced.err;
    EXPECT_EQ(traced.err.find("cloning y-column for dataset 1"), std::string::npos);
    EXPECT_NE(traced.err.find(") cloning e-column for dataset 1\n"), std::string::npos);
    EXPECT_EQ(traced.err.find("for dataset 2"), std::string::npos);
    EXPECT_NE(traced.err.find(") n=1 optarg=\"2\"\n"), std::string::npos);
    EXPECT_NE(traced.err.find(") mydata[1].cols.y=2\n"), std::string::npos);

    const auto scalee = run_tremwil({"--debug", "--scalee=2", "--quiet", "a.dat"}, dir.path());
    EXPECT_NE(scalee.err.find(") x:2 y:1\nDebug:options.cpp("), std::string::npos) << scalee.err;
    EXPECT_NE(scalee.err.find(") x:2 y:2\n"), std::string::npos) << scalee.err;
}

TEST(RunDriverEndToEnd, HandlerMessagesAndTheirEffectOnTheRun)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    const auto octal = run_tremwil({"-M", "x", "a.dat"}, dir.path());
    EXPECT_EQ(octal.status, 0);
    EXPECT_EQ(octal.out.rfind("?? getopt returned character code 0155 ??\n" + version_line, 0), 0u) << octal.out;

    const auto grok = run_tremwil({"--circle=1,2", "--text=1,2,", "--quiet", "a.dat"}, dir.path());
    EXPECT_EQ(grok.status, 0);
    EXPECT_EQ(grok.err, "Failed to grok: 1,2\nFailed to grok: 1,2,\n");

    const auto radius = run_tremwil({"--error-as-warning", "--circle=1,2,0", "a.dat"}, dir.path());
    EXPECT_EQ(radius.status, 1);
    EXPECT_EQ(radius.err, "\nError: radius may not be zero or negative (1,2,0)\n");
    EXPECT_EQ(radius.out, "");

    const auto ring = run_tremwil({"--error-as-warning", "--biggest-ring=0", "a.dat"}, dir.path());
    EXPECT_EQ(ring.status, 1);
    EXPECT_EQ(fnmatch("Error: options.cpp([0-9]*) Can't use --biggest-ring=0 < 1\n", ring.err.c_str(), 0), 0)
        << ring.err;

    const auto mode = run_tremwil({"--error-as-warning", "-g0", "--quiet", "a.dat", "a.dat"}, dir.path());
    EXPECT_EQ(mode.status, 0);
    EXPECT_EQ(mode.err, "\nWarning: argument to -g out of range (1 <= 0 <= 12).\n");

    const auto color = run_tremwil({"--fgcolor=1,2", "a.dat"}, dir.path());
    EXPECT_EQ(color.status, 1);
    EXPECT_EQ(color.err, "\nError: need 3 componets for r,g,b not 2\n");
    EXPECT_EQ(color.out, "");
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
}

TEST(RunDriverEndToEnd, WildcardsExpandBeforeResponseFiles)
{
    TempDir dir;
    dir.write("a.dat", three_columns);
    dir.write("args.rsp", "--quiet\n*.DAT\n");
    EXPECT_EQ(run_tremwil({"--quiet", "*.DAT"}, dir.path()).status, 0);
    // An argument that came out of a response file is taken literally: no file has that name.
    EXPECT_EQ(run_tremwil({"@args.rsp"}, dir.path()).status, 1);
    EXPECT_EQ(run_tremwil({"--quiet", "-1", "@0", "--y1=3", "a.dat"}, dir.path()).status, 0);
}

} // namespace
