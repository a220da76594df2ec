// The data file reader: turns the lines of one text file into the rows of a data set, with the program's
// column, comment, one-column and missing-z rules. Input is untrusted: any bytes, any line length.
#ifndef TREMWIL_DATA_READER_H
#define TREMWIL_DATA_READER_H

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "data/byte_source.h"
#include "data/data_set.h"
#include "data/draw_types.h"

// What get_value_at_col throws when the line ends before the column is reached.
class too_few_columns_exception : public std::exception
{
public:
    const char* what() const noexcept override { return "Too few columns"; }
};

// What the reader throws for a line of a data file that lacks a needed column: "Too few columns", then the file,
// the line, the columns the line has and the column the run reads.
class short_line_error : public too_few_columns_exception
{
public:
    explicit short_line_error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The bounds that keep an endless or huge input (/dev/zero, a pipe that never ends) from taking all memory and
// time: a data file may hold at most max_file_bytes bytes, max_rows rows and max_line_bytes bytes in one line.
// The file is read block_bytes at a time, so that its bytes need not stay in memory beside the rows.
struct read_limits {
    std::size_t block_bytes = std::size_t{1} << 20;
    std::size_t max_line_bytes = std::size_t{16} << 20;
    std::uint64_t max_file_bytes = std::uint64_t{4} << 30;
    std::uint64_t max_rows = 50'000'000;
    // A file of at least parallel_bytes bytes (by its size beforehand) is parsed on threads threads (0: one per
    // core), at most max_parse_threads, each taking a share of every run of block_bytes times threads bytes;
    // the rows, messages and errors are those of one thread. Tests set cut_seed != 0 to cut the runs at random
    // line feeds, and parallel_bytes = 0 to parse small inputs and pipes on threads too.
    unsigned threads = 0;
    std::uint64_t parallel_bytes = std::uint64_t{8} << 20;
    unsigned cut_seed = 0;
};

// What reading one file decided, for the run to carry into the files read after it: the switches as the file
// leaves them (a one-column file turns nox and noz on, a line without z only2cols), and whether the file had one
// column, which makes the data set read y from column 1 from now on.
struct file_read {
    std::uint64_t rows = 0; // rows in the data set
    column_switches switches;
    bool one_column = false;
};

// Appends the rows of file d.fname to d (it does not empty d first) and sorts them by z unless that is off,
// choosing columns by draw_type and switches. A file that does not open is reported through error_func (an empty
// read under --error-as-warning). A line lacking the x, y or an ellipse/quiver column throws
// too_few_columns_exception out of the reader (after the column message for ellipse/quiver values). A file that
// fails while it is read, shrinks while it is read, holds corrupt or truncated compressed data or goes past one of
// the limits (counted on the unpacked bytes) throws input_error, whose message names the file. Within a run, an
// input that can be read only once ("-", a pipe) is read the first time and what it gave is read after that.
file_read readfile(data& d, kept_inputs& inputs, const column_switches& switches,
                   const read_limits& limits = read_limits{});
// The same for a file read on its own, with the switches as the options set them.
file_read readfile(data& d, const read_limits& limits = read_limits{});

// Reading a file piece by piece as it grows: what one piece leaves for the next. A fresh one starts a file.
struct piece_reading {
    std::uint64_t lines = 0;            // lines taken so far, comments and a header included
    int columns = -1;                   // counted on the first data line
    bool header_done = false;           // a delimited file's first line has been looked at for column names
    bool block_ended = false;           // a blank line came after the last row
    std::uint64_t first_row_number = 0; // --nox: the row number of d's first row
    column_switches switches;           // as they stand: the run's at the start, then as the file turns them on
    std::uint32_t y_column = 0;         // 1 once the file is found to have one column
};

// Appends to d the rows of text, the next whole lines of data file d.fname (the last one ends in a line feed), as
// readfile reads them, but unsorted, in the order of the file. Gives the messages of the piece; throws as readfile
// does. limits.max_rows bounds the rows of this piece. Returns the lines of the piece that were data lines.
std::uint64_t read_piece(data& d, std::string_view text, piece_reading& state,
                         const read_limits& limits = read_limits{});

// The number of numbers at the start of line.
int count_columns(std::string line);

// The number in column col (from 1) of line, as successive stream reads from the line's start give it;
// 0 for column 0. Throws too_few_columns_exception when reading stops before the column.
double get_value_at_col(std::string line, std::uint32_t col);

#endif // TREMWIL_DATA_READER_H
