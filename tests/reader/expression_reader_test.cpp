// Reading with expressions, --where and the colour column (-c): the values they give, the rows they leave out and
// count, and the same rows, messages and errors whether a file is parsed on one thread or cut into pieces on several.
#include <string>
#include <vector>

#include "data/data_reader.h"
#include "data/expression.h"
#include "reader_fixture.h"

namespace
{

using rows = std::vector<double>;

struct choices {
    const char* x = "";
    const char* y = "";
    const char* z = "";
    const char* where = "";
    std::uint32_t by = 0;
    std::uint32_t c_column = 0;
    const char* c = ""; // the colour column's header name or expression
    bool nox = false;
};

class ExpressionReader : public reader_tests::ReaderTest
{
public:
    reader_tests::reading read(const std::string& text, const choices& c, read_limits limits = {},
                               const char* name = "r.dat")
    {
        SetUp();
        data& d = mydata[0];
        const std::pair<expr_slot, const char*> given[] = {
            {expr_slot::x, c.x}, {expr_slot::y, c.y}, {expr_slot::z, c.z}, {expr_slot::where, c.where}};
        for (const auto& [slot, text_of] : given)
            if (*text_of != '\0')
                reader_tests::compile(d.cols, slot, text_of);
        d.cols.by = c.by;
        nox = c.nox;
        d.cols.c = c.c_column;
        if (*c.c != '\0' && std::string(c.c).find_first_of("$(+*/") == std::string::npos) {
            d.cols.c_name = c.c;
        } else if (*c.c != '\0') {
            reader_tests::compile(d.cols, expr_slot::c, c.c);
        }
        return read_as(name, text, limits);
    }
};

TEST_F(ExpressionReader, ValuesAndRowsLeftOut)
{
    const std::string text = "1 2000 4\n2 0 9\n\n3 -500 -1\n4 1500 16\n";
    const reader_tests::reading got = read(text, {.y = "$2/1000", .z = "sqrt($3)", .where = "$1 != 2"});
    // Row 2 is left out by the filter, row 3 has no square root: it is missing. The rest sorted by z.
    EXPECT_EQ(got.columns[0], (rows{1, 4}));
    EXPECT_EQ(got.columns[1], (rows{2, 1.5}));
    EXPECT_EQ(got.columns[2], (rows{2, 4}));
    EXPECT_EQ(got.block_starts, (std::vector<std::size_t>{1}));
    EXPECT_EQ(got.said, "1 row of " + dir.path().string() + "/r.dat left out by --where=$1 != 2\n");
    EXPECT_EQ(got.messages, "\nWarning: 1 row with missing values skipped in " + dir.path().string() + "/r.dat\n");

    // An expression that is the identity reads as the plain column does, and a filter of 1 leaves all.
    const std::string plain = "3 1 2\n1 4 1e999\n2 -0 5\n#\n9 7 0.25\n";
    const reader_tests::reading direct = read(plain, {});
    const reader_tests::reading identity = read(plain, {.x = "$1*1", .y = "$2+0", .where = "1"});
    EXPECT_EQ(identity.columns, direct.columns);

    // A line short of a column an expression reads is short of that column.
    EXPECT_TRUE(read("1 2 3\n4\n", {.y = "$2 * 2"}).error.ends_with("has 1 column, but y needs column 2"));
    EXPECT_TRUE(read("1 2 3\n4 5\n", {.where = "$3 > 0"})
                    .error.ends_with("has 2 columns, but the --where filter needs column 3"));
}

TEST_F(ExpressionReader, DelimitedNamesAndMissingValues)
{
    const std::string text = "ms,status,bytes\n1500,200,4\n,200,9\n700,NA,1\n300,500,0\n";
    const reader_tests::reading got =
        read(text, {.x = "status", .y = "ms/1000", .z = "log10(${bytes})", .where = "status<400"}, {}, "r.csv");
    EXPECT_EQ(got.columns[1], (rows{1.5}));
    EXPECT_EQ(got.said, "1 row of " + dir.path().string() + "/r.csv left out by --where=status<400\n");
    EXPECT_EQ(got.messages, "\nWarning: 2 rows with missing values skipped in " + dir.path().string() + "/r.csv\n");
    EXPECT_EQ(read(text, {.y = "level * 2"}, {}, "r.csv").error,
              "data file " + dir.path().string() +
                  "/r.csv has no column named \"level\"; its columns are: ms, "
                  "status, bytes");
    EXPECT_NE(read("a,b\nx,2\n", {.y = "a + b"}, {}, "r.csv").error.find("is not a number"), std::string::npos);
}

// The colour column's values follow their rows through the sort by z; a row without one is missing.
TEST_F(ExpressionReader, ColourValuesFollowTheirRowsAndMissingOnesLeaveTheRowOut)
{
    const reader_tests::reading got = read("1 0 5 10\n2 0 -1 20\n3 0 2 30\n", {.c_column = 4});
    EXPECT_EQ(got.columns[0], (rows{2, 3, 1}));
    EXPECT_EQ(got.c, (rows{20, 30, 10}));
    EXPECT_TRUE(read("1 0 5 10\n", {}).c.empty()) << "without -c no colour value is read";
    EXPECT_TRUE(read("1 0 5 10\n2 0 3\n", {.c_column = 4}).error.ends_with("has 3 columns, but c needs column 4"));
    const reader_tests::reading named = read("x,y,z,temp\n1,1,1,10\n2,2,2,NA\n3,3,3,30\n", {.c = "temp"}, {}, "r.csv");
    EXPECT_EQ(named.columns[0], (rows{1, 3}));
    EXPECT_EQ(named.c, (rows{10, 30}));
    EXPECT_NE(named.messages.find("1 row with missing values skipped"), std::string::npos) << named.messages;
    const reader_tests::reading computed = read("1 0 1 4\n2 0 2 -4\n3 0 3 9\n", {.c = "sqrt($4)"});
    EXPECT_EQ(computed.columns[0], (rows{1, 3}));
    EXPECT_EQ(computed.c, (rows{2, 3}));
}

// --by gives each row its group in order of first appearance; the rows of a line short of the column stop there.
TEST_F(ExpressionReader, GroupsInOrderOfFirstAppearance)
{
    const reader_tests::reading got = read("1 2 3 b\n2 3 4 a\n\n3 4 5 b\n4 5 6 c\n", {.by = 4});
    EXPECT_EQ(got.values, (std::vector<std::string>{"b", "a", "c"}));
    ASSERT_EQ(got.groups.size(), 3u);
    EXPECT_EQ(got.groups[0].first[0], (rows{1, 3}));
    EXPECT_EQ(got.groups[0].first[2], (rows{3, 5}));              // not sorted here: each data set is, once split
    EXPECT_EQ(got.groups[0].second, std::vector<std::size_t>{1}); // the blank line parts b's rows
    EXPECT_EQ(got.groups[1].first[1], (rows{3}));
    EXPECT_EQ(got.groups[2].first[0], (rows{4}));
    EXPECT_TRUE(got.groups[2].second.empty());
    EXPECT_TRUE(got.columns[0].empty()) << "the rows are the groups'";
    // --nox numbers the rows of the file, whichever group they go to.
    EXPECT_EQ(read("5 b\n6 a\n7 b\n", {.y = "$1", .by = 2, .nox = true}).groups[0].first[0], (rows{0, 2}));
    EXPECT_EQ(read("1 2 3 b\n2 3 4\n", {.by = 4}).error, "Too few columns");
    const reader_tests::reading csv = read("k,v\n\"x, y\",1\n,2\nz,3\n", {.x = "$2", .y = "$2", .by = 1}, {}, "r.csv");
    EXPECT_EQ(csv.values, (std::vector<std::string>{"x, y", "", "z"}));
}

// Pieces on threads leave out, count and stop at the same rows as one thread does.
TEST_F(ExpressionReader, ThreadsReadAsOne)
{
    // Three numbers in two fields: the fourth field is PUT, not 2. Lines of two columns switch z off; --by reads
    // the same rows with whole lines before the blank ones, as a line short of its column ends the run.
    std::string text = "1 2 3 GET\n3 1-2 2 PUT\n";
    std::string whole_lines = text;
    const char* const words[] = {"GET", "PUT", "HEAD", "7", "POST"};
    for (int i = 0; i < 60; ++i) {
        const std::string start = std::to_string(i % 7) + " " + std::to_string(i * 13 % 11 - 3);
        const std::string end = std::string(" 2 ") + words[i * 7 % 5] + (i % 9 == 4 ? "\n\n" : "\n");
        text += i % 9 == 4 ? start + "\n\n" : start + end;
        whole_lines += start + end;
    }
    const choices samples[] = {
        {.y = "$2*2"},
        {.where = "$2 > 0"},
        {.x = "1/$1", .y = "$2 % 4", .where = "$1 != 3"},
        {.y = "$2", .z = "log($3)"},
        {.y = "sqrt($2)", .where = "$3 == 2"},
        {.by = 4},
        {.y = "$2 / 2", .where = "$2 != 1", .by = 4},
        {.c_column = 2},
        {.where = "$2 != 1", .c = "1/$2"},
        {.y = "$2", .by = 4, .nox = true},
        {.where = "$2 > 0", .by = 4, .c_column = 1},
    };
    for (const choices& c : samples) {
        const std::string& text_read = c.by == 0 ? text : whole_lines;
        const reader_tests::reading whole = read(text_read, c);
        if (c.by != 0) {
            EXPECT_EQ(whole.error, "");
            EXPECT_EQ(whole.values.size(), std::size(words));
        }
        for (const unsigned threads : {2u, 3u, 5u})
            for (std::size_t block = 3; block <= 40; block += 37 / 4) {
                SCOPED_TRACE(std::string(c.x) + "|" + c.y + "|" + c.z + "|" + c.where + " threads " +
                             std::to_string(threads) + " block " + std::to_string(block));
                reader_tests::expect_same_reading(read(text_read, c,
                                                       {.block_bytes = block,
                                                        .threads = threads,
                                                        .parallel_bytes = 0,
                                                        .cut_seed = static_cast<unsigned>(block + threads)}),
                                                  whole);
            }
    }
}

} // namespace
