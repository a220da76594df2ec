// Frame driver for 1-bit frames in memory: one plane, eight pixels a byte, the leftmost in the top bit.
#include "frame/ramplanes.h"

constexpr _GR_frameDriver _GrFrameDriverRAM1 = twgr::bit_planes<1>::driver(GR_frameRAM1);
