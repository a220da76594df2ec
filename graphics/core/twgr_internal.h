// Internals shared by the units of twgr: the library's state records, the frame-driver family, the
// fillers used by the shape code, the scan-line scratch buffer and the clipping helpers.
#ifndef TWGR_INTERNAL_H
#define TWGR_INTERNAL_H

#include "twgr.h"

#include <cstddef>
#include <cstdint>

// ---- library state ----

extern struct _GR_driverInfo _GrDriverInfo;

// ---- frame drivers ----

extern const struct _GR_frameDriver _GrFrameDriverRAM1;
extern const struct _GR_frameDriver _GrFrameDriverRAM4;
extern const struct _GR_frameDriver _GrFrameDriverRAM8;
extern const struct _GR_frameDriver _GrFrameDriverRAM24;
extern const struct _GR_frameDriver _GrFrameDriverRAM32L;
extern const struct _GR_frameDriver _GrFrameDriverRAM32H;
extern const struct _GR_frameDriver _GrFrameDriverWIN32_8;
extern const struct _GR_frameDriver _GrFrameDriverWIN32_24;
// Searched in order; null-terminated.
extern const struct _GR_frameDriver* const _GrFrameDriverTable[];

void _GrFrDrvPackedBitBltR2R(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op);
GrColor* _GrFrDrvGenericGetIndexedScanline(GrFrame* c, int x, int y, int w, int* indx);
void _GrFrDrvGenericPutScanline(int x, int y, int w, const GrColor* scl, GrColor op);

// ---- video drivers ----

extern GrVideoDriver _GrDriverSDL2;
extern GrVideoDriver _GrDriverMEM;
int _GrResetColors(void);

// ---- scan-line scratch buffer ----

// The buffer when it holds size bytes (grown if needed), else null; the old block survives a failed growth.
void* _GrTempBufferAlloc(std::size_t size);

// ---- shape code ----

namespace twgr
{

// The three operations through which shape code draws (frame coordinates).
struct filler {
    void (*pixel)(int x, int y, GrColor c);
    void (*line)(int x, int y, int dx, int dy, GrColor c);
    void (*scan)(int x, int y, int w, GrColor c);
};

} // namespace twgr

extern const twgr::filler _GrSolidFiller;

namespace twgr
{

// The contexts the library owns; published read-only as GrContextInfo.
extern _GR_contextInfo context_info;

inline GrContext& current_context()
{
    return context_info.current;
}
// The frame driver every primitive draws through.
inline const _GR_frameDriver& current_driver()
{
    return _GrDriverInfo.fdriver;
}

// Bit 3 of a video mode's flags: its frame is ordinary memory.
inline constexpr int mode_flag_memory = 8;

inline constexpr GrColor value_mask = 0x00FFFFFFU;

// Clips the box (x1, y1)-(x2, y2), corners ordered, to the current clip box; false when nothing is left.
// Works in 64 bits so that any int corners are safe.
bool clip_box(long long& x1, long long& y1, long long& x2, long long& y2);

// X * N / D rounded to nearest, halves away from zero; exact for any 64-bit X, N and D != 0 whose
// result fits in 64 bits (the product is formed in 128 bits).
long long irscale(long long x, long long n, long long d);

// True when the segment lies wholly beside the clip box of ctx on either axis, so that clipping drops it. Inline
// so that loops over many edges, most of them beside the box (a large ring around the page), test it without a call.
inline bool beside_clip_box(const GrContext& ctx, long long x1, long long y1, long long x2, long long y2)
{
    return (x1 < ctx.gc_xcliplo && x2 < ctx.gc_xcliplo) || (x1 > ctx.gc_xcliphi && x2 > ctx.gc_xcliphi) ||
           (y1 < ctx.gc_ycliplo && y2 < ctx.gc_ycliplo) || (y1 > ctx.gc_ycliphi && y2 > ctx.gc_ycliphi);
}

// Clips the segment to the current clip box; false when nothing of it is inside.
bool clip_line(long long& x1, long long& y1, long long& x2, long long& y2);

// The shape paths on 64-bit point lists, so that ellipses of any 32-bit size stay exact.
void draw_polygon64(int n, const long long pt[][2], const filler* f, GrColor c, int closed);
void scan_convex_poly64(int n, const long long pt[][2], const filler* f, GrColor c);
// Fills pts (1024 entries) with the outline points of the ellipse; returns their number.
int generate_ellipse64(long long xc, long long yc, long long xa, long long ya, long long pts[][2]);

// The blit of _GrFrDrvPackedBitBltR2R for pixels whose value is stored value_shift bits up: a keyed copy
// compares the key with the value, not with the stored bits.
void packed_bitblt(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op, int value_shift);

// Makes the placeholder the current frame driver (drawing is then fatal).
void use_placeholder_driver();
const _GR_frameDriver& placeholder_driver();

} // namespace twgr

#endif // TWGR_INTERNAL_H
