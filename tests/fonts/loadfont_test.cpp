// Loading gzip-compressed font files by name. How names, extensions, the font path and the order of the drivers
// find a file is held by the case files of tests/cases/fonts, through the program's --font.
#include "font_test_util.h"
#include "packed.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using font_test::data_dir;
using font_test::font_ptr;
namespace fs = std::filesystem;

// Console fonts as distributions ship them, gzip-compressed: the glyphs of the plain file, found by name and on
// the font path. Broken compressed data is refused, and so is a font that unpacks past a font file's size limit.
TEST(LoadFont, GzipCompressedFontsLoadLikeThePlainFile)
{
    test_support::TempDir dir;
    fs::create_directories(dir.path() / "fonts");
    GrSetFontPath((dir.path() / "fonts").c_str());
    for (const std::string name : {"Lat15-VGA16.psf", "lat1-12.psf"}) {
        const auto bytes = font_test::read_bytes(data_dir() / "real" / name);
        const std::string gz = test_support::packed(std::string(bytes.begin(), bytes.end()), false, 2);
        dir.write("fonts/" + name + ".gz", gz);
        dir.write("cut.psf.gz", gz.substr(0, gz.size() - 1));
        font_ptr plain(GrLoadFont((data_dir() / "real" / name).c_str())), unpacked(GrLoadFont((name + ".gz").c_str()));
        ASSERT_TRUE(plain && unpacked) << name;
        ASSERT_EQ(unpacked->h.numchars, plain->h.numchars);
        EXPECT_EQ(unpacked->h.height, plain->h.height);
        for (std::uint32_t code = plain->h.minchar; code < plain->h.minchar + plain->h.numchars; ++code)
            ASSERT_EQ(font_test::glyph_picture(unpacked.get(), code), font_test::glyph_picture(plain.get(), code));
        EXPECT_EQ(GrLoadFont((dir / "cut.psf.gz").c_str()), nullptr) << "a gzip member without its end";
    }
    // A screen font padded to the size limit loads; one byte more does not.
    const auto bytes = font_test::read_bytes(data_dir() / "real" / "lat1-12.psf");
    std::string full(bytes.begin(), bytes.end());
    full.resize(max_font_file_bytes, '\0');
    dir.write("full.psf.gz", test_support::packed(full, false));
    dir.write("over.psf.gz", test_support::packed(full + '\0', false));
    EXPECT_NE(font_ptr(GrLoadFont((dir / "full.psf.gz").c_str())), nullptr);
    EXPECT_EQ(GrLoadFont((dir / "over.psf.gz").c_str()), nullptr);
    EXPECT_EQ(GrLoadFont(nullptr), nullptr);
    GrSetFontPath("");
}
