// The one-pass number scanner against literal string-stream reads, hand-picked lines first, then many random
// and adversarial ones; and the delimited reader's numbers against the scanner's, bit for bit.
#include "data/number_scan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/data_reader.h"
#include "data/delimited.h"
#include "stream_reference.h"

namespace
{

constexpr double max_double = std::numeric_limits<double>::max();

std::uint64_t bits(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}

// Checks count_columns, count_values and every column from 0 to a few past the line's numbers against the stream.
void expect_same_as_stream(const std::string& line)
{
    SCOPED_TRACE(testing::PrintToString(line));
    ASSERT_EQ(count_columns(line), stream_reference::count_columns(line));
    ASSERT_EQ(count_values(line), stream_reference::count_values(line));
    column_scan scan;
    const std::uint32_t last = static_cast<std::uint32_t>(stream_reference::count_values(line)) + 3;
    scan.scan(line, last);
    for (std::uint32_t col = 0; col <= last; ++col) {
        SCOPED_TRACE(col);
        const auto expected = stream_reference::value_at_col(line, col);
        if (!expected.reached) {
            ASSERT_THROW(get_value_at_col(line, col), too_few_columns_exception);
            ASSERT_FALSE(scan.reached(col));
            ASSERT_EQ(scan.attempts(), expected.attempts);
            ASSERT_EQ(bits(scan.last()), bits(expected.value));
            continue;
        }
        ASSERT_EQ(bits(get_value_at_col(line, col)), bits(expected.value));
        if (col > 0) {
            ASSERT_EQ(bits(scan.value(col)), bits(expected.value));
        }
    }
}

// The numbers of a row read between commas (padded with blanks) bit for bit as the whitespace reader reads them.
void expect_same_between_commas(std::string row)
{
    column_scan plain;
    plain.scan(row, 4);
    std::replace(row.begin(), row.end(), ' ', ',');
    field_scan fields;
    fields.scan(" " + row, ',', 4);
    for (std::uint32_t col = 1; col <= 4; ++col) {
        ASSERT_TRUE(plain.reached(col)) << row;
        // A number too large for a double ends the whitespace reader's line at the largest double; between
        // commas it is a word.
        if (fields.kind(col) != field_kind::number) {
            ASSERT_TRUE(fields.kind(col) == field_kind::text && std::abs(plain.value(col)) == max_double) << row;
            return;
        }
        ASSERT_EQ(bits(fields.value(col)), bits(plain.value(col))) << row;
    }
}

// Splits a list written as one literal at '|' (the literal may hold null characters).
std::vector<std::string> split_at_bars(const std::string& list)
{
    std::vector<std::string> parts(1);
    for (char c : list) {
        if (c == '|')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The stream is the rule, also where it departs from what one might expect: "1,5" reads as 1, "1 abc" has a
// second column of 0 but no third, "-1e999" is the largest finite negative and stops the line, inf and hex are
// words. Its one exception: the tokens NaN, NA, nan, null and a lone - are missing values (NaN) that do not stop
// the line.
TEST(NumberScan, EdgesOfTheNumberSyntaxMatchTheStream)
{
    using namespace std::string_literals;
    const auto lines =
        split_at_bars("1 2 3|1 2|12abc|1,5 7|inf 1|0x10 1|1 1e999 5||  \t |1e|1e+|1e-|1e 2|1e+ 2|1E5 2|"
                      "1.e3|.5|.|-|+|+-1|-.5e-3|+.e5 3|5.5.5 1|1e5e5|1e+-5|00012 3|-0 1|+0.0e0 2|1 2 |"
                      "1 2\t|1 2\r|1\r2|1\v2\f3|1.7976931348623157e308 1|1.7976931348623159e308 1|"
                      "4.9e-324 2.4e-324 1e-400 -1e-400|123456789012345678901234567890 1|"
                      "0.000000000000000000000000000000000000001e-300|1e99999999999999999999 2|"
                      "1e-99999999999999999999 2|1 \0 2|1\0002|\x80\xff 1|1 2 3 4 5 6|   7|7   |#1 2|"
                      "- 1|e5 1|1 e5|-1e999 5|1 abc 3|1 NaN 3|NA 2 3|1 null|1 - 2|1 -x 2|NaNa 1|1 nan\t2 |null|"
                      "1 NA  NA 4"s);
    for (const std::string& line : lines)
        expect_same_as_stream(line);
    expect_same_between_commas("+7. .5e+3 1E5 -0 ");
    expect_same_between_commas("1e-320 4.9406564584124654e-324 0.30000000000000004 -1e999 ");
}

// Lines built from pieces that stress the number syntax and the separators.
std::string random_line(std::mt19937_64& rng)
{
    using namespace std::string_literals;
    static const auto pieces =
        split_at_bars("0|1|7|9|12|000|.|+|-|e|E|e+|e-| | | |\t|\r|\v|\f|a|x|,|#|nan|inf|0x1f|\0|"
                      "NaN|NA|null|\x80|\xff|1e308|1e309|1e-320|1e-400|99999999999999999999|3.14159|"
                      "-2.5e-7|123456789e-20|4.9406564584124654e-324"s);
    std::uniform_int_distribution<std::size_t> count(0, 14);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string line;
    for (std::size_t n = count(rng); n > 0; --n)
        line += pieces[pick(rng)];
    return line;
}

// Plain numbers of up to 20 digits on either side of the point and random exponents: they must round exactly as
// the stream rounds them.
std::string random_number_row(std::mt19937_64& rng)
{
    std::uniform_int_distribution<int> exponent(-330, 330);
    std::string line;
    for (int column = 0; column < 4; ++column) {
        line.append(rng() % 4 ? "" : "-").append(std::to_string(rng() >> rng() % 64));
        line.append(rng() % 4 ? "" : ".").append(std::to_string(rng() >> rng() % 64));
        if (rng() % 4)
            line.append("e").append(std::to_string(exponent(rng)));
        line.append(" ");
    }
    return line;
}

TEST(NumberScan, RandomLinesMatchTheStream)
{
    std::mt19937_64 rng(20261206);
    for (int n = 0; n < 20000; ++n) {
        expect_same_as_stream(random_line(rng));
        const std::string row = random_number_row(rng);
        expect_same_as_stream(row);
        expect_same_between_commas(row);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
