// twgr: the small raster graphics library of tremwil. This header is its whole public interface:
// plain records and C-style functions; everything behind it stays in graphics/.
#ifndef TWGR_H
#define TWGR_H

#include <cstddef>
#include <cstdint>

// ---- colours, frames and contexts ----

// ---- drawing primitives ----

// ---- video modes and drivers ----

// ---- fonts and text ----

// ---- events and input ----

// ---- PNG export ----

#endif // TWGR_H
