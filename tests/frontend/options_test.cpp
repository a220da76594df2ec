// Option dispatch: every per-data-set option of every data set reaches its own data set and no other. What the
// other options set shows in the case files (tests/cases/cli/option_*).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/options.h"
#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "plot/run_state.h"

namespace
{

class Options : public testing::Test
{
protected:
    void SetUp() override { reset_run_state(); }
    void TearDown() override { reset_run_state(); }

    // Parses args (without the program name) with the real option loop.
    void parse(std::vector<std::string> args)
    {
        args.insert(args.begin(), "tremwil");
        std::vector<char*> argv;
        for (std::string& s : args)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        optind = 0; // restart the parser's own state
        option_state state{"tremwil", 3};
        int c;
        while ((c = getopt_long(static_cast<int>(args.size()), argv.data(), short_opts, long_opts, nullptr)) != -1) {
            ASSERT_NE(c, '?') << "rejected: " << args[static_cast<std::size_t>(optind - 1)]; // would show the usage
            handle_option(fold_option_code(c), optarg, state);
        }
    }
};

// Data set n's file (its data emptied), columns, colour, offset and key name, each a value no other option gives.
bool has_values_of_set(int n)
{
    const data& d = mydata[n];
    const cols& c = d.cols;
    return d.fname == "f.dat" && d.x.empty() && c.x == 4 && c.y == 5 && c.z == 6 && c.e == 7 && c.xset && c.yset &&
           c.zset && c.eset && FgColors[n].r == 1 && FgColors[n].g == 2 && FgColors[n].b == 3 && d.offset_y == 2.5 &&
           data_set_names[n] == "N";
}

TEST_F(Options, EveryPerDataSetOptionReachesItsOwnDataSet)
{
    for (int n = 0; n < data_set_count; ++n) {
        reset_run_state();
        const std::string k = std::to_string(n);
        mydata[n].x = {1.0};
        parse({"--x" + k + "=4", "--y" + k + "=5", "--z" + k + "=6", "--e" + k + "=7", "--fg" + k + "color=1,2,3",
               "--offset-y" + k + "=2.5", (n == 0 ? "--name" : "--name" + k) + "=N", "-" + k, "f.dat"});
        for (int m = 0; m < data_set_count; ++m)
            EXPECT_EQ(has_values_of_set(m), m == n) << "options of data set " << n << ", data set " << m;
    }
    // The letters, in either case, and --fgcolor act for data set 0.
    reset_run_state();
    parse(
        {"-X", "4", "-y", "5", "-Z", "6", "-e", "7", "--fgcolor=1,2,3", "--offset-y0=2.5", "--name=N", "-0", "f.dat"});
    EXPECT_TRUE(has_values_of_set(0));
    EXPECT_FALSE(mydata[1].cols.is_set());
}

TEST_F(Options, FontNameOfAnyLengthGoesToTheEnvironment)
{
    const std::string font(5000, 'f');
    parse({"--font=" + font});
    const char* value = std::getenv("TREMWIL_FONT");
    EXPECT_EQ(value ? value : "", font);
    unsetenv("TREMWIL_FONT");
}

} // namespace
