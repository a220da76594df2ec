// twgr: the small raster graphics library of tremwil. This header is its whole public interface:
// plain records and C-style functions; everything behind it stays in graphics/. It compiles as C (C11) too, so
// that C programs can draw with the installed library.
#ifndef TWGR_H
#define TWGR_H

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#else
#include <stddef.h>
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---- colours, frames and contexts ----

// Pixel value in bits 0-23, write operation in bits 24-31.
typedef uint32_t GrColor;

// C has no typed constants that may stand in case labels, so C gets the same values as macros.
#ifdef __cplusplus
inline constexpr GrColor GrWRITE = 0x00000000U; // plain write
inline constexpr GrColor GrXOR = 0x01000000U;   // exclusive-or with the frame
inline constexpr GrColor GrOR = 0x02000000U;    // or with the frame
inline constexpr GrColor GrAND = 0x03000000U;   // and with the frame
inline constexpr GrColor GrIMAGE = 0x04000000U; // putscanline only: skip the key colour
inline constexpr GrColor GrNOCOLOR = GrXOR | 0; // xor with 0: draws nothing
#else
#define GrWRITE ((GrColor)0x00000000U)
#define GrXOR ((GrColor)0x01000000U)
#define GrOR ((GrColor)0x02000000U)
#define GrAND ((GrColor)0x03000000U)
#define GrIMAGE ((GrColor)0x04000000U)
#define GrNOCOLOR (GrXOR | 0)
#endif

// Frame modes; the numbers are fixed.
enum _GR_frameModes {
    GR_frameUndef = 0,
    GR_frameText = 1,
    GR_frameHERC1 = 2,
    GR_frameEGAVGA1 = 3,
    GR_frameEGA4 = 4,
    GR_frameSVGA4 = 5,
    GR_frameSVGA8 = 6,
    GR_frameVGA8X = 7,
    GR_frameSVGA16 = 8,
    GR_frameSVGA24 = 9,
    GR_frameSVGA32L = 10,
    GR_frameSVGA32H = 11,
    GR_frameSVGA8_LFB = 12,
    GR_frameSVGA16_LFB = 13,
    GR_frameSVGA24_LFB = 14,
    GR_frameSVGA32L_LFB = 15,
    GR_frameSVGA32H_LFB = 16,
    GR_frameRAM1 = 17,
    GR_frameRAM4 = 18,
    GR_frameRAM8 = 19,
    GR_frameRAM16 = 20,
    GR_frameRAM24 = 21,
    GR_frameRAM32L = 22,
    GR_frameRAM32H = 23,
    GR_frameRAM3x8 = 24,
    // Window frames reuse the video numbers.
    GR_frameWIN32_1 = GR_frameEGAVGA1,
    GR_frameWIN32_4 = GR_frameSVGA4,
    GR_frameWIN32_8 = GR_frameSVGA8,
    GR_frameWIN32_16 = GR_frameSVGA16,
    GR_frameWIN32_24 = GR_frameSVGA24,
    GR_frameWIN32_32L = GR_frameSVGA32L,
    GR_frameWIN32_32H = GR_frameSVGA32H,
};
typedef enum _GR_frameModes GrFrameMode;

struct _GR_frameDriver;
struct _GR_videoMode;

// A piece of one row of a shape, relative to a centre: row dy, columns x1 to x2 (x1 <= x2).
struct _GR_span {
    int dy, x1, x2;
};
typedef struct _GR_span GrSpan;

// One frame: up to four planes of pixel memory and the driver that knows their format.
struct _GR_frame {
    unsigned char* gf_baseaddr[4]; // one pointer per plane, null for planes the format lacks
    short gf_selector;             // always 0
    char gf_onscreen;              // non-zero for the visible screen
    char gf_memflags;              // bit 0: record allocated by the library; bit 1: planes allocated by it
    int gf_lineoffset;             // bytes from one row to the next in every plane
    const struct _GR_frameDriver* gf_driver;
};
typedef struct _GR_frame GrFrame;

// A rectangular window on a frame, with its own origin and clip box (inclusive, context coordinates).
struct _GR_context {
    GrFrame gc_frame;
    struct _GR_context* gc_root; // context whose frame this one views; null when it owns its frame
    int gc_xmax, gc_ymax;        // width - 1, height - 1
    int gc_xoffset, gc_yoffset;  // position of (0,0) in frame coordinates
    int gc_xcliplo, gc_ycliplo;
    int gc_xcliphi, gc_ycliphi;
    int gc_usrxbase, gc_usrybase; // user-coordinate window, unused
    int gc_usrwidth, gc_usrheight;
};
typedef struct _GR_context GrContext;

struct _GR_contextInfo {
    GrContext current; // the context every primitive draws into
    GrContext screen;  // the context of the video mode
};
extern const struct _GR_contextInfo* const GrContextInfo;

// Frame driver: the pixel routines of one pixel format. The drawing slots take frame coordinates and never clip.
struct _GR_frameDriver {
    enum _GR_frameModes mode;  // frame mode served
    enum _GR_frameModes rmode; // for a video frame: the mode of the matching RAM frame
    int is_video;
    int row_align; // rows are rounded up to a multiple of this many bytes
    int num_planes;
    int bits_per_pixel;
    long long max_plane_size;
    int (*init)(struct _GR_videoMode* md);
    GrColor (*readpixel)(GrFrame* c, int x, int y);
    void (*drawpixel)(int x, int y, GrColor c);
    void (*drawline)(int x, int y, int dx, int dy, GrColor c);
    void (*drawhline)(int x, int y, int w, GrColor c);
    void (*drawvline)(int x, int y, int h, GrColor c);
    void (*drawblock)(int x, int y, int w, int h, GrColor c);
    // Row r of the source starts at bmp + r * pitch; its first pixel is bit (7 - start % 8) of byte start / 8.
    void (*drawbitmap)(int x, int y, int w, int h, const unsigned char* bmp, int pitch, int start, GrColor fg,
                       GrColor bg);
    void (*drawpattern)(int x, int y, int w, unsigned char patbyte, GrColor fg, GrColor bg);
    void (*bitblt)(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op);
    void (*bltv2r)(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op);
    void (*bltr2v)(GrFrame* dst, int dx, int dy, GrFrame* src, int x, int y, int w, int h, GrColor op);
    // The result lives in the library's scratch buffer until its next use.
    GrColor* (*getindexedscanline)(GrFrame* c, int x, int y, int w, int* indx);
    void (*putscanline)(int x, int y, int w, const GrColor* scl, GrColor op);
    // Optional (null: the shapes draw each piece through drawhline): n row pieces around (x, y), each row dy
    // from y and columns x1..x2 from x, all inside the frame. Small circles are drawn through it.
    void (*drawspans)(int x, int y, const struct _GR_span* spans, int n, GrColor c);
};
typedef struct _GR_frameDriver GrFrameDriver;

GrContext* GrCreateFrameContext(GrFrameMode md, int w, int h, unsigned char* memory[4], GrContext* where);
// A context in the RAM format of the current video mode (8 bits per pixel when no graphics mode is set).
GrContext* GrCreateContext(int w, int h, unsigned char* memory[4], GrContext* where);
GrContext* GrCreateSubContext(int x1, int y1, int x2, int y2, const GrContext* parent, GrContext* where);
GrContext* GrSaveContext(GrContext* where);
void GrResizeSubContext(GrContext* context, int x1, int y1, int x2, int y2);
void GrDestroyContext(GrContext* context);
void GrSetContext(const GrContext* context); // null: the screen context
const GrContext* GrCurrentContext(void);
const GrContext* GrScreenContext(void);

long GrFrameLineOffset(GrFrameMode md, int w);
long GrFramePlaneSize(GrFrameMode md, int w, int h);
int GrFrameNumPlanes(GrFrameMode md);
long GrFrameContextSize(GrFrameMode md, int w, int h);

// Clip box of the current context (or of ctx), clamped to the context; GrResetClipBox* restore the whole area.
void GrSetClipBox(int x1, int y1, int x2, int y2);
void GrSetClipBoxC(GrContext* ctx, int x1, int y1, int x2, int y2);
void GrGetClipBox(int* x1p, int* y1p, int* x2p, int* y2p);
void GrResetClipBox(void);
void GrResetClipBoxC(GrContext* ctx);

// Pixel values of row y from x1 to x2 (null outside the clip box); valid until the next call that uses the scratch.
const GrColor* GrGetScanlineC(const GrContext* ctx, int x1, int x2, int y);
const GrColor* GrGetScanline(int x1, int x2, int y);
GrColor GrPixelC(const GrContext* ctx, int x, int y); // GrNOCOLOR outside the context

// The colour table of the current mode.
struct _GR_colorCell {
    unsigned char r, g, b;
    unsigned int defined : 1;  // the cell holds a colour
    unsigned int writable : 1; // private to one user
    unsigned int nused;        // use count
};
struct _GR_colorInfo {
    GrColor ncolors;
    GrColor nfree;
    GrColor black;
    GrColor white;
    unsigned int RGBmode;
    unsigned int prec[3];
    unsigned int pos[3];
    unsigned int mask[3];
    unsigned int round[3];
    unsigned int shift[3];
    unsigned int norm;
    struct _GR_colorCell ctable[256];
};
extern const struct _GR_colorInfo* const GrColorInfo;

int GrResetColors(void);
GrColor GrAllocColor(int r, int g, int b);
GrColor GrAllocCell(void);
void GrSetColor(GrColor c, int r, int g, int b);
void GrFreeColor(GrColor c);
void GrFreeCell(GrColor c);
void GrQueryColor(GrColor c, int* r, int* g, int* b);
GrColor GrBlack(void);
GrColor GrWhite(void);
void GrRefreshColors(void);

// ---- drawing primitives ----

// All primitives draw into the current context, in its coordinates, clipped to its clip box.
void GrPlot(int x, int y, GrColor c);
void GrLine(int x1, int y1, int x2, int y2, GrColor c);
void GrBox(int x1, int y1, int x2, int y2, GrColor c);
void GrFilledBoxNC(int x1, int y1, int x2, int y2, GrColor c); // no clipping: corners ordered and inside
void GrClearContext(GrColor c);
void GrClearScreen(GrColor c);
void GrEllipse(int xc, int yc, int xa, int ya, GrColor c);
void GrFilledEllipse(int xc, int yc, int xa, int ya, GrColor c);
void GrCircle(int xc, int yc, int r, GrColor c);
void GrFilledCircle(int xc, int yc, int r, GrColor c);
// Fills points (room for 1024 pairs) with the outline of an ellipse; returns their number.
int GrGenerateEllipse(int xc, int yc, int xa, int ya, int points[][2]);
// Centre, first and last point of the last generated ellipse.
void GrLastArcCoords(int* xs, int* ys, int* xe, int* ye, int* xc, int* yc);
void GrPolygon(int numpts, int points[][2], GrColor c);
void GrFilledConvexPolygon(int numpts, int points[][2], GrColor c);

// ---- video modes and drivers ----

enum _GR_graphicsModes {
    GR_unknown_mode = -1,
    GR_default_text = 0,
    GR_320_200_graphics = 1,
    GR_default_graphics = 2,
    GR_width_height_graphics = 3,
    GR_biggest_graphics = 4,
    GR_width_height_color_graphics = 5,
    GR_custom_graphics = 6,
    GR_NC_default_text = 7,
    GR_NC_320_200_graphics = 8,
    GR_NC_default_graphics = 9,
    GR_NC_width_height_graphics = 10,
    GR_NC_biggest_graphics = 11,
    GR_NC_width_height_color_graphics = 12,
    GR_NC_custom_graphics = 13,
    GR_width_height_bpp_graphics = 14,
    GR_custom_bpp_graphics = 15,
    GR_NC_width_height_bpp_graphics = 16,
    GR_NC_custom_bpp_graphics = 17,
};
typedef enum _GR_graphicsModes GrGraphicsMode;

enum _GR_videoAdapters {
    GR_UNKNOWN = -1,
    GR_VGA = 0,
    GR_EGA = 1,
    GR_XWIN = 2,
    GR_WIN32 = 3,
    GR_LNXFB = 4,
    GR_MEM = 5,
};
typedef enum _GR_videoAdapters GrVideoAdapter;

struct _GR_videoModeExt;

struct _GR_videoMode {
    char present;      // 0: unusable
    unsigned char bpp; // bits per pixel
    short width, height;
    short mode;     // not read by the library
    int lineoffset; // bytes per row
    int privdata;
    struct _GR_videoModeExt* extinfo;
};
typedef struct _GR_videoMode GrVideoMode;

struct _GR_videoModeExt {
    enum _GR_frameModes mode;
    const struct _GR_frameDriver* drv; // frame-driver override, null when the frame mode decides
    unsigned char* frame;              // frame memory, set when the mode is brought up
    unsigned char cprec[3];            // colour precision per component (red, green, blue)
    unsigned char cpos[3];             // colour position per component
    int flags;                         // bit 3: the frame is ordinary memory
    int (*setup)(GrVideoMode* md, int noclear);
    int (*setvsize)(GrVideoMode* md, int w, int h, GrVideoMode* result);
    int (*scroll)(GrVideoMode* md, int x, int y, int result[2]);
    void (*setbank)(int bk);
    void (*setrwbanks)(int rb, int wb);
    void (*loadcolor)(int c, int r, int g, int b);
    int LFB_Selector;
};
typedef struct _GR_videoModeExt GrVideoModeExt;

struct _GR_videoDriver {
    const char* name;
    enum _GR_videoAdapters adapter;
    struct _GR_videoDriver* inherit; // driver whose modes are also offered
    GrVideoMode* modes;
    int nmodes;
    int (*detect)(void);
    int (*init)(const char* options);
    void (*reset)(void);
    // best: in/out error of the best mode so far (null for a fresh search).
    GrVideoMode* (*selectmode)(struct _GR_videoDriver* drv, int w, int h, int bpp, int txt, unsigned int* best);
    int drvflags;
};
typedef struct _GR_videoDriver GrVideoDriver;

struct _GR_driverInfo {
    struct _GR_videoDriver* vdriver; // current video driver, null at start
    GrVideoMode* curmode;            // selected entry of the driver's mode table
    GrVideoMode actmode;             // copy of the active mode
    struct _GR_frameDriver fdriver;  // current frame driver: every primitive draws through it
    struct _GR_frameDriver sdriver;  // frame driver of the screen
    struct _GR_frameDriver tdriver;  // placeholder used before a mode is set and in text mode
    enum _GR_graphicsModes mcode;    // kind of the current mode
    int deftw, defth;
    int defgw, defgh;
    GrColor deftc, defgc;
    int biggw, biggh;
    int vposx, vposy;
    int errsfatal;
    int moderestore;
    int splitbanks;
    int curbank;
    void (*mdsethook)(void);
    void (*setbank)(int bk);
    void (*setrwbanks)(int rb, int wb);
};
extern const struct _GR_driverInfo* const GrDriverInfo;

// Chooses the video driver from the option text, or from TWGRDRV when it is null; 1 when a driver is set.
int GrSetDriver(const char* driver_text);
// Sets a mode of the given kind (a GrGraphicsMode; arguments per kind); every failure ends the program. The kind
// is passed as int: a variadic function's last named parameter must not be of a promoted type such as an enum.
int GrSetMode(int which, ...);
// Best mode of drv for the request: the generic search behind every driver's selectmode.
GrVideoMode* _gr_selectmode(GrVideoDriver* drv, int w, int h, int bpp, int txt, unsigned int* best);
void _GrCloseVideoDriver(void);

// ---- fonts and text ----

// Font header: the values every glyph of a font shares.
struct _GR_fontHeader {
    const char* name;   // owned by the font
    const char* family; // owned by the font
    unsigned char proportional;
    unsigned char scalable;
    unsigned char preloaded; // built into the library, never freed
    unsigned char modified;
    uint32_t width;    // nominal width; for proportional fonts the width of codes outside the font
    uint32_t height;   // every glyph has this height
    uint32_t baseline; // row of the baseline, from the top
    uint32_t ulpos;    // first underline row
    uint32_t ulheight; // underline rows
    uint32_t minchar;  // first character code
    uint32_t numchars; // number of characters
};
typedef struct _GR_fontHeader GrFontHeader;

struct _GR_fontChrInfo {
    uint32_t width;  // glyph width in pixels
    uint32_t offset; // of the glyph in the font's bitmap
};
typedef struct _GR_fontChrInfo GrFontChrInfo;

// One character of a font's Unicode table: the Unicode character and the font's code that draws it.
struct _GR_fontUnicode {
    uint32_t codepoint;
    uint32_t code;
};
typedef struct _GR_fontUnicode GrFontUnicode;

// A bitmap font. Glyphs are height rows of ceil(width / 8) bytes, most significant bit leftmost, set = foreground.
struct _GR_font {
    struct _GR_fontHeader h;
    const unsigned char* bitmap; // all glyphs back to back
    const unsigned char* auxmap; // turned and underlined glyphs, built on demand
    uint32_t minwidth;
    uint32_t maxwidth;
    uint32_t auxsize;     // bytes allocated in auxmap
    uint32_t auxnext;     // bytes used in auxmap
    uint32_t* auxoffs[7]; // per kind 1..7 of turned glyph: numchars entries, 0 = not built, else offset + 1
    const struct _GR_fontChrInfo* chrinfo; // exactly numchars entries
    // The font's Unicode table, sorted by codepoint; null for a font that holds code page 437.
    const struct _GR_fontUnicode* unicode;
    uint32_t unicodecount;
};
typedef struct _GR_font GrFont;

extern GrFont GrFont_PC8x16; // 8 x 16 code page 437 font, always there

// Foreground or background of a text: a colour, or for attribute text a table whose first entry is its length.
union _GR_textColor {
    GrColor v;
    GrColor* p;
};
typedef union _GR_textColor GrTextColor;

struct _GR_textOption {
    GrFont* txo_font;
    GrTextColor txo_fgcolor; // bit 28 of a plain foreground asks for underlined text
    GrTextColor txo_bgcolor; // GrNOCOLOR leaves the background untouched
    signed char txo_chrtype; // 0 bytes, 1 16-bit codes, 2 (character, attribute) pairs, 3 UTF-8
    signed char txo_direct;  // 0 right, 1 down, 2 left (upside down), 3 up
    signed char txo_xalign;  // 0 left, 1 centre, 2 right
    signed char txo_yalign;  // 0 top, 1 middle, 2 bottom, 3 baseline
};
typedef struct _GR_textOption GrTextOption;

// The closed sets of a text option, with the numbers the fields hold.
enum { GR_BYTE_TEXT = 0, GR_WORD_TEXT = 1, GR_ATTR_TEXT = 2, GR_UTF8_TEXT = 3 };            // txo_chrtype
enum { GR_TEXT_RIGHT = 0, GR_TEXT_DOWN = 1, GR_TEXT_LEFT = 2, GR_TEXT_UP = 3 };             // txo_direct
enum { GR_ALIGN_LEFT = 0, GR_ALIGN_CENTER = 1, GR_ALIGN_RIGHT = 2 };                        // txo_xalign
enum { GR_ALIGN_TOP = 0, GR_ALIGN_MIDDLE = 1, GR_ALIGN_BOTTOM = 2, GR_ALIGN_BASELINE = 3 }; // txo_yalign

// Non-zero: bit 7 of a text attribute selects the background (sixteen of them) instead of underlining.
extern int _GR_textattrintensevideo;

// Font files are untrusted input: a file that is short, lying or too large gives null, never a crash.
GrFont* GrLoadFont(const char* name);
// Size, range and emboldening conversions are not offered: only all-zero conversion arguments load a font.
GrFont* GrLoadConvertedFont(const char* name, int cvt, int w, int h, int minch, int maxch);
void GrUnloadFont(GrFont* font);
void GrSetFontPath(const char* path_list); // directories separated by ':', ';' or white space

// The font's code that draws a Unicode character, or -1 when the font has none.
int GrFontCodeOf(const GrFont* font, uint32_t codepoint);

// UTF-8 text (chrtype 3) draws each character with the font's code for it (GrFontCodeOf), "?" for a character
// the font lacks, and each byte that is not part of valid UTF-8 as the font's code of that byte.
void GrDrawString(const void* text, int length, int x, int y, const GrTextOption* opt);
void GrDrawChar(int chr, int x, int y, const GrTextOption* opt);
int GrProportionalTextWidth(const GrFont* font, const void* text, int length, int chrtype);
int GrCharWidth(int chr, const GrTextOption* opt);
int GrCharHeight(int chr, const GrTextOption* opt);
void GrCharSize(int chr, const GrTextOption* opt, int* w, int* h);
// Decodes UTF-8 into a new 16-bit string of *count characters; release it with free.
unsigned short* GrUTF8StrToUCS2Str(const unsigned char* text, int* count);

// ---- events and input ----

// Event types; GREV_PREKEY is internal (a key before encoding conversion) and never returned.
enum { GREV_NULL = 0, GREV_KEY = 1, GREV_MOUSE = 2, GREV_MMOVE = 3, GREV_PREKEY = 4 };

// Mouse button event codes (p1 of a GREV_MOUSE event).
enum {
    GRMOUSE_LB_PRESSED = 1,
    GRMOUSE_MB_PRESSED = 2,
    GRMOUSE_RB_PRESSED = 3,
    GRMOUSE_LB_RELEASED = 4,
    GRMOUSE_MB_RELEASED = 5,
    GRMOUSE_RB_RELEASED = 6,
    GRMOUSE_B4_PRESSED = 7, // wheel forward
    GRMOUSE_B4_RELEASED = 8,
    GRMOUSE_B5_PRESSED = 9, // wheel backward
    GRMOUSE_B5_RELEASED = 10,
};

// Buttons held, in p1 of a GREV_MMOVE event.
enum { GRMOUSE_LB_STATUS = 1, GRMOUSE_RB_STATUS = 2, GRMOUSE_MB_STATUS = 4 };

// p2 of a key event: a character (its byte count) or a special key code.
enum { GRKEY_CHARACTER = 1, GRKEY_SPECIAL = 100 };

// kbstat bits, each set while that key is held down.
enum {
    GRKBS_RIGHTSHIFT = 0x01,
    GRKBS_LEFTSHIFT = 0x02,
    GRKBS_CTRL = 0x04,
    GRKBS_ALT = 0x08,
    GRKBS_SCROLLOCK = 0x10,
    GRKBS_NUMLOCK = 0x20,
    GRKBS_CAPSLOCK = 0x40,
    GRKBS_INSERT = 0x80,
};

struct _GR_event {
    int type;   // GREV_...
    int time;   // GrMsecTime() when queued
    int kbstat; // GRKBS_... bits
    union {
        int p1;      // key code, button code or buttons held
        char cp1[4]; // the bytes of a character key
    };
    int p2, p3; // key: GRKEY_...; mouse: pointer position
};
typedef struct _GR_event GrEvent;

// A hook returns non-zero when it consumes the event.
typedef int (*GrEventHookFunc)(GrEvent* ev);

int GrEventInit(void);
void GrEventUnInit(void);
void GrEventRead(GrEvent* ev);            // never blocks: type GREV_NULL when nothing is pending
void GrEventWait(GrEvent* ev);            // the next event that is not GREV_NULL
void GrEventWaitKeyOrClick(GrEvent* ev);  // the next key or left-button release
int GrEventCheck(void);                   // non-zero when an event is pending
void GrEventFlush(void);                  // drops everything pending
int GrEventEnqueue(const GrEvent* ev);    // 0, or -1 when the queue is full
int GrEventAddHook(GrEventHookFunc hook); // 1, or 0 when no slot is free
int GrEventDeleteHook(GrEventHookFunc hook);
void GrEventGenMmove(int when); // GR_GEN_MMOVE_...
enum { GR_GEN_MMOVE_NEVER = 0, GR_GEN_MMOVE_IFBUT = 1, GR_GEN_MMOVE_ALWAYS = 2 };

long GrMsecTime(void); // milliseconds since the process started
void GrSleep(int msec);

// Keyboard encodings.
enum { GRENC_CP437 = 0, GRENC_CP850 = 1, GRENC_CP1252 = 2, GRENC_ISO_8859_1 = 3, GRENC_UTF_8 = 4, GRENC_UCS_2 = 5 };
const char* GrStrEncoding(int enc);   // "UNKNOW" for any other number
int GrFindEncoding(const char* name); // -1 for an unknown name
int GrGetKbSysEncoding(void);         // the encoding the platform delivers characters in
int GrGetKbEncoding(void);            // the encoding key events are returned in
int GrSetKbEncoding(int enc);         // 1 when enc is known
// Converts the character of a key event from one encoding to another; 1 when the event was changed.
int GrRecodeEvent(GrEvent* ev, int from, int to);

// ---- PNG export ----

// Writes ctx (null: the current context) as an 8-bit RGB PNG with an optional "Comment"; 0 on success, -1 on failure.
// The file is replaced whole or not at all (a link at the name is replaced, its target left alone); a name held by
// anything but a regular file or a link is refused.
int GrSaveContextToPng_wc(GrContext* ctx, const char* pngfn, const char* comment);
// The same, but only writing the temporary file happens now: flushing it to the disk and renaming it over pngfn
// run on a background thread while the caller goes on. 0 when the picture was written whole; a failure to finish
// is told by GrFinishPngSaves, which must be called before the program ends or reads the picture back.
int GrSaveContextToPngLater(GrContext* ctx, const char* pngfn, const char* comment);
// Waits until every save begun by GrSaveContextToPngLater is finished; calls failed (when not null) with the name of
// each picture that could not be finished (its temporary file removed, the old picture left) and returns how many.
int GrFinishPngSaves(void (*failed)(const char* pngfn, void* arg), void* arg);

#ifdef __cplusplus
} // extern "C"

namespace twgr
{

// Makes a context current (null: the screen) for as long as the object lives, then makes the context that was
// current before current again, also when the scope is left by an exception.
class current_context_guard
{
public:
    explicit current_context_guard(const GrContext* context)
    {
        GrSaveContext(&saved_);
        GrSetContext(context);
    }
    ~current_context_guard() { GrSetContext(&saved_); }
    current_context_guard(const current_context_guard&) = delete;
    current_context_guard& operator=(const current_context_guard&) = delete;

private:
    GrContext saved_{};
};

} // namespace twgr
#endif

#endif // TWGR_H
