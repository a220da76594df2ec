// Contexts: creation over new or given frame memory, sub-contexts that view a root's frame, switching
// the current context (which also switches the frame driver every primitive draws through).
#include "core/twgr_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

_GR_contextInfo twgr::context_info{};
const _GR_contextInfo* const GrContextInfo = &twgr::context_info;

namespace
{

constexpr char owns_record = 1;
constexpr char owns_planes = 2;

// The frame driver of a frame mode; a video mode gives the driver of its matching RAM frame.
const _GR_frameDriver* find_driver(GrFrameMode md)
{
    for (int i = 0; _GrFrameDriverTable[i] != nullptr; ++i) {
        const _GR_frameDriver* d = _GrFrameDriverTable[i];
        if (d->mode != md)
            continue;
        return d->is_video ? find_driver(d->rmode) : d;
    }
    return nullptr;
}

long long line_offset(const _GR_frameDriver& d, long long w)
{
    long long bytes = ((long long)d.bits_per_pixel / d.num_planes * w + 7) / 8;
    return (bytes + d.row_align - 1) / d.row_align * d.row_align;
}

GrContext* new_or_given(GrContext* where)
{
    if (where != nullptr) {
        std::memset(static_cast<void*>(where), 0, sizeof *where);
        return where;
    }
    auto* ctx = static_cast<GrContext*>(std::calloc(1, sizeof(GrContext)));
    if (ctx != nullptr)
        ctx->gc_frame.gf_memflags = owns_record;
    return ctx;
}

void free_planes(GrFrame& f, int count)
{
    for (int i = 0; i < count; ++i) {
        std::free(f.gf_baseaddr[i]);
        f.gf_baseaddr[i] = nullptr;
    }
}

bool alloc_planes(GrFrame& f, int count, std::size_t plane)
{
    for (int i = 0; i < count; ++i) {
        f.gf_baseaddr[i] = static_cast<unsigned char*>(std::calloc(plane, 1));
        if (f.gf_baseaddr[i] == nullptr) {
            free_planes(f, i);
            return false;
        }
    }
    f.gf_memflags |= owns_planes;
    return true;
}

// Orders and clamps a box given in root coordinates; false when it misses the root.
bool fit_box(const GrContext& root, long long& x1, long long& y1, long long& x2, long long& y2)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (x1 > root.gc_xmax || x2 < 0 || y1 > root.gc_ymax || y2 < 0)
        return false;
    x1 = std::max(x1, 0LL);
    y1 = std::max(y1, 0LL);
    x2 = std::min(x2, (long long)root.gc_xmax);
    y2 = std::min(y2, (long long)root.gc_ymax);
    return true;
}

void place_sub(GrContext& ctx, long long x1, long long y1, long long x2, long long y2)
{
    ctx.gc_xoffset = (int)x1;
    ctx.gc_yoffset = (int)y1;
    ctx.gc_xmax = ctx.gc_xcliphi = (int)(x2 - x1);
    ctx.gc_ymax = ctx.gc_ycliphi = (int)(y2 - y1);
    ctx.gc_xcliplo = ctx.gc_ycliplo = 0;
}

} // namespace

long GrFrameLineOffset(GrFrameMode md, int w)
{
    const _GR_frameDriver* d = find_driver(md);
    return d != nullptr ? (long)line_offset(*d, w) : 0;
}

long GrFramePlaneSize(GrFrameMode md, int w, int h)
{
    return GrFrameLineOffset(md, w) * (long)h;
}

int GrFrameNumPlanes(GrFrameMode md)
{
    const _GR_frameDriver* d = find_driver(md);
    return d != nullptr ? d->num_planes : 0;
}

long GrFrameContextSize(GrFrameMode md, int w, int h)
{
    return GrFrameNumPlanes(md) * GrFramePlaneSize(md, w, h);
}

GrContext* GrCreateFrameContext(GrFrameMode md, int w, int h, unsigned char* memory[4], GrContext* where)
{
    const _GR_frameDriver* d = find_driver(md);
    if (d == nullptr || w < 1 || h < 1)
        return nullptr;
    long long offset = line_offset(*d, w);
    long long plane = offset * h;
    if (offset > 0x7FFFFFFF || plane < 1 || plane > d->max_plane_size)
        return nullptr;
    GrContext* ctx = new_or_given(where);
    if (ctx == nullptr)
        return nullptr;
    if (memory == nullptr) {
        if (!alloc_planes(ctx->gc_frame, d->num_planes, (std::size_t)plane)) {
            if (ctx != where)
                std::free(ctx);
            return nullptr;
        }
    } else {
        std::copy(memory, memory + 4, ctx->gc_frame.gf_baseaddr);
    }
    ctx->gc_frame.gf_driver = d;
    ctx->gc_frame.gf_lineoffset = (int)offset;
    ctx->gc_xmax = ctx->gc_xcliphi = w - 1;
    ctx->gc_ymax = ctx->gc_ycliphi = h - 1;
    return ctx;
}

GrContext* GrCreateContext(int w, int h, unsigned char* memory[4], GrContext* where)
{
    const _GR_frameDriver& s = _GrDriverInfo.sdriver;
    GrFrameMode md = s.is_video ? s.rmode : s.mode;
    if (md == GR_frameUndef || md == GR_frameText)
        md = GR_frameRAM8;
    return GrCreateFrameContext(md, w, h, memory, where);
}

GrContext* GrCreateSubContext(int x1, int y1, int x2, int y2, const GrContext* parent, GrContext* where)
{
    if (parent == nullptr)
        parent = &twgr::context_info.screen;
    long long bx1 = x1, by1 = y1, bx2 = x2, by2 = y2;
    const GrContext* root = parent;
    if (parent->gc_root != nullptr) {
        bx1 += parent->gc_xoffset;
        bx2 += parent->gc_xoffset;
        by1 += parent->gc_yoffset;
        by2 += parent->gc_yoffset;
        root = parent->gc_root;
    }
    if (!fit_box(*root, bx1, by1, bx2, by2))
        return nullptr;
    // Copy the root's frame first: where may be the parent itself.
    GrFrame frame = root->gc_frame;
    GrContext* ctx = new_or_given(where);
    if (ctx == nullptr)
        return nullptr;
    char flags = ctx->gc_frame.gf_memflags;
    ctx->gc_frame = frame;
    ctx->gc_frame.gf_memflags = flags;
    ctx->gc_root = const_cast<GrContext*>(root);
    place_sub(*ctx, bx1, by1, bx2, by2);
    return ctx;
}

void GrResizeSubContext(GrContext* ctx, int x1, int y1, int x2, int y2)
{
    if (ctx == nullptr || ctx->gc_root == nullptr)
        return;
    long long bx1 = x1, by1 = y1, bx2 = x2, by2 = y2;
    if (fit_box(*ctx->gc_root, bx1, by1, bx2, by2))
        place_sub(*ctx, bx1, by1, bx2, by2);
}

void GrDestroyContext(GrContext* ctx)
{
    if (ctx == nullptr || ctx == &twgr::context_info.current || ctx == &twgr::context_info.screen)
        return;
    if ((ctx->gc_frame.gf_memflags & owns_planes) != 0 && ctx->gc_frame.gf_driver != nullptr)
        free_planes(ctx->gc_frame, ctx->gc_frame.gf_driver->num_planes);
    if ((ctx->gc_frame.gf_memflags & owns_record) != 0)
        std::free(ctx);
}

void GrSetContext(const GrContext* ctx)
{
    if (ctx == nullptr)
        ctx = &twgr::context_info.screen;
    twgr::context_info.current = *ctx;
    const _GR_frameDriver* d = ctx->gc_frame.gf_driver;
    _GrDriverInfo.fdriver = d != nullptr ? *d : _GrDriverInfo.tdriver;
}

GrContext* GrSaveContext(GrContext* where)
{
    GrContext* ctx = where;
    if (ctx == nullptr)
        ctx = static_cast<GrContext*>(std::malloc(sizeof(GrContext)));
    if (ctx == nullptr)
        return nullptr;
    *ctx = twgr::context_info.current;
    // A saved copy never owns plane memory.
    ctx->gc_frame.gf_memflags = ctx == where ? 0 : owns_record;
    return ctx;
}

const GrContext* GrCurrentContext(void)
{
    return &twgr::context_info.current;
}

const GrContext* GrScreenContext(void)
{
    return &twgr::context_info.screen;
}

const GrColor* GrGetScanlineC(const GrContext* ctx, int x1, int x2, int y)
{
    if (ctx == nullptr)
        ctx = &twgr::context_info.current;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y < ctx->gc_ycliplo || y > ctx->gc_ycliphi || x1 < ctx->gc_xcliplo || x2 > ctx->gc_xcliphi)
        return nullptr;
    const _GR_frameDriver* d = ctx->gc_frame.gf_driver;
    if (d == nullptr || d->getindexedscanline == nullptr)
        return nullptr;
    GrFrame frame = ctx->gc_frame;
    return d->getindexedscanline(&frame, x1 + ctx->gc_xoffset, y + ctx->gc_yoffset, x2 - x1 + 1, nullptr);
}

const GrColor* GrGetScanline(int x1, int x2, int y)
{
    return GrGetScanlineC(nullptr, x1, x2, y);
}

GrColor GrPixelC(const GrContext* ctx, int x, int y)
{
    if (ctx == nullptr)
        ctx = &twgr::context_info.current;
    if (x < 0 || y < 0 || x > ctx->gc_xmax || y > ctx->gc_ymax || ctx->gc_frame.gf_driver == nullptr)
        return GrNOCOLOR;
    GrFrame frame = ctx->gc_frame;
    return ctx->gc_frame.gf_driver->readpixel(&frame, x + ctx->gc_xoffset, y + ctx->gc_yoffset);
}
