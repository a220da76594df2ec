// The image data of a PNG of 8-bit RGB rows (the zlib stream its IDAT chunks carry), each row filtered "up". Its
// cost follows what changes down the page: the bytes equal to the row above filter to runs of zeros that cost a
// token and a checksum step each, whatever their length.
#ifndef TWGR_IDAT_ENCODER_H
#define TWGR_IDAT_ENCODER_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "png/deflate_block.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace twgr
{

// How many bytes at the start of a and b (n each) are equal, 16 or 8 at a time.
inline std::size_t matching_bytes(const void* a, const void* b, std::size_t n)
{
    const auto* pa = static_cast<const std::uint8_t*>(a);
    const auto* pb = static_cast<const std::uint8_t*>(b);
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i equal = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + i)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + i)));
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(equal)); mask != 0xffff)
            return i + static_cast<std::size_t>(std::countr_zero(~mask));
    }
#endif
    for (std::uint64_t wa, wb; i + 8 <= n; i += 8) {
        std::memcpy(&wa, pa + i, 8);
        std::memcpy(&wb, pb + i, 8);
        if (wa != wb)
            return i + static_cast<std::size_t>(std::endian::native == std::endian::little
                                                    ? std::countr_zero(wa ^ wb)
                                                    : std::countl_zero(wa ^ wb)) /
                           8;
    }
    while (i < n && pa[i] == pb[i])
        ++i;
    return i;
}

// Pixels first to end - 1 of a row.
struct pixel_span {
    std::size_t first;
    std::size_t end;
};

class idat_encoder
{
public:
    explicit idat_encoder(std::size_t width);

    // The next row, 3 bytes a pixel, which differs from the row added last only inside the spans (in order, apart).
    // Only the bytes that differ from the row above are filtered and scanned.
    void add_row(const std::uint8_t* rgb, std::span<const pixel_span> changed);
    // The next row, known to equal the one added last (or, first, a black row).
    void repeat_row();
    // Ends the stream: its last block and its checksum. Add nothing after.
    void finish();

    // The bytes of the stream ready to be written, and dropping the first n of them once written.
    const std::uint8_t* ready() const { return bits_.bytes().data(); }
    std::size_t ready_size() const { return bits_.bytes().size(); }
    void drop_ready(std::size_t n) { bits_.drop_front(n); }

private:
    void push_byte(std::uint8_t byte);
    void push_zeros(std::size_t n);
    void push_run();
    void push_bytes(const std::uint8_t* bytes, std::size_t n);
    void add_stretch(const std::uint8_t* rgb, std::size_t begin, std::size_t end);
    void end_block_if_full();

    std::size_t row_bytes_;
    std::vector<std::uint8_t> above_;    // the row above, as RGB; zeros above the first row
    std::vector<std::uint8_t> filtered_; // the filtered bytes of a stretch that differs from the row above
    unsigned long adler_;                // of the filtered bytes so far
    unsigned long repeated_row_adler_;   // of a repeated row's filtered bytes alone
    std::vector<deflate::token> tokens_; // of the block being gathered
    std::size_t run_ = 0;                // bytes equal to the last one, not yet in tokens_
    int last_byte_ = -1;                 // the stream's last byte, or -1 before the first
    std::uint8_t block_byte_before_ = 0; // the byte before the block's first
    deflate::bit_writer bits_;
};

} // namespace twgr

#endif // TWGR_IDAT_ENCODER_H
