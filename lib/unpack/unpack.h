// Compressed bytes, recognised by their first bytes and unpacked piece by piece: gzip (zlib) and zstd. Used for
// data files and font files alike; both are untrusted input, so every step is bounded by the room it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum class packing { none, gzip, zstd };

// How many first bytes packing_of needs to tell every packing apart.
inline constexpr std::size_t packing_magic_bytes = 4;

// The packing whose magic the first bytes of an input carry; none for plain bytes (and for fewer bytes than a
// magic has).
packing packing_of(std::span<const std::uint8_t> first_bytes);

// "gzip" or "zstd" (or "plain").
const char* packing_name(packing kind);

// What one unpacking step did; error is empty unless the input is corrupt (then it says how, after the packing's
// name: "corrupt gzip data (invalid block type)").
struct unpack_step {
    std::size_t used = 0; // input bytes taken
    std::size_t made = 0; // output bytes written
    std::string error;
};

// One unpacker over a whole input of one packing. Concatenated gzip members and zstd frames are unpacked one
// after the other as one stream.
class unpacker
{
public:
    explicit unpacker(packing kind);
    ~unpacker();
    unpacker(const unpacker&) = delete;
    unpacker& operator=(const unpacker&) = delete;

    // Unpacks from the front of input into output. An empty input with room in output flushes what is still
    // held; a step that makes nothing with room left needs more input.
    unpack_step step(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);
    // True when the input may end here: between members or frames, not inside one.
    bool at_boundary() const;

    class engine;

private:
    std::unique_ptr<engine> engine_;
};

// The whole of a packed input unpacked, as long as it holds at most max_bytes; error tells what went wrong
// otherwise ("corrupt gzip data ...", "truncated gzip data", "more than N bytes when unpacked").
struct unpacked_bytes {
    std::vector<std::uint8_t> bytes;
    std::string error;
};
unpacked_bytes unpack_whole(packing kind, std::span<const std::uint8_t> input, std::size_t max_bytes);

// The message for an input that ends inside a member or frame: "truncated gzip data".
std::string truncated_text(packing kind);
