// Dealing runs of a file's rows out to their groups and the groups to data sets: file order kept in every group,
// colour values moved with their rows, blocks kept across runs, groups renumbered, rows past the groups dropped,
// over few rows and many.
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
        row_groups groups;
        for (const char* value : {"a", "b", "c"})
            groups.groups.group_of(value);
        mydata[5].x = {99}; // a set left from before is emptied
        std::vector<double> x, y, z, c;
        std::vector<std::uint8_t> group;
        std::vector<std::vector<double>> want_x(3);
        std::vector<std::vector<double>> want_c(3);
        for (std::size_t i = 0; i < n; ++i) {
            // Groups in an uneven pattern, and every seventh row past the groups.
            const std::uint8_t g = i % 7 == 6 ? by_groups::max_groups : static_cast<std::uint8_t>((i + i / 4) % 3);
            group.push_back(g);
            x.push_back(static_cast<double>(i));
            y.push_back(static_cast<double>(2 * i));
            z.push_back(static_cast<double>(n - i));
            c.push_back(static_cast<double>(i) / 2);
            if (g < 3) {
                want_x[g].push_back(static_cast<double>(i));
                want_c[g].push_back(static_cast<double>(i) / 2);
            }
        }
        // Two runs, the second numbering the groups the other way round; a blank line before row 3 of the first,
        // one before the first row of the second.
        const std::size_t cut = n / 2;
        std::vector<std::uint8_t> renumbered(group.begin() + static_cast<std::ptrdiff_t>(cut), group.end());
        for (std::uint8_t& g : renumbered)
            g = g < 3 ? static_cast<std::uint8_t>(2 - g) : g;
        const std::uint8_t reversed[by_groups::max_groups + 1] = {2, 1, 0, 3, 4, 5, 6, 7, 8, 9, 10};
        const std::size_t blank_rows[] = {3, n};
        deal_rows(groups, {.columns = {x.data(), y.data(), z.data(), nullptr, nullptr, nullptr, nullptr, c.data()},
                           .group = group.data(),
                           .number = same_group_numbers,
                           .rows = cut,
                           .after_blank = blank_rows});
        deal_rows(groups, {.columns = {x.data() + cut, y.data() + cut, z.data() + cut, nullptr, nullptr, nullptr,
                                       nullptr, c.data() + cut},
                           .group = renumbered.data(),
                           .number = reversed,
                           .rows = n - cut,
                           .after_blank = {},
                           .blank_before_first = true});
        std::vector<std::size_t> starts_at_cut(3);
        for (std::size_t i = 0; i < cut; ++i)
            if (group[i] < 3)
                ++starts_at_cut[group[i]];
        take_groups(mydata, groups, "$4");
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
            // Rows 0 to 5 are of groups 0, 1, 2, 0, 2, 0: the blank line before row 3 starts a block in each group
            // at its next row; the one before the second run at each group's first row there.
            std::vector<std::size_t> want_starts{1};
            if (starts_at_cut[g] < set.x.size() && starts_at_cut[g] > 1)
                want_starts.push_back(starts_at_cut[g]);
            EXPECT_EQ(set.block_starts, want_starts) << g;
        }
        EXPECT_TRUE(mydata[5].x.empty());
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
