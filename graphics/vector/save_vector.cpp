// Saving a recording as SVG or PDF, whole or not at all, and the placement of texts both writers share.
#include "core/c_entry.h"
#include "font/textcodes.h"
#include "png/replace_file.h"
#include "png/save_finisher.h"
#include "vector/vector_writers.h"

#include <memory>

twgr::vector::text_frame twgr::vector::frame_of(const text_item& t)
{
    // The baseline edge lies below the font's baseline row; turned cells put that row where the direction says.
    const int below = t.baseline + 1, above = t.font_height - 1 - t.baseline;
    switch (t.direction) {
    case 1:
        return {t.box_x + above, t.box_y, 90, t.box_h};
    case 2:
        return {t.box_x + t.box_w, t.box_y + above, 180, t.box_w};
    case 3:
        return {t.box_x + below, t.box_y + t.box_h, -90, t.box_h};
    default:
        return {t.box_x, t.box_y + below, 0, t.box_w};
    }
}

std::u32string twgr::vector::decode_text(std::string_view bytes)
{
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size();) {
        const utf8_char c = next_utf8(p + at, bytes.size() - at);
        out += c.valid ? static_cast<char32_t>(c.codepoint) : U'?';
        at += c.valid ? c.length : 1;
    }
    return out;
}

namespace
{

int save_recording(const GrRecording* rec, int format, const char* fn, const char* comment, double points_per_pixel,
                   bool later)
{
    if (rec == nullptr || rec->failed || rec->width <= 0 || rec->height <= 0 || !(points_per_pixel > 0))
        return -1;
    std::optional<std::string> document;
    if (format == GR_VECTOR_SVG)
        document = twgr::vector::svg_document(*rec, comment, points_per_pixel);
    else if (format == GR_VECTOR_PDF)
        document = twgr::vector::pdf_document(*rec, comment, points_per_pixel);
    if (!document)
        return -1;
    auto file = std::make_unique<twgr::replacement_file>(fn);
    if (file->stream() == nullptr ||
        std::fwrite(document->data(), 1, document->size(), file->stream()) != document->size() || !file->written())
        return -1;
    if (later) {
        twgr::save_finisher::instance().hand_over(std::move(file));
        return 0;
    }
    twgr::save_finisher::instance().wait_for_target(file->target());
    return file->commit() ? 0 : -1;
}

} // namespace

int GrSaveRecording(const GrRecording* rec, int format, const char* fn, const char* comment, double points_per_pixel,
                    int later)
{
    return twgr::result_or(-1, [&] { return save_recording(rec, format, fn, comment, points_per_pixel, later != 0); });
}
