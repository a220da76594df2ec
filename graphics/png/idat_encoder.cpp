// PNG image data written with the "up" filter and run-length deflate: filtered rows become literals and
// repeats of the byte before (distance 1), as zlib's run-length strategy makes them, gathered into blocks.
#include "png/idat_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace twgr
{

namespace
{

constexpr std::uint8_t filter_up = 2;
// Tokens gathered before a block is written: enough to pay for a block's codes, few enough that a block's codes
// follow the page as it changes.
constexpr std::size_t block_tokens = 16384;

// How many of the n bytes at p equal b, a word at a time.
std::size_t run_length(const std::uint8_t* p, std::size_t n, std::uint8_t b)
{
    const std::uint64_t pattern = 0x0101010101010101u * b;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof(word));
        if (const std::uint64_t differs = word ^ pattern; differs != 0) {
            const int bits =
                std::endian::native == std::endian::little ? std::countr_zero(differs) : std::countl_zero(differs);
            return i + static_cast<std::size_t>(bits) / 8;
        }
    }
    while (i < n && p[i] == b)
        ++i;
    return i;
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

void idat_encoder::push_literal(std::uint8_t byte)
{
    tokens_.push_back(byte);
    last_byte_ = byte;
}

// n more bytes equal to the last one; fewer than three cannot be a repeat and go as literals.
void idat_encoder::push_repeats(std::size_t n)
{
    for (; n >= deflate::min_repeat; n -= std::min<std::size_t>(n, deflate::max_repeat))
        tokens_.push_back(static_cast<deflate::token>(deflate::repeat + std::min<std::size_t>(n, deflate::max_repeat)));
    for (; n > 0; --n)
        tokens_.push_back(static_cast<deflate::token>(last_byte_));
}

void idat_encoder::tokenize(const std::uint8_t* bytes, std::size_t n)
{
    for (std::size_t i = 0; i < n;) {
        if (last_byte_ >= 0) {
            const std::size_t run = run_length(bytes + i, n - i, static_cast<std::uint8_t>(last_byte_));
            if (run >= deflate::min_repeat) {
                push_repeats(run);
                i += run;
                continue;
            }
        }
        push_literal(bytes[i++]);
    }
}

void idat_encoder::end_block_if_full()
{
    if (tokens_.size() < block_tokens)
        return;
    deflate::write_block(tokens_, block_byte_before_, false, bits_);
    tokens_.clear();
    block_byte_before_ = static_cast<std::uint8_t>(last_byte_);
}

void idat_encoder::add_row(const std::uint8_t* rgb)
{
    if (std::memcmp(rgb, above_.data(), row_bytes_) == 0) {
        repeat_row();
        return;
    }
    // Locals, so that the compiler need not reload them after each byte stored.
    std::uint8_t* const out = filtered_.data() + 1;
    const std::uint8_t* const above = above_.data();
    for (std::size_t i = 0, n = row_bytes_; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(rgb[i] - above[i]);
    adler_ = adler32(adler_, filtered_.data(), static_cast<uInt>(filtered_.size()));
    tokenize(filtered_.data(), filtered_.size());
    std::memcpy(above_.data(), rgb, row_bytes_);
    end_block_if_full();
}

void idat_encoder::repeat_row()
{
    adler_ = adler32_combine(adler_, repeated_row_adler_, static_cast<z_off_t>(filtered_.size()));
    push_literal(filter_up);
    push_literal(0);
    push_repeats(row_bytes_ - 1);
    end_block_if_full();
}

void idat_encoder::finish()
{
    deflate::write_block(tokens_, block_byte_before_, true, bits_);
    tokens_.clear();
    bits_.align();
    for (int shift = 24; shift >= 0; shift -= 8)
        bits_.put(static_cast<std::uint32_t>(adler_ >> shift) & 0xff, 8);
}

} // namespace twgr
