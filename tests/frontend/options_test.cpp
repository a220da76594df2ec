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

// The reports of these values, and the ends of runs, are case files (tests/cases/cli/option_*).
TEST_F(Options, ValuesReachTheirSettingsAndWarnedOnesStayAsTheyWere)
{
    testing::internal::CaptureStderr();
    parse({"--width=300", "--height=2001", "--error-as-warning", "-g0", "--left-offset=3", "--scalez=-1"});
    parse({"--scalez=1", "-s", "abc", "--scalee=x", "--scalee=3,y"});
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(whc[8][0] == 300 && whc[8][1] == 2001);
    EXPECT_TRUE(state.vga == 0 && left_offset == -1 && scalez == 1.0);
    EXPECT_TRUE(scalee.x == 3 && scalee.y == 3);

    reset_run_state();
    const int first = parse({"-g", "5"});
    EXPECT_EQ(state.vga, 4);
    EXPECT_EQ(storage[first], "5");
    parse({"-G7", "-S3.5", "--left-offset=8", "--width=800", "--scalee=2"});
    EXPECT_TRUE(state.vga == 8 && scalez == 3.5 && left_offset == 8 && whc[8][0] == 800 && whc[8][1] == 640);
    EXPECT_TRUE(scalee.x == 2 && scalee.y == 2);
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
