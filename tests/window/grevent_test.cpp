// The event queue, hooks, the raw ring and its translation into key and mouse events, without a window:
// raw records go straight into the ring, as the window thread would put them.
#include "sdl2_window.h"

#include "SDL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace
{

using twgr::input::raw_kind;
using twgr::input::raw_record;

void put(raw_kind kind, int code, int kbstat = 0, int x = 0, int y = 0)
{
    raw_record r;
    r.kind = kind;
    r.code = code;
    r.kbstat = kbstat;
    r.x = x;
    r.y = y;
    twgr::input::ring_put(r);
}

// Everything pending, in order.
std::vector<GrEvent> read_all()
{
    std::vector<GrEvent> out;
    for (GrEvent ev; GrEventRead(&ev), ev.type != GREV_NULL;)
        out.push_back(ev);
    return out;
}

class Events : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("TWGRKBSYSENCODING");
        GrEventInit();
        GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    }
    void TearDown() override
    {
        GrEventGenMmove(GR_GEN_MMOVE_NEVER);
        GrEventUnInit();
        unsetenv("TWGRKBSYSENCODING");
    }
};

TEST_F(Events, QueueHoldsSixtyInOrderStampsTimeAndReportsEmpty)
{
    long before = GrMsecTime();
    for (int i = 0; i < 60; ++i) {
        GrEvent ev{};
        ev.type = GREV_MOUSE;
        ev.p1 = i;
        ev.time = -5;
        ASSERT_EQ(GrEventEnqueue(&ev), 0) << i;
    }
    GrEvent extra{};
    extra.type = GREV_KEY;
    EXPECT_EQ(GrEventEnqueue(&extra), -1);
    EXPECT_NE(GrEventCheck(), 0);
    std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 60U);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(got[(std::size_t)i].p1, i);
        EXPECT_EQ(got[(std::size_t)i].type, GREV_MOUSE);
        EXPECT_GE(got[(std::size_t)i].time, before);
    }
    // An empty queue answers at once with a null event that carries the time.
    long t0 = GrMsecTime();
    GrEvent none;
    GrEventRead(&none);
    EXPECT_EQ(none.type, GREV_NULL);
    EXPECT_GE(none.time, t0);
    EXPECT_LT(GrMsecTime() - t0, 500);
    EXPECT_EQ(GrEventCheck(), 0);
}

int consume_odd(GrEvent* ev)
{
    return ev->p1 % 2;
}
int calls_second = 0;
int count_and_pass(GrEvent*)
{
    ++calls_second;
    return 0;
}
int pass_1(GrEvent*)
{
    return 0;
}

TEST_F(Events, HooksConsumeInSlotOrderAndHaveTenSlots)
{
    ASSERT_EQ(GrEventAddHook(consume_odd), 1);
    ASSERT_EQ(GrEventAddHook(count_and_pass), 1);
    calls_second = 0;
    for (int i = 0; i < 6; ++i) {
        GrEvent ev{};
        ev.type = GREV_MOUSE;
        ev.p1 = i;
        GrEventEnqueue(&ev);
    }
    std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 3U);
    EXPECT_EQ(got[0].p1, 0);
    EXPECT_EQ(got[1].p1, 2);
    EXPECT_EQ(got[2].p1, 4);
    EXPECT_EQ(calls_second, 3); // consumed events go no further
    EXPECT_EQ(GrEventDeleteHook(consume_odd), 1);
    EXPECT_EQ(GrEventDeleteHook(consume_odd), 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(GrEventAddHook(pass_1), 1) << i;
    EXPECT_EQ(GrEventAddHook(pass_1), 0);
    // A fresh start forgets every hook.
    GrEventInit();
    EXPECT_EQ(GrEventDeleteHook(count_and_pass), 0);
}

TEST_F(Events, RingKeepsOrderAndDropsTheOldestWhenFull)
{
    for (int i = 0; i < 45; ++i)
        put(raw_kind::character, 'A' + i);
    std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 40U);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(got[(std::size_t)i].p1, 'A' + 5 + i);
        EXPECT_EQ(got[(std::size_t)i].type, GREV_KEY);
        EXPECT_EQ(got[(std::size_t)i].p2, GRKEY_CHARACTER);
    }
    // Flushing drops what the ring and the queue hold.
    put(raw_kind::character, 'z');
    GrEvent queued{};
    queued.type = GREV_KEY;
    GrEventEnqueue(&queued);
    GrEventFlush();
    EXPECT_EQ(GrEventCheck(), 0);
}

struct key_case {
    raw_kind kind;
    int code;
    int kbstat;
    int p1; // 0: no event
    int p2;
};

TEST_F(Events, KeysTranslateToCharactersAndPcCodes)
{
    const int shift = GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT;
    const key_case cases[] = {
        {raw_kind::character, 'q', 0, 113, 1},
        {raw_kind::key_down, SDLK_q, 0, 0, 0}, // its character comes as text
        {raw_kind::key_down, SDLK_F1, 0, 0x13B, 100},
        {raw_kind::key_down, SDLK_F10, 0, 0x144, 100},
        {raw_kind::key_down, SDLK_F1, shift, 0x154, 100},
        {raw_kind::key_down, SDLK_F1, GRKBS_CTRL, 0x15E, 100},
        {raw_kind::key_down, SDLK_F1, GRKBS_ALT | GRKBS_CTRL | shift, 0x168, 100},
        {raw_kind::key_down, SDLK_F12, GRKBS_CTRL | shift, 0x18A, 100},
        {raw_kind::key_down, SDLK_DELETE, shift, 0, 0},
        {raw_kind::key_down, SDLK_DELETE, GRKBS_CTRL | shift, 0x193, 100},
        {raw_kind::key_down, SDLK_PAGEDOWN, GRKBS_CTRL, 0x176, 100},
        {raw_kind::key_down, SDLK_UP, 0, 0x148, 100},
        {raw_kind::key_down, SDLK_LEFT, GRKBS_ALT, 0x1BD, 100},
        {raw_kind::alt_character, 'x', GRKBS_ALT, 0x12D, 100},
        {raw_kind::alt_character, 'X', GRKBS_ALT | shift, 0x12D, 100},
        {raw_kind::alt_character, 'a', GRKBS_ALT, 0x11E, 100},
        {raw_kind::alt_character, '0', GRKBS_ALT, 0x181, 100},
        {raw_kind::alt_character, '-', GRKBS_ALT, 0, 0},
        {raw_kind::key_down, SDLK_BACKSPACE, 0, 8, 1},
        {raw_kind::key_down, SDLK_TAB, 0, 9, 1},
        {raw_kind::key_down, SDLK_RETURN, 0, 13, 1},
        {raw_kind::key_down, SDLK_ESCAPE, 0, 27, 1},
        {raw_kind::key_down, SDLK_c, GRKBS_CTRL, 3, 1},
        {raw_kind::key_down, SDLK_LSHIFT, shift, 0, 0},
    };
    for (const key_case& k : cases) {
        put(k.kind, k.code, k.kbstat);
        std::vector<GrEvent> got = read_all();
        SCOPED_TRACE(testing::Message() << "code " << k.code << " kbstat " << k.kbstat);
        if (k.p1 == 0) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 1U);
        EXPECT_EQ(got[0].type, GREV_KEY);
        EXPECT_EQ(got[0].p1, k.p1);
        EXPECT_EQ(got[0].p2, k.p2);
        EXPECT_EQ(got[0].kbstat, k.kbstat);
    }
}

TEST_F(Events, OnlyAKeyOrALeftReleaseEndsTheWait)
{
    put(raw_kind::mouse_move, 0, 0, 5, 7);
    put(raw_kind::button_down, 1);
    put(raw_kind::button_down, 3);
    put(raw_kind::button_up, 3);
    put(raw_kind::wheel, 1);
    put(raw_kind::button_up, 1);
    put(raw_kind::character, 'k');
    GrEvent ev;
    GrEventWaitKeyOrClick(&ev);
    EXPECT_EQ(ev.type, GREV_MOUSE);
    EXPECT_EQ(ev.p1, GRMOUSE_LB_RELEASED);
    EXPECT_EQ(ev.p2, 5);
    EXPECT_EQ(ev.p3, 7);
    GrEventWaitKeyOrClick(&ev);
    EXPECT_EQ(ev.type, GREV_KEY);
    EXPECT_EQ(ev.p1, 'k');
}

TEST_F(Events, MouseButtonsWheelAndMoveGeneration)
{
    put(raw_kind::mouse_move, 0, 0, 3, 4);
    put(raw_kind::button_down, 2);
    put(raw_kind::wheel, 1);
    put(raw_kind::wheel, -1);
    put(raw_kind::button_up, 2);
    std::vector<GrEvent> got = read_all();
    std::vector<int> codes;
    for (const GrEvent& ev : got)
        codes.push_back(ev.type == GREV_MOUSE ? ev.p1 : -ev.type);
    EXPECT_EQ(codes, (std::vector<int>{2, 7, 8, 9, 10, 5}));
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().p2, 3);
    EXPECT_EQ(got.back().p3, 4);

    GrEventGenMmove(GR_GEN_MMOVE_IFBUT);
    put(raw_kind::mouse_move, 0, 0, 10, 11);
    EXPECT_TRUE(read_all().empty());
    put(raw_kind::button_down, 3);
    put(raw_kind::mouse_move, 0, 0, 12, 13);
    got = read_all();
    ASSERT_EQ(got.size(), 2U);
    EXPECT_EQ(got[1].type, GREV_MMOVE);
    EXPECT_EQ(got[1].p1, GRMOUSE_RB_STATUS);
    EXPECT_EQ(got[1].p2, 12);
    EXPECT_EQ(got[1].p3, 13);
    put(raw_kind::button_up, 3);
    GrEventGenMmove(GR_GEN_MMOVE_ALWAYS);
    put(raw_kind::mouse_move, 0, 0, 1, 2);
    got = read_all();
    ASSERT_EQ(got.size(), 2U);
    EXPECT_EQ(got[1].type, GREV_MMOVE);
    EXPECT_EQ(got[1].p1, 0);
}

} // namespace
