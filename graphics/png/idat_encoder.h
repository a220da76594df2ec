// The image data of a PNG of 8-bit RGB rows (the zlib stream its IDAT chunks carry), each row filtered "up". Its
// cost follows what changes down the page: a row equal to the one above costs a handful of tokens and a checksum
// step, whatever its width.
#ifndef TWGR_IDAT_ENCODER_H
#define TWGR_IDAT_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "png/deflate_block.h"

namespace twgr
{

class idat_encoder
{
public:
    explicit idat_encoder(std::size_t width);

    // The next row, 3 bytes a pixel.
    void add_row(const std::uint8_t* rgb);
    // The next row, known to equal the one added last (or, first, a black row).
    void repeat_row();
    // Ends the stream: its last block and its checksum. Add nothing after.
    void finish();

    // The bytes of the stream ready to be written, and dropping the first n of them once written.
    const std::uint8_t* ready() const { return bits_.bytes().data(); }
    std::size_t ready_size() const { return bits_.bytes().size(); }
    void drop_ready(std::size_t n) { bits_.drop_front(n); }

private:
    void push_literal(std::uint8_t byte);
    void push_repeats(std::size_t n);
    void tokenize(const std::uint8_t* bytes, std::size_t n);
    void end_block_if_full();

    std::size_t row_bytes_;
    std::vector<std::uint8_t> above_;    // the row above, as RGB; zeros above the first row
    std::vector<std::uint8_t> filtered_; // the filter byte and the differences to the row above
    unsigned long adler_;                // of the filtered bytes so far
    unsigned long repeated_row_adler_;   // of a repeated row's filtered bytes alone
    std::vector<deflate::token> tokens_; // of the block being gathered
    std::uint8_t block_byte_before_ = 0; // the byte before the block's first
    int last_byte_ = -1;                 // the stream's last byte, or -1 before the first
    deflate::bit_writer bits_;
};

} // namespace twgr

#endif // TWGR_IDAT_ENCODER_H
