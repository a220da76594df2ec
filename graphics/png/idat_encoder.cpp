// PNG image data written with the "up" filter and run-length deflate: filtered rows become literals and
// repeats of the byte before (distance 1), as zlib's run-length strategy makes them, gathered into blocks.
#include "png/idat_encoder.h"

#include <zlib.h>

#include <algorithm>

namespace twgr
{

namespace
{

constexpr std::uint8_t filter_up = 2;
// Tokens gathered before a block is written: enough to pay for a block's codes, few enough that a block's codes
// follow the page as it changes.
constexpr std::size_t block_tokens = 16384;

// The Adler-32 after n more zero bytes: the first sum stays, the second grows by n times the first.
unsigned long adler_after_zeros(unsigned long adler, std::size_t n)
{
    constexpr std::uint64_t base = 65521;
    const std::uint64_t a = adler & 0xffff, b = (adler >> 16) & 0xffff;
    return static_cast<unsigned long>((b + n % base * a) % base << 16 | a);
}

} // namespace

idat_encoder::idat_encoder(std::size_t width)
    : row_bytes_(3 * width), above_(row_bytes_, 0), filtered_(row_bytes_ + 1, 0), adler_(adler32(0, nullptr, 0))
{
    // A repeated row filters to the filter byte and zeros.
    filtered_[0] = filter_up;
    repeated_row_adler_ = adler32(adler_, filtered_.data(), static_cast<uInt>(filtered_.size()));
    // The zlib header: deflate with a 32 KiB window, no dictionary; 0x7801 is a multiple of 31, as required.
    bits_.put(0x78, 8);
    bits_.put(0x01, 8);
}

// The run of bytes equal to the last one: repeats, and literals for fewer than three left over.
void idat_encoder::push_run()
{
    std::size_t n = run_;
    for (; n >= deflate::min_repeat; n -= std::min<std::size_t>(n, deflate::max_repeat))
        tokens_.push_back(static_cast<deflate::token>(deflate::repeat + std::min<std::size_t>(n, deflate::max_repeat)));
    for (; n > 0; --n)
        tokens_.push_back(static_cast<deflate::token>(last_byte_));
    run_ = 0;
}

// The stream's next byte. One equal to the byte before joins its run; the stream's first byte cannot.
void idat_encoder::push_byte(std::uint8_t byte)
{
    if (byte == last_byte_) {
        ++run_;
        return;
    }
    push_run();
    tokens_.push_back(byte);
    last_byte_ = byte;
}

void idat_encoder::push_zeros(std::size_t n)
{
    if (n == 0)
        return;
    adler_ = adler_after_zeros(adler_, n);
    if (last_byte_ != 0) {
        push_byte(0);
        --n;
    }
    run_ += n;
}

void idat_encoder::push_bytes(const std::uint8_t* bytes, std::size_t n)
{
    adler_ = adler32(adler_, bytes, static_cast<uInt>(n));
    for (std::size_t i = 0; i < n; ++i)
        push_byte(bytes[i]);
}

void idat_encoder::end_block_if_full()
{
    if (tokens_.size() < block_tokens)
        return;
    push_run();
    deflate::write_block(tokens_, block_byte_before_, false, bits_);
    tokens_.clear();
    block_byte_before_ = static_cast<std::uint8_t>(last_byte_);
}

// Bytes begin to end - 1 of a row: stretches equal to the row above filter to zeros; the others are filtered
// here and the row above updated.
void idat_encoder::add_stretch(const std::uint8_t* rgb, std::size_t begin, std::size_t end)
{
    std::uint8_t* const above = above_.data();
    for (std::size_t i = begin; i < end;) {
        const std::size_t same = matching_bytes(rgb + i, above + i, end - i);
        push_zeros(same);
        i += same;
        std::size_t differs = i;
        for (; differs < end && rgb[differs] != above[differs]; ++differs)
            filtered_[differs - i] = static_cast<std::uint8_t>(rgb[differs] - above[differs]);
        push_bytes(filtered_.data(), differs - i);
        std::memcpy(above + i, rgb + i, differs - i);
        i = differs;
    }
}

void idat_encoder::add_row(const std::uint8_t* rgb, std::span<const pixel_span> changed)
{
    push_bytes(&filter_up, 1);
    std::size_t done = 0;
    for (const pixel_span& span : changed) {
        push_zeros(3 * span.first - done);
        add_stretch(rgb, 3 * span.first, 3 * span.end);
        done = 3 * span.end;
    }
    push_zeros(row_bytes_ - done);
    end_block_if_full();
}

void idat_encoder::repeat_row()
{
    adler_ = adler32_combine(adler_, repeated_row_adler_, static_cast<z_off_t>(row_bytes_ + 1));
    push_byte(filter_up);
    push_byte(0);
    run_ += row_bytes_ - 1;
    end_block_if_full();
}

void idat_encoder::finish()
{
    push_run();
    deflate::write_block(tokens_, block_byte_before_, true, bits_);
    tokens_.clear();
    bits_.align();
    for (int shift = 24; shift >= 0; shift -= 8)
        bits_.put(static_cast<std::uint32_t>(adler_ >> shift) & 0xff, 8);
}

} // namespace twgr
