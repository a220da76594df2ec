// The followed rows: pieces of whole lines read into the rows kept, the oldest dropped past --last, and the file
// started again when it is replaced or truncated.
#include "follow/follower.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <new>

#include "core/messages.h"

namespace
{

// One call reads at most this many blocks, so that a writer faster than the reading still lets the page be
// redrawn; the first reading takes a file as it is, up to its size limit.
constexpr int looks_per_reading = 16;

std::size_t first_looks(const read_limits& limits)
{
    return static_cast<std::size_t>(limits.max_file_bytes / limits.block_bytes + 1);
}

const char* what_happened(file_news news)
{
    return news == file_news::replaced ? "was replaced" : "was truncated";
}

} // namespace

follower::follower(const data& shown, const column_switches& switches, keep_rule keep, int period_ms,
                   const read_limits& limits)
    : keep_(keep), limits_(limits), file_(shown.fname, limits.max_line_bytes, limits.block_bytes),
      period_ms_(period_ms), newest_x_(std::numeric_limits<double>::lowest())
{
    kept_.fname = shown.fname;
    kept_.cols = shown.cols;
    reading_.switches = switches;
}

follow_news follower::start()
{
    if (!file_.open())
        return follow_news::nothing;
    wait_ = std::make_unique<change_wait>(file_, period_ms_);
    for (std::size_t looks = file_.is_stream() ? looks_per_reading : first_looks(limits_);;) {
        read_available(looks);
        if (!kept_.x.empty())
            return follow_news::new_rows;
        if (ended_)
            return follow_news::ended;
        if (stop_signals::received() != 0)
            return follow_news::stopped;
        wait_->wait(-1);
    }
}

follow_news follower::next(int timeout_ms)
{
    if (stop_signals::received() != 0)
        return follow_news::stopped;
    if (ended_)
        return follow_news::ended;
    if (!more_waiting_)
        wait_->wait(timeout_ms);
    if (stop_signals::received() != 0)
        return follow_news::stopped;
    if (read_available(looks_per_reading))
        return follow_news::new_rows;
    return ended_ ? follow_news::ended : follow_news::nothing;
}

bool follower::read_available(std::size_t looks)
{
    const std::uint64_t arrived_before = arrived_;
    more_waiting_ = false;
    try {
        for (std::size_t look = 0;; ++look) {
            if (look == looks) {
                more_waiting_ = true;
                break;
            }
            std::string lines;
            const file_news news = file_.look(lines);
            take_lines(lines);
            if (news == file_news::none)
                break;
            if (news == file_news::ended) {
                ended_ = true;
                break;
            }
            if (news == file_news::replaced || news == file_news::truncated)
                start_again(news);
        }
    } catch (const too_few_columns_exception& e) {
        error("%s\n", e.what());
    } catch (const input_error& e) {
        error("%s\n", e.what());
    } catch (const std::bad_alloc&) {
        error("out of memory while following data file %s (%zu rows kept)\n", kept_.fname.c_str(), kept_.x.size());
    }
    return arrived_ != arrived_before;
}

void follower::take_lines(const std::string& lines)
{
    if (lines.empty())
        return;
    const std::size_t before = kept_.x.size();
    // The rows kept are bounded below, after each piece: the reader's own bound is for a whole file.
    read_limits piece_limits = limits_;
    piece_limits.max_rows = std::numeric_limits<std::uint64_t>::max();
    read_piece(kept_, lines, reading_, piece_limits);
    for (std::size_t i = before; i < kept_.x.size(); ++i)
        newest_x_ = std::max(newest_x_, kept_.x[i]);
    rows_read_ += kept_.x.size() - before;
    arrived_ += kept_.x.size() - before;
    keep_newest();
    check_row_limit();
}

// The file's lines start again: a delimited file's header comes again, and the rows read so far stay.
void follower::start_again(file_news news)
{
    if (!quiet)
        std::cerr << "data file " << kept_.fname << " " << what_happened(news) << ": reading it from its start"
                  << std::endl;
    piece_reading fresh;
    fresh.first_row_number = reading_.first_row_number;
    fresh.switches = reading_.switches;
    fresh.y_column = reading_.y_column;
    reading_ = fresh;
    if (news == file_news::replaced)
        wait_->rewatch(file_);
}

void follower::keep_newest()
{
    const std::size_t rows = kept_.x.size();
    if (keep_.rows != 0 && rows > keep_.rows)
        drop_oldest(rows - static_cast<std::size_t>(keep_.rows));
    if (keep_.span > 0) {
        // The oldest rows go while they lie before the span; a time series arrives nearly in order.
        const double cutoff = newest_x_ - keep_.span;
        const auto first_kept =
            std::find_if(kept_.x.begin(), kept_.x.end(), [cutoff](double x) { return !(x < cutoff); });
        drop_oldest(static_cast<std::size_t>(first_kept - kept_.x.begin()));
    }
}

void follower::drop_oldest(std::size_t count)
{
    if (count == 0)
        return;
    auto drop = [count](std::vector<double>& v) {
        v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(count, v.size())));
    };
    for (std::vector<double>* column : kept_.columns())
        drop(*column);
    drop(kept_.c);
    std::vector<std::size_t> starts;
    for (const std::size_t start : kept_.block_starts)
        if (start > count)
            starts.push_back(start - count);
    kept_.block_starts = std::move(starts);
    reading_.first_row_number += count;
    arrived_ += count; // the page changes even when as many rows came as went
}

void follower::check_row_limit() const
{
    if (kept_.x.size() > limits_.max_rows)
        error("data file %s has more than %llu rows, the most one data file may hold; --last=N keeps only the "
              "newest N rows\n",
              kept_.fname.c_str(), static_cast<unsigned long long>(limits_.max_rows));
}

void follower::show(data& d) const
{
    d.x = kept_.x;
    d.y = kept_.y;
    d.z = kept_.z;
    d.dx1 = kept_.dx1;
    d.dy1 = kept_.dy1;
    d.dx2 = kept_.dx2;
    d.dy2 = kept_.dy2;
    d.c = kept_.c;
    d.block_starts = kept_.block_starts;
    d.cols = kept_.cols; // with the numbers the header gave its names
    d.minmax = myMinMax{};
    if (sort && reading_.switches.reads_z())
        d.sort();
    d.FindMinMax();
}
