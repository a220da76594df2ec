// What the RAM frame drivers share: the write operation of a colour, decoded once per call into a
// compile-time constant, and the Bresenham walk of a line over any pixel addressing.
#ifndef TWGR_RAM_LOOPS_H
#define TWGR_RAM_LOOPS_H

#include "core/twgr_internal.h"

#include <type_traits>

namespace twgr
{

// The operation in the top byte of a colour; any value other than xor, or and and writes.
enum class write_op : unsigned { write = GrWRITE >> 24, xor_ = GrXOR >> 24, or_ = GrOR >> 24, and_ = GrAND >> 24 };

inline write_op op_of(GrColor c)
{
    switch (c >> 24) {
    case GrXOR >> 24:
        return write_op::xor_;
    case GrOR >> 24:
        return write_op::or_;
    case GrAND >> 24:
        return write_op::and_;
    default:
        return write_op::write;
    }
}

template <write_op O> using op_constant = std::integral_constant<write_op, O>;

// Calls draw(op_constant<O>{}) with the operation of c, so that the loops behind it are specialised on it.
template <class Draw> void with_op(GrColor c, Draw&& draw)
{
    switch (op_of(c)) {
    case write_op::write:
        return draw(op_constant<write_op::write>{});
    case write_op::xor_:
        return draw(op_constant<write_op::xor_>{});
    case write_op::or_:
        return draw(op_constant<write_op::or_>{});
    case write_op::and_:
        return draw(op_constant<write_op::and_>{});
    }
}

template <write_op O, class T> inline void apply(T& dst, T v)
{
    if constexpr (O == write_op::write)
        dst = v;
    else if constexpr (O == write_op::xor_)
        dst ^= v;
    else if constexpr (O == write_op::or_)
        dst |= v;
    else
        dst &= v;
}

// A line from (x, y) by (dx, dy) in frame coordinates, turned so that it runs left to right: dx >= 0 and
// dy >= 0, with the row direction in ydir (+1 or -1).
struct line_run {
    int x, y, dx, dy, ydir;
};

inline line_run left_to_right(int x, int y, int dx, int dy)
{
    if (dx < 0) {
        x += dx;
        y += dy;
        dx = -dx;
        dy = -dy;
    }
    return dy < 0 ? line_run{x, y, dx, -dy, -1} : line_run{x, y, dx, dy, 1};
}

// Bresenham with both end points. The cursor starts on the first pixel and offers next_column() and
// next_row() (one step in the run's row direction); plot(cursor) draws one pixel. The error terms follow
// the steep and flat cases of the classic algorithm, so every driver sets the same pixels. The cursor
// never steps past the last pixel, so it never points outside the frame.
template <class Cursor, class Plot> void walk_line(Cursor at, int dx, int dy, Plot&& plot)
{
    if (dx <= dy) {
        int e = dy / 2;
        for (int i = 0;; ++i, at.next_row()) {
            plot(at);
            if (i == dy)
                return;
            e -= dx;
            if (e < 0) {
                e += dy;
                at.next_column();
            }
        }
    }
    int e = dx / 2;
    for (int i = 0;; ++i, at.next_column()) {
        plot(at);
        if (i == dx)
            return;
        e -= dy;
        if (e < 0) {
            e += dx;
            at.next_row();
        }
    }
}

// A cursor over pixels of a whole number of bytes.
template <int Bytes> struct byte_cursor {
    unsigned char* p;
    std::ptrdiff_t row_step;
    void next_column() { p += Bytes; }
    void next_row() { p += row_step; }
};

} // namespace twgr

#endif // TWGR_RAM_LOOPS_H
