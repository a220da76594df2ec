// The floor of the end-to-end picture benchmark: the least any program can do for the same job. It reads
// "x y z" rows with std::from_chars, draws one ring per row (radius |z|) into a 640 x 480 memory page and
// writes that page with libpng, with no axes, no sorting and no checks beyond what parsing needs.
// Usage: picture_floor data-file png-file
#include "twgr.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{

struct rows {
    std::vector<double> x, y, z;
};

const char* skip_blanks(const char* p, const char* end)
{
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r'))
        ++p;
    return p;
}

rows parse(const std::string& text)
{
    rows r;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        double v[3] = {0, 0, 0};
        int n = 0;
        for (; n < 3; ++n) {
            p = skip_blanks(p, end);
            auto [next, ec] = std::from_chars(p, end, v[n]);
            if (ec != std::errc())
                break;
            p = next;
        }
        if (n == 3) {
            r.x.push_back(v[0]);
            r.y.push_back(v[1]);
            r.z.push_back(v[2]);
        }
        while (p < end && *p != '\n')
            ++p;
        ++p;
    }
    return r;
}

void draw(const rows& r, int w, int h, GrColor ink)
{
    double x0 = r.x[0], x1 = r.x[0], y0 = r.y[0], y1 = r.y[0];
    for (std::size_t i = 0; i < r.x.size(); ++i) {
        x0 = std::min(x0, r.x[i]);
        x1 = std::max(x1, r.x[i]);
        y0 = std::min(y0, r.y[i]);
        y1 = std::max(y1, r.y[i]);
    }
    const double sx = (w - 1) / (x1 - x0), sy = (h - 1) / (y1 - y0);
    for (std::size_t i = 0; i < r.x.size(); ++i)
        GrCircle(static_cast<int>((r.x[i] - x0) * sx), static_cast<int>((y1 - r.y[i]) * sy),
                 static_cast<int>(std::fabs(r.z[i])), ink);
}

using rgb_table = std::vector<std::array<png_byte, 3>>;

bool encode(std::FILE* fp, int w, int h, std::vector<png_byte>& row, const rgb_table& palette)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        const GrColor* px = GrGetScanlineC(nullptr, 0, w - 1, y);
        for (int x = 0; x < w; ++x) {
            const png_byte* c = palette[px[x] & 255].data();
            row[x * 3] = c[0];
            row[x * 3 + 1] = c[1];
            row[x * 3 + 2] = c[2];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s data-file png-file\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const rows r = parse(bytes.str());
    if (r.x.empty())
        return 1;
    const int w = 640, h = 480;
    GrSetDriver("memory");
    GrSetMode(GR_width_height_color_graphics, w, h, 256);
    const GrColor white = GrAllocColor(255, 255, 255), black = GrAllocColor(0, 0, 0);
    GrClearScreen(white);
    draw(r, w, h, black);
    std::vector<png_byte> row(w * 3);
    rgb_table palette(256);
    for (GrColor v = 0; v < 256; ++v) {
        int cr = 0, cg = 0, cb = 0;
        GrQueryColor(v, &cr, &cg, &cb);
        palette[v] = {static_cast<png_byte>(cr), static_cast<png_byte>(cg), static_cast<png_byte>(cb)};
    }
    std::FILE* fp = std::fopen(argv[2], "wb");
    const bool ok = fp != nullptr && encode(fp, w, h, row, palette);
    if (fp != nullptr)
        std::fclose(fp);
    return ok ? 0 : 1;
}
