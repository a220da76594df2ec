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

void deal_out_groups(data* sets, const row_groups& rows, const std::string& label_of_column)
{
    data& whole = sets[0];
    const std::size_t count = rows.groups.values.size();
    for (std::size_t g = 1; g < by_groups::max_groups; ++g) {
        sets[g].clear_rows();
        sets[g].label.clear();
    }
    const std::size_t columns = data::columns_used(draw_type);
    const std::size_t n = std::min(rows.group.size(), whole.x.size());
    std::vector<bool> block_pending(count, false);
    auto next_block = whole.block_starts.begin();
    std::vector<std::size_t> kept_blocks;
    std::size_t kept = 0; // rows of group 0, moved forward in place
    for (std::size_t i = 0; i < n; ++i) {
        if (next_block != whole.block_starts.end() && *next_block == i) {
            block_pending.assign(count, true);
            ++next_block;
        }
        const std::uint8_t g = rows.group[i];
        if (g >= count)
            continue; // past the groups a picture has: refused before the rows are dealt out
        data& to = sets[g];
        const std::size_t row = g == 0 ? kept : to.x.size();
        if (block_pending[g] && row > 0)
            (g == 0 ? kept_blocks : to.block_starts).push_back(row);
        block_pending[g] = false;
        for (std::size_t k = 0; k < columns; ++k) {
            std::vector<double>& from = *whole.columns()[k];
            if (g == 0)
                from[kept] = from[i];
            else
                to.columns()[k]->push_back(from[i]);
        }
        kept += g == 0 ? 1 : 0;
    }
    for (std::size_t k = 0; k < columns; ++k)
        whole.columns()[k]->resize(kept);
    whole.block_starts = std::move(kept_blocks);
    for (std::size_t g = 0; g < count; ++g)
        sets[g].label = label_of_column + "=" + rows.groups.values[g];
}
