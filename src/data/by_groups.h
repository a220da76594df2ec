// --by: the rows of one file split into one data set per distinct value of a column, in order of first appearance.
// The reader deals each run of rows out to its groups as it reads them; after the reading each group's rows become
// a data set, 0 to 9.
#ifndef TREMWIL_BY_GROUPS_H
#define TREMWIL_BY_GROUPS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
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
    // A key of each of values (its first eight bytes, with the length of a shorter one) and its length (none past
    // values.size()): most values are told apart by their keys alone, on every row.
    std::array<std::uint64_t, max_groups> keys{};
    std::array<std::size_t, max_groups> lengths = no_lengths();

    // The index of a value in values; values.size() when it is none of them (max_groups once they are full).
    std::uint8_t find(std::string_view text) const;
    // Takes a value find did not find: a new group while there is room, counted among the others after that.
    void add(std::string_view text);
    // The group of a value, taken first if need be: its index in values, or max_groups for a value past them.
    std::uint8_t group_of(std::string_view text);
    std::size_t distinct() const { return values.size() + more.size(); }
    void clear()
    {
        values.clear();
        more.clear();
        keys = {};
        lengths = no_lengths();
    }

private:
    static constexpr std::array<std::size_t, max_groups> no_lengths()
    {
        std::array<std::size_t, max_groups> none{};
        none.fill(std::string_view::npos);
        return none;
    }
};

// The rows of one group as they are read: the row columns in the order of data::columns(), then the colour values
// (index colour_column), and the rows that start a block.
struct group_rows {
    static constexpr std::size_t column_count = 8;
    static constexpr std::size_t colour_column = 7;
    std::array<std::vector<double>, column_count> columns;
    std::vector<std::size_t> block_starts;
    std::size_t size() const { return columns[0].size(); }
};

using group_set = std::array<group_rows, by_groups::max_groups>;

// What a data set read with --by holds of its groups: the group of each row it holds that is not yet dealt out,
// the groups' values, and the rows dealt out to each group so far.
struct row_groups {
    std::vector<std::uint8_t> group;
    by_groups groups;
    group_set rows;
    // A blank line came after the last row of the group: its next row starts a block.
    std::array<bool, by_groups::max_groups> blank_since_last{};

    void clear();
};

// A run of rows in file order, for deal_rows: their columns (null where the data set has none; index
// group_rows::colour_column the colour values), the group of each row as numbered where the rows were read and what
// each such number is among the file's groups (max_groups for a value past them: the row is dropped), and the rows
// that a blank line parts from the row before.
struct row_run {
    std::array<const double*, group_rows::column_count> columns{};
    const std::uint8_t* group = nullptr;
    const std::uint8_t* number = nullptr; // by_groups::max_groups + 1 entries
    std::size_t rows = 0;
    std::span<const std::size_t> after_blank; // ascending; entries from rows on are ignored
    bool blank_before_first = false;
};

// The numbering of a run whose groups are numbered as the file's are.
extern const std::uint8_t same_group_numbers[by_groups::max_groups + 1];

// Text of whitespace-separated column col (from 1) of line; empty when the line ends before it.
std::string_view whitespace_token(std::string_view line, std::uint32_t col);

// Appends each row of the run to its group's rows, in file order. A row of a group starts a block when a blank
// line lies between it and the group's row before.
void deal_rows(row_groups& into, const row_run& run);

// deal_rows for a run already split where it was read (split[k] holds, in file order, the rows the run numbers k):
// the rows of each are appended to their group's; run gives only the rows' groups and blank lines.
void join_split_rows(row_groups& into, const group_set& split, const row_run& run);

// Moves each group's rows to its data set, sets[0] to sets[groups - 1], and names each data set
// label_of_column=value. The other data sets are emptied; sets[0]'s ranges are left as they were.
void take_groups(data* sets, row_groups& from, const std::string& label_of_column);

#endif // TREMWIL_BY_GROUPS_H
