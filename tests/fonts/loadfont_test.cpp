// Finding and loading font files by name: blanks around the name, the font path and "TWGRFONT", the driver
// extensions, and the order in which the drivers are tried.
#include "font_test_util.h"
#include "packed.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>

using font_test::data_dir;
using font_test::font_ptr;
namespace fs = std::filesystem;

namespace
{

// Runs each test in a fresh folder, with the font path reset.
class LoadFont : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(dir.path());
        GrSetFontPath(" ");
    }
    void TearDown() override { fs::current_path(previous); }
    void copy_sample(const char* from, const fs::path& to)
    {
        fs::create_directories((dir.path() / to).parent_path());
        fs::copy_file(data_dir() / from, dir.path() / to);
    }
    test_support::TempDir dir;
    fs::path previous;
};

} // namespace

TEST_F(LoadFont, NamesWithBlanksAndNamesWithoutTheirExtensionFindTheFile)
{
    copy_sample("gen/vga.psf", "vga.psf");
    for (const char* name : {"vga.psf", "  vga.psf", "vga.psf   ", "\tvga.psf \n", "vga.psf other words"}) {
        font_ptr f(GrLoadFont(name));
        ASSERT_NE(f, nullptr) << '"' << name << '"';
        EXPECT_STREQ(f->h.name, "vga");
    }
    EXPECT_EQ(GrLoadFont("   "), nullptr);
    EXPECT_EQ(GrLoadFont(nullptr), nullptr);
    EXPECT_EQ(GrLoadFont("missing.psf"), nullptr);

    // Each driver adds its own extension when the name alone is not found.
    const std::array<const char*, 3> cases[] = {{"gen/prop.fnt", "native.fnt", "propsample"},
                                                {"gen/prop.fna", "text.fna", "Proportional sample"},
                                                {"gen/box.chr", "stroke.chr", "SAMP"},
                                                {"gen/vga8x8.raw", "screen.psf", "screen"},
                                                {"gen/vga-v2.res", "windows.res", "Modern-16"}};
    for (const auto& [from, to, font_name] : cases) {
        copy_sample(from, to);
        std::string name = fs::path(to).stem().string();
        font_ptr f(GrLoadFont(name.c_str()));
        ASSERT_NE(f, nullptr) << name;
        EXPECT_STREQ(f->h.name, font_name);
    }
}

// Console fonts as distributions ship them, gzip-compressed: the glyphs of the plain file, found by name and on
// the font path. Broken compressed data is refused, and so is a font that unpacks past a font file's size limit.
TEST_F(LoadFont, GzipCompressedFontsLoadLikeThePlainFile)
{
    for (const std::string name : {"Lat15-VGA16.psf", "lat1-12.psf"}) {
        const auto bytes = font_test::read_bytes(data_dir() / "real" / name);
        const std::string gz = test_support::packed(std::string(bytes.begin(), bytes.end()), false, 2);
        dir.write(name, std::string(bytes.begin(), bytes.end()));
        fs::create_directories(dir.path() / "fonts");
        dir.write("fonts/" + name + ".gz", gz);
        dir.write("cut.psf.gz", gz.substr(0, gz.size() - 1));
        GrSetFontPath("fonts");
        font_ptr plain(GrLoadFont(name.c_str())), unpacked(GrLoadFont((name + ".gz").c_str()));
        ASSERT_TRUE(plain && unpacked) << name;
        ASSERT_EQ(unpacked->h.numchars, plain->h.numchars);
        EXPECT_EQ(unpacked->h.height, plain->h.height);
        for (std::uint32_t code = plain->h.minchar; code < plain->h.minchar + plain->h.numchars; ++code)
            ASSERT_EQ(font_test::glyph_picture(unpacked.get(), code), font_test::glyph_picture(plain.get(), code));
        EXPECT_EQ(GrLoadFont("cut.psf.gz"), nullptr) << "a gzip member without its end";
    }
    // A screen font padded to the size limit loads; one byte more does not.
    const auto bytes = font_test::read_bytes(data_dir() / "real" / "lat1-12.psf");
    std::string full(bytes.begin(), bytes.end());
    full.resize(max_font_file_bytes, '\0');
    dir.write("full.psf.gz", test_support::packed(full, false));
    dir.write("over.psf.gz", test_support::packed(full + '\0', false));
    EXPECT_NE(font_ptr(GrLoadFont("full.psf.gz")), nullptr);
    EXPECT_EQ(GrLoadFont("over.psf.gz"), nullptr);
}

TEST_F(LoadFont, DriversAreTriedInTableOrder)
{
    // The same 4096 bytes are a raw dump; with the native magic in front they are a native font first.
    copy_sample("ibm-vga-8x16.raw", "plain.any");
    copy_sample("gen/vga-ascii.fnt", "native.any");
    // A Windows font named ".fnt" is refused by the native driver and then taken by the Windows one.
    copy_sample("real/system-16.fnt", "system.fnt");
    for (auto [file, font_name] :
         {std::pair{"plain.any", "plain"}, {"native.any", "vgaascii"}, {"system.fnt", "System"}}) {
        font_ptr f(GrLoadFont(file));
        ASSERT_NE(f, nullptr) << file;
        EXPECT_STREQ(f->h.name, font_name);
    }
    EXPECT_EQ(GrLoadFont("system"), nullptr); // the Windows driver adds ".res", not ".fnt"
}

TEST_F(LoadFont, FontPathIsSearchedForPlainNamesOnly)
{
    copy_sample("gen/vga.psf", "one/a.psf");
    copy_sample("gen/vga8x8.raw", "two/b.psf");
    GrSetFontPath("one: ;two ; missing");
    font_ptr a(GrLoadFont("a.psf")), b(GrLoadFont("b"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->h.height, 8u);
    EXPECT_EQ(GrLoadFont("./a.psf"), nullptr); // a name with "/" is never searched on the path
    EXPECT_NE(font_ptr(GrLoadFont("one/a.psf")), nullptr);
    GrSetFontPath(nullptr); // changes nothing
    GrSetFontPath("");
    EXPECT_NE(font_ptr(GrLoadFont("a.psf")), nullptr);
}

TEST(LoadFontDeathTest, PathComesFromTwgrfontWhenNeverSet)
{
    // The child runs this test alone in a fresh process, where the font path has never been set.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test_support::TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    fs::copy_file(data_dir() / "gen" / "vga.psf", dir / "b" / "envfont.psf");
    std::string path = (dir / "a").string() + ";" + (dir / "b").string();
    setenv("TWGRFONT", path.c_str(), 1);
    EXPECT_EXIT(
        {
            GrFont* f = GrLoadFont("envfont");
            bool found = f && f->h.height == 16;
            GrUnloadFont(f);
            fs::remove_all(dir.path());
            std::exit(found ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
    unsetenv("TWGRFONT");
}
