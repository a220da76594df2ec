// Option value parsers: accepted forms, clamping and the exact failure reports.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "cli/value_parsers.h"
#include "core/messages.h"
#include "core/settings.h"

namespace
{

using testing::ExitedWithCode;

class ValueParsers : public testing::Test
{
protected:
    void SetUp() override
    {
        reset_settings();
        error_func = error;
    }
    void TearDown() override { error_func = error; }
};

// The reports that end a run, and their softened forms, are case files (tests/cases/cli/value_*).
TEST_F(ValueParsers, RgbTakesThreeComponentsFrom0To255)
{
    const RGB white = get_rgb("255,255,255");
    EXPECT_TRUE(white.r == 255 && white.g == 255 && white.b == 255);
    const RGB c = get_rgb("1, 2, 3 and more");
    EXPECT_TRUE(c.r == 1 && c.g == 2 && c.b == 3) << "blanks after commas and trailing text are fine";
    // Values beyond 255 are refused however large, instead of wrapping round to a small value.
    for (const auto& [value, report] : {std::pair{"", "not -1\n"},
                                        {"1 ,2,3", "not 1\n"},
                                        {"-1,0,0", "\\(r=-1, "},
                                        {"4294967296,0,0", "\\(r=4294967296, "},
                                        {"256,0,0", "\\(r=256, "}})
        EXPECT_EXIT(get_rgb(value), ExitedWithCode(1), report) << value;
}

TEST_F(ValueParsers, NumbersAndColumnsReadTheirForms)
{
    EXPECT_EQ(get_int("0x10"), 0);
    EXPECT_EQ(get_int("12px"), 12);
    EXPECT_EQ(get_int("  -7"), -7);
    EXPECT_EQ(get_long("2147483647"), 2147483647L);
    testing::internal::CaptureStderr();
    EXPECT_EQ(get_long("99999999999"), 2147483647L);
    EXPECT_EQ(get_long("-99999999999"), -2147483647L - 1);
    EXPECT_TRUE(std::isinf(get_double("1e999")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "strtol: Numerical result out of range\n"
                                                      "strtol: Numerical result out of range\n"
                                                      "strtod: Numerical result out of range\n");
    EXPECT_DOUBLE_EQ(get_double("2.5e1x"), 25.0);
    EXPECT_DOUBLE_EQ(get_double("0x1p4"), 16.0);
    EXPECT_EQ(get_column("3abc"), 3u);
    // Only a value of digits alone is a column number for the column options; anything else is a header name.
    const std::pair<const char*, bool> names[] = {{"time", true}, {"x", true},         {"-level", true}, {" t", true},
                                                  {"3abc", true}, {"2nd_level", true}, {"1e3", true},    {" 7", true},
                                                  {"-2", true},   {"+1", true},        {"12", false},    {"007", false},
                                                  {"", false},    {"  ", true}};
    for (const auto& [text, name] : names)
        EXPECT_EQ(is_column_name(text), name) << '"' << text << '"';
    EXPECT_EXIT(get_column("0"), ExitedWithCode(1), "^\nError: can't select columns before first column \\(0\\)\\.\n$");
    EXPECT_EXIT(get_column("x"), ExitedWithCode(1), "^\nError: No digits found \\(x\\)\n$");
    EXPECT_EXIT(get_column("99999999999"), ExitedWithCode(1), "^strtol: Numerical result out of range\n$");

    // Under --error-as-warning the reports only warn, and the value read goes through.
    error_func = warning;
    testing::internal::CaptureStderr();
    EXPECT_EQ(get_column("x"), 0u);
    EXPECT_EQ(get_column("-2"), static_cast<unsigned>(-2));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nWarning: No digits found (x)\n"
                                                      "\nWarning: can't select columns before first column (0).\n"
                                                      "\nWarning: can't select columns before first column (-2).\n");
}

// --last: a row count of digits alone, or a positive span with its unit; nothing else.
TEST_F(ValueParsers, LastTakesARowCountOrATimeSpan)
{
    const std::pair<const char*, last_rows_choice> accepted[] = {
        {"1", {1, 0}},       {"500", {500, 0}},   {"50000000", {50000000, 0}}, {"90s", {0, 90}},
        {"10min", {0, 600}}, {"1.5h", {0, 5400}}, {"2d", {0, 172800}},         {".5s", {0, 0.5}},
    };
    for (const auto& [text, want] : accepted) {
        const auto got = parse_last_rows(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(got->rows, want.rows) << text;
        EXPECT_EQ(got->span, want.span) << text;
    }
    for (const char* text : {"",      "0",      "50000001", "99999999999999999999999",
                             "-5",    "+5",     " 5",       "5 ",
                             "10m",   "10 min", "0s",       "-1s",
                             "0x10s", "infs",   "nans",     "1e999s",
                             "s",     "min",    "5ms",      "1e3"})
        EXPECT_FALSE(parse_last_rows(text).has_value()) << '"' << text << '"';
}

} // namespace
