// Arbitrary bytes through the win font-file loader: they must be refused or loaded cleanly, never crash it.
#include "font_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz_font_driver(fdv_win, data, size, "fuzz/input.res");
}
