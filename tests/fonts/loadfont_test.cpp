// Loading gzip-compressed font files by name: the size limit of what they unpack to. How names, extensions, the font
// path and the order of the drivers find a file, and that a compressed font draws as the plain one and a cut one is
// refused, is held by the case files of tests/cases/fonts, through the program's --font.
#include "font_test_util.h"
#include "packed.h"
#include "test_support.h"

#include <gtest/gtest.h>

using font_test::font_ptr;

// A screen font padded to a font file's size limit loads; one byte more does not.
TEST(LoadFont, GzipCompressedFontsUnpackToAtMostTheSizeLimit)
{
    test_support::TempDir dir;
    const auto bytes = font_test::read_bytes(font_test::data_dir() / "real" / "lat1-12.psf");
    std::string full(bytes.begin(), bytes.end());
    full.resize(max_font_file_bytes, '\0');
    dir.write("full.psf.gz", test_support::packed(full, false));
    dir.write("over.psf.gz", test_support::packed(full + '\0', false));
    EXPECT_NE(font_ptr(GrLoadFont((dir / "full.psf.gz").c_str())), nullptr);
    EXPECT_EQ(GrLoadFont((dir / "over.psf.gz").c_str()), nullptr);
    EXPECT_EQ(GrLoadFont(nullptr), nullptr);
}
