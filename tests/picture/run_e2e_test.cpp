// Runs over several files and options: the saved files, their comments, the autoscale and warning messages,
// pictures that cannot be saved, and data at the extremes of what a double holds.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

using test_support::read_png;
using test_support::run_tremwil;
using test_support::TempDir;

using test_support::occurrences;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string absolute(const TempDir& dir, const std::string& name)
{
    return (std::filesystem::canonical(dir.path()) / name).string();
}

TEST(PictureRun, EachFileGivesAPngWhoseCommentHoldsTheOptionsAndAbsolutePathsOfTheDataSetsShown)
{
    TempDir dir;
    dir.write("a.dat", "1 2 3\n2 3 4\n");
    dir.write("b.dat", "1 2 3\n5 3 1\n");
    dir.write("c.dat", "0 0 1\n4 1 2\n");
    dir.write("extra.dat", "1 2 1\n");
    auto run = run_tremwil({"--in-memory", "-x", "1", "-1", "extra.dat", "a.dat", "b.dat", "c.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string options = std::string(TREMWIL_BIN) + " --in-memory -x 1 -1 extra.dat ";
    for (const std::string name : {"a", "b", "c"}) {
        const auto png = read_png(dir / (name + ".png"));
        ASSERT_TRUE(png.has_value()) << name;
        EXPECT_EQ(png->width, 640);
        ASSERT_TRUE(png->comment.has_value());
        EXPECT_EQ(*png->comment, options + name + ".dat(" + absolute(dir, name + ".dat") + ")extra.dat(" +
                                     absolute(dir, "extra.dat") + ")");
    }
    // Three pictures and nothing else written beside the data.
    int pngs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        pngs += entry.path().extension() == ".png" ? 1 : 0;
    EXPECT_EQ(pngs, 3);

    // A reference to data set 0 follows the file shown.
    run = run_tremwil({"--in-memory", "-1", "@0", "--y1=3", "a.dat", "b.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = read_png(dir / "b.png");
    ASSERT_TRUE(png.has_value());
    ASSERT_TRUE(png->comment.has_value());
    const std::string b = "b.dat(" + absolute(dir, "b.dat") + ")";
    EXPECT_TRUE(png->comment->ends_with(b + b)) << *png->comment;
}

TEST(PictureRun, OutputNameAndPicturesThatCannotBeSaved)
{
    TempDir dir;
    dir.write("a.dat", "1 2 3\n2 3 4\n");
    auto run = run_tremwil({"--in-memory", "-o", "out.png", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(read_png(dir / "out.png").has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "a.png"));

    run = run_tremwil({"--in-memory", "-o", "missing/x.png", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "\nError: can't save missing/x.png\n")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // The run goes on, but a picture it could not save still fails it.
    run = run_tremwil({"--in-memory", "--error-as-warning", "-o", "missing/x.png", "a.dat", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(occurrences(run.err, "\nWarning: can't save missing/x.png\n"), 2) << run.err;

    // A file where the picture should go, but as a folder: no permission to write into it counts the same.
    std::filesystem::create_directory(dir / "b.png");
    dir.write("b.dat", "1 2 3\n");
    run = run_tremwil({"--in-memory", "b.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "can't save b.png\n")) << run.err;
}

// A picture never replaces a data file of the run or the picture of another data file; the run then fails.
TEST(PictureRun, PicturesNeverReplaceDataFilesOrEachOther)
{
    const std::string a = "1 2 3\n2 3 4\n", b = "1 1 1\n5 3 1\n";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message; // in standard error
        const char* picture; // saved, showing the first data file of args
    } cases[] = {
        {{"-o", "#1.png", "a.dat"}, 0, "", "#1.png"},
        {{"-o", "a.dat", "a.dat"}, 1, "\nError: can't save a.dat: it is the data file a.dat of this run\n", nullptr},
        {{"m.png"}, 1, "\nError: can't save m.png: it is the data file m.png of this run\n", nullptr},
        {{"-o", "./b.dat", "a.dat", "b.dat"},
         1,
         "can't save ./b.dat: it is the data file b.dat of this run\n",
         nullptr},
        // A link at the picture's name is replaced, not written through.
        {{"-o", "link.png", "a.dat"}, 0, "", "link.png"},
        {{"a.dat", "a.txt"}, 1, "\nError: can't save a.png: this run saved the picture of ", "a.png"},
        {{"-o", "out.png", "a.dat", "b.dat"},
         1,
         "\nError: can't save out.png: this run saved the picture of ",
         "out.png"},
        {{"-o", "out.png", "a.dat", "./a.dat"}, 0, "", "out.png"},
        {{"--error-as-warning", "-o", "b.dat", "a.dat", "b.dat"},
         1,
         "\nWarning: can't save b.dat: it is the data",
         nullptr},
        {{"--error-as-warning", "a.dat", "missing.dat", "b.dat"},
         1,
         "\nWarning: can't open file missing.dat\n",
         "a.png"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("a.dat", a);
        dir.write("b.dat", b);
        dir.write("a.txt", b);
        dir.write("m.png", a);
        std::filesystem::create_symlink("a.dat", dir / "link.png");
        std::vector<std::string> args{"--in-memory", "--quiet"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto run = run_tremwil(args, dir.path());
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(run.status, c.status) << what << run.err;
        EXPECT_TRUE(contains(run.err, c.message)) << what << run.err;
        for (const auto& [name, text] : {std::pair{"a.dat", a}, {"b.dat", b}, {"a.txt", b}, {"m.png", a}})
            EXPECT_EQ(test_support::read_file(dir / name), text) << what << " changed " << name;
        if (c.picture == nullptr)
            continue;
        const auto png = read_png(dir / c.picture);
        EXPECT_TRUE(png.has_value() && png->comment.has_value() && contains(*png->comment, "a.dat("))
            << what << " shows a.dat";
    }
}

TEST(PictureRun, AutoscaleSetsRingScaleAndLegendWidthOnce)
{
    TempDir dir;
    dir.write("z8.dat", "0 0 0\n1 1 8\n2 2 4\n");
    auto run = run_tremwil({"--in-memory", "--autoz", "--scaleinfo", "--biggest-ring=10", "z8.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "Autoscaling: scalez = 2\n")) << run.out;
    EXPECT_FALSE(contains(run.out, "Setting scalez")) << "the biggest ring is ignored once autoz has scaled";
    // The page is widened by the legend column of 2 * 8 * 2 = 32 pixels.
    const auto png = read_png(dir / "z8.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 672);

    run = run_tremwil({"--in-memory", "--biggest-ring=10", "z8.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "Setting scalez = 1.25 based on --biggest-ring=10\n")) << run.out;

    // Two files: the second keeps the scale of the first and is not scaled again.
    dir.write("z2.dat", "0 0 1\n1 1 2\n");
    run = run_tremwil({"--in-memory", "--autoz", "z8.dat", "z2.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.out, "Autoscaling:"), 1) << run.out;
}

TEST(PictureRun, MessagesOfEllipsesAndOfDataSetsOutsideThePlot)
{
    TempDir dir;
    // Components from column 3: e1 spans 0..4, e2 spans 0..2.
    dir.write("e.dat", "0 0 2 0 0 1\n10 10 4 0 0 2\n");
    auto run = run_tremwil({"--in-memory", "--drawellipse", "e.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "rangex:602 rangey:439\nrange e1:4 range e2:2\n")) << run.err;
    EXPECT_TRUE(read_png(dir / "e.png").has_value());

    // Data set 1 ends exactly on the widened limit 10.2 of data set 0: outside, told once per run.
    dir.write("a.dat", "0 0 1\n10 10 1\n");
    dir.write("b.dat", "0 0 1\n10 10 1\n");
    dir.write("edge.dat", "1 1 1\n10.2 5 1\n");
    run = run_tremwil({"--in-memory", "-1", "edge.dat", "a.dat", "b.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.err, "Max x-value(10.2) lies outside the x-range of the plot (-0.2 - 10.2)\n"
                                   "Suggest using --maxx/--minx to change scale\n"),
              1)
        << run.err;
    EXPECT_FALSE(contains(run.err, "Min x-value")) << run.err;
    EXPECT_FALSE(contains(run.err, "y-value")) << run.err;
}

TEST(PictureRun, DateAnnotationOfTimeAxesAndDataSetZeroWithoutRows)
{
    TempDir dir;
    dir.write("t.dat", "1000000000 1 1\n1000003600 2 2\n");
    auto run = run_tremwil({"--in-memory", "--debug", "--x-time", "t.dat"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, ") x: 2001-09-09 \n")) << "the first x as a UTC date";

    // A file without rows gets no picture (the reader tests check the messages and status).
    dir.write("empty.dat", "# nothing\n");
    run = run_tremwil({"--in-memory", "--error-as-warning", "empty.dat", "t.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.png"));
    EXPECT_TRUE(read_png(dir / "t.png").has_value()) << "the next file is still drawn";
}

// Graphics mode is entered and left once per file: colour cells, font and frame of one pass must not pile up,
// or later pictures would lose their colours.
TEST(PictureRun, ManyFilesInOneRunKeepTheirColours)
{
    TempDir dir;
    std::vector<std::string> args{"--in-memory", "--quiet", "--fg0color=0,0,255", "--misccolor=0,255,0", "--hline=5"};
    for (int i = 0; i < 40; ++i) {
        std::string name = std::to_string(100 + i);
        name.insert(0, 1, 'f');
        name += ".dat";
        dir.write(name, "0 0 1\n10 10 2\n5 4 3\n2 8 -3\n");
        args.push_back(name);
    }
    const auto run = run_tremwil(args, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* name : {"f100.png", "f139.png"}) {
        SCOPED_TRACE(name);
        const auto png = read_png(dir / name);
        ASSERT_TRUE(png.has_value());
        // The same ring, disc and overlay line as in the first picture (see the page tests for the positions).
        EXPECT_EQ(png->at(329, 282), (test_support::rgb{0, 0, 255}));
        EXPECT_EQ(png->at(152, 113), (test_support::rgb{255, 128, 0}));
        EXPECT_EQ(png->count({0, 255, 0}, 25, 0, 627, 479), 603);
    }
}

struct extreme_case {
    const char* name;
    const char* rows;
    std::vector<std::string> options;
    const char* message; // a message the run must give, or null
};

// Data at the edges of what a double holds, and pages or scales that leave little room: every run ends
// normally with a whole PNG of the page size (the sanitizer build checks that nothing undefined happens).
TEST(PictureRun, ExtremeDataDrawsWhatCanBeDrawn)
{
    const std::vector<extreme_case> cases = {
        {"huge",
         "1.7e308 -1.7e308 1.7e308\n-1.7e308 1.7e308 -1.7e308\n",
         {},
         "the x range of the plot (-inf - inf) is too wide"},
        {"equal", "3 3 3\n3 3 3\n3 3 3\n", {}, nullptr},
        {"one", "1 2 3\n", {"--scaleinfo"}, nullptr},
        {"big_rings", "0 0 100000\n1 1 -100000\n", {"--line"}, "some rings are bigger than the plot"},
        {"tiny_range", "0 0 1\n1 1 2\n", {"--minx=0", "--maxx=1e-300"}, nullptr},
        {"tiny_z", "0 0 1e-320\n1 1 2e-320\n", {"--autoz", "--scaleinfo"}, "Autoscaling"},
        {"huge_z", "0 0 1.7e308\n1 1 1e308\n", {"--autoz", "--scaleinfo"}, "Autoscaling"},
        {"zero_z", "0 0 0\n1 1 0\n", {"--autoz", "--scaleinfo", "--range-add-z=0"}, nullptr},
        // Ranges left empty by a zero widening, or by values whose widening is lost in rounding.
        {"one_row_unwidened", "1 2 3\n", {"--range-add-x=0", "--range-add-y=0"}, nullptr},
        {"equal_z_unwidened", "1 2 5\n2 3 5\n", {"--scaleinfo", "--range-add-z=0"}, nullptr},
        {"equal_huge", "1e20 -1e20 1e20\n1e20 -1e20 1e20\n", {"--scaleinfo"}, nullptr},
        {"huge_time", "1e300 1e300 1\n2e300 2e300 2\n", {"--x-time", "--y-time"}, nullptr},
        {"ellipse_huge", "0 0 1e308 -1e308 1e308 1\n1 1 1 1 1 1\n", {"--drawellipse", "--scaleinfo"}, "rangex:"},
        {"quiver_huge", "0 0 1e308 -1e308 1 1\n1 1 1 1 1 1\n", {"--drawquiver"}, nullptr},
        {"overlays_far",
         "0 0 1\n1 1 2\n",
         {"--circle=1e300,0,1e300", "--arrow=-1e308,0,1e308,1", "--text=1e308,0,far"},
         nullptr},
        {"left_offset_huge", "0 0 1\n1 1 2\n", {"--left-offset=2000000000"}, "no room for the plot"},
        {"small_page", "0 0 1\n1 1 2\n", {"--width=40", "--height=30", "--title=A long title"}, "no room"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("d.dat", c.rows);
        std::vector<std::string> args{"--in-memory"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back("d.dat");
        const auto run = run_tremwil(args, dir.path());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(contains(run.err, "runtime error")) << run.err;
        EXPECT_FALSE(contains(run.err, "Sanitizer")) << run.err;
        if (c.message != nullptr) {
            EXPECT_TRUE(contains(run.out + run.err, c.message)) << run.out << run.err;
        }
        const auto png = read_png(dir / "d.png");
        ASSERT_TRUE(png.has_value());
        EXPECT_GT(png->width, 0);
        EXPECT_GT(png->height, 0);
    }
}

} // namespace
