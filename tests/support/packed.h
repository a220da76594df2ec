// Compressed copies of test data, made with the system's zlib and libzstd: text cut into pieces, each piece its own
// gzip member or zstd frame, the pieces one after the other.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>

#include <zlib.h>
#include <zstd.h>

namespace test_support
{

inline std::string gzip_member(const std::string& text)
{
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

inline std::string zstd_frame(const std::string& text)
{
    std::string out(ZSTD_compressBound(text.size()), '\0');
    const std::size_t size = ZSTD_compress(out.data(), out.size(), text.data(), text.size(), 3);
    if (ZSTD_isError(size))
        throw std::runtime_error("ZSTD_compress");
    out.resize(size);
    return out;
}

// pieces members or frames of about equal length.
inline std::string packed(const std::string& text, bool zstd, std::size_t pieces = 1)
{
    std::string out;
    const std::size_t step = text.size() / pieces + 1;
    for (std::size_t at = 0; at < text.size() || out.empty(); at += step) {
        const std::string piece = text.substr(std::min(at, text.size()), step);
        out += zstd ? zstd_frame(piece) : gzip_member(piece);
    }
    return out;
}

} // namespace test_support
