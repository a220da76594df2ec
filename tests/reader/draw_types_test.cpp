// The one answer to which columns a row needs: for each draw type, under the column switches and with expressions,
// how far a line is scanned and which columns are checked for a missing value; and what the one-thread and the
// threaded reader make of the same file with each row of the draw-type table (which holds the table to its types and
// layouts; a value no option gives is refused below and drawn as no mark in marks_test).
#include "data/draw_types.h"

#include <array>
#include <string>
#include <vector>

#include "data/data_reader.h"
#include "reader_fixture.h"

namespace
{

using columns = std::vector<std::uint32_t>;
using rows = std::vector<double>;

// One data set's choices for the cases: x 8, y 2, z 3, e 4 (components in 4 to 7, vectors in 4 and 5).
cols sample_columns()
{
    cols c;
    c.x = 8;
    c.y = 2;
    c.z = 3;
    c.e = 4;
    return c;
}

TEST(NeededColumns, ByDrawTypeSwitchesAndExpressions)
{
    const column_switches none{}, nox{.nox = true}, noz{.noz = true}, only2{.only2cols = true};
    const column_switches bare{.nox = true, .noz = true};
    enum : unsigned { y_expression = 1, filter = 2, u_expression = 4, colour = 8 };
    const struct {
        int type;
        column_switches switches;
        unsigned choices; // which of the four choices below the case gives
        std::uint32_t last;
        columns checked;
        columns components; // in reading order
    } cases[] = {
        {DT_NORMAL, none, 0, 8, {2, 8, 3}, {}},
        {DT_LINE, none, 0, 8, {2, 8, 3}, {}},
        {DT_NORMAL, nox, 0, 3, {2, 3}, {}},
        {DT_NORMAL, noz, 0, 8, {2, 8}, {}},
        {DT_LINE, only2, 0, 8, {2, 8}, {}},
        {DT_NORMAL, bare, 0, 2, {2}, {}},
        {DT_UNKNOWN, none, 0, 8, {2, 8, 3}, {}},
        // The component types never read z, and the z switches do not stop their components; checked in
        // column order, read in the layout's order.
        {DT_ELLIPSE_XYUV, none, 0, 8, {2, 8, 4, 5, 6, 7}, {4, 5, 6, 7}},
        {DT_QUIVER_XYUV, bare, 0, 7, {2, 4, 5, 6, 7}, {4, 5, 6, 7}},
        {DT_ELLIPSE_XUYV, noz, 0, 8, {2, 8, 4, 5, 6, 7}, {4, 6, 5, 7}},
        {DT_QUIVER_XUYV, nox, 0, 7, {2, 4, 5, 6, 7}, {4, 6, 5, 7}},
        {DT_VECTORS, nox, 0, 5, {2, 4, 5}, {4, 5}},
        {DT_VECTORS, only2, 0, 8, {2, 8, 4, 5}, {4, 5}},
        // Expressions read their own columns instead of the choice's; the filter and the colour come last.
        {DT_NORMAL, none, y_expression, 9, {1, 9, 8, 3}, {}},
        {DT_NORMAL, nox, filter, 10, {2, 3, 10}, {}},
        {DT_VECTORS, nox, u_expression, 11, {2, 11, 5}, {4, 5}},
        {DT_QUIVER_XYUV, bare, colour, 12, {2, 4, 5, 6, 7, 12}, {4, 5, 6, 7}},
        {DT_NORMAL, noz, y_expression | filter | colour, 12, {1, 9, 8, 10, 12}, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE("type " + std::to_string(k.type) + " nox " + std::to_string(k.switches.nox) + " noz " +
                     std::to_string(k.switches.noz) + " only2cols " + std::to_string(k.switches.only2cols) +
                     " choices " + std::to_string(k.choices));
        cols c = sample_columns();
        if (k.choices & y_expression)
            reader_tests::compile(c, expr_slot::y, "$9 - $1");
        if (k.choices & filter)
            reader_tests::compile(c, expr_slot::where, "$10 > 0");
        if (k.choices & u_expression)
            reader_tests::compile(c, expr_slot::u, "$11 * 2");
        if (k.choices & colour)
            c.c = 12;
        const row_columns need = needed_columns(c, k.switches, draw_type_of(k.type));
        EXPECT_EQ(last_column(c, need), k.last);
        columns checked;
        checked_columns(c, need, checked);
        EXPECT_EQ(checked, k.checked);
        EXPECT_EQ(columns(need.component.begin(), need.component.begin() + need.component_count), k.components);
    }
    // A file found to have one column reads y from column 1, whatever y column the data set chose.
    const cols c = sample_columns();
    const row_columns one = needed_columns(c, bare, draw_type_of(DT_NORMAL), 1);
    EXPECT_EQ(one.y, 1u);
    EXPECT_EQ(last_column(c, one), 1u);
}

class DrawTypeReading : public reader_tests::ReaderTest
{
protected:
    // Reads text as data set 0 drawn as type, on one thread or cut into pieces on three.
    reader_tests::reading read(const std::string& text, int type, bool threads, column_switches options = {})
    {
        SetUp();
        nox = options.nox;
        noz = options.noz;
        only2cols = options.only2cols;
        draw_type = type;
        mydata[0].cols.e = 4;
        read_limits limits;
        if (threads)
            limits = {.block_bytes = 7, .threads = 3, .parallel_bytes = 0, .cut_seed = 5};
        return read_as("types.dat", text, limits);
    }
};

// Each row of the table read from the same file: the columns it fills, z for the types that read it, and the
// message for components that are not at right angles; the same on threads as on one thread.
TEST_F(DrawTypeReading, EachRowOfTheTableReadsItsColumnsOnOneThreadAndOnMany)
{
    const std::string text = "11 12 13 14 15 16 17\n21 22 23 24 25 26 27\n# c\n31 32 33 34 35 36 37\n";
    const rows x{11, 21, 31}, y{12, 22, 32}, z{13, 23, 33}, ones{1, 1, 1}, zeros{0, 0, 0}, none{};
    const rows c4{14, 24, 34}, c5{15, 25, 35}, c6{16, 26, 36}, c7{17, 27, 37};
    const struct {
        int type;
        std::array<rows, 7> columns;
        bool skew_message;
    } expected[] = {
        {DT_NORMAL, {x, y, z, none, none, none, none}, false},   {DT_LINE, {x, y, z, none, none, none, none}, false},
        {DT_ELLIPSE_XYUV, {x, y, ones, c4, c5, c6, c7}, true},   {DT_QUIVER_XYUV, {x, y, ones, c4, c5, c6, c7}, true},
        {DT_ELLIPSE_XUYV, {x, y, ones, c4, c6, c5, c7}, true},   {DT_QUIVER_XUYV, {x, y, ones, c4, c6, c5, c7}, true},
        {DT_VECTORS, {x, y, ones, c4, c5, zeros, zeros}, false},
    };
    ASSERT_EQ(std::size(expected), std::size(draw_types));
    for (const auto& e : expected) {
        for (const bool threads : {false, true}) {
            SCOPED_TRACE("type " + std::to_string(e.type) + (threads ? " on threads" : " on one thread"));
            const reader_tests::reading got = read(text, e.type, threads);
            EXPECT_EQ(got.columns, e.columns);
            EXPECT_EQ(got.messages.find("dot product not zero") != std::string::npos, e.skew_message) << got.messages;
            EXPECT_EQ(got.switches, column_switches{});
        }
    }
}

// The z switches stop z, not components; an unknown draw type ends the run where it would read z.
TEST_F(DrawTypeReading, ZSwitchesStopZAloneAndAnUnknownTypeEndsTheRunWhereItWouldReadZ)
{
    const column_switches z_off{.noz = true, .only2cols = true};
    for (const bool threads : {false, true}) {
        const reader_tests::reading got = read("1 2 9 0 5 6 0\n", DT_QUIVER_XYUV, threads, z_off);
        EXPECT_EQ(got.columns[2], (rows{1}));
        EXPECT_EQ(got.columns[3], (rows{0}));
        EXPECT_EQ(got.columns[6], (rows{0}));
        EXPECT_EQ(got.columns[4], (rows{5}));
        EXPECT_EQ(got.switches, z_off);
    }
    const reader_tests::reading unknown = read("1 2 3\n", DT_VECTORS + 1, false, {.noz = true});
    EXPECT_EQ(unknown.columns[2], (rows{1}));
    noz = 0;
    EXPECT_EXIT(readfile(mydata[0]), testing::ExitedWithCode(1), "Unknown draw_type: 8\n");
}

// What the reader decides is returned, not written into the settings: a one-column file turns x and z off and
// reads y from column 1, a line without z turns z off for the lines after it.
TEST_F(DrawTypeReading, TheReaderReturnsTheSwitchesItTurnsOn)
{
    const reader_tests::reading one = read("7\n5\n", DT_NORMAL, false);
    EXPECT_EQ(one.columns[1], (rows{7, 5}));
    EXPECT_EQ(one.switches, (column_switches{.nox = true, .noz = true}));
    EXPECT_EQ(nox + noz + only2cols, 0);
    mydata[0].fname = dir.write("one.dat", "4\n").string();
    EXPECT_TRUE(readfile(mydata[0]).one_column);

    const reader_tests::reading short_z = read("1 2 3\n4 5\n6 7 8\n", DT_NORMAL, false);
    EXPECT_EQ(short_z.columns[2], (rows{3, 1, 1}));
    EXPECT_EQ(short_z.switches, (column_switches{.only2cols = true}));
    EXPECT_EQ(only2cols, 0);
}

} // namespace
