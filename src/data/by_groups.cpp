// --by: the groups of the rows and the dealing out of the rows to the data sets.
#include "data/by_groups.h"

#include <algorithm>

#include "data/data_set.h"

std::uint8_t by_groups::group_of(std::string_view text)
{
    for (std::size_t k = 0; k < values.size(); ++k)
        if (values[k] == text)
            return static_cast<std::uint8_t>(k);
    if (values.size() < max_groups) {
        values.emplace_back(text);
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

} // namespace

void deal_out_groups(data* sets, const row_groups& rows, const std::string& label_of_column)
{
    data& whole = sets[0];
    const std::size_t count = rows.groups.values.size();
    for (std::size_t g = 1; g < by_groups::max_groups; ++g) {
        sets[g].clear_rows();
        sets[g].label.clear();
    }
    const std::size_t n = std::min(rows.group.size(), whole.x.size());
    std::vector<std::size_t> sizes(count, 0);
    for (std::size_t i = 0; i < n; ++i)
        if (rows.group[i] < count)
            ++sizes[rows.group[i]];
    deal_out_block_starts(sets, rows, count, n);
    // Column by column, each data set's room made once; group 0's rows move forward in place. A row past the
    // groups (refused before the rows are dealt out) goes nowhere.
    for (std::size_t k = 0; k < data::columns_used(draw_type); ++k) {
        std::vector<double>& from = *whole.columns()[k];
        std::vector<double>* to[by_groups::max_groups + 1] = {};
        for (std::size_t g = 1; g < count; ++g) {
            to[g] = sets[g].columns()[k];
            to[g]->reserve(sizes[g]);
        }
        std::size_t kept = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t g = rows.group[i];
            if (g == 0)
                from[kept++] = from[i];
            else if (g < count)
                to[g]->push_back(from[i]);
        }
        from.resize(kept);
    }
    for (std::size_t g = 0; g < count; ++g)
        sets[g].label = label_of_column + "=" + rows.groups.values[g];
}
