// gzip through zlib and zstd through libzstd behind one stepping interface: the caller hands in what it has read
// and the room it has, so nothing here holds more than the decoders' own windows.
#include "unpack.h"

#include <algorithm>
#include <climits>
#include <new>

#include <zlib.h>
#include <zstd.h>

class unpacker::engine
{
public:
    engine() = default;
    virtual ~engine() = default;
    engine(const engine&) = delete;
    engine& operator=(const engine&) = delete;

    virtual unpack_step step(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) = 0;
    virtual bool at_boundary() const = 0;
};

namespace
{

// zlib counts in unsigned int: a larger piece is handed over in parts.
uInt zlib_count(std::size_t n)
{
    return static_cast<uInt>(std::min<std::size_t>(n, UINT_MAX));
}

class gzip_engine final : public unpacker::engine
{
public:
    gzip_engine()
    {
        // 16 + the largest window: gzip members only, with their header and checksum checked.
        if (inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK)
            throw std::bad_alloc();
    }
    ~gzip_engine() override { inflateEnd(&z_); }

    unpack_step step(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) override
    {
        z_.next_in = const_cast<Bytef*>(input.data()); // zlib does not write through next_in
        z_.avail_in = zlib_count(input.size());
        z_.next_out = output.data();
        z_.avail_out = zlib_count(output.size());
        const uInt in_before = z_.avail_in;
        const uInt out_before = z_.avail_out;
        const int status = inflate(&z_, Z_NO_FLUSH);
        unpack_step done{.used = in_before - z_.avail_in, .made = out_before - z_.avail_out, .error = {}};
        if (done.used > 0)
            inside_ = true;
        if (status == Z_STREAM_END) {
            // A member has ended; whatever follows must be the next member.
            inside_ = false;
            inflateReset(&z_);
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            done.error = std::string("corrupt gzip data") + (z_.msg ? std::string(" (") + z_.msg + ")" : "");
        }
        return done;
    }

    bool at_boundary() const override { return !inside_; }

private:
    z_stream z_{};
    bool inside_ = false;
};

class zstd_engine final : public unpacker::engine
{
public:
    zstd_engine() : context_(ZSTD_createDCtx())
    {
        if (context_ == nullptr)
            throw std::bad_alloc();
    }
    ~zstd_engine() override { ZSTD_freeDCtx(context_); }

    unpack_step step(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) override
    {
        ZSTD_inBuffer in{input.data(), input.size(), 0};
        ZSTD_outBuffer out{output.data(), output.size(), 0};
        const std::size_t status = ZSTD_decompressStream(context_, &out, &in);
        unpack_step done{.used = in.pos, .made = out.pos, .error = {}};
        if (ZSTD_isError(status))
            done.error = std::string("corrupt zstd data (") + ZSTD_getErrorName(status) + ")";
        else if (done.used != 0 || done.made != 0)
            // 0 once a frame is decoded and flushed whole; more frames may follow. A call without progress tells
            // nothing: between frames it asks for the next frame's header.
            left_in_frame_ = status;
        return done;
    }

    bool at_boundary() const override { return left_in_frame_ == 0; }

private:
    ZSTD_DCtx* context_;
    std::size_t left_in_frame_ = 0;
};

std::uint32_t little_endian_32(std::span<const std::uint8_t> b)
{
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
}

} // namespace

packing packing_of(std::span<const std::uint8_t> first_bytes)
{
    if (first_bytes.size() >= 2 && first_bytes[0] == 0x1f && first_bytes[1] == 0x8b)
        return packing::gzip;
    if (first_bytes.size() < 4)
        return packing::none;
    const std::uint32_t magic = little_endian_32(first_bytes);
    // A zstd stream may also start with a skippable frame, whose magic has 16 variants.
    if (magic == ZSTD_MAGICNUMBER || (magic & ZSTD_MAGIC_SKIPPABLE_MASK) == ZSTD_MAGIC_SKIPPABLE_START)
        return packing::zstd;
    return packing::none;
}

const char* packing_name(packing kind)
{
    switch (kind) {
    case packing::gzip:
        return "gzip";
    case packing::zstd:
        return "zstd";
    case packing::none:
        break;
    }
    return "plain";
}

std::string truncated_text(packing kind)
{
    return std::string("truncated ") + packing_name(kind) + " data";
}

unpacker::unpacker(packing kind)
{
    if (kind == packing::gzip)
        engine_ = std::make_unique<gzip_engine>();
    else
        engine_ = std::make_unique<zstd_engine>();
}

unpacker::~unpacker() = default;

unpack_step unpacker::step(std::span<const std::uint8_t> input, std::span<std::uint8_t> output)
{
    return engine_->step(input, output);
}

bool unpacker::at_boundary() const
{
    return engine_->at_boundary();
}

unpacked_bytes unpack_whole(packing kind, std::span<const std::uint8_t> input, std::size_t max_bytes)
{
    constexpr std::size_t first_room = std::size_t{64} << 10;
    unpacked_bytes result;
    unpacker unpacking(kind);
    std::size_t filled = 0;
    for (;;) {
        // One byte of room beyond the limit shows an input that is too large without unpacking more of it.
        if (filled == result.bytes.size())
            result.bytes.resize(std::min(max_bytes + 1, std::max(filled * 2, first_room)));
        const unpack_step step = unpacking.step(input, std::span(result.bytes).subspan(filled));
        input = input.subspan(step.used);
        filled += step.made;
        if (!step.error.empty())
            result.error = step.error;
        else if (filled > max_bytes)
            result.error = "more than " + std::to_string(max_bytes) + " bytes when unpacked";
        else if (step.used == 0 && step.made == 0 && !input.empty())
            result.error = std::string("corrupt ") + packing_name(kind) + " data";
        else if (step.used == 0 && step.made == 0 && !unpacking.at_boundary())
            result.error = truncated_text(kind);
        else if (step.used != 0 || step.made != 0)
            continue;
        break;
    }
    result.bytes.resize(result.error.empty() ? filled : 0);
    return result;
}
