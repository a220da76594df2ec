// Following the last data file of a run (--follow): the rows it holds and those appended after, read piece by piece
// as whole lines arrive, of which the newest are kept (--last), shown as data set 0.
#ifndef TREMWIL_FOLLOWER_H
#define TREMWIL_FOLLOWER_H

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "data/data_reader.h"
#include "data/data_set.h"
#include "follow/change_wait.h"
#include "follow/followed_file.h"
#include "follow/stop_signals.h"

// What a look at the followed file brought.
enum class follow_news {
    nothing,  // no new rows
    new_rows, // rows arrived (or were dropped by --last): the page is out of date
    ended,    // the stream ended (its last rows, if any, are kept): nothing more will come
    stopped,  // SIGINT or SIGTERM came
};

// What is kept of the followed rows: the newest rows (0 for all) or the rows within span seconds of the newest x
// (0 for no span).
struct keep_rule {
    std::uint64_t rows = 0;
    double span = 0;
};

class follower
{
public:
    // Follows the file of data set shown (its name and columns as the command line gave them), waiting every
    // period_ms at most where no change can be awaited. SIGINT and SIGTERM stop it while it lives.
    follower(const data& shown, const column_switches& switches, keep_rule keep, int period_ms,
             const read_limits& limits = read_limits{});

    // Opens the file and reads its rows; a stream or file without rows yet is waited for. nothing when it does not
    // open; new_rows once there are rows; ended or stopped when it ended or a signal came before any row.
    follow_news start();
    // Waits at most timeout_ms (-1: as long as it takes) for news, then reads it.
    follow_news next(int timeout_ms);
    // Puts the rows kept into d, as the reading of a file puts them: sorted by z unless that is off, d's ranges
    // made anew from them.
    void show(data& d) const;
    std::size_t rows() const { return kept_.x.size(); }
    // The rows read since the start, those dropped included.
    std::uint64_t rows_read() const { return rows_read_; }
    // The column switches as the file has left them so far, which hold for the rest of the run.
    const column_switches& switches() const { return reading_.switches; }

private:
    // Reads what the file holds now, at most looks blocks; true when the rows changed.
    bool read_available(std::size_t looks);
    void take_lines(const std::string& lines);
    void start_again(file_news news);
    void keep_newest();
    void drop_oldest(std::size_t count);
    void check_row_limit() const;

    stop_signals stops_;
    keep_rule keep_;
    read_limits limits_;
    followed_file file_;
    std::unique_ptr<change_wait> wait_;
    data kept_; // the rows kept, in the order of the file
    piece_reading reading_;
    int period_ms_;
    double newest_x_; // the largest x read, which a time span counts back from
    std::uint64_t rows_read_ = 0;
    std::uint64_t arrived_ = 0; // rows read plus rows dropped: it changes whenever the rows do
    bool more_waiting_ = false; // the last reading stopped before the end of what was there
    bool ended_ = false;
};

#endif // TREMWIL_FOLLOWER_H
