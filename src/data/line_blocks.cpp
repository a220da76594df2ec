// Runs of whole lines from a byte source. The start of a line whose line feed has not come yet moves to the front
// of the buffer before the next read, so a run is always one contiguous piece of the buffer.
#include "data/line_blocks.h"

#include <algorithm>
#include <cstring>

line_blocks::line_blocks(byte_source& source, std::size_t block_bytes, std::size_t max_line_bytes,
                         std::uint64_t max_total_bytes, std::string name)
    : source_(source), block_bytes_(std::clamp<std::size_t>(block_bytes, 1, max_line_bytes)),
      max_line_bytes_(max_line_bytes), max_total_bytes_(max_total_bytes), name_(std::move(name)),
      buffer_(std::make_unique_for_overwrite<char[]>(block_bytes_)), capacity_(block_bytes_)
{
}

std::string_view line_blocks::next()
{
    keep_partial_line();
    while (!ended_) {
        make_room();
        const std::size_t old_end = end_;
        fill();
        if (ended_)
            break;
        char* const fresh = buffer_.get() + old_end;
        const std::size_t fresh_size = end_ - old_end;
        // Only the line that began before this read can be longer than one block.
        const auto* first = static_cast<const char*>(std::memchr(fresh, '\n', fresh_size));
        if (first == nullptr ? end_ > max_line_bytes_
                             : static_cast<std::size_t>(first - buffer_.get()) > max_line_bytes_)
            throw line_too_long{};
        if (first != nullptr) {
            const auto* last = static_cast<const char*>(::memrchr(fresh, '\n', fresh_size));
            begin_ = static_cast<std::size_t>(last - buffer_.get()) + 1;
            return {buffer_.get(), begin_};
        }
    }
    // The last line needs no line feed.
    begin_ = end_;
    return {buffer_.get(), end_};
}

void line_blocks::keep_partial_line()
{
    if (begin_ == 0)
        return;
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
}

// A long line fills the buffer without a line feed: the buffer doubles (up to about the longest line allowed) so
// that every read still asks for a good part of a block.
void line_blocks::make_room()
{
    if (capacity_ - end_ >= block_bytes_ / 2 + 1)
        return;
    const std::size_t grown = std::max(capacity_ * 2, end_ + block_bytes_);
    auto bigger = std::make_unique_for_overwrite<char[]>(grown);
    std::memcpy(bigger.get(), buffer_.get(), end_);
    buffer_ = std::move(bigger);
    capacity_ = grown;
}

void line_blocks::fill()
{
    const std::size_t got = source_.next_block({buffer_.get() + end_, capacity_ - end_});
    if (got == 0) {
        ended_ = true;
        return;
    }
    end_ += got;
    total_ += got;
    if (total_ > max_total_bytes_)
        throw too_large_error(name_, max_total_bytes_);
}
