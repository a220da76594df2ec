// The PDF writer of a recording: one page of the picture's size, its shapes as path operators in page
// coordinates (pixel centres at half pixels), texts in the standard Courier font (no font is embedded, the text
// stays selectable), the marks' image as a Flate-compressed image taken straight from its PNG data.
#include "vector/vector_writers.h"

#include <zlib.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace
{

using namespace twgr::vector;

// Courier's advance is 600 units of its 1000 per em: texts are squeezed to the bitmap font's cells.
constexpr double courier_advance = 0.6;
// The control points of a quarter circle as one cubic curve.
constexpr double kappa = 0.5522847498307936;

std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string centre(int v)
{
    return num(v + 0.5);
}

std::string colour(const rgb& c)
{
    return num(c.r / 255.0) + " " + num(c.g / 255.0) + " " + num(c.b / 255.0);
}

// The PNG's image data: its IDAT chunks joined, with its width and height. Null for bytes that are no such PNG.
struct png_pixels {
    std::uint32_t width = 0, height = 0;
    std::string data;
};

std::uint32_t big_endian(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::optional<png_pixels> png_image_data(const std::vector<unsigned char>& png)
{
    static constexpr unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), signature, 8) != 0)
        return std::nullopt;
    png_pixels out;
    for (std::size_t at = 8; png.size() - at >= 12;) {
        const std::uint32_t length = big_endian(&png[at]);
        if (length > png.size() - at - 12)
            return std::nullopt;
        const unsigned char* type = &png[at + 4];
        const unsigned char* data = &png[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 8) {
            out.width = big_endian(data);
            out.height = big_endian(data + 4);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            out.data.append(reinterpret_cast<const char*>(data), length);
        }
        at += 12 + std::size_t{length};
    }
    if (out.width == 0 || out.height == 0 || out.data.empty())
        return std::nullopt;
    return out;
}

// Characters in Courier's WinAnsi encoding (Latin-1 where the two agree), as a PDF string; others become '?'.
std::string pdf_string(const std::u32string& chars)
{
    std::string out = "(";
    for (const char32_t c : chars) {
        const bool ansi = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF);
        const char b = ansi ? static_cast<char>(c) : '?';
        if (b == '(' || b == ')' || b == '\\')
            out += '\\';
        out += b;
    }
    return out + ")";
}

// Text in the document's information: UTF-16 with its byte-order mark, as a hexadecimal string.
std::string pdf_unicode(const std::u32string& chars)
{
    std::string out = "<FEFF";
    char unit[8];
    const auto put = [&](unsigned u) {
        std::snprintf(unit, sizeof unit, "%04X", u & 0xFFFF);
        out += unit;
    };
    for (const char32_t c : chars) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c >= 0xD800 && c < 0xE000 ? U'?' : c);
        }
    }
    return out + ">";
}

// The content stream: drawing state that repeats is set once per clip group.
class pdf_content
{
public:
    explicit pdf_content(const GrRecording& rec) : rec_(rec) {}

    std::string write(double points_per_pixel)
    {
        const double s = points_per_pixel;
        // Page coordinates from here on: pixels, y growing downward from the top of the page.
        out_ = num(s) + " 0 0 " + num(-s) + " 0 " + num(rec_.height * s) + " cm\n";
        std::size_t next_image = 0;
        for (std::size_t i = 0; i <= rec_.shapes.size(); ++i) {
            for (; next_image < rec_.images.size() && rec_.images[next_image].after == i; ++next_image) {
                leave_clip();
                image(rec_.images[next_image], next_image);
            }
            if (i == rec_.shapes.size())
                break;
            const shape& sh = rec_.shapes[i];
            enter_clip(rec_.clips[sh.clip]);
            draw(sh);
        }
        leave_clip();
        return std::move(out_);
    }

private:
    void enter_clip(const pixel_rect& r)
    {
        if (open_ && r == current_)
            return;
        leave_clip();
        out_ += "q\n1 w 2 J 0 j\n";
        if (!r.contains({0, 0, rec_.width - 1, rec_.height - 1}))
            out_ += num(r.x1) + " " + num(r.y1) + " " + num(r.x2 - r.x1 + 1) + " " + num(r.y2 - r.y1 + 1) + " re W n\n";
        open_ = true;
        current_ = r;
        stroke_set_ = fill_set_ = false;
    }

    void leave_clip()
    {
        if (open_)
            out_ += "Q\n";
        open_ = false;
    }

    void stroke_colour(const rgb& c)
    {
        if (stroke_set_ && c == stroke_)
            return;
        out_ += colour(c) + " RG\n";
        stroke_ = c;
        stroke_set_ = true;
    }

    void fill_colour(const rgb& c)
    {
        if (fill_set_ && c == fill_)
            return;
        out_ += colour(c) + " rg\n";
        fill_ = c;
        fill_set_ = true;
    }

    void fill_rect(int x, int y, int w, int h, const rgb& c)
    {
        fill_colour(c);
        out_ += num(x) + " " + num(y) + " " + num(w) + " " + num(h) + " re f\n";
    }

    void line(point a, point b, const rgb& c)
    {
        if (a.x == b.x && a.y == b.y)
            return fill_rect(a.x, a.y, 1, 1, c);
        stroke_colour(c);
        out_ += centre(a.x) + " " + centre(a.y) + " m " + centre(b.x) + " " + centre(b.y) + " l S\n";
    }

    void box(point a, point b, const rgb& c)
    {
        stroke_colour(c);
        out_ += centre(a.x) + " " + centre(a.y) + " m " + centre(b.x) + " " + centre(a.y) + " l " + centre(b.x) + " " +
                centre(b.y) + " l " + centre(a.x) + " " + centre(b.y) + " l h S\n";
    }

    void dots(const shape& s)
    {
        if (s.count == 1)
            return fill_rect(s.a.x, s.a.y, 1, 1, s.color);
        const int n = static_cast<int>(s.count) - 1;
        const int lx = s.a.x + s.b.x * n, ly = s.a.y + s.b.y * n;
        const int x1 = std::min(s.a.x, lx), y1 = std::min(s.a.y, ly), x2 = std::max(s.a.x, lx),
                  y2 = std::max(s.a.y, ly);
        const int step = std::abs(s.b.x + s.b.y);
        stroke_colour(s.color);
        out_ += "0 J [1 " + num(step - 1) + "] 0 d\n";
        if (s.b.y == 0)
            out_ += num(x1) + " " + centre(y1) + " m " + num(x2 + 1) + " " + centre(y2) + " l S\n";
        else
            out_ += centre(x1) + " " + num(y1) + " m " + centre(x2) + " " + num(y2 + 1) + " l S\n";
        out_ += "2 J [] 0 d\n";
    }

    void ellipse(const shape& s, bool filled)
    {
        if (s.b.x == 0 || s.b.y == 0)
            return line({s.a.x - s.b.x, s.a.y - s.b.y}, {s.a.x + s.b.x, s.a.y + s.b.y}, s.color);
        const double grow = filled ? 0.5 : 0.0;
        const double cx = s.a.x + 0.5, cy = s.a.y + 0.5, rx = s.b.x + grow, ry = s.b.y + grow;
        const double kx = kappa * rx, ky = kappa * ry;
        const auto pt = [&](double x, double y) { return num(x) + " " + num(y) + " "; };
        out_ += pt(cx + rx, cy) + "m\n";
        out_ += pt(cx + rx, cy + ky) + pt(cx + kx, cy + ry) + pt(cx, cy + ry) + "c\n";
        out_ += pt(cx - kx, cy + ry) + pt(cx - rx, cy + ky) + pt(cx - rx, cy) + "c\n";
        out_ += pt(cx - rx, cy - ky) + pt(cx - kx, cy - ry) + pt(cx, cy - ry) + "c\n";
        out_ += pt(cx + kx, cy - ry) + pt(cx + rx, cy - ky) + pt(cx + rx, cy) + "c\n";
        if (filled) {
            fill_colour(s.color);
            out_ += "h f\n";
        } else {
            stroke_colour(s.color);
            out_ += "h S\n";
        }
    }

    void polygon(const shape& s, bool filled)
    {
        stroke_colour(s.color);
        for (std::uint32_t i = 0; i < s.count; ++i) {
            const point p = rec_.points[s.first + i];
            out_ += centre(p.x) + " " + centre(p.y) + (i == 0 ? " m\n" : " l\n");
        }
        if (filled) {
            fill_colour(s.color);
            out_ += "h B\n"; // filled and outlined: the raster fill covers the pixels of its edges
        } else {
            out_ += "h S\n";
        }
    }

    void text(const text_item& t, const rgb& c)
    {
        if (t.has_background)
            fill_rect(t.box_x, t.box_y, t.box_w, t.box_h, t.background);
        if (t.chars.empty())
            return;
        const text_frame f = frame_of(t);
        const double scale = 100.0 * f.length / (courier_advance * t.font_height * static_cast<double>(t.chars.size()));
        // Text space has y upward: the text matrix turns it and flips it back into the page's y downward.
        static constexpr std::array<std::array<int, 2>, 4> turns = {{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}};
        const auto& [cosine, sine] = turns[static_cast<std::size_t>(((f.angle / 90) % 4 + 4) % 4)];
        fill_colour(c);
        out_ += "BT /F1 " + num(t.font_height) + " Tf " + num(scale) + " Tz " + num(cosine) + " " + num(sine) + " " +
                num(sine) + " " + num(-cosine) + " " + num(f.x) + " " + num(f.y) + " Tm " + pdf_string(t.chars) +
                " Tj ET\n";
    }

    void image(const embedded_image& im, std::size_t index)
    {
        const pixel_rect& p = im.place;
        const int w = p.x2 - p.x1 + 1, h = p.y2 - p.y1 + 1;
        out_ += "q " + num(w) + " 0 0 " + num(-h) + " " + num(p.x1) + " " + num(p.y1 + h) + " cm /Im" +
                std::to_string(index) + " Do Q\n";
    }

    void draw(const shape& s)
    {
        switch (s.kind) {
        case shape_kind::fill_rect:
            return fill_rect(s.a.x, s.a.y, s.b.x - s.a.x + 1, s.b.y - s.a.y + 1, s.color);
        case shape_kind::box:
            return box(s.a, s.b, s.color);
        case shape_kind::line:
            return line(s.a, s.b, s.color);
        case shape_kind::dots:
            return dots(s);
        case shape_kind::ellipse:
        case shape_kind::filled_ellipse:
            return ellipse(s, s.kind == shape_kind::filled_ellipse);
        case shape_kind::polygon:
        case shape_kind::filled_polygon:
            return polygon(s, s.kind == shape_kind::filled_polygon);
        case shape_kind::text:
            return text(rec_.texts[s.first], s.color);
        }
    }

    const GrRecording& rec_;
    std::string out_;
    bool open_ = false;
    pixel_rect current_;
    bool stroke_set_ = false, fill_set_ = false;
    rgb stroke_, fill_;
};

std::optional<std::string> deflate(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::nullopt;
    out.resize(size);
    return out;
}

// The file's objects in order, numbered from 1, with the cross-reference table that finds them.
class pdf_file
{
public:
    void add(const std::string& body)
    {
        offsets_.push_back(out_.size());
        out_ += std::to_string(offsets_.size()) + " 0 obj\n" + body + "\nendobj\n";
    }

    void add_stream(const std::string& dictionary, const std::string& data)
    {
        add("<< " + dictionary + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
    }

    std::string finish(int info)
    {
        const std::size_t xref = out_.size();
        out_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
        char entry[24];
        for (const std::size_t at : offsets_) {
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", at);
            out_ += entry;
        }
        out_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root 1 0 R /Info " +
                std::to_string(info) + " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return std::move(out_);
    }

private:
    std::string out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets_;
};

} // namespace

std::optional<std::string> twgr::vector::pdf_document(const GrRecording& rec, const char* comment,
                                                      double points_per_pixel)
{
    std::vector<png_pixels> images;
    for (const embedded_image& im : rec.images) {
        std::optional<png_pixels> pixels = png_image_data(im.png);
        if (!pixels)
            return std::nullopt;
        images.push_back(std::move(*pixels));
    }
    const std::optional<std::string> content = deflate(pdf_content(rec).write(points_per_pixel));
    if (!content)
        return std::nullopt;
    // Objects: 1 catalogue, 2 page tree, 3 page, 4 content, 5 font, 6 information, 7... the images.
    pdf_file file;
    file.add("<< /Type /Catalog /Pages 2 0 R >>");
    file.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    std::string xobjects;
    for (std::size_t i = 0; i < images.size(); ++i)
        xobjects += " /Im" + std::to_string(i) + " " + std::to_string(7 + i) + " 0 R";
    file.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(rec.width * points_per_pixel) + " " +
             num(rec.height * points_per_pixel) + "] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >>" +
             (xobjects.empty() ? "" : " /XObject <<" + xobjects + " >>") + " >> >>");
    file.add_stream("/Filter /FlateDecode", *content);
    file.add("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
    std::string info = "<< /Producer (tremwil) /Creator (tremwil)";
    if (comment != nullptr)
        info += " /Subject " + pdf_unicode(decode_text(comment));
    file.add(info + " >>");
    for (const png_pixels& im : images)
        file.add_stream("/Type /XObject /Subtype /Image /Width " + std::to_string(im.width) + " /Height " +
                            std::to_string(im.height) +
                            " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /DecodeParms "
                            "<< /Predictor 15 /Colors 3 /BitsPerComponent 8 /Columns " +
                            std::to_string(im.width) + " >>",
                        im.data);
    return file.finish(6);
}
