// Reading the colour column (-c): its values follow their rows through the sort by z, a row without one is
// missing, header names and expressions work as for the other columns, and threads read as one thread does.
#include <string>
#include <vector>

#include "data/data_reader.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace
{

using test_support::TempDir;
using rows = std::vector<double>;

class ColourColumn : public reader_tests::ReaderTest
{
public:
    struct outcome {
        rows x, z, c;
        std::string messages, error;
    };
    // Reads text with the colour column given as a number (column), a header name or an expression (text).
    outcome read(const std::string& text, std::uint32_t column, const char* given = "", read_limits limits = {},
                 const char* name = "r.dat")
    {
        SetUp();
        data& d = mydata[0];
        d.cols.c = column;
        const std::string g = given;
        if (!g.empty() && g.find_first_of("$(+*/") == std::string::npos) {
            d.cols.c_name = g;
        } else if (!g.empty()) {
            expr_error error;
            EXPECT_TRUE(d.cols[expr_slot::c].compile(given, error)) << given;
        }
        d.fname = dir.write(name, text).string();
        outcome out{};
        testing::internal::CaptureStderr();
        try {
            readfile(d, limits);
        } catch (const std::exception& e) {
            out.error = e.what();
        }
        out.messages = testing::internal::GetCapturedStderr();
        out.x = d.x;
        out.z = d.z;
        out.c = d.c;
        return out;
    }
    TempDir dir;
};

TEST_F(ColourColumn, ValuesFollowTheirRowsAndMissingOnesLeaveTheRowOut)
{
    // Sorted by z, each colour value stays with its row.
    const outcome got = read("1 0 5 10\n2 0 -1 20\n3 0 2 30\n", 4);
    EXPECT_EQ(got.x, (rows{2, 3, 1}));
    EXPECT_EQ(got.c, (rows{20, 30, 10}));
    // Without -c no colour value is read.
    EXPECT_TRUE(read("1 0 5 10\n", 0).c.empty());
    // A line short of the colour column is short of a column.
    const std::string short_line = read("1 0 5 10\n2 0 3\n", 4).error;
    EXPECT_TRUE(short_line.starts_with("Too few columns: line 2 of data file ")) << short_line;
    EXPECT_TRUE(short_line.ends_with("r.dat has 3 columns, but c needs column 4")) << short_line;
    // A header name, a missing value (the row is skipped and counted) and an expression without a value.
    const outcome named = read("x,y,z,temp\n1,1,1,10\n2,2,2,NA\n3,3,3,30\n", 0, "temp", {}, "r.csv");
    EXPECT_EQ(named.x, (rows{1, 3}));
    EXPECT_EQ(named.c, (rows{10, 30}));
    EXPECT_NE(named.messages.find("1 row with missing values skipped"), std::string::npos) << named.messages;
    const outcome computed = read("1 0 1 4\n2 0 2 -4\n3 0 3 9\n", 0, "sqrt($4)");
    EXPECT_EQ(computed.x, (rows{1, 3}));
    EXPECT_EQ(computed.c, (rows{2, 3}));
}

TEST_F(ColourColumn, ThreadsReadAsOne)
{
    std::string text;
    for (int i = 0; i < 80; ++i)
        text += std::to_string(i) + " 1 " + std::to_string(i * 7 % 13) + " " + std::to_string(i * 3 % 17 - 5) +
                (i % 11 == 5 ? "\n\n" : "\n");
    for (const char* given : {"", "1/$4"}) {
        const outcome whole = read(text, 4, given);
        ASSERT_EQ(whole.c.size(), whole.x.size());
        for (const unsigned threads : {2u, 3u})
            for (std::size_t block = 5; block <= 45; block += 20) {
                SCOPED_TRACE(std::string(given) + " threads " + std::to_string(threads) + " block " +
                             std::to_string(block));
                const outcome got = read(text, 4, given,
                                         {.block_bytes = block,
                                          .threads = threads,
                                          .parallel_bytes = 0,
                                          .cut_seed = static_cast<unsigned>(block + threads)});
                EXPECT_EQ(got.x, whole.x);
                EXPECT_EQ(got.c, whole.c);
                EXPECT_EQ(got.messages, whole.messages);
            }
    }
}

} // namespace
