// Keyboard encodings: names, the encodings taken from the environment, and recoding of key events, checked
// against characters of the published code pages.
#include "sdl2_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

GrEvent char_event(int p1, int p2 = GRKEY_CHARACTER)
{
    GrEvent ev{};
    ev.type = GREV_KEY;
    ev.p1 = p1;
    ev.p2 = p2;
    return ev;
}

GrEvent utf8_event(const char* bytes)
{
    GrEvent ev{};
    ev.type = GREV_KEY;
    std::size_t n = std::strlen(bytes);
    std::memcpy(ev.cp1, bytes, n);
    ev.p2 = (int)n;
    return ev;
}

TEST(Recode, EncodingNamesAndNumbers)
{
    const char* names[] = {"CP437", "CP850", "CP1252", "ISO_8859_1", "UTF_8", "UCS_2"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(GrStrEncoding(i), names[i]);
        EXPECT_EQ(GrFindEncoding(names[i]), i);
    }
    EXPECT_STREQ(GrStrEncoding(6), "UNKNOW");
    EXPECT_STREQ(GrStrEncoding(-1), "UNKNOW");
    EXPECT_EQ(GrFindEncoding("utf_8"), 4);
    EXPECT_EQ(GrFindEncoding("KOI8"), -1);
    EXPECT_EQ(GrFindEncoding(nullptr), -1);
}

TEST(Recode, CharactersMoveBetweenCodePages)
{
    struct pair {
        int from, p1, to, want;
    };
    const pair cases[] = {
        {GRENC_CP437, 0x82, GRENC_CP1252, 0xE9},     // e acute
        {GRENC_CP1252, 0xE9, GRENC_CP850, 0x82},     //
        {GRENC_CP850, 0x9B, GRENC_CP1252, 0xF8},     // o slash
        {GRENC_CP437, 0x9B, GRENC_ISO_8859_1, 0xA2}, // cent
        {GRENC_CP437, 0xE1, GRENC_CP850, 0xE1},      // sharp s
        {GRENC_CP1252, 0x80, GRENC_UCS_2, 0x20AC},   // euro
        {GRENC_CP1252, 0x9F, GRENC_UCS_2, 0x0178},   // Y diaeresis
        {GRENC_CP1252, 0x80, GRENC_CP437, '?'},      // no euro in CP437
        {GRENC_CP1252, 0x81, GRENC_CP437, '?'},      // unassigned in CP1252
        {GRENC_ISO_8859_1, 0x85, GRENC_CP1252, '?'}, // a C1 control has no CP1252 code
        {GRENC_UCS_2, 0x2591, GRENC_CP437, 0xB0},    // light shade
        {GRENC_UCS_2, 0x2591, GRENC_CP1252, '?'},    //
        {GRENC_CP437, 'q', GRENC_CP850, 'q'},        //
        {GRENC_ISO_8859_1, 0xFF, GRENC_CP437, 0x98}, // y diaeresis
    };
    for (const pair& c : cases) {
        GrEvent ev = char_event(c.p1, c.from == GRENC_UCS_2 ? 2 : 1);
        EXPECT_EQ(GrRecodeEvent(&ev, c.from, c.to), 1);
        EXPECT_EQ(ev.p1, c.want) << GrStrEncoding(c.from) << " " << c.p1 << " to " << GrStrEncoding(c.to);
    }
    GrEvent special = char_event(0x13B, GRKEY_SPECIAL);
    EXPECT_EQ(GrRecodeEvent(&special, GRENC_CP437, GRENC_CP1252), 0);
    EXPECT_EQ(special.p1, 0x13B);
    GrEvent same = char_event(0x82);
    EXPECT_EQ(GrRecodeEvent(&same, GRENC_CP437, GRENC_CP437), 0);
}

TEST(Recode, Utf8AndUcs2Forms)
{
    GrEvent e = utf8_event("\xC3\xA9");
    ASSERT_EQ(GrRecodeEvent(&e, GRENC_UTF_8, GRENC_CP1252), 1);
    EXPECT_EQ(e.p1, 0xE9);
    EXPECT_EQ(e.p2, 1);
    GrEvent shade = utf8_event("\xE2\x96\x91");
    GrRecodeEvent(&shade, GRENC_UTF_8, GRENC_CP850);
    EXPECT_EQ(shade.p1, 0xB0);
    GrEvent bad = utf8_event("\xC3\x28"); // second byte is no continuation
    GrRecodeEvent(&bad, GRENC_UTF_8, GRENC_CP1252);
    EXPECT_EQ(bad.p1, '?');
    GrEvent overlong = utf8_event("\xC0\xAF");
    GrRecodeEvent(&overlong, GRENC_UTF_8, GRENC_CP1252);
    EXPECT_EQ(overlong.p1, '?');
    GrEvent euro = char_event(0x80);
    GrRecodeEvent(&euro, GRENC_CP1252, GRENC_UTF_8);
    EXPECT_EQ(euro.p2, 3);
    EXPECT_EQ(std::memcmp(euro.cp1, "\xE2\x82\xAC", 3), 0);
    GrEvent ucs = char_event(0xE9);
    GrRecodeEvent(&ucs, GRENC_ISO_8859_1, GRENC_UCS_2);
    EXPECT_EQ(ucs.p1, 0xE9);
    EXPECT_EQ(ucs.p2, 2);

    std::vector<char32_t> text = twgr::input::utf8_decode("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF"
                                                          "b\xED\xA0\x80");
    EXPECT_EQ(text, (std::vector<char32_t>{U'a', 0xE9, 0x20AC, 0x1F600, U'b'}));
}

// Both DOS code pages give every upper byte its own character, so a trip through UCS-2 comes back.
TEST(Recode, DosCodePagesRoundTrip)
{
    for (int enc : {GRENC_CP437, GRENC_CP850, GRENC_ISO_8859_1}) {
        for (int b = 0x80; b <= 0xFF; ++b) {
            GrEvent ev = char_event(b);
            GrRecodeEvent(&ev, enc, GRENC_UCS_2);
            ASSERT_NE(ev.p1, '?') << GrStrEncoding(enc) << " " << b;
            GrRecodeEvent(&ev, GRENC_UCS_2, enc);
            EXPECT_EQ(ev.p1, b) << GrStrEncoding(enc);
        }
    }
}

TEST(Recode, EncodingsComeFromTheEnvironment)
{
    setenv("TWGRKBSYSENCODING", "UTF_8", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_UTF_8);
    EXPECT_EQ(GrGetKbEncoding(), GRENC_ISO_8859_1);
    // A typed e acute arrives as UTF-8 and is handed out in ISO 8859-1.
    twgr::input::raw_record r;
    r.kind = twgr::input::raw_kind::character;
    r.code = 0xE9;
    twgr::input::ring_put(r);
    GrEvent ev;
    GrEventRead(&ev);
    EXPECT_EQ(ev.type, GREV_KEY);
    EXPECT_EQ(ev.p1, 0xE9);
    EXPECT_EQ(ev.p2, 1);

    setenv("TWGRKBSYSENCODING", "CP437", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_CP437);
    ASSERT_EQ(GrSetKbEncoding(GRENC_CP1252), 1);
    EXPECT_EQ(GrSetKbEncoding(9), 0);
    r.code = 0xE9;
    twgr::input::ring_put(r);
    r.code = 0x20AC; // not in CP437: typed as '?'
    twgr::input::ring_put(r);
    GrEventRead(&ev);
    EXPECT_EQ(ev.p1, 0xE9);
    GrEventRead(&ev);
    EXPECT_EQ(ev.p1, '?');

    setenv("TWGRKBSYSENCODING", "EBCDIC", 1);
    GrEventInit();
    EXPECT_EQ(GrGetKbSysEncoding(), GRENC_CP1252);
    EXPECT_EQ(GrGetKbEncoding(), GRENC_CP1252);
    unsetenv("TWGRKBSYSENCODING");
    GrEventInit();
    GrEventUnInit();
}

} // namespace
