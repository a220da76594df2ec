// PNG export: the pixels of a context as 8-bit RGB, one row at a time, with an optional "Comment".
#include "core/c_entry.h"
#include "core/twgr_internal.h"
#include "png/idat_encoder.h"
#include "png/replace_file.h"
#include "png/save_finisher.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Buffers of one write, owned by the caller of the encoder so that nothing with a destructor lives in the
// function that holds the jump point.
struct row_buffers {
    png_bytep rgb;              // one row, 3 bytes per pixel and one byte to spare
    GrColor* index;             // one row of pixel values
    const std::uint32_t* cells; // RGB of each of the first 256 values in a word's first three bytes, or null to ask
                                // GrQueryColor per pixel
    GrColor* previous;          // the values of the row last converted through the palette
    bool previous_valid;        // rgb still holds that row's colours
    twgr::pixel_span* changed;  // the pixels that changed since the row above: changed_count spans, in order
    std::size_t changed_count;
};

// libpng's own handlers print; failures are reported by the result alone.
void silent_error(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void silent_warning(png_structp, png_const_charp) {}

// One row of the current context, whatever its clip box.
const GrColor* read_row(const GrContext& ctx, int width, int y)
{
    const GrColor* row = GrGetScanlineC(nullptr, 0, width - 1, y);
    if (row != nullptr || ctx.gc_frame.gf_driver == nullptr)
        return row;
    GrFrame frame = ctx.gc_frame;
    return ctx.gc_frame.gf_driver->getindexedscanline(&frame, ctx.gc_xoffset, y + ctx.gc_yoffset, width, nullptr);
}

enum class row_result { unreadable, converted, same_as_above };

// Adds pixel x to the spans of changed pixels. Spans a few pixels apart are joined: the encoder finds the equal
// bytes between them itself.
void note_changed(row_buffers& buf, std::size_t x)
{
    if (buf.changed_count > 0 && x <= buf.changed[buf.changed_count - 1].end + 2) {
        buf.changed[buf.changed_count - 1].end = x + 1;
        return;
    }
    buf.changed[buf.changed_count++] = {x, x + 1};
}

void whole_row_changed(row_buffers& buf, int width)
{
    buf.changed[0] = {0, static_cast<std::size_t>(width)};
    buf.changed_count = 1;
}

// After a row converted through the palette, the buffer still holds its colours: only the pixels whose values
// changed are converted again, and a row that repeats the row above (background, the sides of frames) is not
// touched. Null when a value lies outside the palette.
std::optional<row_result> changed_palette_pixels(const GrColor* row, int width, row_buffers& buf)
{
    const std::uint32_t* const cells = buf.cells;
    buf.changed_count = 0;
    for (std::size_t x = 0, n = static_cast<std::size_t>(width);; ++x) {
        x += twgr::matching_bytes(row + x, buf.previous + x, (n - x) * sizeof(GrColor)) / sizeof(GrColor);
        if (x == n)
            break;
        const GrColor v = row[x];
        if (v >= 256) {
            buf.previous_valid = false;
            return std::nullopt;
        }
        std::memcpy(buf.rgb + 3 * x, &cells[v], 3); // three bytes: the next pixel's may be unchanged
        buf.previous[x] = v;
        note_changed(buf, x);
    }
    return buf.changed_count > 0 ? row_result::converted : row_result::same_as_above;
}

// The common case: a palette and only values inside it, straight from the scanline. Null when the row is not such.
std::optional<row_result> palette_row(const GrColor* row, int width, row_buffers& buf)
{
    if (buf.cells == nullptr)
        return std::nullopt;
    if (buf.previous_valid)
        return changed_palette_pixels(row, width, buf);
    const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(GrColor);
    // One word per pixel, each overlapping the next by a byte: the spare byte at the end takes the last one's.
    const std::uint32_t* const cells = buf.cells;
    png_bytep out = buf.rgb;
    for (int x = 0; x < width; ++x, out += 3) {
        const GrColor v = row[x];
        if (v >= 256)
            return std::nullopt;
        std::memcpy(out, &cells[v], sizeof(std::uint32_t));
    }
    std::memcpy(buf.previous, row, bytes);
    buf.previous_valid = true;
    whole_row_changed(buf, width);
    return row_result::converted;
}

row_result convert_row(const GrContext& ctx, int width, int y, row_buffers& buf)
{
    const GrColor* row = read_row(ctx, width, y);
    if (row == nullptr)
        return row_result::unreadable;
    if (const std::optional<row_result> result = palette_row(row, width, buf))
        return *result;
    whole_row_changed(buf, width);
    // GrQueryColor may reuse the scanline buffer: keep the row's values apart first.
    for (int x = 0; x < width; ++x)
        buf.index[x] = row[x];
    png_bytep out = buf.rgb;
    for (int x = 0; x < width; ++x, out += 3) {
        GrColor v = buf.index[x];
        if (buf.cells != nullptr && v < 256) {
            std::memcpy(out, &buf.cells[v], 3);
            continue;
        }
        int r = 0, g = 0, b = 0;
        GrQueryColor(v, &r, &g, &b);
        out[0] = (png_byte)r;
        out[1] = (png_byte)g;
        out[2] = (png_byte)b;
    }
    return row_result::converted;
}

// Plot pages are mostly flat background with thin marks and text. libpng writes the frame of the file (signature,
// header, comment, end) and the image data comes from our own encoder: the "up" filter turns every row that
// repeats the one above into zeros and run-length deflate packs those runs, so a repeated row costs a few tokens
// whatever its width (see bench/README.md). Pixels are unaffected: both are lossless.
constexpr std::size_t idat_chunk_bytes = 64 * 1024;

// Passes on the encoder's bytes in IDAT chunks of idat_chunk_bytes; all of them when the stream is finished.
void write_idat(png_structp png, twgr::idat_encoder& idat, bool finished)
{
    while (idat.ready_size() >= idat_chunk_bytes || (finished && idat.ready_size() > 0)) {
        const std::size_t n = std::min(idat.ready_size(), idat_chunk_bytes);
        png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), idat.ready(), n);
        idat.drop_ready(n);
    }
}

// Encodes the current context into fp; 0 or -1. Holds the jump point: plain data only in here.
int encode(std::FILE* fp, const char* comment, row_buffers& buf, twgr::idat_encoder& idat)
{
    const GrContext& ctx = twgr::current_context();
    int width = ctx.gc_xmax + 1, height = ctx.gc_ymax + 1;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, silent_error, silent_warning);
    if (png == nullptr)
        return -1;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return -1;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return -1;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (comment != nullptr) {
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>("Comment");
        text.text = const_cast<png_charp>(comment);
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        switch (convert_row(ctx, width, y, buf)) {
        case row_result::unreadable:
            png_error(png, "row not readable");
        case row_result::same_as_above:
            idat.repeat_row();
            break;
        case row_result::converted:
            idat.add_row(buf.rgb, {buf.changed, buf.changed_count});
            break;
        }
        write_idat(png, idat, false);
    }
    idat.finish();
    write_idat(png, idat, true);
    // png_write_end would insist on image data written through libpng itself.
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
    png_destroy_write_struct(&png, &info);
    return 0;
}

// The RGB of every palette value, when the table is a palette of at most 256 cells.
bool fill_palette(std::vector<std::uint32_t>& cells)
{
    if (GrColorInfo->RGBmode != 0 || GrColorInfo->ncolors > 256)
        return false;
    cells.resize(256);
    for (GrColor v = 0; v < 256; ++v) {
        int r = 0, g = 0, b = 0;
        GrQueryColor(v, &r, &g, &b);
        const png_byte bytes[4] = {(png_byte)r, (png_byte)g, (png_byte)b, 0};
        std::memcpy(&cells[v], bytes, sizeof(bytes));
    }
    return true;
}

int write_current(std::FILE* fp, const char* comment)
{
    const GrContext& ctx = twgr::current_context();
    if (ctx.gc_xmax < 0 || ctx.gc_ymax < 0)
        return -1;
    std::size_t width = (std::size_t)ctx.gc_xmax + 1;
    std::vector<png_byte> rgb(width * 3 + 1);
    std::vector<GrColor> index(width);
    std::vector<GrColor> previous(width);
    std::vector<twgr::pixel_span> changed(width);
    std::vector<std::uint32_t> cells;
    const bool have_palette = fill_palette(cells);
    row_buffers buf{
        rgb.data(), index.data(), have_palette ? cells.data() : nullptr, previous.data(), false, changed.data(), 0};
    twgr::idat_encoder idat(width);
    return encode(fp, comment, buf, idat);
}

} // namespace

namespace
{

// Writes the picture whole into a temporary file beside pngfn; null when that fails (the file then removed).
std::unique_ptr<twgr::replacement_file> write_picture(GrContext* ctx, const char* pngfn, const char* comment)
{
    // The picture goes to a file beside the target and replaces it only when complete: a failed or interrupted
    // save leaves the old picture as it was.
    auto file = std::make_unique<twgr::replacement_file>(pngfn);
    if (file->stream() == nullptr)
        return nullptr;
    int result = -1;
    {
        const twgr::current_context_guard written(ctx != nullptr ? ctx : GrCurrentContext());
        result = write_current(file->stream(), comment);
    }
    // A full disk may only show when the buffered bytes go out.
    if (result != 0 || !file->written())
        return nullptr;
    return file;
}

} // namespace

int GrSaveContextToPng_wc(GrContext* ctx, const char* pngfn, const char* comment)
{
    return twgr::result_or<int>(-1, [&]() -> int {
        std::unique_ptr<twgr::replacement_file> file = write_picture(ctx, pngfn, comment);
        if (file == nullptr)
            return -1;
        twgr::save_finisher::instance().wait_for_target(file->target());
        return file->commit() ? 0 : -1;
    });
}

int GrSaveContextToPngLater(GrContext* ctx, const char* pngfn, const char* comment)
{
    return twgr::result_or<int>(-1, [&]() -> int {
        std::unique_ptr<twgr::replacement_file> file = write_picture(ctx, pngfn, comment);
        if (file == nullptr)
            return -1;
        twgr::save_finisher::instance().hand_over(std::move(file));
        return 0;
    });
}

int GrFinishPngSaves(void (*failed)(const char* pngfn, void* arg), void* arg)
{
    return twgr::result_or<int>(-1, [&]() -> int {
        const std::vector<std::string> names = twgr::save_finisher::instance().finish_all();
        if (failed != nullptr)
            for (const std::string& name : names)
                failed(name.c_str(), arg);
        return static_cast<int>(names.size());
    });
}
