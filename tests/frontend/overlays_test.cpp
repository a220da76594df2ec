// Overlay option values: item parsing, the grok report and the radius check.
#include <gtest/gtest.h>

#include "messages.h"
#include "overlays.h"

namespace
{

using testing::ExitedWithCode;

class Overlays : public testing::Test
{
protected:
    void SetUp() override { clear_overlays(); }
    void TearDown() override { clear_overlays(); }
};

// Runs f and returns what it wrote on standard error.
template <typename F> std::string stderr_of(F f)
{
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

TEST_F(Overlays, CirclesParseWithBlanksAndIgnoreExtraFields)
{
    add_circle("1,2,3");
    add_circle(" 1 , 2 , 3 ");
    add_circle("1,2,3,4");
    add_circle("-1.5e1,+2,.5");
    ASSERT_EQ(circles.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(circles[i].x, 1);
        EXPECT_EQ(circles[i].y, 2);
        EXPECT_EQ(circles[i].r, 3);
    }
    EXPECT_EQ(circles[3].x, -15);
    EXPECT_EQ(circles[3].r, 0.5);
}

TEST_F(Overlays, BadValuesAreReportedAndDropped)
{
    EXPECT_EQ(stderr_of([] { add_circle("1,2"); }), "Failed to grok: 1,2\n");
    EXPECT_EQ(stderr_of([] { add_circle("1;2;3"); }), "Failed to grok: 1;2;3\n");
    EXPECT_EQ(stderr_of([] { add_circle("nan,1,1"); }), "Failed to grok: nan,1,1\n");
    EXPECT_EQ(stderr_of([] { add_arrow("1,2,3"); }), "Failed to grok: 1,2,3\n");
    EXPECT_EQ(stderr_of([] { add_text("1,2,"); }), "Failed to grok: 1,2,\n");
    EXPECT_EQ(stderr_of([] { add_line(LT_NORMAL, "1,2,x,4"); }), "Failed to grok: 1,2,x,4\n");
    EXPECT_EQ(stderr_of([] { add_line(LT_HORIZONTAL, ""); }), "Failed to grok: \n");
    EXPECT_TRUE(circles.empty());
    EXPECT_TRUE(arrows.empty());
    EXPECT_TRUE(texts.empty());
    EXPECT_TRUE(lines.empty());
}

TEST_F(Overlays, NonPositiveRadiusEndsTheRun)
{
    EXPECT_EXIT(add_circle("1,2,0"), ExitedWithCode(1), "^\nError: radius may not be zero or negative \\(1,2,0\\)\n$");
    EXPECT_EXIT(add_circle("1,2,-3"), ExitedWithCode(1), "\\(1,2,-3\\)\n$");
}

TEST_F(Overlays, LinesReadTheFieldsOfTheirMode)
{
    add_line(LT_HORIZONTAL, "5");
    add_line(LT_HORIZONTAL, "5,6");
    add_line(LT_VERTICAL, "7");
    add_line(LT_NORMAL, "1,2,3,4");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].mode, LT_HORIZONTAL);
    EXPECT_EQ(lines[0].y1, 5);
    EXPECT_EQ(lines[1].y1, 5);
    EXPECT_EQ(lines[2].mode, LT_VERTICAL);
    EXPECT_EQ(lines[2].x1, 7);
    EXPECT_EQ(lines[3].mode, LT_NORMAL);
    EXPECT_EQ(lines[3].x1, 1);
    EXPECT_EQ(lines[3].y1, 2);
    EXPECT_EQ(lines[3].x2, 3);
    EXPECT_EQ(lines[3].y2, 4);
}

TEST_F(Overlays, UnknownLineModeFailsToParse)
{
    Line l{};
    l.mode = static_cast<lt_type>(7);
    std::istringstream in("1,2,3,4");
    EXPECT_THROW(in >> l, std::exception);
}

TEST_F(Overlays, TextKeepsEverythingAfterTheSecondComma)
{
    add_text("1,2,Hello, world");
    add_text("3,4, Hi");
    add_text("5,6,\"quoted\"");
    add_arrow("1,2,3,4");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Hello, world");
    EXPECT_EQ(texts[0].x1, 1);
    EXPECT_EQ(texts[0].y1, 2);
    EXPECT_EQ(texts[1].text, " Hi");
    EXPECT_EQ(texts[2].text, "\"quoted\"");
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].x1, 1);
    EXPECT_EQ(arrows[0].y2, 4);
}

} // namespace
