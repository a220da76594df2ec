// The colour table: shared read-only palette cells handed out by GrAllocColor, private cells, and the
// packing of components in modes of more than 8 bits per pixel (RGB mode).
#include "core/twgr_internal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace
{

struct rgb {
    unsigned char r, g, b;
};

// The standard 16-colour set that the first cells of a palette mode start with.
constexpr std::array<rgb, 16> default_palette{{{0, 0, 0},
                                               {0, 0, 170},
                                               {0, 170, 0},
                                               {0, 170, 170},
                                               {170, 0, 0},
                                               {170, 0, 170},
                                               {170, 85, 0},
                                               {170, 170, 170},
                                               {85, 85, 85},
                                               {85, 85, 255},
                                               {85, 255, 85},
                                               {85, 255, 255},
                                               {255, 85, 85},
                                               {255, 85, 255},
                                               {255, 255, 85},
                                               {255, 255, 255}}};

// What a text mode keeps of the colour table: the counts of the record's initial contents.
constexpr GrColor text_ncolors = 16;

void (*load_hook)(int c, int r, int g, int b) = nullptr;

_GR_colorInfo _GrColorInfo{};

_GR_colorInfo& info()
{
    return _GrColorInfo;
}

void load_cell(GrColor c, int r, int g, int b)
{
    _GR_colorCell& cell = info().ctable[c];
    cell.r = (unsigned char)(r & info().mask[0]);
    cell.g = (unsigned char)(g & info().mask[1]);
    cell.b = (unsigned char)(b & info().mask[2]);
    if (load_hook != nullptr)
        load_hook((int)c, cell.r, cell.g, cell.b);
}

// Rounds a component to the precision of its mask, half a step up.
int round_component(int v, int k)
{
    int mask = (int)info().mask[k];
    return v < mask ? (v + (int)info().round[k]) & mask : mask;
}

void set_bookkeeping(const unsigned char prec[3], const unsigned char pos[3])
{
    _GR_colorInfo& ci = info();
    int norm = 0;
    for (int k = 0; k < 3; ++k)
        norm = std::max(norm, 8 - (prec[k] + pos[k]));
    ci.norm = (unsigned)norm;
    for (int k = 0; k < 3; ++k) {
        ci.prec[k] = prec[k];
        ci.pos[k] = prec[k] + pos[k] - 1;
        ci.mask[k] = 255U - (255U >> prec[k]);
        ci.round[k] = (ci.mask[k] >> 1) & ~ci.mask[k];
        ci.shift[k] = (unsigned)(prec[k] + pos[k] - 8 + norm);
    }
}

void load_default_palette()
{
    for (GrColor i = 0; i < default_palette.size(); ++i) {
        _GR_colorCell& cell = info().ctable[i];
        load_cell(i, default_palette[i].r, default_palette[i].g, default_palette[i].b);
        cell.defined = 1;
        cell.writable = 0;
        cell.nused = 0;
    }
}

bool palette_mode()
{
    return info().RGBmode == 0;
}

} // namespace

const _GR_colorInfo* const GrColorInfo = &_GrColorInfo;

int _GrResetColors(void)
{
    std::memset(static_cast<void*>(&_GrColorInfo), 0, sizeof _GrColorInfo);
    load_hook = nullptr;
    const GrVideoMode& md = _GrDriverInfo.actmode;
    const _GR_videoModeExt* ext = md.extinfo;
    if (ext == nullptr || ext->mode == GR_frameText) {
        info().ncolors = info().nfree = text_ncolors;
        return 1;
    }
    load_hook = ext->loadcolor;
    info().black = info().white = GrNOCOLOR;
    set_bookkeeping(ext->cprec, ext->cpos);
    unsigned bits = md.bpp < 32 && md.bpp <= 24 ? md.bpp : ext->cprec[0] + ext->cprec[1] + ext->cprec[2];
    if (bits > 24)
        return 0;
    info().ncolors = 1U << bits;
    if (md.bpp == 4 || md.bpp == 8) {
        info().nfree = info().ncolors;
        load_default_palette();
    } else {
        info().RGBmode = 1;
    }
    return 1;
}

int GrResetColors(void)
{
    return _GrResetColors();
}

namespace
{

struct alloc_scan {
    int exact = -1;     // cell holding exactly the colour
    int best = -1;      // closest read-only cell
    int undefined = -1; // first cell without a colour
    int candidate = -1; // read-only cell nobody uses, to be reused
};

// One pass over the cells; stops at an exact match, or once every used cell is accounted for and a
// free cell has been seen.
alloc_scan scan_cells(int r, int g, int b)
{
    alloc_scan s;
    long long best_err = 1000;
    long long to_account = (long long)info().ncolors - info().nfree;
    for (GrColor i = 0; i < info().ncolors && i < 256; ++i) {
        const _GR_colorCell& cell = info().ctable[i];
        if (!cell.defined) {
            if (s.undefined < 0)
                s.undefined = (int)i;
        } else if (cell.writable) {
            if (cell.nused != 0)
                --to_account;
        } else {
            long long err = (long long)(r - cell.r) * (r - cell.r) + (long long)(g - cell.g) * (g - cell.g) +
                            (long long)(b - cell.b) * (b - cell.b);
            if (err < best_err) {
                if (err == 0) {
                    s.exact = (int)i;
                    return s;
                }
                best_err = err;
                s.best = (int)i;
            }
            // Cell 0 is only a fallback candidate: the next unused read-only cell replaces it.
            if ((s.candidate < 0 || s.candidate == 0) && cell.nused == 0)
                s.candidate = (int)i;
            else
                --to_account;
        }
        if (to_account <= 0 && s.undefined >= 0)
            break;
    }
    return s;
}

GrColor share_cell(int i)
{
    _GR_colorCell& cell = info().ctable[i];
    if (cell.nused == 0)
        --info().nfree;
    ++cell.nused;
    return (GrColor)i;
}

GrColor take_cell(int i, int r, int g, int b)
{
    _GR_colorCell& cell = info().ctable[i];
    cell.defined = 1;
    cell.writable = 0;
    cell.nused = 1;
    --info().nfree;
    load_cell((GrColor)i, r, g, b);
    return (GrColor)i;
}

} // namespace

GrColor GrAllocColor(int r, int g, int b)
{
    r = round_component(r, 0);
    g = round_component(g, 1);
    b = round_component(b, 2);
    const _GR_colorInfo& ci = info();
    if (!palette_mode()) {
        return (((GrColor)r & ci.mask[0]) << ci.shift[0] | ((GrColor)g & ci.mask[1]) << ci.shift[1] |
                ((GrColor)b & ci.mask[2]) << ci.shift[2]) >>
               ci.norm;
    }
    alloc_scan s = scan_cells(r, g, b);
    if (s.exact >= 0)
        return share_cell(s.exact);
    if (s.undefined >= 0)
        return take_cell(s.undefined, r, g, b);
    if (s.candidate >= 0)
        return take_cell(s.candidate, r, g, b);
    return s.best >= 0 ? share_cell(s.best) : GrNOCOLOR;
}

GrColor GrAllocCell(void)
{
    if (!palette_mode() || info().nfree == 0)
        return GrNOCOLOR;
    int pick = -1;
    GrColor n = std::min<GrColor>(info().ncolors, 256);
    if (!info().ctable[0].defined)
        pick = 0;
    for (GrColor i = 0; pick < 0 && i < n; ++i)
        if (!info().ctable[i].defined)
            pick = (int)i;
    for (GrColor i = 0; pick < 0 && i < n; ++i)
        if (info().ctable[i].nused == 0)
            pick = (int)i;
    if (pick < 0)
        return GrNOCOLOR;
    _GR_colorCell& cell = info().ctable[pick];
    cell.defined = 1;
    cell.writable = 1;
    cell.nused = 1;
    --info().nfree;
    load_cell((GrColor)pick, 0, 0, 0);
    return (GrColor)pick;
}

void GrSetColor(GrColor c, int r, int g, int b)
{
    if (!palette_mode() || c >= info().ncolors || c >= 256)
        return;
    _GR_colorCell& cell = info().ctable[c];
    if (!cell.defined || cell.nused == 0) {
        if (!cell.defined || !cell.writable)
            --info().nfree;
        cell.defined = 1;
        cell.writable = 1;
        cell.nused = 1;
    }
    if (cell.writable)
        load_cell(c, round_component(r, 0), round_component(g, 1), round_component(b, 2));
}

void GrFreeColor(GrColor c)
{
    if (!palette_mode() || c >= info().ncolors || c >= 256)
        return;
    _GR_colorCell& cell = info().ctable[c];
    if (!cell.defined || cell.writable || cell.nused == 0)
        return;
    if (--cell.nused == 0) {
        cell.defined = 0;
        ++info().nfree;
    }
}

void GrFreeCell(GrColor c)
{
    if (!palette_mode() || c >= info().ncolors || c >= 256)
        return;
    _GR_colorCell& cell = info().ctable[c];
    if (!cell.defined || !cell.writable)
        return;
    cell.defined = 0;
    cell.writable = 0;
    cell.nused = 0;
    ++info().nfree;
}

void GrQueryColor(GrColor c, int* r, int* g, int* b)
{
    const _GR_colorInfo& ci = info();
    if (!palette_mode()) {
        GrColor v = c << ci.norm;
        *r = (int)((v >> ci.shift[0]) & ci.mask[0]);
        *g = (int)((v >> ci.shift[1]) & ci.mask[1]);
        *b = (int)((v >> ci.shift[2]) & ci.mask[2]);
        return;
    }
    if (c < ci.ncolors && c < 256 && ci.ctable[c].defined) {
        *r = ci.ctable[c].r;
        *g = ci.ctable[c].g;
        *b = ci.ctable[c].b;
        return;
    }
    *r = *g = *b = 0;
}

GrColor GrBlack(void)
{
    if (info().black == GrNOCOLOR)
        info().black = GrAllocColor(0, 0, 0);
    return info().black;
}

GrColor GrWhite(void)
{
    if (info().white == GrNOCOLOR)
        info().white = GrAllocColor(255, 255, 255);
    return info().white;
}

void GrRefreshColors(void)
{
    if (!palette_mode() || load_hook == nullptr)
        return;
    for (GrColor i = 0; i < std::min<GrColor>(info().ncolors, 256); ++i) {
        const _GR_colorCell& cell = info().ctable[i];
        if (cell.defined)
            load_hook((int)i, cell.r, cell.g, cell.b);
    }
}
