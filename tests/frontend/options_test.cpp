// Option table and handlers: dispatch of per-data-set codes, flags, checks and their reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.h"
#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "plot/overlays.h"
#include "plot/run_state.h"

namespace
{

using testing::ExitedWithCode;

class Options : public testing::Test
{
protected:
    void SetUp() override
    {
        reset_run_state();
        state = option_state{"tremwil", 3};
    }
    void TearDown() override { error_func = error; }

    // Parses args (without the program name) with the real option loop and returns the first non-option index.
    int parse(std::vector<std::string> args)
    {
        args.insert(args.begin(), "tremwil");
        storage = args;
        std::vector<char*> argv;
        for (std::string& s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        optind = 0; // restart the parser's own state
        int c;
        while ((c = getopt_long(static_cast<int>(storage.size()), argv.data(), short_opts, long_opts, nullptr)) != -1)
            handle_option(fold_option_code(c), optarg, state);
        return optind;
    }

    option_state state{"tremwil", 3};
    std::vector<std::string> storage;
};

TEST_F(Options, PerDataSetCodesReachTheirDataSet)
{
    parse({"--x3=4", "--y9=5", "--z0=6", "--e9=7", "--fg9color=1,2,3", "--offset-y7=2.5", "-y", "8", "-E", "9"});
    EXPECT_TRUE(mydata[3].cols.x == 4 && mydata[3].cols.xset);
    EXPECT_EQ(mydata[9].cols.y, 5u);
    EXPECT_EQ(mydata[0].cols.z, 6u);
    EXPECT_EQ(mydata[9].cols.e, 7u);
    EXPECT_EQ(FgColors[9].g, 2);
    EXPECT_EQ(mydata[7].offset_y, 2.5);
    EXPECT_TRUE(mydata[0].cols.y == 8 && mydata[0].cols.e == 9);
    EXPECT_FALSE(mydata[1].cols.is_set());
}

TEST_F(Options, FlagsAndLastOneWins)
{
    parse({"--nocol", "--invcolour", "--drawquiver-xuyv", "--line", "--sort", "--no-path", "--debug3", "--nodebug",
           "--in-memory", "--col", "--grey", "--fillcolor=1,1,1", "--bgcolor=0,0,0", "--bgcolor=9,9,9"});
    EXPECT_TRUE(alt_color == 1 && invcolor == 1 && draw_type == DT_LINE && sort == 1 && printpath == 0);
    EXPECT_TRUE(debug == 0 && in_memory == 1 && FillColor.r == 1 && BgColor.b == 9);
    parse({"--fillcolor=1,1,1", "--gray", "--drawquiver-xuyv"});
    EXPECT_TRUE(FillColor.r == 128 && draw_type == DT_QUIVER_XUYV);
}

TEST_F(Options, ModeSizeAndOffsetChecks)
{
    const int first = parse({"-g", "5"});
    EXPECT_EQ(state.vga, 4);
    EXPECT_EQ(storage[first], "5");
    parse({"-G7"});
    EXPECT_EQ(state.vga, 7);
    parse({"--left-offset=8"});
    EXPECT_EQ(left_offset, 8);
    EXPECT_EXIT(parse({"-g0"}), ExitedWithCode(1), "^\nError: argument to -g out of range \\(1 <= 0 <= 8\\)\\.\n$");
    // Rows 9 to 12 have no size: the report names the rows that work.
    EXPECT_EXIT(parse({"-g9"}), ExitedWithCode(1), "\\(1 <= 9 <= 8\\)");
    EXPECT_EXIT(parse({"-g12"}), ExitedWithCode(1), "\\(1 <= 12 <= 8\\)");
    EXPECT_EXIT(parse({"--left-offset=7"}), ExitedWithCode(1), "^\nError: left_offset need to be > 7\n$");
    EXPECT_EXIT(parse({"--biggest-ring=0"}), ExitedWithCode(1),
                "^Error: options\\.cpp\\([0-9]+\\) Can't use --biggest-ring=0 < 1\n$");
}

TEST_F(Options, WidthAndHeightReportsDoNotStopTheRun)
{
    parse({"--width=800"});
    EXPECT_TRUE(state.vga == 8 && whc[8][0] == 800 && whc[8][1] == 640);
    testing::internal::CaptureStderr();
    parse({"--width=300", "--height=2001"});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(whc[8][0] == 300 && whc[8][1] == 2001);
    EXPECT_NE(err.find("Width need to be at least 320 pixels\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Height need to be at less than 2000 pixels\n"), std::string::npos) << err;
    EXPECT_EQ(err.rfind("Error: options.cpp(", 0), 0u) << err;
}

TEST_F(Options, ErrorAsWarningAppliesOnlyAfterItself)
{
    EXPECT_EXIT(parse({"-g0", "--error-as-warning"}), ExitedWithCode(1), "Error: argument to -g");
    testing::internal::CaptureStderr();
    parse({"--error-as-warning", "-g0", "--left-offset=3", "--scalez=-1"});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(state.vga == 0 && left_offset == -1 && scalez == -1);
    EXPECT_EQ(err, "\nWarning: argument to -g out of range (1 <= 0 <= 8).\n"
                   "\nWarning: left_offset need to be > 7\n"
                   "\nWarning: --scalez=-1 (scalez > 0)\n");
}

TEST_F(Options, ScaleValues)
{
    parse({"--scalee=2"});
    EXPECT_TRUE(scalee.x == 2 && scalee.y == 2);
    // A value that is no number leaves the scale as it was, but not without a word.
    testing::internal::CaptureStderr();
    parse({"-s", "abc", "--scalee=x", "--scalee=3,y"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nWarning: --scalez=abc is not a number: scalez stays 1\n"
                                                      "\nWarning: --scalee=x is not a number: scalee stays 2,2\n"
                                                      "\nWarning: --scalee=3,y: the value after the comma is not a "
                                                      "number: y takes x\n");
    EXPECT_EQ(scalez, 1.0);
    EXPECT_TRUE(scalee.x == 3 && scalee.y == 3);
    parse({"-S3.5"});
    EXPECT_EQ(scalez, 3.5);
    EXPECT_EXIT(parse({"--scalee=2,0"}), ExitedWithCode(1), "^\nError: --scalee=2,0 \\(scalee > 0\\)\n$");
    EXPECT_EXIT(parse({"--scalez=nan"}), ExitedWithCode(1), "--scalez=nan \\(scalez > 0\\)");
}

TEST_F(Options, UnhandledCodesAreReportedInOctal)
{
    testing::internal::CaptureStdout();
    parse({"-Mx", "--zlabel=z", "-m", "y"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "?? getopt returned character code 0155 ??\n"
                                                      "?? getopt returned character code 0415 ??\n"
                                                      "?? getopt returned character code 0155 ??\n");
}

TEST_F(Options, DataSetFileAndTextSettings)
{
    parse({"-1", "b.dat", "-0", "a.dat", "--title=T", "--xlabel", "X", "--ylab=Y", "-o", "out.png", "-O", "o2.png"});
    EXPECT_TRUE(mydata[1].fname == "b.dat" && mydata[0].fname == "a.dat");
    EXPECT_TRUE(title == "T" && labelx == "X" && labely == "Y");
    ASSERT_NE(output_fname, nullptr);
    EXPECT_STREQ(output_fname, "o2.png");
    mydata[1].x = {1.0};
    parse({"-1", "c.dat"});
    EXPECT_TRUE(mydata[1].fname == "c.dat" && mydata[1].x.empty()) << "a new file empties the data set";

    const std::string font(5000, 'f');
    parse({"--font=" + font});
    const char* value = std::getenv("TREMWIL_FONT");
    EXPECT_EQ(value ? value : "", font) << "a font name of any length goes to the environment";
}

} // namespace
