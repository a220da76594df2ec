// The memory video driver: a frame in a heap buffer of exactly the requested size, for pictures that are
// only saved. Each graphics request rewrites the table entry of its depth to that size.
#include "core/twgr_internal.h"

#include <cstdlib>
#include <cstring>

namespace
{

unsigned char* MemBuf = nullptr;
std::size_t MemBufSze = 0;

// The largest plane the frame driver of a depth takes: bit planes, bytes, or three bytes per pixel.
std::size_t largest_plane(int depth)
{
    return depth == 24 ? 0x18000000 : depth == 8 ? 0x8000000 : 0x1000000;
}

// Bytes the frame of a mode needs (four planes for 4 bits per pixel).
std::size_t frame_bytes(const GrVideoMode& md)
{
    std::size_t rows = (std::size_t)md.height * (md.bpp == 4 ? 4 : 1);
    return (std::size_t)md.lineoffset * rows;
}

// A graphics mode comes up only over a buffer that holds all of it: an entry sized by an earlier request
// must not reach past a buffer that was since freed or replaced.
int setup_graphics(GrVideoMode* md, int)
{
    if (MemBuf == nullptr || frame_bytes(*md) > MemBufSze)
        return 0;
    md->extinfo->frame = MemBuf;
    return 1;
}

void free_buffer()
{
    std::free(MemBuf);
    MemBuf = nullptr;
    MemBufSze = 0;
}

int setup_text(GrVideoMode*, int)
{
    free_buffer();
    return 1;
}

constexpr int memory_flags = twgr::mode_flag_memory;

GrVideoModeExt graphics_ext(GrFrameMode mode, unsigned char prec, const unsigned char (&pos)[3])
{
    GrVideoModeExt ext{};
    ext.mode = mode;
    for (int k = 0; k < 3; ++k) {
        ext.cprec[k] = prec;
        ext.cpos[k] = pos[k];
    }
    ext.flags = memory_flags;
    ext.setup = setup_graphics;
    return ext;
}

GrVideoModeExt text_ext()
{
    GrVideoModeExt ext{};
    ext.mode = GR_frameText;
    ext.setup = setup_text;
    return ext;
}

GrVideoModeExt ext_1bpp = graphics_ext(GR_frameRAM1, 1, {0, 0, 0});
GrVideoModeExt ext_4bpp = graphics_ext(GR_frameRAM4, 8, {0, 0, 0});
GrVideoModeExt ext_8bpp = graphics_ext(GR_frameRAM8, 8, {0, 0, 0});
// Distinct positions, so that the packed components of RGB mode do not overlap.
GrVideoModeExt ext_24bpp = graphics_ext(GR_frameRAM24, 8, {16, 8, 0});
GrVideoModeExt ext_text = text_ext();

GrVideoMode mode_entry(unsigned char bpp, short w, short h, int lineoffset, GrVideoModeExt* ext)
{
    GrVideoMode m{};
    m.present = 1;
    m.bpp = bpp;
    m.width = w;
    m.height = h;
    m.lineoffset = lineoffset;
    m.extinfo = ext;
    return m;
}

GrVideoMode modes[] = {
    mode_entry(1, 640, 480, 80, &ext_1bpp),  mode_entry(4, 640, 480, 320, &ext_4bpp),
    mode_entry(8, 640, 480, 640, &ext_8bpp), mode_entry(24, 640, 480, 1920, &ext_24bpp),
    mode_entry(4, 80, 25, 160, &ext_text),
};

// The entry that serves a depth: its own, or, once that proved unusable (no frame driver for its
// format), the next deeper usable one, so that the frame still gets the requested size.
GrVideoMode* entry_for_depth(int bpp)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        return nullptr;
    for (GrVideoMode& m : modes)
        if (m.present && m.bpp >= bpp && m.extinfo->mode != GR_frameText)
            return &m;
    return nullptr;
}

// Makes the buffer hold at least size bytes, all zero.
bool provide_buffer(std::size_t size)
{
    if (size > MemBufSze) {
        void* grown = MemBuf == nullptr ? std::calloc(size, 1) : std::realloc(MemBuf, size);
        if (grown == nullptr)
            return false;
        MemBuf = static_cast<unsigned char*>(grown);
        MemBufSze = size;
    }
    std::memset(MemBuf, 0, size);
    return true;
}

GrVideoMode* select(GrVideoDriver* drv, int w, int h, int bpp, int txt, unsigned int* best)
{
    if (txt)
        return _gr_selectmode(drv, w, h, bpp, txt, best);
    GrVideoMode* m = entry_for_depth(bpp);
    // The mode record holds 16-bit sizes: larger requests get no mode rather than a truncated one.
    if (m == nullptr || w < 1 || h < 1 || w > 0x7FFF || h > 0x7FFF)
        return nullptr;
    int depth = m->bpp;
    long long row = depth == 24 ? 3LL * w : depth == 8 ? w : (w + 7LL) / 8;
    long long offset = (row + 7) / 8 * 8;
    m->width = (short)w;
    m->height = (short)h;
    m->lineoffset = (int)offset;
    // The frame driver of this depth takes no larger plane: refuse before touching that much memory.
    if ((std::size_t)offset * (std::size_t)h > largest_plane(depth) || !provide_buffer(frame_bytes(*m)))
        return nullptr;
    m->extinfo->frame = MemBuf;
    return _gr_selectmode(drv, w, h, bpp, txt, best);
}

void reset()
{
    if (_GrDriverInfo.moderestore)
        free_buffer();
}

} // namespace

GrVideoDriver _GrDriverMEM = {
    .name = "memory",
    .adapter = GR_MEM,
    .inherit = nullptr,
    .modes = modes,
    .nmodes = (int)(sizeof modes / sizeof modes[0]),
    .detect = nullptr,
    .init = nullptr,
    .reset = reset,
    .selectmode = select,
    .drvflags = 1,
};
