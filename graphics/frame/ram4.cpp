// Frame driver for 16-colour frames in memory: four planes of one bit per pixel, plane k holding bit k.
#include "frame/ramplanes.h"

constexpr _GR_frameDriver _GrFrameDriverRAM4 = twgr::bit_planes<4>::driver(GR_frameRAM4);
