// Input without a window: the event queue and its hooks, the raw ring and its translation into key and
// mouse events (records go straight into the ring, as the window thread would put them), and the keyboard
// encodings, checked against characters of the published code pages.
#include "window/sdl2_window.h"

#include "SDL.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

using twgr::input::raw_kind;

void put(raw_kind kind, int code, int kbstat = 0, int x = 0, int y = 0)
{
    twgr::input::ring_put({kind, code, x, y, kbstat});
}

std::vector<GrEvent> read_all()
{
    std::vector<GrEvent> out;
    for (GrEvent ev; GrEventRead(&ev), ev.type != GREV_NULL;)
        out.push_back(ev);
    return out;
}

using seen = std::vector<std::array<int, 4>>;

std::array<int, 4> fields(const GrEvent& ev)
{
    return {ev.type, ev.p1, ev.p2, ev.p3};
}

// The events read, as (type, p1, p2, p3).
seen read_events()
{
    seen out;
    for (const GrEvent& ev : read_all())
        out.push_back(fields(ev));
    return out;
}

GrEvent event(int type, int p1, int p2 = 0)
{
    return GrEvent{type, 0, 0, {p1}, p2, 0};
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
        unsetenv("TWGRKBSYSENCODING");
        GrEventInit();
        GrEventUnInit();
    }
};

TEST_F(Events, QueueHoldsSixtyInOrderStampsTimeAndReportsEmpty)
{
    const long before = GrMsecTime();
    for (int i = 0; i < 60; ++i) {
        GrEvent ev = event(GREV_MOUSE, i);
        ev.time = -5;
        ASSERT_EQ(GrEventEnqueue(&ev), 0) << i;
    }
    const GrEvent extra = event(GREV_KEY, 0);
    EXPECT_EQ(GrEventEnqueue(&extra), -1);
    EXPECT_NE(GrEventCheck(), 0);
    const std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 60U);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(got[(std::size_t)i].p1, i);
        EXPECT_GE(got[(std::size_t)i].time, before);
    }
    // An empty queue answers at once with a null event that carries the time.
    const long t0 = GrMsecTime();
    GrEvent none;
    GrEventRead(&none);
    EXPECT_EQ(none.type, GREV_NULL);
    EXPECT_GE(none.time, t0);
    EXPECT_LT(GrMsecTime() - t0, 500);
    EXPECT_EQ(GrEventCheck(), 0);
}

int calls_second = 0;
int (*const consume_odd)(GrEvent*) = [](GrEvent* ev) { return ev->p1 % 2; };
int (*const count_and_pass)(GrEvent*) = [](GrEvent*) {
    ++calls_second;
    return 0;
};

TEST_F(Events, HooksConsumeInSlotOrderAndHaveTenSlots)
{
    ASSERT_EQ(GrEventAddHook(consume_odd), 1);
    ASSERT_EQ(GrEventAddHook(count_and_pass), 1);
    calls_second = 0;
    for (int i = 0; i < 6; ++i) {
        const GrEvent ev = event(GREV_MOUSE, i);
        GrEventEnqueue(&ev);
    }
    const std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 3U);
    EXPECT_EQ(got[2].p1, 4);
    EXPECT_EQ(calls_second, 3) << "consumed events go no further";
    EXPECT_EQ(GrEventDeleteHook(consume_odd), 1);
    EXPECT_EQ(GrEventDeleteHook(consume_odd), 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(GrEventAddHook([](GrEvent*) { return 0; }), 1) << i;
    EXPECT_EQ(GrEventAddHook([](GrEvent*) { return 0; }), 0);
    GrEventInit();
    EXPECT_EQ(GrEventDeleteHook(count_and_pass), 0) << "a fresh start forgets every hook";
}

TEST_F(Events, RingKeepsOrderDropsTheOldestWhenFullAndFlushes)
{
    for (int i = 0; i < 45; ++i)
        put(raw_kind::character, 'A' + i);
    const std::vector<GrEvent> got = read_all();
    ASSERT_EQ(got.size(), 40U);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(got[(std::size_t)i].p1, 'A' + 5 + i);
        EXPECT_EQ(got[(std::size_t)i].p2, GRKEY_CHARACTER);
    }
    put(raw_kind::character, 'z');
    const GrEvent queued = event(GREV_KEY, 'y');
    GrEventEnqueue(&queued);
    GrEventFlush();
    EXPECT_EQ(GrEventCheck(), 0);
}

// A pointer swept across the window leaves one move per stretch between other records, so that moves cannot
// push clicks and keys out of the ring; a resize reaches the program with the window's new size.
TEST_F(Events, MovesInARowKeepTheLatestAndAResizeBecomesAnEvent)
{
    GrEventGenMmove(GR_GEN_MMOVE_ALWAYS);
    for (int i = 0; i < 100; ++i)
        put(raw_kind::mouse_move, 0, 0, i, 2 * i);
    put(raw_kind::button_down, 1);
    put(raw_kind::mouse_move, 0, 0, 7, 8);
    put(raw_kind::resize, 0, 0, 800, 600);
    EXPECT_EQ(read_events(), (seen{{GREV_MMOVE, 0, 99, 198},
                                   {GREV_MOUSE, GRMOUSE_LB_PRESSED, 99, 198},
                                   {GREV_MMOVE, GRMOUSE_LB_STATUS, 7, 8},
                                   {GREV_RESIZE, 0, 800, 600}}));
    put(raw_kind::button_up, 1); // no button stays held for the tests after
    read_all();
}

// Keys the window test sends as SDL events (q, F1, Shift+Delete, Alt+x, Ctrl+C) are left to it.
TEST_F(Events, KeysTranslateToCharactersAndPcCodes)
{
    const int shift = GRKBS_LEFTSHIFT | GRKBS_RIGHTSHIFT;
    struct {
        raw_kind kind;
        int code, kbstat;
        int p1, p2; // p1 0: no event
    } const cases[] = {
        {raw_kind::key_down, SDLK_q, 0, 0, 0}, // its character comes as text
        {raw_kind::key_down, SDLK_F10, 0, 0x144, 100},
        {raw_kind::key_down, SDLK_F1, shift, 0x154, 100},
        {raw_kind::key_down, SDLK_F1, GRKBS_CTRL, 0x15E, 100},
        {raw_kind::key_down, SDLK_F1, GRKBS_ALT | GRKBS_CTRL | shift, 0x168, 100},
        {raw_kind::key_down, SDLK_F12, GRKBS_CTRL | shift, 0x18A, 100},
        {raw_kind::key_down, SDLK_DELETE, GRKBS_CTRL | shift, 0x193, 100},
        {raw_kind::key_down, SDLK_PAGEDOWN, GRKBS_CTRL, 0x176, 100},
        {raw_kind::key_down, SDLK_UP, 0, 0x148, 100},
        {raw_kind::key_down, SDLK_LEFT, GRKBS_ALT, 0x1BD, 100},
        {raw_kind::alt_character, 'X', GRKBS_ALT | shift, 0x12D, 100},
        {raw_kind::alt_character, 'a', GRKBS_ALT, 0x11E, 100},
        {raw_kind::alt_character, '0', GRKBS_ALT, 0x181, 100},
        {raw_kind::alt_character, '-', GRKBS_ALT, 0, 0},
        {raw_kind::key_down, SDLK_BACKSPACE, 0, 8, 1},
        {raw_kind::key_down, SDLK_TAB, 0, 9, 1},
        {raw_kind::key_down, SDLK_RETURN, 0, 13, 1},
        {raw_kind::key_down, SDLK_ESCAPE, 0, 27, 1},
        {raw_kind::key_down, SDLK_LSHIFT, shift, 0, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "code " << k.code << " kbstat " << k.kbstat);
        put(k.kind, k.code, k.kbstat);
        const std::vector<GrEvent> got = read_all();
        ASSERT_EQ(got.size(), k.p1 == 0 ? 0U : 1U);
        if (k.p1 == 0)
            continue;
        EXPECT_EQ(got[0].type, GREV_KEY);
        EXPECT_EQ(got[0].p1, k.p1);
        EXPECT_EQ(got[0].p2, k.p2);
        EXPECT_EQ(got[0].kbstat, k.kbstat);
    }
}

TEST_F(Events, MouseButtonsWheelMoveGenerationAndTheWaitForAKeyOrClick)
{
    const int mouse = GREV_MOUSE, move = GREV_MMOVE;
    put(raw_kind::mouse_move, 0, 0, 3, 4);
    put(raw_kind::button_down, 2);
    put(raw_kind::wheel, 1);
    put(raw_kind::wheel, -1);
    put(raw_kind::button_up, 2);
    EXPECT_EQ(read_events(), (seen{{mouse, GRMOUSE_MB_PRESSED, 3, 4},
                                   {mouse, GRMOUSE_B4_PRESSED, 3, 4},
                                   {mouse, GRMOUSE_B4_RELEASED, 3, 4},
                                   {mouse, GRMOUSE_B5_PRESSED, 3, 4},
                                   {mouse, GRMOUSE_B5_RELEASED, 3, 4},
                                   {mouse, GRMOUSE_MB_RELEASED, 3, 4}}));

    GrEventGenMmove(GR_GEN_MMOVE_IFBUT);
    put(raw_kind::mouse_move, 0, 0, 10, 11);
    EXPECT_TRUE(read_all().empty());
    put(raw_kind::button_down, 3);
    put(raw_kind::mouse_move, 0, 0, 12, 13);
    EXPECT_EQ(read_events(), (seen{{mouse, GRMOUSE_RB_PRESSED, 10, 11}, {move, GRMOUSE_RB_STATUS, 12, 13}}));
    put(raw_kind::button_up, 3);
    GrEventGenMmove(GR_GEN_MMOVE_ALWAYS);
    put(raw_kind::mouse_move, 0, 0, 1, 2);
    EXPECT_EQ(read_events(), (seen{{mouse, GRMOUSE_RB_RELEASED, 12, 13}, {move, 0, 1, 2}}));

    // Only a key or a left release ends the wait; the release reports where the pointer was.
    GrEventGenMmove(GR_GEN_MMOVE_NEVER);
    put(raw_kind::mouse_move, 0, 0, 5, 7);
    put(raw_kind::button_down, 1);
    put(raw_kind::button_down, 3);
    put(raw_kind::button_up, 3);
    put(raw_kind::wheel, 1);
    put(raw_kind::button_up, 1);
    put(raw_kind::character, 'k');
    put(raw_kind::character, 'k'); // a wait that missed the release does not hang the test
    GrEvent ev;
    GrEventWaitKeyOrClick(&ev);
    EXPECT_EQ(fields(ev), (std::array<int, 4>{mouse, GRMOUSE_LB_RELEASED, 5, 7}));
    GrEventWaitKeyOrClick(&ev);
    EXPECT_EQ(fields(ev), (std::array<int, 4>{GREV_KEY, 'k', 1, 0}));
}

GrEvent utf8_event(const char* bytes)
{
    GrEvent ev = event(GREV_KEY, 0, (int)std::strlen(bytes));
    std::memcpy(ev.cp1, bytes, std::strlen(bytes));
    return ev;
}

// iconv's answer, the reference: the code of one character in `to` (UCS-4LE: its code point), or '?' where
// either side lacks it.
int iconv_recode(int code, const char* from, const char* to)
{
    std::uint32_t in = (std::uint32_t)code, out = 0; // little endian: a one-byte code is the first byte
    char *ip = (char*)&in, *op = (char*)&out;
    std::size_t in_left = std::strcmp(from, "UCS-4LE") == 0 ? 4 : 1, out_left = std::strcmp(to, "UCS-4LE") == 0 ? 4 : 1;
    iconv_t cd = iconv_open(to, from);
    const bool ok = iconv(cd, &ip, &in_left, &op, &out_left) != (std::size_t)-1;
    iconv_close(cd);
    return ok ? (int)out : '?';
}

// Every upper-half character of each code page, and every code point among them, moves to each other encoding
// as iconv moves it.
TEST(Recode, CharactersMoveBetweenEncodingsAsIconvMovesThem)
{
    const std::pair<int, const char*> encodings[] = {{GRENC_CP437, "IBM437"},
                                                     {GRENC_CP850, "IBM850"},
                                                     {GRENC_CP1252, "CP1252"},
                                                     {GRENC_ISO_8859_1, "ISO-8859-1"},
                                                     {GRENC_UCS_2, "UCS-4LE"}};
    std::vector<int> upper_half, code_points{'q', 0x2591, 0x263A};
    for (int b = 0x80; b <= 0xFF; ++b) {
        upper_half.push_back(b);
        for (const auto& [enc, name] : encodings)
            code_points.push_back(iconv_recode(b, name, "UCS-4LE"));
    }
    int disagreements = 0;
    for (const auto& [from, from_name] : encodings) {
        for (int code : from == GRENC_UCS_2 ? code_points : upper_half) {
            for (const auto& [to, to_name] : encodings) {
                if (from == to || disagreements > 20)
                    continue;
                GrEvent ev = event(GREV_KEY, code, from == GRENC_UCS_2 ? 2 : 1);
                EXPECT_EQ(GrRecodeEvent(&ev, from, to), 1);
                const int want = iconv_recode(code, from_name, to_name);
                disagreements += ev.p1 != want ? 1 : 0;
                EXPECT_EQ(ev.p1, want) << from_name << " " << code << " to " << to_name;
            }
        }
    }
    GrEvent special = event(GREV_KEY, 0x13B, GRKEY_SPECIAL);
    EXPECT_EQ(GrRecodeEvent(&special, GRENC_CP437, GRENC_CP1252), 0);
    EXPECT_EQ(special.p1, 0x13B);
    GrEvent same = event(GREV_KEY, 0x82, 1);
    EXPECT_EQ(GrRecodeEvent(&same, GRENC_CP437, GRENC_CP437), 0);
}

TEST(Recode, Utf8AndUcs2Forms)
{
    const struct {
        const char* bytes;
        int to, p1;
    } from_utf8[] = {
        {"\xC3\xA9", GRENC_CP1252, 0xE9},
        {"\xE2\x96\x91", GRENC_CP850, 0xB0}, // light shade
        {"\xC3\x28", GRENC_CP850, '?'},      // second byte is no continuation
        {"\xC0\xAF", GRENC_CP850, '?'},      // overlong
    };
    for (const auto& [bytes, to, p1] : from_utf8) {
        GrEvent ev = utf8_event(bytes);
        EXPECT_EQ(GrRecodeEvent(&ev, GRENC_UTF_8, to), 1);
        EXPECT_TRUE(ev.p1 == p1 && ev.p2 == 1) << p1 << ": " << ev.p1 << ", " << ev.p2;
    }
    GrEvent euro = event(GREV_KEY, 0x80, 1);
    GrRecodeEvent(&euro, GRENC_CP1252, GRENC_UTF_8);
    EXPECT_EQ(std::string(euro.cp1, euro.p2), "\xE2\x82\xAC");
    GrEvent ucs = event(GREV_KEY, 0xE9, 1);
    GrRecodeEvent(&ucs, GRENC_ISO_8859_1, GRENC_UCS_2);
    EXPECT_TRUE(ucs.p1 == 0xE9 && ucs.p2 == 2) << ucs.p1 << ", " << ucs.p2;

    const std::vector<char32_t> text = twgr::input::utf8_decode("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF"
                                                                "b\xED\xA0\x80");
    EXPECT_EQ(text, (std::vector<char32_t>{U'a', 0xE9, 0x20AC, 0x1F600, U'b'}));
}

TEST_F(Events, KeyboardEncodingsComeFromTheEnvironment)
{
    setenv("TWGRKBSYSENCODING", "UTF_8", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_UTF_8);
    EXPECT_EQ(GrGetKbEncoding(), GRENC_ISO_8859_1);
    // A typed e acute arrives as UTF-8 and is handed out in ISO 8859-1.
    put(raw_kind::character, 0xE9);
    EXPECT_EQ(read_events(), (seen{{GREV_KEY, 0xE9, 1, 0}}));

    setenv("TWGRKBSYSENCODING", "CP437", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_CP437);
    ASSERT_EQ(GrSetKbEncoding(GRENC_CP1252), 1);
    EXPECT_EQ(GrSetKbEncoding(9), 0);
    put(raw_kind::character, 0xE9);
    put(raw_kind::character, 0x20AC); // not in CP437: typed as '?'
    EXPECT_EQ(read_events(), (seen{{GREV_KEY, 0xE9, 1, 0}, {GREV_KEY, '?', 1, 0}}));

    setenv("TWGRKBSYSENCODING", "EBCDIC", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_CP1252);
    EXPECT_EQ(GrGetKbEncoding(), GRENC_CP1252);
}

} // namespace
