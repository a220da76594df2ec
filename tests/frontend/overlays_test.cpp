// Overlay option values as items (the values that fail and the radius check are case files:
// picture/overlays_bad_values_dropped, cli/handler_radius).
#include <gtest/gtest.h>

#include <sstream>

#include "plot/overlays.h"

namespace
{

class Overlays : public testing::Test
{
protected:
    void SetUp() override { clear_overlays(); }
    void TearDown() override { clear_overlays(); }
};

TEST_F(Overlays, ItemsParseWithBlanksAndIgnoreExtraFields)
{
    for (const char* value : {"1,2,3", " 1 , 2 , 3 ", "1,2,3,4"})
        add_circle(value);
    add_circle("-1.5e1,+2,.5");
    ASSERT_EQ(circles.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(circles[i].x == 1 && circles[i].y == 2 && circles[i].r == 3) << i;
    EXPECT_TRUE(circles[3].x == -15 && circles[3].r == 0.5);

    add_line(LT_HORIZONTAL, "5");
    add_line(LT_HORIZONTAL, "5,6");
    add_line(LT_VERTICAL, "7");
    add_line(LT_NORMAL, "1,2,3,4");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].mode == LT_HORIZONTAL && lines[0].y1 == 5 && lines[1].y1 == 5);
    EXPECT_TRUE(lines[2].mode == LT_VERTICAL && lines[2].x1 == 7);
    const Line& n = lines[3];
    EXPECT_TRUE(n.mode == LT_NORMAL && n.x1 == 1 && n.y1 == 2 && n.x2 == 3 && n.y2 == 4);

    // A text keeps everything after the second comma.
    add_text("1,2,Hello, world");
    add_text("3,4, Hi");
    add_text("5,6,\"quoted\"");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[0].text == "Hello, world" && texts[0].x1 == 1 && texts[0].y1 == 2);
    EXPECT_EQ(texts[1].text, " Hi");
    EXPECT_EQ(texts[2].text, "\"quoted\"");
    add_arrow("1,2,3,4");
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_TRUE(arrows[0].x1 == 1 && arrows[0].y1 == 2 && arrows[0].x2 == 3 && arrows[0].y2 == 4);

    Line unknown{};
    unknown.mode = static_cast<lt_type>(7);
    std::istringstream in("1,2,3,4");
    EXPECT_THROW(in >> unknown, std::exception);
}

} // namespace
