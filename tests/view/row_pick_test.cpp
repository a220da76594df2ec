// The line of a picked row, found by reading its file again: rows sorted by z, rows of equal values, comment and
// blank lines, a header and rows skipped for a missing value, --nox, and standard input kept for the run.
#include "view/row_pick.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_reader.h"
#include "plot/run_state.h"
#include "test_support.h"

namespace
{

class RowLines : public testing::Test
{
protected:
    void SetUp() override { reset_run_state(); }
    void TearDown() override { reset_run_state(); }

    // Reads the file into data set 0 and returns the line of each row as held.
    std::vector<std::uint64_t> lines_of(const std::string& name, const std::string& text)
    {
        data& d = mydata[0];
        d.fname = dir.write(name, text).string();
        const file_read read = readfile(d, inputs, switches_from_options());
        std::vector<std::uint64_t> lines;
        for (std::size_t i = 0; i < d.x.size(); ++i)
            lines.push_back(line_of_row(d, i, inputs, read.switches).value_or(0));
        return lines;
    }

    test_support::TempDir dir;
    kept_inputs inputs;
};

TEST_F(RowLines, SortedRowsAndRowsOfEqualValuesFindTheirOwnLines)
{
    const auto lines = lines_of("a.dat", "# c\n3 3 9\n1 1 1\n\n2 2 5\r\n1 1 1\n; more\n");
    // Sorted by z: 1 1 1 (line 3), 1 1 1 (line 6), 2 2 5 (line 5), 3 3 9 (line 2).
    EXPECT_EQ(lines, (std::vector<std::uint64_t>{3, 6, 5, 2}));
    EXPECT_EQ(picked_row_text(mydata[0], 2, 5), mydata[0].fname + ":5: 2 2 5");
}

TEST_F(RowLines, DelimitedFilesSkipTheHeaderAndRowsMissingAValue)
{
    const auto lines = lines_of("b.csv", "x,y,z\n1,2,3\nNA,1,1\n\n4,5,0.5\n");
    EXPECT_EQ(lines, (std::vector<std::uint64_t>{5, 2}));
}

TEST_F(RowLines, WithoutXTheRowNumberIsTheX)
{
    nox = 1;
    mydata[0].cols.y = 1;
    mydata[0].cols.z = 2;
    const auto lines = lines_of("c.dat", "5 1\n#\n5 1\n5 1\n");
    EXPECT_EQ(lines, (std::vector<std::uint64_t>{1, 3, 4}));
}

TEST_F(RowLines, ExpressionsAndTheFilterAreRunAsTheReaderRunsThem)
{
    expr_error error;
    ASSERT_TRUE(mydata[0].cols[expr_slot::y].compile("$2 * 10", error));
    ASSERT_TRUE(mydata[0].cols[expr_slot::where].compile("$1 > 1", error));
    const auto lines = lines_of("e.dat", "1 1 1\n2 1 1\n3 0.5 2\n2 1 1\n");
    // Rows (2, 10, 1) from lines 2 and 4, (3, 5, 2) from line 3; line 1 is filtered out.
    EXPECT_EQ(lines, (std::vector<std::uint64_t>{2, 4, 3}));
    EXPECT_EQ(mydata[0].y[2], 5);
}

TEST_F(RowLines, AFileChangedSinceItWasReadHasNoLineForTheRow)
{
    data& d = mydata[0];
    d.fname = dir.write("d.dat", "1 2 3\n").string();
    const file_read read = readfile(d, inputs, switches_from_options());
    dir.write("d.dat", "7 8 9\n");
    EXPECT_FALSE(line_of_row(d, 0, inputs, read.switches).has_value());
}

} // namespace
