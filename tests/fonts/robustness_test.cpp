// Font files are untrusted: every truncation and many bit flips of each valid sample, hostile headers, and every
// kept crasher must load cleanly or be refused, and whatever loads must describe only memory it owns.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using font_test::data_dir;
using font_test::load_bytes;
using font_test::read_bytes;
using bytes_t = std::vector<std::uint8_t>;

namespace
{

const font_driver* const drivers[] = {&fdv_native, &fdv_bgi, &fdv_raw, &fdv_fna, &fdv_win};

// A loaded font's glyphs and tables must lie inside the memory the font owns.
void expect_consistent(const GrFont* f, const std::string& what)
{
    const auto* owned = static_cast<const loaded_font*>(f);
    ASSERT_GE(f->h.numchars, 1u) << what;
    ASSERT_EQ(owned->chrinfo_store.size(), f->h.numchars) << what;
    for (std::uint32_t i = 0; i < f->h.numchars; ++i) {
        std::size_t size = (f->chrinfo[i].width + 7) / 8 * std::size_t{f->h.height};
        ASSERT_GE(f->chrinfo[i].width, 1u) << what;
        ASSERT_LE(f->chrinfo[i].offset + size, owned->bitmap_store.size()) << what;
    }
    EXPECT_LE(f->h.ulpos + f->h.ulheight, f->h.height) << what;
    // Turning every glyph every way must stay inside the font's own memory (checked by the sanitizer build).
    for (int kind = 0; kind < 8; ++kind)
        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(f->h.numchars, 40); ++i)
            EXPECT_NE(
                GrBuildAuxiliaryBitmap(const_cast<GrFont*>(f), static_cast<int>(f->h.minchar + i), kind & 3, kind & 4),
                nullptr);
}

void try_all_drivers(const bytes_t& bytes, const std::string& what)
{
    for (const font_driver* drv : drivers) {
        auto f = load_bytes(*drv, bytes, "x/sample.bin");
        if (f)
            expect_consistent(f.get(), what + " via " + drv->name);
    }
}

struct sample {
    const char* file;
    const font_driver* drv;
    bool any_cut_refused; // true when every byte of the file is needed
};

const sample samples[] = {
    {"gen/vga-ascii.fnt", &fdv_native, true}, {"gen/prop.fnt", &fdv_native, true},
    {"gen/box.chr", &fdv_bgi, true},          {"gen/prop2.psf", &fdv_raw, true},
    {"gen/vga.psf", &fdv_raw, false},         {"gen/vga8x8.raw", &fdv_raw, false},
    {"gen/prop.fna", &fdv_fna, false},        {"gen/fixed.fna", &fdv_fna, false},
    {"gen/vga-v2.res", &fdv_win, true},       {"gen/prop-v3.fnt", &fdv_win, true},
    {"real/hershey.chr", &fdv_bgi, false},    {"real/lat1-12.psf", &fdv_raw, false},
    {"real/system-16.fnt", &fdv_win, false},  {"real/ibm-vga-8x16.fnt", &fdv_win, false},
};

} // namespace

TEST(FontRobustness, EveryTruncationIsRefusedOrConsistent)
{
    for (const sample& s : samples) {
        bytes_t bytes = read_bytes(data_dir() / s.file);
        ASSERT_FALSE(bytes.empty()) << s.file;
        ASSERT_NE(load_bytes(*s.drv, bytes), nullptr) << s.file;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            bytes_t cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            auto f = load_bytes(*s.drv, cut);
            if (s.any_cut_refused)
                EXPECT_EQ(f, nullptr) << s.file << " cut to " << n;
            else if (f)
                expect_consistent(f.get(), std::string(s.file) + " cut to " + std::to_string(n));
        }
    }
}

TEST(FontRobustness, BitFlipsAreRefusedOrConsistent)
{
    for (const sample& s : samples) {
        bytes_t bytes = read_bytes(data_dir() / s.file);
        // Every bit of the headers and tables; further in (glyph data), every 13th bit.
        for (std::size_t bit = 0; bit < 8 * bytes.size(); bit += bit < 8 * 256 ? 1 : 13) {
            bytes_t flipped = bytes;
            flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            auto f = load_bytes(*s.drv, flipped);
            if (f)
                expect_consistent(f.get(), std::string(s.file) + " bit " + std::to_string(bit));
        }
    }
}

TEST(FontRobustness, EveryDriverSurvivesEverySample)
{
    for (const sample& s : samples)
        try_all_drivers(read_bytes(data_dir() / s.file), s.file);
}

TEST(FontRobustness, LyingHeadersAreRefused)
{
    // PSF2 claiming 2^32 - 1 glyphs of 4096 x 4096 pixels in a 64-byte file.
    bytes_t psf2 = {0x72, 0xB5, 0x4A, 0x86, 0, 0, 0, 0, 32, 0,    0, 0, 0, 0,    0, 0,
                    0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,  0x10, 0, 0, 0, 0x10, 0, 0};
    psf2.resize(64, 0xAA);
    EXPECT_EQ(load_bytes(fdv_raw, psf2), nullptr);
    psf2[25] = 0; // 1 x 1 pixels, 2^32 - 1 glyphs: still far more than the file holds
    psf2[29] = 0;
    psf2[24] = psf2[28] = 1;
    EXPECT_EQ(load_bytes(fdv_raw, psf2), nullptr);
    // PSF2 whose header size points past the end.
    bytes_t psf2_offset = read_bytes(data_dir() / "gen" / "prop2.psf");
    psf2_offset[10] = 0xFF;
    EXPECT_EQ(load_bytes(fdv_raw, psf2_offset), nullptr);
    // Native font of 65536 characters, 65535 pixels wide, with no glyph data.
    bytes_t native = read_bytes(data_dir() / "gen" / "vga-ascii.fnt");
    native.resize(56);
    native[8] = native[9] = 0xFF;
    native[12] = native[13] = 0;
    native[14] = native[15] = 0xFF;
    EXPECT_EQ(load_bytes(fdv_native, native), nullptr);
    // Text font promising 65536 characters of 1000 rows in a few lines.
    std::string fna = "name x\nfamily x\nisfixed 1\nwidth 1\nheight 1000\nminchar 0\nmaxchar 65535\nbaseline 0\n#\n";
    EXPECT_EQ(load_bytes(fdv_fna, bytes_t(fna.begin(), fna.end())), nullptr);
    // Stroke font whose characters all share one stroke list that never ends.
    bytes_t bgi = read_bytes(data_dir() / "gen" / "box.chr");
    bgi.resize(bgi.size() - 2);
    bgi.insert(bgi.end(), 20000, 0x81);
    EXPECT_EQ(load_bytes(fdv_bgi, bgi), nullptr);
}

TEST(FontRobustness, KeptCrashersFailCleanly)
{
    auto dir = data_dir() / "crashers";
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << "no crashers kept";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        try_all_drivers(read_bytes(entry.path()), entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 0);
}
