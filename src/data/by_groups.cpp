// --by: the groups of the rows, the dealing out of the rows to their groups, and the groups made data sets.
#include "data/by_groups.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#include "data/data_set.h"

namespace
{

// The first eight bytes of a value; a shorter value has its length in the last byte, so that its key alone tells
// it from every other value of up to seven bytes.
std::uint64_t key_of(std::string_view text)
{
    std::uint64_t key = text.size() < 8 ? std::uint64_t{text.size()} << 56 : 0;
    for (std::size_t k = 0; k < text.size() && k < 8; ++k)
        key |= std::uint64_t{static_cast<unsigned char>(text[k])} << (8 * k);
    return key;
}

} // namespace

std::uint8_t by_groups::find(std::string_view text) const
{
    const std::uint64_t key = key_of(text);
    // Every key is compared, with no branch: the value that matches changes from row to row at random, and a
    // search that stopped at it would mispredict where it stops on most rows. The keys that match are then checked.
    unsigned alike = 0;
    for (std::size_t k = 0; k < max_groups; ++k)
        alike |= static_cast<unsigned>(keys[k] == key) << k;
    for (; alike != 0; alike &= alike - 1) {
        const auto k = static_cast<std::size_t>(std::countr_zero(alike));
        if (lengths[k] == text.size() &&
            (text.size() <= 8 || std::memcmp(values[k].data() + 8, text.data() + 8, text.size() - 8) == 0))
            return static_cast<std::uint8_t>(k);
    }
    return static_cast<std::uint8_t>(values.size());
}

void by_groups::add(std::string_view text)
{
    if (values.size() < max_groups) {
        keys[values.size()] = key_of(text);
        lengths[values.size()] = text.size();
        values.emplace_back(text);
    } else if (more.size() < max_counted) {
        more.emplace(text);
    }
}

std::uint8_t by_groups::group_of(std::string_view text)
{
    const std::uint8_t found = find(text);
    if (found < values.size())
        return found;
    add(text);
    return found;
}

namespace
{

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string_view whitespace_token(std::string_view line, std::uint32_t col)
{
    std::size_t at = 0;
    for (std::uint32_t k = 1;; ++k) {
        while (at < line.size() && is_blank(line[at]))
            ++at;
        if (at == line.size())
            return {};
        const std::size_t start = at;
        while (at < line.size() && !is_blank(line[at]))
            ++at;
        if (k == col)
            return line.substr(start, at - start);
    }
}

const std::uint8_t same_group_numbers[by_groups::max_groups + 1] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
static_assert(by_groups::max_groups == 10, "same_group_numbers names every group number");

void row_groups::clear()
{
    group.clear();
    groups.clear();
    for (group_rows& g : rows) {
        for (std::vector<double>& column : g.columns)
            column.clear();
        g.block_starts.clear();
    }
    blank_since_last.fill(false);
}

namespace
{

// Where each row of a run goes: its group among the file's (max_groups past them) and its index among the run's
// rows of that group (32 bits: a run is at most a file's rows, under 2^32 by the reader's bound on file size);
// and the rows of each group.
struct row_places {
    std::vector<std::uint8_t> group;
    std::vector<std::uint32_t> index;
    std::array<std::size_t, by_groups::max_groups + 1> counts{};
};

row_places place_rows(const row_run& run)
{
    row_places places{.group = std::vector<std::uint8_t>(run.rows), .index = std::vector<std::uint32_t>(run.rows)};
    for (std::size_t i = 0; i < run.rows; ++i) {
        const std::uint8_t g = run.number[run.group[i]];
        places.group[i] = g;
        places.index[i] = static_cast<std::uint32_t>(places.counts[g]++);
    }
    return places;
}

bool any_blank_line(const row_run& run)
{
    return run.blank_before_first || (!run.after_blank.empty() && run.after_blank.front() < run.rows);
}

// The block starts of the run's rows in their groups. Most files have no blank lines: then nothing is walked.
void deal_block_starts(row_groups& into, const row_run& run)
{
    // A mark set before a group's first row means nothing: the first row of a group starts no block.
    for (std::size_t g = 0; g < by_groups::max_groups; ++g)
        into.blank_since_last[g] = into.blank_since_last[g] && into.rows[g].size() > 0;
    if (!any_blank_line(run) && std::ranges::none_of(into.blank_since_last, std::identity()))
        return;
    std::array<std::size_t, by_groups::max_groups> taken;
    for (std::size_t g = 0; g < by_groups::max_groups; ++g)
        taken[g] = into.rows[g].size();
    auto next = run.after_blank.begin();
    for (std::size_t i = 0; i < run.rows; ++i) {
        const bool after_blank = next != run.after_blank.end() && *next == i;
        if (after_blank)
            ++next;
        if (after_blank || (i == 0 && run.blank_before_first))
            into.blank_since_last.fill(true);
        const std::uint8_t g = run.number[run.group[i]];
        if (g >= by_groups::max_groups)
            continue;
        if (into.blank_since_last[g] && taken[g] > 0)
            into.rows[g].block_starts.push_back(taken[g]);
        into.blank_since_last[g] = false;
        ++taken[g];
    }
}

// Appends the rows of one column to the same column of their groups. Every row's place is known beforehand: no
// branch on the group, which costs mispredictions when groups alternate at random, and no row waits for the one
// before it; rows past the groups go to a scratch column.
void deal_column(const double* from, std::size_t column, group_set& into, const row_places& places)
{
    std::vector<double> past_groups(places.counts[by_groups::max_groups]);
    double* out[by_groups::max_groups + 1];
    for (std::size_t g = 0; g < by_groups::max_groups; ++g) {
        std::vector<double>& to = into[g].columns[column];
        const std::size_t at = to.size();
        to.resize(at + places.counts[g]);
        out[g] = to.data() + at;
    }
    out[by_groups::max_groups] = past_groups.data();
    const std::uint8_t* const group = places.group.data();
    const std::uint32_t* const index = places.index.data();
    for (std::size_t i = 0; i < places.group.size(); ++i)
        out[group[i]][index[i]] = from[i];
}

// Appends each row of the run to its group, in file order; the block starts are left to deal_block_starts. A run
// is at most one block of rows read on one thread: it is dealt out on the caller's.
void split_rows(group_set& into, const row_run& run)
{
    if (run.rows == 0)
        return;
    const row_places places = place_rows(run);
    for (std::size_t k = 0; k < run.columns.size(); ++k)
        if (run.columns[k] != nullptr)
            deal_column(run.columns[k], k, into, places);
}

} // namespace

void deal_rows(row_groups& into, const row_run& run)
{
    deal_block_starts(into, run);
    split_rows(into.rows, run);
}

void join_split_rows(row_groups& into, const group_set& split, const row_run& run)
{
    deal_block_starts(into, run);
    for (std::size_t k = 0; k < split.size(); ++k) {
        const std::uint8_t g = run.number[k];
        if (g >= by_groups::max_groups)
            continue;
        for (std::size_t column = 0; column < group_rows::column_count; ++column) {
            const std::vector<double>& from = split[k].columns[column];
            std::vector<double>& to = into.rows[g].columns[column];
            to.insert(to.end(), from.begin(), from.end());
        }
    }
}

void take_groups(data* sets, row_groups& from, const std::string& label_of_column)
{
    const std::size_t count = from.groups.values.size();
    for (std::size_t g = 1; g < by_groups::max_groups; ++g) {
        sets[g].clear_rows();
        sets[g].label.clear();
    }
    for (std::size_t g = 0; g < count; ++g) {
        data& set = sets[g];
        group_rows& rows = from.rows[g];
        const data::column_list columns = set.columns();
        for (std::size_t k = 0; k < columns.size(); ++k)
            *columns[k] = std::move(rows.columns[k]);
        set.c = std::move(rows.columns[group_rows::colour_column]);
        set.block_starts = std::move(rows.block_starts);
        set.label = label_of_column + "=" + from.groups.values[g];
    }
}
