// The time-text parser against a table of texts and the instants they name (worked out by hand from the
// calendar), and against texts that must fail at a known character; then the reader's time fields in zones.
#include "data/time_text.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "in_child.h"
#include <sys/wait.h>
#include <unistd.h>

#include "core/time_zone.h"
#include "data/time_fields.h"

namespace
{

constexpr std::int64_t second = 1000000;
constexpr std::int64_t day = 86400 * second;

TEST(TimeText, EveryFormReadsToItsInstant)
{
    const struct {
        const char* text;
        std::int64_t micros;
        bool zoned;
    } cases[] = {
        // dates alone, and the calendar's turns: the epoch, leap years by the four rules, the end of February
        {"1970-01-01", 0, false},
        {"1969-12-31", -day, false},
        {"2000-02-29", 951782400 * second, false}, // 2000 is a leap year (divisible by 400)
        {"2000-03-01", 951868800 * second, false},
        {"2024-02-29", 1709164800 * second, false}, // divisible by 4
        {"2024-03-01", 1709251200 * second, false},
        {"2023-02-28", 1677542400 * second, false}, // the end of February in a common year
        {"2023-03-01", 1677628800 * second, false},
        {"2100-03-01", 4107542400 * second, false}, // 2100 is no leap year: 1 March follows 28 February
        {"2100-02-28", 4107456000 * second, false},
        {"0000-01-01", -62167219200 * second, false},
        {"9999-12-31", 253402214400 * second, false},
        // clock times: T, t or one blank; minutes, seconds, fractions to microseconds
        {"2024-03-14T13:25", 1710422700 * second, false},
        {"2024-03-14 13:25:00", 1710422700 * second, false},
        {"2024-03-14t13:25:07", 1710422707 * second, false},
        {"2024-03-14T00:00:20.255Z", 1710374420 * second + 255000, true},
        {"2024-03-14T00:00:20.2Z", 1710374420 * second + 200000, true},
        {"2024-03-14T00:00:20.123456Z", 1710374420 * second + 123456, true},
        {"2024-03-14T00:00:20.1234569Z", 1710374420 * second + 123456, true}, // digits past the sixth dropped
        {"2024-03-14T00:00:20.000001", 1710374420 * second + 1, false},
        {"2016-12-31T23:59:60Z", 1483228800 * second, true}, // the leap second reads as the next minute's first
        // zones: Z, +hh:mm, +hhmm, +hh; offsets that carry the instant across midnight and the year's end
        {"2024-03-14T13:25:00z", 1710422700 * second, true},
        {"2024-03-14T13:25:00+01:00", 1710419100 * second, true},
        {"2024-03-14T13:25:00+0100", 1710419100 * second, true},
        {"2024-03-14T13:25:00+01", 1710419100 * second, true},
        {"2024-03-14T13:25:00-05:30", 1710442500 * second, true},
        {"2024-03-14T00:30:00+02:00", 1710369000 * second, true}, // 2024-03-13 22:30 UTC: the day before
        {"2024-03-13T22:30:00-02:00", 1710376200 * second, true}, // 2024-03-14 00:30 UTC: the day after
        {"2024-01-01T00:15:00+01:00", 1704064500 * second, true}, // 2023-12-31 23:15 UTC
        {"2024-02-29T23:00:00-03:00", 1709258400 * second, true}, // 2024-03-01 02:00 UTC, past the leap day
        {"2024-03-14Z", 1710374400 * second, true},
    };
    for (const auto& c : cases) {
        const time_text_result r = parse_time_text(c.text);
        EXPECT_TRUE(r.ok()) << c.text << " fails at " << r.error_at;
        EXPECT_EQ(r.micros, c.micros) << c.text;
        EXPECT_EQ(r.zoned, c.zoned) << c.text;
    }
}

TEST(TimeText, MalformedTextFailsWhereItGoesWrong)
{
    const struct {
        const char* text;
        std::size_t error_at;
    } cases[] = {
        {"", 0},
        {"2024", 4},
        {"2024-3-14", 6},
        {"2024-13-01", 5}, // no month 13
        {"2024-00-10", 5},
        {"2023-02-29", 8}, // no leap day in 2023
        {"1900-02-29", 8}, // nor in 1900
        {"2024-04-31", 8}, // April has 30 days
        {"2024-03-00", 8},
        {"2024-03-14T", 11},
        {"2024-03-14T24:00", 11}, // the day has no hour 24
        {"2024-03-14T13:60", 14},
        {"2024-03-14T13:25:61", 17},
        {"2024-03-14T13:25:00.", 20},  // a point needs a digit
        {"2024-03-14T13:25:00,5", 19}, // the comma separates fields in CSV: not a decimal sign here
        {"2024-03-14T1325", 13},
        {"2024-03-14T13:25:00+1", 21},
        {"2024-03-14T13:25:00+01:0", 24},
        {"2024-03-14T13:25:00+24:00", 20},
        {"2024-03-14T13:25:00+01:60", 23},
        {"2024-03-14T13:25:00 Z", 19},
        {"2024-03-14T13:25:00Zx", 20},
        {"2024-03-14  13:25", 11}, // one blank only
        {"12024-03-14", 4},
        {"-2024-03-14", 0},
    };
    for (const auto& c : cases) {
        const time_text_result r = parse_time_text(c.text);
        EXPECT_EQ(r.error_at, c.error_at) << '"' << c.text << '"';
    }
    EXPECT_TRUE(starts_as_date("2024-"));
    EXPECT_FALSE(starts_as_date("2024"));
    EXPECT_FALSE(starts_as_date("1710374420"));
}

// Every prefix and every one-character change of a valid text is read or refused without reading past its end
// (the sanitizer build watches), and a refusal points inside the text.
TEST(TimeText, TruncationsAndChangesAreReadOrRefusedInside)
{
    const std::string valid = "2024-02-29T23:59:59.999999+14:00";
    for (std::size_t n = 0; n <= valid.size(); ++n) {
        const std::string cut = valid.substr(0, n);
        const time_text_result r = parse_time_text(std::string_view(cut.data(), n));
        EXPECT_TRUE(r.ok() || r.error_at <= n) << cut;
    }
    for (std::size_t i = 0; i < valid.size(); ++i)
        for (int c = 0; c < 256; ++c) {
            std::string changed = valid;
            changed[i] = static_cast<char>(c);
            const time_text_result r = parse_time_text(changed);
            ASSERT_TRUE(r.ok() || r.error_at <= valid.size()) << "position " << i << " char " << c;
        }
}

using test_support::in_child;

double read_in(const time_zone_in_use& zone, const char* text)
{
    time_columns c;
    c.x = 1;
    c.zone = &zone;
    time_field_reader reader(c);
    double seconds = 0;
    std::size_t error_at = 0;
    return reader.read_text(text, seconds, error_at) ? seconds : -1;
}

// Zone-less text is read in the named zone, also on both sides of its changes to and from summer time; text
// with a zone keeps its own; and the zone is gone again when the object is.
TEST(TimeText, ZoneLessTextIsInTheNamedZoneAcrossSummerTime)
{
    in_child([] {
        bool ok = true;
        {
            const time_zone_in_use oslo("Europe/Oslo");
            ok = ok && read_in(oslo, "2024-03-31T01:30") == 1711845000; // 00:30 UTC, winter time
            ok = ok && read_in(oslo, "2024-03-31T03:30") == 1711848600; // 01:30 UTC, summer time
            ok = ok && read_in(oslo, "2024-10-27T01:30") == 1729985400; // 23:30 UTC the day before
            ok = ok && read_in(oslo, "2024-10-27T03:30") == 1729996200; // 02:30 UTC, winter time again
            ok = ok && read_in(oslo, "2024-10-27T02:30") == 1729989000; // shown twice: the earlier, 00:30 UTC
            ok = ok && read_in(oslo, "2024-10-27T03:30Z") == 1729999800;
            ok = ok && oslo.offset_at(1711845000) == 3600 && oslo.offset_at(1711848600) == 7200;
        }
        {
            const time_zone_in_use new_york("America/New_York");
            ok = ok && read_in(new_york, "2024-03-10T00:00") == 1710046800; // 05:00 UTC
            ok = ok && read_in(new_york, "2024-03-11T00:00") == 1710129600; // 04:00 UTC: a day of 23 hours
        }
        return ok && std::getenv("TZ") == nullptr;
    });
}

TEST(TimeText, OnlyZonesOfTheDatabaseAreKnown)
{
    EXPECT_TRUE(is_known_time_zone("UTC"));
    EXPECT_TRUE(is_known_time_zone("local"));
    EXPECT_TRUE(is_known_time_zone("Europe/Oslo"));
    EXPECT_FALSE(is_known_time_zone("Europe/Nowhere"));
    EXPECT_FALSE(is_known_time_zone("../../etc/passwd"));
    EXPECT_FALSE(is_known_time_zone("/etc/localtime"));
    EXPECT_FALSE(is_known_time_zone("Europe"));   // a folder, not a zone
    EXPECT_FALSE(is_known_time_zone("zone.tab")); // a file of the database that is no zone
}

} // namespace
