// Frame drivers for 32-bit frames in memory: the value in the low (L) or the upper (H) three bytes.
#include "frame/rampacked.h"

constexpr _GR_frameDriver _GrFrameDriverRAM32L = twgr::packed_pixels<4, 0>::driver(GR_frameRAM32L, 0x20000000);
constexpr _GR_frameDriver _GrFrameDriverRAM32H = twgr::packed_pixels<4, 8>::driver(GR_frameRAM32H, 0x20000000);
