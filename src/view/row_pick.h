// Picking a mark in the window: the drawn mark nearest a pixel, and the line of its file that gave the row. The
// reader keeps no line numbers; a pick finds the line by reading the file once more, so runs that never pick
// pay nothing for it.
#ifndef TREMWIL_ROW_PICK_H
#define TREMWIL_ROW_PICK_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "data/byte_source.h"
#include "data/data_set.h"
#include "data/draw_types.h"
#include "view/view_range.h"

struct picked_mark {
    int set = 0;         // data set 0 to 9
    std::size_t row = 0; // row in the data set as held (sorted by z, unless that is off)
    double distance = 0; // from the pixel to the mark's centre
};

// The mark of d[0..9] drawn nearest page pixel (px, py) within `within` pixels, or none. Marks are placed as the
// last drawing placed them (the plot's scales), inside the plot area a.
std::optional<picked_mark> nearest_mark(const data* d, const plot_area& a, int px, int py, double within);

// The line (from 1) of d's file that gave row `row`: the row is told apart from rows of the same values by its
// order among them, which the stable sort by z keeps. None when no line gives it (the file changed meanwhile).
// The file is read with the run's column switches. Throws input_error as reading it does.
std::optional<std::uint64_t> line_of_row(const data& d, std::size_t row, kept_inputs& inputs,
                                         const column_switches& switches);

// "file:line: x y z" for a picked row, the values in their shortest exact form.
std::string picked_row_text(const data& d, std::size_t row, std::uint64_t line);

#endif // TREMWIL_ROW_PICK_H
