// Tests of PNG export: the written file is decoded and compared pixel by pixel with the context and the colour table.
#include "gr_fixture.h"
#include "in_child.h"
#include "png/replace_file.h"
#include "png/save_finisher.h"
#include "png_image.h"
#include "test_support.h"

#include <zlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

using test_support::names_in;
using test_support::png_image;
using test_support::rgb;

// Writes ctx to name in dir and checks the file is 8-bit RGB with every pixel the colour GrQueryColor gives.
std::optional<png_image> save_and_compare(test_support::TempDir& dir, GrContext* ctx, const char* name,
                                          const char* comment)
{
    auto path = dir / name;
    EXPECT_EQ(GrSaveContextToPng_wc(ctx, path.c_str(), comment), 0) << name;
    auto d = test_support::read_png(path);
    const GrContext* c = ctx != nullptr ? ctx : GrCurrentContext();
    if (!d || d->width != c->gc_xmax + 1 || d->height != c->gc_ymax + 1) {
        ADD_FAILURE() << name << " is missing, unreadable or not of the context's size";
        return d;
    }
    EXPECT_EQ(d->bit_depth, 8);
    EXPECT_EQ(d->color_type, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(d->interlace, PNG_INTERLACE_NONE);
    for (int y = 0; y < d->height; ++y)
        for (int x = 0; x < d->width; ++x) {
            auto want = gr_test::query(GrPixelC(c, x, y));
            if (d->at(x, y) != rgb{want[0], want[1], want[2]}) {
                ADD_FAILURE() << name << " pixel " << x << "," << y;
                return d;
            }
        }
    return d;
}

// The chunks of a PNG file, each checked against its CRC: their names in order, a run of IDAT as one, and the image
// data they carry together; nothing when the file is not a whole PNG.
struct png_chunks {
    std::string names;
    std::string idat;
    std::size_t largest_idat = 0;
};

std::optional<png_chunks> walk_chunks(const std::filesystem::path& path)
{
    const std::string bytes = test_support::read_file(path);
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(
            static_cast<unsigned char>(bytes[at]) << 24 | static_cast<unsigned char>(bytes[at + 1]) << 16 |
            static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]));
    };
    if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return std::nullopt;
    png_chunks chunks;
    for (std::size_t at = 8; at < bytes.size();) {
        const std::uint32_t length = bytes.size() - at < 12 ? ~0u : word(at);
        if (length > bytes.size() - at - 12 ||
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + at + 4), length + 4) != word(at + 8 + length))
            return std::nullopt;
        const std::string name = bytes.substr(at + 4, 4);
        if (name != "IDAT" || !chunks.names.ends_with("IDAT"))
            chunks.names += (chunks.names.empty() ? "" : " ") + name;
        if (name == "IDAT") {
            chunks.idat += bytes.substr(at + 8, length);
            chunks.largest_idat = std::max<std::size_t>(chunks.largest_idat, length);
        }
        at += 12 + length;
    }
    return chunks;
}

// The image data inflated by zlib (which checks its Adler-32) with the "up" filter undone: RGB rows, or nothing when
// the stream is broken or not exactly the rows, or a row has another filter.
std::optional<std::vector<png_byte>> inflate_rows(const std::string& idat, int width, int height)
{
    const std::size_t row = 3 * static_cast<std::size_t>(width) + 1;
    std::vector<png_byte> filtered(row * height + 1), above(row - 1, 0), pixels;
    uLongf size = filtered.size();
    if (uncompress(filtered.data(), &size, reinterpret_cast<const Bytef*>(idat.data()), idat.size()) != Z_OK ||
        size != row * height)
        return std::nullopt;
    for (std::size_t at = 0; at < size; at += row) {
        if (filtered[at] != 2)
            return std::nullopt;
        for (std::size_t i = 0; i < above.size(); ++i)
            pixels.push_back(above[i] = static_cast<png_byte>(above[i] + filtered[at + 1 + i]));
    }
    return pixels;
}

class PngExport : public ::testing::Test
{
protected:
    test_support::TempDir dir;
};

// Every frame format the memory driver gives (8-bit, packed 24-bit, 16- and 2-colour bit planes) is written with
// each pixel's colour; a value no one allocated is black, and the comment is there only when given.
TEST_F(PngExport, EachFrameFormatIsWrittenWithEveryPixelsColourAndTheCommentOnlyWhenGiven)
{
    const std::pair<GrColor, GrFrameMode> modes[] = {
        {256, GR_frameRAM8}, {1 << 24, GR_frameRAM24}, {16, GR_frameRAM4}, {2, GR_frameRAM1}};
    for (const auto& [colors, mode] : modes) {
        ASSERT_EQ(GrSetDriver("memory"), 1);
        GrSetMode(GR_width_height_color_graphics, 69, 48, colors);
        ASSERT_EQ(GrDriverInfo->fdriver.mode, mode);
        GrClearContext(GrWhite());
        GrFilledCircle(30, 20, 15, GrBlack());
        GrLine(0, 47, 68, 0, GrAllocColor(10, 120, 130));
        GrBox(5, 5, 64, 44, GrAllocColor(128, 128, 128));
        GrFilledBoxNC(60, 10, 65, 16, colors == 256 ? 200 : GrBlack()); // 200: allocated by no one
        auto d = save_and_compare(dir, nullptr, "page.png", colors == 256 ? "tremwil -x 1 run1.dat" : nullptr);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->at(62, 12), (rgb{0, 0, 0})) << colors;
        EXPECT_NE(d->at(30, 20), d->at(1, 1)) << colors;
        EXPECT_EQ(d->comment, colors == 256 ? std::optional<std::string>("tremwil -x 1 run1.dat") : std::nullopt);
        EXPECT_EQ(walk_chunks(dir / "page.png")->names, colors == 256 ? "IHDR tEXt IDAT IEND" : "IHDR IDAT IEND");
    }
    EXPECT_EQ(save_and_compare(dir, nullptr, "empty.png", "")->comment, "");
}

// A save writes the context given, or the current one, whole whatever its clip box; whether it succeeds or fails,
// the current context stays as it was.
TEST_F(PngExport, SavesWriteTheWholeContextAndLeaveTheCurrentOneAlone)
{
    gr_test::set_memory_mode(30, 20);
    GrClearContext(2);
    GrContext* sub = GrCreateSubContext(10, 5, 19, 9, nullptr, nullptr);
    GrSetContext(sub);
    GrClearContext(4);
    GrPlot(0, 0, 9);
    GrSetContext(nullptr);
    GrSetClipBox(1, 1, 3, 3);
    save_and_compare(dir, sub, "sub.png", nullptr);
    EXPECT_EQ(GrCurrentContext()->gc_xmax, 29);
    EXPECT_EQ(GrCurrentContext()->gc_xcliphi, 3);
    EXPECT_EQ(GrDriverInfo->fdriver.mode, GR_frameRAM8);
    save_and_compare(dir, nullptr, "whole.png", nullptr);

    GrSetContext(sub);
    // A folder that does not exist is a case file (run/output_missing_folder).
    // Anything but a file or a link is no picture to replace: a FIFO of the test's own stands in for a device.
    const auto fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, fifo.c_str(), "c"), -1);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(gr_test::placement(*GrCurrentContext()), (std::array<int, 4>{10, 5, 9, 4}));
    GrSetContext(nullptr);
    GrDestroyContext(sub);
}

// A page of bands of rows, each flat, striped, flat with one pixel a row one byte off the band's colour, or noise
// (kinds 0 to 3, from first_kind on); at times the first row black. Palette pages take their colours from pairs
// one byte apart.
void paint_page(int w, int h, bool palette, std::mt19937& rng, int first_kind)
{
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    ASSERT_EQ(GrSetDriver("memory"), 1);
    GrSetMode(palette ? GR_width_height_color_graphics : GR_width_height_bpp_graphics, w, h, palette ? 256 : 24);
    std::vector<std::array<int, 3>> pairs;
    for (int i = 0; i < 8; ++i) {
        pairs.push_back({uniform(0, 255), uniform(0, 255), uniform(0, 255)});
        pairs.push_back({pairs.back()[0], pairs.back()[1], pairs.back()[2] ^ 1});
    }
    const auto pick = [&] {
        return palette ? pairs[uniform(0, 15)] : std::array<int, 3>{uniform(0, 255), uniform(0, 255), uniform(0, 255)};
    };
    const auto colour = [](std::array<int, 3> c, int off = 0) { return GrAllocColor(c[0], c[1], c[2] ^ off); };
    for (int y = 0, rows; y < h; y += rows) {
        rows = std::min(h - y, uniform(1, 40));
        const std::array<int, 3> c = pick();
        const int kind = uniform(first_kind, 3), y1 = y + rows - 1;
        GrFilledBoxNC(0, y, w - 1, y1, colour(c));
        for (int x = 0; kind == 1 && x < w; x += uniform(1, 40))
            GrFilledBoxNC(x, y, w - 1, y1, colour(pick()));
        for (int yy = y; kind == 2 && yy <= y1; ++yy)
            GrPlot(uniform(0, w - 1), yy, colour(c, 1));
        for (int yy = y; kind == 3 && yy <= y1; ++yy)
            for (int x = 0; x < w; ++x)
                GrPlot(x, yy, colour(pick()));
    }
    if (uniform(0, 2) == 0)
        GrLine(0, 0, w - 1, 0, GrBlack());
}

// A 24-bit page of random colours: its PNG hardly compresses, so writing it takes a while.
void paint_noise(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    paint_page(w, h, false, rng, 3);
}

// Pages of every kind and many sizes, saved and decoded by libpng (against the context) and by zlib's inflate with
// the filter undone here (against libpng's pixels). The widths include those where a repeated row's bytes sit at
// and around multiples of the longest repeat (258 bytes), and a page of noise whose rows are longer than a stored
// block. The first page's bytes have counts that follow the Fibonacci numbers (after the filter byte and the block's
// end, once each): they make the deepest Huffman tree for their number, whose codes of 18 bits deflate's limit of 15
// must cut, the block staying whole.
TEST_F(PngExport, PagesOfEveryKindDecodeToTheirPixels)
{
    std::vector<int> count = {2, 3};
    while (count.size() < 17)
        count.push_back(count[count.size() - 1] + count[count.size() - 2]);
    // Never the same byte twice in a row, so that every byte stays a literal: the most frequent other than the last.
    std::vector<int> bytes;
    for (int last = -1;;) {
        int pick = -1;
        for (int s = 0; s < static_cast<int>(count.size()); ++s)
            if (s != last && count[s] > 0 && (pick < 0 || count[s] > count[pick]))
                pick = s;
        if (pick < 0)
            break;
        --count[pick];
        bytes.push_back(7 + 13 * pick);
        last = pick;
    }
    std::mt19937 rng(2026);
    std::vector<int> widths = {0, 22000, 1, 2, 3, 85, 86, 87, 88, 171, 172, 173, 174, 257, 258, 259, 260, 689, 700};
    widths[0] = static_cast<int>(bytes.size()) / 3;
    for (int i = 0; i < 24; ++i)
        widths.push_back(std::uniform_int_distribution<int>(1, 700)(rng));
    for (std::size_t page = 0; page < widths.size(); ++page) {
        const int w = widths[page];
        const int h = page == 0 ? 1 : std::uniform_int_distribution<int>(1, std::min(300, 60000 / w))(rng);
        const bool palette = page > 0 && page % 2 == 0;
        SCOPED_TRACE(testing::Message() << w << " x " << h << (palette ? " palette" : " RGB"));
        if (page == 0) {
            ASSERT_EQ(GrSetDriver("memory"), 1);
            GrSetMode(GR_width_height_bpp_graphics, w, h, 24);
            for (int x = 0; x < w; ++x)
                GrPlot(x, 0, GrAllocColor(bytes[3 * x], bytes[3 * x + 1], bytes[3 * x + 2]));
        } else if (page % 6 == 0) {
            gr_test::set_memory_mode(w, h);
            GrClearContext(GrAllocColor(40, 50, 60));
        } else {
            paint_page(w, h, palette, rng, w > 700 ? 3 : 0);
        }
        const auto d = save_and_compare(dir, nullptr, "page.png", nullptr);
        const auto chunks = walk_chunks(dir / "page.png");
        ASSERT_TRUE(d && chunks);
        EXPECT_EQ(chunks->names, "IHDR IDAT IEND");
        EXPECT_LE(chunks->largest_idat, 65536u);
        EXPECT_EQ(inflate_rows(chunks->idat, w, h), d->pixels);
    }
}

int child_status(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// The bytes still in the stream's buffer meet the file size limit only in commit(), which must then leave the old
// file and remove its temporary one instead of renaming the short file over the target.
TEST_F(PngExport, CommitThatCannotFlushKeepsTheOldFile)
{
    const auto target = dir.write("old.png", "old");
    test_support::in_child([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{20000, 20000};
        setrlimit(RLIMIT_FSIZE, &small);
        std::vector<char> buffer(1 << 20); // outlives the stream
        twgr::replacement_file file(target.c_str());
        const std::string bytes(100000, 'x');
        return file.stream() != nullptr && std::setvbuf(file.stream(), buffer.data(), _IOFBF, buffer.size()) == 0 &&
               std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) == bytes.size() && !file.commit();
    });
    EXPECT_TRUE(test_support::read_file(target) == "old") << "the old file was replaced";
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"old.png"});
}

// A picture saved again keeps the mode and the owner of the one it replaces; a new one gets the umask's mode.
TEST_F(PngExport, ReplacedPictureKeepsItsModeAndOwner)
{
    gr_test::set_memory_mode(16, 8);
    const mode_t umask_before = umask(027);
    const auto fresh = dir / "fresh.png", kept = dir / "kept.png";
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, fresh.c_str(), nullptr), 0);
    EXPECT_EQ(GrSaveContextToPng_wc(nullptr, kept.c_str(), nullptr), 0);
    umask(umask_before);
    struct stat info {
    };
    ASSERT_EQ(stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    ASSERT_EQ(chmod(kept.c_str(), 0604), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(kept.c_str(), 1234, 5678), 0);
    }
    for (int save = 0; save < 2; ++save) {
        EXPECT_EQ(GrSaveContextToPng_wc(nullptr, kept.c_str(), "again"), 0);
        ASSERT_EQ(stat(kept.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0604U) << save;
        if (root) {
            EXPECT_TRUE(info.st_uid == 1234 && info.st_gid == 5678) << info.st_uid << ":" << info.st_gid;
        }
    }
    EXPECT_EQ(test_support::read_png(kept)->comment, "again");
}

// A picture whose rename fails in the background is told by name and leaves no temporary file; the saves queued
// around it finish.
TEST_F(PngExport, FailedBackgroundFinishIsToldAndLeavesNoTemporaryFile)
{
    gr_test::set_memory_mode(16, 8);
    static std::string blocked;
    blocked = (dir / "blocked.png").string();
    // Just before its rename, a folder that is not empty takes the picture's name.
    twgr::save_finisher::instance().set_before_commit([](const std::string& target) {
        if (target == blocked)
            std::filesystem::create_directories(target + "/inside");
    });
    for (const char* name : {"a.png", "blocked.png", "b.png"})
        EXPECT_EQ(GrSaveContextToPngLater(nullptr, (dir / name).c_str(), "later"), 0) << name;
    std::vector<std::string> failed;
    const auto tell = [](const char* name, void* list) {
        static_cast<std::vector<std::string>*>(list)->push_back(name);
    };
    EXPECT_EQ(GrFinishPngSaves(tell, &failed), 1);
    twgr::save_finisher::instance().set_before_commit(nullptr);
    EXPECT_EQ(failed, std::vector<std::string>{blocked});
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"a.png", "b.png", "blocked.png"}));
    EXPECT_TRUE(test_support::read_png(dir / "a.png") && test_support::read_png(dir / "b.png"));
}

// Two processes save one name over and over; whenever one looks, the file is one whole picture.
TEST_F(PngExport, ParallelSavesOfOneNameLeaveWholePictures)
{
    const auto shared = dir / "shared.png";
    paint_noise(200, 150, 7);
    ASSERT_EQ(GrSaveContextToPng_wc(nullptr, shared.c_str(), "first"), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        bool ok = true;
        for (int i = 0; i < 40; ++i)
            ok = GrSaveContextToPng_wc(nullptr, shared.c_str(), "child") == 0 && ok;
        _exit(ok ? 0 : 1); // without the parent's exit handlers
    }
    int torn = 0;
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(GrSaveContextToPng_wc(nullptr, shared.c_str(), "parent"), 0);
        torn += test_support::read_png(shared).has_value() ? 0 : 1;
    }
    EXPECT_EQ(child_status(pid), 0);
    EXPECT_EQ(torn, 0) << "reads that found part of a picture";
    EXPECT_TRUE(test_support::read_png(shared).has_value());
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"shared.png"}));
}

// Any signal that ends the program by its default action during a save leaves the last whole picture and no
// temporary file.
TEST_F(PngExport, SignalDuringASaveLeavesNoTemporaryFile)
{
    const auto target = dir / "sig.png";
    paint_noise(600, 400, 3);
    for (const int sig :
         {SIGTERM, SIGINT, SIGPIPE, SIGXFSZ, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGRTMIN + 2}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        // The saves and the wait for the first are bounded: a save that never commits must not fill the disk.
        if (pid == 0) {
            for (int i = 0; i < 100; ++i)
                GrSaveContextToPng_wc(nullptr, target.c_str(), "loop");
            _exit(0);
        }
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(target) && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!std::filesystem::exists(target)) {
            kill(pid, SIGKILL);
            child_status(pid);
            FAIL() << "no save was committed";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        kill(pid, sig);
        const int status = child_status(pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"sig.png"})) << strsignal(sig);
        EXPECT_TRUE(test_support::read_png(target).has_value()) << strsignal(sig);
    }
}

} // namespace
