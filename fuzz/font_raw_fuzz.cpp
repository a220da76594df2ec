// Arbitrary bytes through the raw font-file loader: they must be refused or loaded cleanly, never crash it.
#include "font_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_font_driver(fdv_raw, data, size, "fuzz/input.psf");
}
