// The floor of the end-to-end picture benchmark: the least any program can do for the same job. It reads
// "x y z" rows with std::from_chars, draws one ring per row (radius |z|) with its own midpoint-circle code
// straight into a 640 x 480 byte page and writes that page with libpng (the same filter and deflate
// strategy as the program), with no axes, no text, no sorting and no checks beyond what parsing needs.
// Usage: picture_floor data-file png-file
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
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

struct page {
    int w, h;
    std::vector<png_byte> px; // 0 white, 1 black
    void plot(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            px[static_cast<std::size_t>(y) * w + x] = 1;
    }
};

void ring(page& p, int cx, int cy, int r)
{
    int x = r, y = 0, err = 1 - r;
    while (x >= y) {
        for (const auto& [dx, dy] : {std::pair{x, y}, {y, x}}) {
            p.plot(cx + dx, cy + dy);
            p.plot(cx - dx, cy + dy);
            p.plot(cx + dx, cy - dy);
            p.plot(cx - dx, cy - dy);
        }
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

void draw(const rows& r, page& p)
{
    double x0 = r.x[0], x1 = r.x[0], y0 = r.y[0], y1 = r.y[0];
    for (std::size_t i = 0; i < r.x.size(); ++i) {
        x0 = std::min(x0, r.x[i]);
        x1 = std::max(x1, r.x[i]);
        y0 = std::min(y0, r.y[i]);
        y1 = std::max(y1, r.y[i]);
    }
    const double sx = (p.w - 1) / (x1 - x0), sy = (p.h - 1) / (y1 - y0);
    for (std::size_t i = 0; i < r.x.size(); ++i)
        ring(p, static_cast<int>((r.x[i] - x0) * sx), static_cast<int>((y1 - r.y[i]) * sy),
             static_cast<int>(std::fabs(r.z[i])));
}

bool encode(std::FILE* fp, const page& p)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, p.w, p.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(p.w) * 3);
    for (int y = 0; y < p.h; ++y) {
        const png_byte* src = &p.px[static_cast<std::size_t>(y) * p.w];
        for (int x = 0; x < p.w; ++x) {
            const png_byte v = src[x] != 0 ? 0 : 255;
            row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = v;
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
    page p{640, 480, std::vector<png_byte>(640 * 480, 0)};
    draw(r, p);
    std::FILE* fp = std::fopen(argv[2], "wb");
    const bool ok = fp != nullptr && encode(fp, p);
    if (fp != nullptr)
        std::fclose(fp);
    return ok ? 0 : 1;
}
