// The columns a row needs, worked out once from the draw type's row, the switches and the data set's choices.
#include "data/draw_types.h"

#include <algorithm>

column_switches switches_from_options()
{
    return {.nox = nox != 0, .noz = noz != 0, .only2cols = only2cols != 0};
}

expr_slot component_slot(std::size_t k)
{
    return k == 0 ? expr_slot::u : expr_slot::v;
}

namespace
{

void add_components(const cols& c, const draw_type_row& type, row_columns& need)
{
    need.components = type.components;
    need.counts_skew = type.counts_skew;
    if (type.components == component_source::choices) {
        // --vectors: u and v come from --u and --v, or else the columns e and e + 1.
        need.component_count = 2;
        need.component[0] = c.e;
        need.component[1] = c.e + 1;
    } else if (type.components == component_source::columns) {
        need.component_count = 4;
        for (std::size_t k = 0; k < 4; ++k) {
            need.component[k] = c.e + type.component_columns[k].value;
            need.component_letter[k] = type.component_columns[k].name;
        }
    }
}

// The column a choice reads last: its own, or the last one its expression reads.
std::uint32_t last_column_of(const cols& c, expr_slot slot, std::uint32_t col)
{
    return c[slot].empty() ? col : c[slot].last_column();
}

// Adds the columns one choice reads: its own, or those its expression reads.
void add_choice_columns(const cols& c, expr_slot slot, std::uint32_t col, std::vector<std::uint32_t>& out)
{
    if (c[slot].empty()) {
        out.push_back(col);
        return;
    }
    const std::vector<std::uint32_t> read = c[slot].columns();
    out.insert(out.end(), read.begin(), read.end());
}

} // namespace

row_columns needed_columns(const cols& c, const column_switches& switches, const draw_type_row& type,
                           std::uint32_t y_column)
{
    row_columns need;
    need.reads_x = !switches.nox;
    need.x = c.x;
    need.y = y_column != 0 ? y_column : c.y;
    // Draw types with components never read z, so the z switches do not stop them: every row gets its components.
    need.reads_z = !has_components(type) && type.reads_z && switches.reads_z();
    need.z = c.z;
    add_components(c, type, need);
    need.reads_colour = c.reads_colour();
    need.colour = c.c;
    need.filtered = !c[expr_slot::where].empty();
    return need;
}

std::uint32_t last_column(const cols& c, const row_columns& need)
{
    std::uint32_t last = std::max(last_column_of(c, expr_slot::y, need.y), c[expr_slot::where].last_column());
    if (need.reads_x)
        last = std::max(last, last_column_of(c, expr_slot::x, need.x));
    if (need.components == component_source::choices)
        for (std::size_t k = 0; k < need.component_count; ++k)
            last = std::max(last, last_column_of(c, component_slot(k), need.component[k]));
    else
        last = std::max(last, *std::max_element(need.component.begin(), need.component.end()));
    if (need.reads_z)
        last = std::max(last, last_column_of(c, expr_slot::z, need.z));
    if (need.reads_colour)
        last = std::max(last, last_column_of(c, expr_slot::c, need.colour));
    return last;
}

void checked_columns(const cols& c, const row_columns& need, std::vector<std::uint32_t>& out)
{
    out.clear();
    add_choice_columns(c, expr_slot::y, need.y, out);
    if (need.reads_x)
        add_choice_columns(c, expr_slot::x, need.x, out);
    if (need.components == component_source::choices) {
        for (std::size_t k = 0; k < need.component_count; ++k)
            add_choice_columns(c, component_slot(k), need.component[k], out);
    } else if (need.components == component_source::columns) {
        std::array<std::uint32_t, 4> in_column_order = need.component;
        std::sort(in_column_order.begin(), in_column_order.end());
        out.insert(out.end(), in_column_order.begin(), in_column_order.end());
    }
    if (need.reads_z)
        add_choice_columns(c, expr_slot::z, need.z, out);
    if (need.filtered)
        add_choice_columns(c, expr_slot::where, 0, out);
    if (need.reads_colour)
        add_choice_columns(c, expr_slot::c, need.colour, out);
}
