// --by: the groups of the rows and the dealing out of the rows to the data sets.
#include "data/by_groups.h"

#include <algorithm>
#include <cstring>

#include "data/data_set.h"
#include "data/huge_pages.h"
#include "data/line_pieces.h"

namespace
{

std::uint64_t head_of(std::string_view text)
{
    std::uint64_t head = 0;
    for (std::size_t k = 0; k < text.size() && k < 8; ++k)
        head |= std::uint64_t{static_cast<unsigned char>(text[k])} << (8 * k);
    return head;
}

} // namespace

std::uint8_t by_groups::group_of(std::string_view text)
{
    const std::uint64_t head = head_of(text);
    for (std::size_t k = 0; k < values.size(); ++k)
        if (heads[k] == head && values[k].size() == text.size() &&
            (text.size() <= 8 || std::memcmp(values[k].data() + 8, text.data() + 8, text.size() - 8) == 0))
            return static_cast<std::uint8_t>(k);
    if (values.size() < max_groups) {
        values.emplace_back(text);
        heads.push_back(head);
        return static_cast<std::uint8_t>(values.size() - 1);
    }
    if (more.size() < max_counted)
        more.emplace(text);
    return static_cast<std::uint8_t>(max_groups);
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

namespace
{

// The block starts of each group's rows: a row of a group starts a block when a blank line lies between it and the
// group's row before.
void deal_out_block_starts(data* sets, const row_groups& rows, std::size_t count, std::size_t n)
{
    const std::vector<std::size_t> starts = std::move(sets[0].block_starts);
    for (std::size_t g = 0; g < count; ++g)
        sets[g].block_starts.clear();
    if (starts.empty())
        return;
    std::vector<bool> pending(count, false);
    std::vector<std::size_t> taken(count, 0);
    auto next = starts.begin();
    for (std::size_t i = 0; i < n; ++i) {
        if (next != starts.end() && *next == i) {
            pending.assign(count, true);
            ++next;
        }
        const std::uint8_t g = rows.group[i];
        if (g >= count)
            continue;
        if (pending[g] && taken[g] > 0)
            sets[g].block_starts.push_back(taken[g]);
        pending[g] = false;
        ++taken[g];
    }
}

// Rows under this count are dealt out on the caller's thread: starting threads would cost more than it saves.
constexpr std::size_t rows_worth_threads = 1 << 16;

// The row columns of a data set: those its draw type reads, and the colour values when it has them.
std::vector<std::vector<double>*> row_columns(data& d, bool colour)
{
    const data::column_list all = d.columns();
    std::vector<std::vector<double>*> columns(all.begin(), all.begin() + data::columns_used(draw_type));
    if (colour)
        columns.push_back(&d.c);
    return columns;
}

// Copies rows 0..n-1 of from to the column of their group in file order; group 0's rows move forward in place
// (row i goes to an index not past i), and rows past the groups go to a scratch column. Without a branch on the
// group, rows of groups that alternate at random cost no mispredictions.
// The rows of each group, with those of values past the groups (refused before the rows are dealt out) counted
// together at max_groups.
struct group_sizes {
    std::size_t of[by_groups::max_groups + 1] = {};
    std::size_t rows = 0;
};

void deal_out_column(std::vector<double>& from, std::vector<double>* const* to, const row_groups& rows,
                     const group_sizes& sizes, std::size_t count)
{
    std::vector<double> past_groups(sizes.of[by_groups::max_groups]);
    double* out[by_groups::max_groups + 1] = {};
    out[0] = from.data();
    for (std::size_t g = 1; g < count; ++g) {
        to[g]->reserve(sizes.of[g]);
        advise_huge_pages(*to[g]);
        to[g]->resize(sizes.of[g]);
        out[g] = to[g]->data();
    }
    for (std::size_t g = std::max<std::size_t>(count, 1); g <= by_groups::max_groups; ++g)
        out[g] = past_groups.data();
    std::size_t at[by_groups::max_groups + 1] = {};
    const std::uint8_t* const group = rows.group.data();
    for (std::size_t i = 0; i < sizes.rows; ++i) {
        const std::uint8_t g = group[i];
        out[g][at[g]++] = from[i];
    }
    from.resize(sizes.of[0]);
}

} // namespace

void deal_out_groups(data* sets, const row_groups& rows, const std::string& label_of_column)
{
    data& whole = sets[0];
    const std::size_t count = rows.groups.values.size();
    const bool colour = !whole.c.empty() && whole.c.size() == whole.x.size();
    for (std::size_t g = 1; g < by_groups::max_groups; ++g) {
        sets[g].clear_rows();
        sets[g].label.clear();
    }
    const std::size_t n = std::min(rows.group.size(), whole.x.size());
    group_sizes sizes{.rows = n};
    for (std::size_t i = 0; i < n; ++i)
        ++sizes.of[std::min<std::size_t>(rows.group[i], by_groups::max_groups)];
    deal_out_block_starts(sets, rows, count, n);
    // Each column is dealt out on its own thread, with each data set's room made once.
    const std::vector<std::vector<double>*> from = row_columns(whole, colour);
    const auto deal_out = [&](std::size_t k) {
        std::vector<double>* to[by_groups::max_groups] = {};
        for (std::size_t g = 1; g < count; ++g)
            to[g] = row_columns(sets[g], colour)[k];
        deal_out_column(*from[k], to, rows, sizes, count);
    };
    if (n >= rows_worth_threads) {
        run_on_threads(from.size(), deal_out);
    } else {
        for (std::size_t k = 0; k < from.size(); ++k)
            deal_out(k);
    }
    for (std::size_t g = 0; g < count; ++g)
        sets[g].label = label_of_column + "=" + rows.groups.values[g];
}
