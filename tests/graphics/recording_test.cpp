// Tests of the recording behind SVG and PDF pictures: what is kept of each primitive, the marks limit, and the
// documents written from it.
#include "gr_fixture.h"
#include "test_support.h"

#include <memory>
#include <string>
#include <vector>

using gr_test::MemoryMode;
using test_support::contains;
using test_support::occurrences;
using test_support::read_file;
using test_support::TempDir;

namespace
{

using recording = std::unique_ptr<GrRecording, decltype(&GrDestroyRecording)>;

recording start(int limit)
{
    recording rec(GrCreateRecording(limit), &GrDestroyRecording);
    GrSetRecording(rec.get());
    return rec;
}

std::string saved(const GrRecording* rec, int format, const TempDir& dir, const char* comment = "cmd a.dat")
{
    const auto path = dir / (format == GR_VECTOR_SVG ? "p.svg" : "p.pdf");
    EXPECT_EQ(GrSaveRecording(rec, format, path.c_str(), comment, 1.0, 0), 0);
    return read_file(path);
}

} // namespace

TEST_F(MemoryMode, RecordingKeepsWhatTheRasterDrawsInPageCoordinatesAndFailedSavesTouchNothing)
{
    gr_test::set_memory_mode(64, 48);
    const GrColor c = GrAllocColor(255, 0, 0);
    const recording rec = start(100);
    GrClearContext(GrAllocColor(255, 255, 255));
    GrBox(2, 3, 60, 40, c);
    // Dots three apart along a row become one dashed line; a dot off the row starts a new run.
    for (int x = 4; x <= 16; x += 3)
        GrPlot(x, 10, c);
    GrPlot(5, 11, c);
    GrContext area{};
    ASSERT_NE(GrCreateSubContext(10, 10, 30, 30, nullptr, &area), nullptr);
    GrSetContext(&area);
    GrCircle(5, 6, 3, c);
    GrCircle(100, 100, 3, c); // wholly outside the clip box: neither drawn nor kept
    GrSetContext(nullptr);
    // Drawing on another frame is not the page's.
    GrContext other{};
    ASSERT_NE(GrCreateContext(8, 8, nullptr, &other), nullptr);
    GrSetContext(&other);
    GrLine(0, 0, 7, 7, c);
    GrSetContext(nullptr);
    GrDestroyContext(&other);
    GrSetRecording(nullptr);
    GrLine(0, 0, 5, 5, c); // after the recording ended
    TempDir dir;
    const std::string svg = saved(rec.get(), GR_VECTOR_SVG, dir);
    for (const char* part :
         {"viewBox=\"0 0 64 48\"", "<desc>cmd a.dat</desc>", "M2.5 3.5H60.5V40.5H2.5Z",
          "x1=\"4\" y1=\"10.5\" x2=\"17\" y2=\"10.5\"", "stroke-dasharray=\"1 2\"",
          "<rect x=\"5\" y=\"11\" width=\"1\" height=\"1\"", "<circle cx=\"15.5\" cy=\"16.5\" r=\"3\"", "clip-path"})
        EXPECT_TRUE(contains(svg, part)) << part << " in " << svg;
    EXPECT_EQ(occurrences(svg, "<circle"), 1);
    EXPECT_EQ(occurrences(svg, "<line"), 1);
    const std::string pdf = saved(rec.get(), GR_VECTOR_PDF, dir);
    EXPECT_TRUE(pdf.starts_with("%PDF-1.4"));
    EXPECT_TRUE(contains(pdf, "/MediaBox [0 0 64 48]") && contains(pdf, "/BaseFont /Courier")) << pdf;
    // Saves that fail leave the target as it was.
    EXPECT_EQ(GrSaveRecording(rec.get(), GR_VECTOR_SVG, (dir / "missing/p.svg").c_str(), nullptr, 1.0, 0), -1);
    EXPECT_EQ(GrSaveRecording(rec.get(), 7, (dir / "q.svg").c_str(), nullptr, 1.0, 0), -1);
    EXPECT_EQ(GrSaveRecording(nullptr, GR_VECTOR_PDF, (dir / "q.pdf").c_str(), nullptr, 1.0, 0), -1);
    std::filesystem::create_directory(dir / "folder.svg");
    EXPECT_EQ(GrSaveRecording(rec.get(), GR_VECTOR_SVG, (dir / "folder.svg").c_str(), nullptr, 1.0, 0), -1);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.svg"));
    EXPECT_EQ(test_support::names_in(dir.path()), (std::vector<std::string>{"folder.svg", "p.pdf", "p.svg"}));
}

// Where the limit falls, and the image's pixels in each format, are held by the program's runs
// (tests/vector/vector_e2e_test.cpp); here the marks over it and the texts beside them.
TEST_F(MemoryMode, MarksOverTheLimitBecomeOneImageAndTextsStayText)
{
    gr_test::set_memory_mode(64, 48);
    const GrColor c = GrAllocColor(0, 0, 255);
    GrTextOption opt{};
    opt.txo_font = &GrFont_PC8x16;
    opt.txo_fgcolor.v = c;
    opt.txo_bgcolor.v = GrNOCOLOR;
    opt.txo_chrtype = 3;
    opt.txo_direct = 3; // upward, as the y label
    const recording rec = start(2);
    GrDrawString("A<&\xC3\xA9", 5, 0, 0, &opt);
    GrContext area{};
    ASSERT_NE(GrCreateSubContext(20, 4, 59, 43, nullptr, &area), nullptr);
    GrSetContext(&area);
    GrRecordMarks(1);
    for (int i = 0; i < 3; ++i)
        GrCircle(5 + 10 * i, 10, 4, c);
    GrRecordMarks(0);
    GrSetContext(nullptr);
    EXPECT_EQ(GrRecordedMarks(rec.get()), 3);
    TempDir dir;
    const std::string svg = saved(rec.get(), GR_VECTOR_SVG, dir);
    // The upward text turns about the baseline edge at the left side's baseline row, and keeps its characters.
    EXPECT_TRUE(contains(svg, "translate(12 32) rotate(-90)") && contains(svg, ">A&lt;&amp;\xC3\xA9</text>")) << svg;
    EXPECT_EQ(occurrences(svg, "<circle"), 0);
    EXPECT_EQ(occurrences(svg, "<image x=\"20\" y=\"4\" width=\"40\" height=\"40\""), 1);
}
