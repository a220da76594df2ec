// A cursor over untrusted bytes that can never read past its end: every read past the end yields zero and sets a
// sticky failure flag, so a parser checks once after a group of reads instead of before each one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class byte_reader
{
public:
    byte_reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit byte_reader(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

    std::size_t size() const { return size_; }
    std::size_t pos() const { return pos_; }
    bool failed() const { return failed_; }
    bool ok() const { return !failed_; }
    std::size_t remaining() const { return size_ - pos_; }

    // Moves the cursor to an absolute offset; an offset past the end fails.
    bool seek(std::size_t offset)
    {
        if (offset > size_)
            return fail();
        pos_ = offset;
        return true;
    }
    bool skip(std::size_t count) { return count > remaining() ? fail() : (pos_ += count, true); }

    std::uint8_t u8()
    {
        if (remaining() < 1) {
            fail();
            return 0;
        }
        return data_[pos_++];
    }
    std::uint16_t u16le()
    {
        if (remaining() < 2) {
            fail();
            return 0;
        }
        std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32le()
    {
        if (remaining() < 4) {
            fail();
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | data_[pos_ + static_cast<std::size_t>(i)];
        pos_ += 4;
        return v;
    }
    // A view of the next count bytes (empty and failed when fewer remain); the cursor moves past them.
    std::span<const std::uint8_t> bytes(std::size_t count)
    {
        if (count > remaining()) {
            fail();
            return {};
        }
        std::span<const std::uint8_t> v(data_ + pos_, count);
        pos_ += count;
        return v;
    }

    // True when [offset, offset + length) lies inside the data; written so that it cannot overflow.
    bool has_range(std::size_t offset, std::size_t length) const { return offset <= size_ && length <= size_ - offset; }

private:
    bool fail()
    {
        failed_ = true;
        return false;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};
