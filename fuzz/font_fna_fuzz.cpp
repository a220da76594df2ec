// Arbitrary bytes through the fna font-file loader: they must be refused or loaded cleanly, never crash it.
#include "font_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_font_driver(fdv_fna, data, size, "fuzz/input.fna");
}
