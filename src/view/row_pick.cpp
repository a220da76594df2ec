// The nearest drawn mark, and the line number of a row found by reading its file again with the reader's rules
// for comments, blank lines, columns and missing values.
#include "view/row_pick.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <vector>

#include "core/settings.h"
#include "data/data_reader.h"
#include "data/delimited.h"
#include "data/number_scan.h"
#include "plot/marks.h"
#include "plot/scale_mapping.h"

namespace
{

std::size_t drawn_rows(const data& d)
{
    return std::min({d.x.size(), d.y.size(), d.z.size()});
}

// Where plot_data puts the centre of row i, on the page.
bool mark_centre(const data& d, const plot_area& a, std::size_t i, double& px, double& py)
{
    const MinMax& zr = mydata[0].mod_minmax.z;
    if (!(d.z[i] > zr.Min && d.z[i] < zr.Max) || !fits_log_axes(d, i))
        return false;
    const double xx = pixel_position(Xscale.scale(d.x[i]));
    const double yy = a.height - pixel_position(Yscale.scale(d.y[i] + d.offset_y));
    if (!std::isfinite(xx) || !std::isfinite(yy))
        return false;
    px = a.left + std::trunc(xx);
    py = a.top + std::trunc(yy);
    return inside(a, static_cast<int>(px), static_cast<int>(py));
}

// The values a row holds, compared bit for bit: reading the same text gives the same bits, NaN included.
struct row_values {
    double x, y, z;
    bool operator==(const row_values& o) const
    {
        return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(o.x) &&
               std::bit_cast<std::uint64_t>(y) == std::bit_cast<std::uint64_t>(o.y) &&
               std::bit_cast<std::uint64_t>(z) == std::bit_cast<std::uint64_t>(o.z);
    }
};

row_values values_of(const data& d, std::size_t i)
{
    return {d.x[i], d.y[i], d.z[i]};
}

// A line read as the reader reads it: whether it gives a row, and that row's values (x as the row count under
// --nox, as the reader numbers rows; expressions and the --where filter as the reader runs them).
class line_reader
{
public:
    line_reader(const data& d, const column_switches& switches)
        : cols_(d.cols), need_(needed_columns(d.cols, switches, draw_type_of(draw_type))),
          separator_(separator_for(d.fname))
    {
    }

    bool row_of(std::string_view line, std::uint64_t rows_so_far, row_values& v)
    {
        if (separator_ == 0) {
            if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!')
                return false;
            scan_.scan(line, last_column());
            reached_ = scan_.attempts();
            values_ = scan_.values();
            numbers_ = [](std::uint32_t) { return true; };
        } else {
            if (is_delimited_comment_or_blank(line, separator_))
                return false;
            fields_.scan(line, separator_, last_column());
            reached_ = fields_.fields();
            values_ = fields_.values();
            const field_scan& f = fields_;
            numbers_ = [&f](std::uint32_t c) { return f.kind(c) == field_kind::number; };
        }
        return take(rows_so_far, v);
    }

private:
    std::uint32_t last_column() const
    {
        std::uint32_t last = std::max({cols_.x, cols_.y, need_.reads_z ? cols_.z : 0U});
        for (const expression& e : cols_.expr)
            last = std::max(last, e.last_column());
        return last;
    }

    // The value of a choice: its expression over the row, else its column. False when the line lacks it.
    bool value(expr_slot slot, std::uint32_t col, double& out) const
    {
        const expression& e = cols_[slot];
        const std::uint32_t needed = e.empty() ? col : e.last_column();
        for (std::uint32_t c = e.empty() ? col : 1; c <= needed; ++c)
            if (c > reached_ || !numbers_(c))
                return false;
        out = e.empty() ? values_[col - 1] : e.evaluate(values_);
        // An expression without a value leaves the row out, as a missing value does.
        return e.empty() || !std::isnan(out);
    }

    bool take(std::uint64_t rows_so_far, row_values& v) const
    {
        double keep = 1;
        if (!cols_[expr_slot::where].empty() && (!value(expr_slot::where, 0, keep) || !(keep != 0) || std::isnan(keep)))
            return false;
        v.x = static_cast<double>(rows_so_far);
        v.z = 1;
        if (need_.reads_x && !value(expr_slot::x, cols_.x, v.x))
            return false;
        if (!value(expr_slot::y, cols_.y, v.y))
            return false;
        return !need_.reads_z || value(expr_slot::z, cols_.z, v.z);
    }

    cols cols_;
    row_columns need_;
    char separator_;
    column_scan scan_;
    field_scan fields_;
    std::uint32_t reached_ = 0;
    const double* values_ = nullptr;
    std::function<bool(std::uint32_t)> numbers_;
};

// Calls f(line, number) for every line of the source, its line end taken off, until f returns true.
template <typename F> bool for_each_source_line(byte_source& source, F&& f)
{
    std::vector<char> block(std::size_t{1} << 20);
    std::string carry;
    std::uint64_t number = 0;
    const auto give = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return f(line, ++number);
    };
    for (std::size_t got; (got = source.next_block(block)) > 0;) {
        std::string_view text(block.data(), got);
        for (std::size_t feed; (feed = text.find('\n')) != std::string_view::npos; text.remove_prefix(feed + 1)) {
            const bool found = carry.empty() ? give(text.substr(0, feed)) : give(carry.append(text.substr(0, feed)));
            carry.clear();
            if (found)
                return true;
        }
        carry.append(text);
    }
    return !carry.empty() && give(carry);
}

} // namespace

std::optional<picked_mark> nearest_mark(const data* d, const plot_area& a, int px, int py, double within)
{
    std::optional<picked_mark> best;
    for (int set = 0; set < 10; ++set) {
        const std::size_t rows = drawn_rows(d[set]);
        for (std::size_t i = 0; i < rows; ++i) {
            double mx = 0, my = 0;
            if (!mark_centre(d[set], a, i, mx, my))
                continue;
            const double distance = std::hypot(mx - px, my - py);
            if (distance <= within && (!best || distance < best->distance))
                best = picked_mark{set, i, distance};
        }
    }
    return best;
}

std::optional<std::uint64_t> line_of_row(const data& d, std::size_t row, kept_inputs& inputs,
                                         const column_switches& switches)
{
    const row_values wanted = values_of(d, row);
    // Rows of equal values keep their file order through the sort: the picked one is the n-th of them.
    std::size_t same_before = 0;
    for (std::size_t i = 0; i < row; ++i)
        same_before += values_of(d, i) == wanted ? 1 : 0;
    const std::unique_ptr<byte_source> source = open_data_source(d.fname, read_limits{}.max_file_bytes, inputs);
    if (!source)
        return std::nullopt;
    line_reader reader(d, switches);
    std::uint64_t rows = 0, found_line = 0;
    const bool found = for_each_source_line(*source, [&](std::string_view line, std::uint64_t number) {
        row_values v{};
        if (!reader.row_of(line, rows, v))
            return false;
        ++rows;
        if (!(v == wanted) || same_before-- > 0)
            return false;
        found_line = number;
        return true;
    });
    return found ? std::optional<std::uint64_t>(found_line) : std::nullopt;
}

std::string picked_row_text(const data& d, std::size_t row, std::uint64_t line)
{
    return d.fname + ":" + std::to_string(line) + ": " + exact_text(d.x[row]) + " " + exact_text(d.y[row]) + " " +
           exact_text(d.z[row]);
}
