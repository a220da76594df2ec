// Expressions over a data row: values, precedence, missing values and domain errors, header names, and the place
// and reason of every kind of malformed text.
#include "data/expression.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace
{

// The value of text for the row 1..6 in columns 1..6 (column 6 holds 0, for divisions).
double value_of(const std::string& text)
{
    static const double row[] = {1, 2, 3, 4, 5, 0};
    expression e;
    expr_error error;
    EXPECT_TRUE(e.compile(text, error)) << text << ": " << error.what;
    return e.evaluate(row);
}

TEST(Expression, ValuesFollowPrecedenceAndTheFunctions)
{
    const std::pair<const char*, double> cases[] = {
        {"$2/1000", 0.002},
        {"1 + 2 * 3", 7},
        {"(1 + 2) * 3", 9},
        {"-2^2", -4},
        {"2^3^2", 512},
        {"10 - 4 - 3", 3},
        {"$5 % $3", 2},
        {"-$2 * -$3", 6},
        {"$3 > 2 && $1", 1},
        {"$3 > 5 || !$6", 1},
        {"$1 == 1 && $2 != 2", 0},
        {"3 && 7", 1},
        {"$2 <= 2 + 0 * 1", 1},
        {"$1 >= $2", 0},
        {"abs(-$3)", 3},
        {"sqrt($4)", 2},
        {"exp(0)", 1},
        {"log(1)", 0},
        {"log10(1000)", 3},
        {"sin(0) + cos(0)", 1},
        {"floor(2.5)", 2},
        {"ceil(2.5)", 3},
        {"min($5, $1, $3)", 1},
        {"max($5, $1, 9)", 9},
        {"atan2(0, 1)", 0},
        {".5e1 + 1.5E-1", 5.15},
        {"+$4", 4},
        {"!($2 > 5)", 1},
        {"$6 != 0 && 1/$6 > 2", 0},
        {"$6 == 0 || 1/$6", 1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(value_of(text), expected) << text;
}

TEST(Expression, MissingValuesAndDomainErrorsGiveNoValue)
{
    for (const char* text : {"$1/$6", "$1 % $6", "sqrt(-$1)", "log($6)", "log10(-1)", "exp(1000)", "10^400",
                             "($1/$6 > 2) * 0", "min(log($6), 1)"})
        EXPECT_TRUE(std::isnan(value_of(text))) << text;
    expression e;
    expr_error error;
    ASSERT_TRUE(e.compile("$2 > 0", error));
    const double missing[] = {1, NAN};
    EXPECT_TRUE(std::isnan(e.evaluate(missing)));
    const double infinite[] = {1, INFINITY};
    EXPECT_TRUE(std::isnan(e.evaluate(infinite)));
}

TEST(Expression, NamesAreFoundPerFile)
{
    expression e;
    expr_error error;
    ASSERT_TRUE(e.compile("bytes / ${latency ms} + bytes + $1", error));
    EXPECT_EQ(e.names(), (std::vector<std::string>{"bytes", "latency ms"}));
    EXPECT_FALSE(e.is_one_column());
    EXPECT_EQ(e.last_column(), 1u);
    e.set_name_column(0, 3);
    e.set_name_column(1, 2);
    EXPECT_EQ(e.columns(), (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_EQ(e.last_column(), 3u);
    const double row[] = {1, 4, 8};
    EXPECT_DOUBLE_EQ(e.evaluate(row), 11);
    ASSERT_TRUE(e.compile(" ${2nd level} ", error));
    EXPECT_TRUE(e.is_one_column());
    EXPECT_EQ(e.text(), " ${2nd level} ");
}

TEST(Expression, MalformedTextIsPlacedAndExplained)
{
    struct bad {
        std::string text;
        std::size_t at;
        const char* what;
    };
    const bad cases[] = {
        {"", 0, "the expression is empty"},
        {"  ", 2, "the expression is empty"},
        {"$2 /", 4, "a value is missing at the end"},
        {"$2 * * 3", 5, "a value is missing here"},
        {"($2 + 1", 0, "this parenthesis is not closed"},
        {"$2 + 1)", 6, "this parenthesis closes none"},
        {"$2 $3", 3, "an operator is missing before this"},
        {"$0", 0, "columns are counted from 1"},
        {"$x", 0, "$ comes before a column number ($2) or a name in braces (${name})"},
        {"$99999999", 0, "this column number is too large"},
        {"${a", 0, "this ${ has no closing }"},
        {"${}", 0, "the name in ${} is empty"},
        {"2nd_level", 1, "a name starting with a digit is written ${...}"},
        {"1.2.3", 0, "this is no number"},
        {"1e999", 0, "this number is out of range"},
        {"$2 = 3", 3, "a comparison for equality is written =="},
        {"foo($2)", 0, "there is no function foo (abs sqrt exp log log10 sin cos atan2 min max floor ceil)"},
        {"sqrt($1, $2)", 0, "sqrt takes one value"},
        {"atan2($1)", 0, "atan2 takes two values"},
        {"min($1)", 0, "min takes two or more values"},
        {"max($1 $2)", 7, "a comma or closing parenthesis is missing here"},
        {"log(", 4, "a value is missing at the end"},
        {"$1 & $2", 3, "an operator is missing before this"},
        {std::string(80, '(') + "1" + std::string(80, ')'), 32, "the expression is nested too deeply"},
        {std::string(1001, '1'), 1000, "the expression is 1001 bytes long, more than the 1000 it may be"},
    };
    for (const bad& b : cases) {
        expression e;
        expr_error error;
        EXPECT_FALSE(e.compile(b.text, error)) << b.text;
        EXPECT_EQ(error.what, b.what) << b.text;
        EXPECT_EQ(error.at, b.at) << b.text;
        EXPECT_TRUE(e.empty());
    }
    // A long chain of one operator needs no nesting, only two places on the stack.
    std::string chain = "$1";
    for (int k = 0; k < 300; ++k)
        chain += "+1";
    EXPECT_DOUBLE_EQ(value_of(chain), 301);
    // Powers nest to the right and hold every base on the stack until the last.
    expression e;
    expr_error error;
    std::string powers = "2";
    for (int k = 0; k < 70; ++k)
        powers += "^1";
    EXPECT_FALSE(e.compile(powers, error));
}

TEST(Expression, ErrorTextPointsAtTheCharacter)
{
    // The plain form is the case columns/expression_error. UTF-8 letters take one column each; control characters are
    // shown as '?'.
    EXPECT_EQ(expression_error_text("--where", "\xC3\xA9\t+", {"a value is missing here", 3}),
              "--where=\xC3\xA9\t+: a value is missing here\n  \xC3\xA9?+\n    ^\n");
}

} // namespace
