// Arbitrary bytes through the decompression path. Both unpackers, stepped in small pieces of input and output room
// (sizes taken from the first bytes), must give what one call over the whole input gives, bytes and verdict; and
// the data reader reads the bytes as a file through its byte source with a small buffer, where compressed input
// may only end in rows or in an input_error naming the file. Any difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/settings.h"
#include "data/byte_source.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "unpack.h"

namespace
{

constexpr std::size_t max_bytes = std::size_t{1} << 20;

[[noreturn]] void report(const char* what, packing kind)
{
    std::fprintf(stderr, "unpack difference (%s) for %s\n", what, packing_name(kind));
    std::abort();
}

// Unpacks in pieces of at most piece input bytes and room output bytes; the error text, empty when it went well.
std::string unpack_in_pieces(packing kind, std::span<const std::uint8_t> input, std::size_t piece, std::size_t room,
                             std::vector<std::uint8_t>& out)
{
    unpacker unpacking(kind);
    std::vector<std::uint8_t> buffer(room);
    for (;;) {
        const auto offered = input.first(std::min(piece, input.size()));
        const unpack_step step = unpacking.step(offered, buffer);
        input = input.subspan(step.used);
        out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(step.made));
        if (!step.error.empty())
            return step.error;
        if (out.size() > max_bytes)
            return "too large";
        if (step.used == 0 && step.made == 0 && input.empty())
            return unpacking.at_boundary() ? "" : truncated_text(kind);
        if (step.used == 0 && step.made == 0 && !offered.empty())
            report("no progress", kind);
    }
}

void compare_pieces(packing kind, std::span<const std::uint8_t> input, std::size_t piece, std::size_t room)
{
    const unpacked_bytes whole = unpack_whole(kind, input, max_bytes);
    std::vector<std::uint8_t> pieces;
    const std::string error = unpack_in_pieces(kind, input, piece, room, pieces);
    if (error.empty() != whole.error.empty())
        report("verdict", kind);
    if (error.empty() && pieces != whole.bytes)
        report("bytes", kind);
}

void read_as_data_file(std::span<const std::uint8_t> bytes, std::size_t block)
{
    static const std::string path = "/tmp/unpack_fuzz_" + std::to_string(::getpid()) + ".dat";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    reset_settings();
    quiet = 1;
    data d;
    d.fname = path;
    try {
        readfile(d, {.block_bytes = block, .max_line_bytes = 4096, .max_file_bytes = max_bytes, .max_rows = 10000});
    } catch (const input_error&) {
    } catch (const too_few_columns_exception&) {
    }
    std::remove(path.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::size_t room = 1 + data[1] % 97;
    const std::span<const std::uint8_t> input(data + 2, size - 2);
    for (const packing kind : {packing::gzip, packing::zstd})
        compare_pieces(kind, input, piece, room);
    read_as_data_file(input, room);
    return 0;
}
