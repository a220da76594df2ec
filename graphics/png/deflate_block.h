// Deflate blocks of a run-length token stream: literal bytes and repeats of the byte before (distance 1), each
// block written with its own Huffman codes, with the fixed codes or stored, whichever is smallest.
#ifndef TWGR_DEFLATE_BLOCK_H
#define TWGR_DEFLATE_BLOCK_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace twgr::deflate
{

// A literal byte (below repeat), or repeat + n: n bytes (3..258) equal to the byte before them.
using token = std::uint16_t;
constexpr token repeat = 256;
constexpr unsigned min_repeat = 3;
constexpr unsigned max_repeat = 258;

// Bits packed from the least significant end of each byte, as deflate wants them.
class bit_writer
{
public:
    // count <= 32
    void put(std::uint32_t bits, unsigned count)
    {
        pending_ |= static_cast<std::uint64_t>(bits) << filled_;
        filled_ += count;
        if (filled_ >= 32) {
            for (int i = 0; i < 4; ++i, pending_ >>= 8)
                bytes_.push_back(static_cast<std::uint8_t>(pending_));
            filled_ -= 32;
        }
    }
    // Pads the last byte with zeros.
    void align();
    // Whole bytes written so far; dropping those already passed on.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    void drop_front(std::size_t n);

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t pending_ = 0;
    unsigned filled_ = 0;
};

// Writes tokens (at least one) as one block; byte_before is the stream's byte before the first of them, which a
// leading repeat copies.
void write_block(const std::vector<token>& tokens, std::uint8_t byte_before, bool last, bit_writer& out);

} // namespace twgr::deflate

#endif // TWGR_DEFLATE_BLOCK_H
