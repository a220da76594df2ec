// Font files are untrusted: every truncation and many bit flips of each valid sample, and every kept crasher or
// hostile file, must load cleanly or be refused, and whatever loads must describe only memory it owns.
#include "font_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

} // namespace

TEST(FontRobustness, EveryCutAndBitFlipIsRefusedOrConsistentAndEveryDriverSurvivesEverySample)
{
    for (const font_test::sample& s : font_test::samples) {
        bytes_t bytes = read_bytes(data_dir() / s.file);
        ASSERT_NE(load_bytes(*s.drv, bytes), nullptr) << s.file;
        try_all_drivers(bytes, s.file);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            bytes_t cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            auto f = load_bytes(*s.drv, cut);
            if (s.any_cut_refused)
                EXPECT_EQ(f, nullptr) << s.file << " cut to " << n;
            else if (f)
                expect_consistent(f.get(), std::string(s.file) + " cut to " + std::to_string(n));
        }
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

TEST(FontRobustness, KeptCrashersAreRefused)
{
    // Each file is named after the driver it attacks; that driver must refuse it, and no driver may break on it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data_dir() / "crashers")) {
        std::string name = entry.path().filename().string();
        auto bytes = read_bytes(entry.path());
        for (const font_driver* drv : drivers) {
            std::string prefix = drv->name;
            std::transform(prefix.begin(), prefix.end(), prefix.begin(), ::tolower);
            if (name.rfind(prefix + "-", 0) == 0) {
                EXPECT_EQ(load_bytes(*drv, bytes), nullptr) << name;
                ++files;
            }
        }
        try_all_drivers(bytes, name);
    }
    EXPECT_GE(files, 8);
}
