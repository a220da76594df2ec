// Frame driver for 24-bit packed frames in memory: three bytes per pixel, low byte first.
#include "frame/rampacked.h"

constexpr _GR_frameDriver _GrFrameDriverRAM24 = twgr::packed_pixels<3, 0>::driver(GR_frameRAM24, 0x18000000);
