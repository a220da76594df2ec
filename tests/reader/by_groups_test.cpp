// Dealing a file's rows out to one data set per group: file order kept in every group, colour values moved with
// their rows, blocks kept, rows past the groups dropped, whether the rows are few or many enough for threads.
#include <cstdint>
#include <string>
#include <vector>

#include "data/by_groups.h"
#include "reader_fixture.h"

namespace
{

class ByGroups : public reader_tests::ReaderTest
{
};

TEST_F(ByGroups, RowsGoToTheirGroupsInFileOrder)
{
    for (const std::size_t n : {std::size_t{11}, std::size_t{200'003}}) {
        SCOPED_TRACE(n);
        SetUp();
        data& whole = mydata[0];
        row_groups rows;
        for (const char* value : {"a", "b", "c"})
            rows.groups.group_of(value);
        mydata[5].x = {99}; // a set left from before is emptied
        std::vector<std::vector<double>> want_x(3);
        std::vector<std::vector<double>> want_c(3);
        for (std::size_t i = 0; i < n; ++i) {
            // Groups in an uneven pattern, and every seventh row past the groups.
            const std::uint8_t g = i % 7 == 6 ? by_groups::max_groups : static_cast<std::uint8_t>((i + i / 4) % 3);
            rows.group.push_back(g);
            whole.x.push_back(static_cast<double>(i));
            whole.y.push_back(static_cast<double>(2 * i));
            whole.z.push_back(static_cast<double>(n - i));
            whole.c.push_back(static_cast<double>(i) / 2);
            if (g < 3) {
                want_x[g].push_back(static_cast<double>(i));
                want_c[g].push_back(static_cast<double>(i) / 2);
            }
        }
        whole.block_starts = {3};
        deal_out_groups(mydata, rows, "$4");
        for (std::size_t g = 0; g < 3; ++g) {
            const data& set = mydata[g];
            EXPECT_EQ(set.x, want_x[g]) << g;
            EXPECT_EQ(set.c, want_c[g]) << g;
            ASSERT_EQ(set.y.size(), set.x.size());
            ASSERT_EQ(set.z.size(), set.x.size());
            for (std::size_t i = 0; i < set.x.size(); ++i) {
                EXPECT_EQ(set.y[i], 2 * set.x[i]);
                EXPECT_EQ(set.z[i], static_cast<double>(n) - set.x[i]);
            }
            EXPECT_EQ(set.label, std::string("$4=") + "abc"[g]);
        }
        EXPECT_TRUE(mydata[5].x.empty());
        // Rows 0 to 5 are of groups 0, 1, 2, 0, 2, 0: a blank line before row 3 starts a block in each group at
        // its next row.
        for (std::size_t g = 0; g < 3; ++g)
            EXPECT_EQ(mydata[g].block_starts, std::vector<std::size_t>{1}) << g;
    }
}

// Values alike in their first eight bytes, or differing only in length, are different groups.
TEST(ByGroupValues, TellsApartValuesAlikeAtTheStart)
{
    by_groups groups;
    const std::string_view texts[] = {"abcdefgh1", "abcdefgh", "abcdefgh2", "abc", std::string_view("abc\0", 4), ""};
    for (std::size_t k = 0; k < std::size(texts); ++k)
        EXPECT_EQ(groups.group_of(texts[k]), k) << k;
    for (std::size_t k = 0; k < std::size(texts); ++k)
        EXPECT_EQ(groups.group_of(texts[k]), k) << k;
    EXPECT_EQ(groups.distinct(), std::size(texts));
}

} // namespace
