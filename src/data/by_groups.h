// --by: the rows of one file split into one data set per distinct value of a column, in order of first appearance.
// The reader gives each row its group; after the reading the rows are dealt out to data sets 0 to 9.
#ifndef TREMWIL_BY_GROUPS_H
#define TREMWIL_BY_GROUPS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class data;

// The distinct values met so far: the first max_groups name the groups; the others are only counted, up to
// max_counted, for the report that there are too many.
struct by_groups {
    static constexpr std::size_t max_groups = 10;
    static constexpr std::size_t max_counted = 100'000;

    std::vector<std::string> values;
    std::unordered_set<std::string> more;
    // The first eight bytes of each of values, zero padded: most values are told apart by them and their length
    // without a call to compare bytes, on every row.
    std::vector<std::uint64_t> heads;

    // The group of a value: its index in values, or max_groups for a value past them.
    std::uint8_t group_of(std::string_view text);
    std::size_t distinct() const { return values.size() + more.size(); }
    void clear()
    {
        values.clear();
        more.clear();
        heads.clear();
    }
};

// The group of every row of a data set read with --by, and the groups' values.
struct row_groups {
    std::vector<std::uint8_t> group;
    by_groups groups;
};

// Text of whitespace-separated column col (from 1) of line; empty when the line ends before it.
std::string_view whitespace_token(std::string_view line, std::uint32_t col);

// Deals the rows of sets[0] (their colour values too), whose groups are given, out to sets[0] to sets[groups - 1] in
// file order (a blank line between two rows of a group still starts a block), and names each data set
// label_of_column=value. The other data sets are emptied. The ranges of sets[0] are left as they were.
void deal_out_groups(data* sets, const row_groups& rows, const std::string& label_of_column);

#endif // TREMWIL_BY_GROUPS_H
