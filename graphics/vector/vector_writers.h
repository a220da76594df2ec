// The writers of a recording: SVG and PDF documents, built in memory, and what both need (text placement, the
// metadata text).
#ifndef TWGR_VECTOR_WRITERS_H
#define TWGR_VECTOR_WRITERS_H

#include "vector/recording.h"

#include <optional>
#include <string>
#include <string_view>

namespace twgr::vector
{

// Where a text's baseline starts and how it turns: the bitmap font's cells laid in the text's direction put the
// baseline edge (below the font's baseline row) at the origin, turned clockwise by angle degrees (y grows
// downward). Texts are drawn with a monospace face at the font's height, stretched to the box's length.
struct text_frame {
    int x, y;
    int angle;
    int length; // of the box along the text
};
text_frame frame_of(const text_item& t);

// The characters of UTF-8 text; each byte that is not part of valid UTF-8 is a '?'.
std::u32string decode_text(std::string_view bytes);

// The whole document; null when it cannot be made (an embedded image that is no PNG).
std::optional<std::string> svg_document(const GrRecording& rec, const char* comment, double points_per_pixel);
std::optional<std::string> pdf_document(const GrRecording& rec, const char* comment, double points_per_pixel);

} // namespace twgr::vector

#endif // TWGR_VECTOR_WRITERS_H
