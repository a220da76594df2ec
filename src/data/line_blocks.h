// Cutting the bytes of a source into runs of whole lines, one buffer at a time: each run ends at a line feed (or
// at the end of the input), so it can be parsed on its own, and a line is never split between two runs.
#ifndef TREMWIL_LINE_BLOCKS_H
#define TREMWIL_LINE_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/byte_source.h"

// What line_blocks throws when one line grows longer than its limit; the reader knows the line number.
struct line_too_long {
};

class line_blocks
{
public:
    // block_bytes: how much to ask the source for at a time (at most max_line_bytes). max_line_bytes and
    // max_total_bytes bound what one line and the whole input may hold; name is the input's name for messages.
    line_blocks(byte_source& source, std::size_t block_bytes, std::size_t max_line_bytes, std::uint64_t max_total_bytes,
                std::string name);

    // The next run of whole lines, line feeds included; empty once the input has ended. The view is valid until
    // the next call. Throws line_too_long, and input_error for a failing source or an input over its limit.
    std::string_view next();
    // Bytes taken from the source so far.
    std::uint64_t bytes_read() const { return total_; }

private:
    void keep_partial_line();
    void make_room();
    void fill();

    byte_source& source_;
    std::size_t block_bytes_;
    std::size_t max_line_bytes_;
    std::uint64_t max_total_bytes_;
    std::string name_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0; // bytes before begin_ were handed out
    std::size_t end_ = 0;   // bytes from begin_ to end_ are the start of a line whose line feed has not come yet
    std::uint64_t total_ = 0;
    bool ended_ = false;
};

#endif // TREMWIL_LINE_BLOCKS_H
