// Expressions over the columns of one data row ("$2/1000", "sqrt(bytes)", "status == 500 && ms > 0"), compiled
// once into a short program for a value stack, before any file is read, and run for every row without looking at
// the text again. The text is untrusted: its length and nesting are bounded, and every failure is a position.
#ifndef TREMWIL_EXPRESSION_H
#define TREMWIL_EXPRESSION_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class expr_op : std::uint8_t {
    constant, // pushes value
    column,   // pushes the value of column `column` (from 1)
    // and_jump: a 0 on top stays and the run goes on at step `jump`; anything else is taken off. or_jump: the
    // same with a non-zero top, which becomes 1. Then the right operand and to_bool follow.
    and_jump,
    or_jump,
    to_bool,
    negate,
    logical_not,
    add,
    subtract,
    multiply,
    divide,
    modulo,
    power,
    less,
    less_equal,
    greater,
    greater_equal,
    equal,
    not_equal,
    abs,
    sqrt,
    exp,
    log,
    log10,
    sin,
    cos,
    floor,
    ceil,
    atan2,
    min,
    max,
};

struct expr_step {
    expr_op op = expr_op::constant;
    std::uint32_t column = 0; // column: 0 until the name below is found in a header
    std::uint32_t jump = 0;   // and_jump, or_jump: the step to go on at
    std::uint32_t name = 0;   // column: 1 + index of its header name in names(); 0 for "$N"
    double value = 0;         // constant
};

// Where and why a text is no expression: at is a byte offset into the text.
struct expr_error {
    std::string what;
    std::size_t at = 0;
};

class expression
{
public:
    // Bounds that keep a hostile text from taking time or stack: bytes of text, nesting of parentheses, calls and
    // signs, and values waiting on the stack at once.
    static constexpr std::size_t max_length = 1000;
    static constexpr int max_nesting = 64;
    static constexpr std::size_t max_stack = 64;
    static constexpr std::uint32_t max_column = 1'000'000;

    // An empty expression: no option gave one.
    expression() = default;

    // Compiles text; false with error set when it is no expression.
    bool compile(std::string_view text, expr_error& error);

    bool empty() const { return steps_.empty(); }
    const std::string& text() const { return text_; }
    // The header names the expression reads, each once, in the order they first appear.
    const std::vector<std::string>& names() const { return names_; }
    // Gives name number k of names() its column in the file now read.
    void set_name_column(std::size_t k, std::uint32_t column);
    // True when the whole expression is one column: "$3" or a name.
    bool is_one_column() const { return steps_.size() == 1 && steps_[0].op == expr_op::column; }
    // The columns read, each once, ascending (names as last found); and the largest of them (0 for none).
    std::vector<std::uint32_t> columns() const;
    std::uint32_t last_column() const { return last_column_; }

    // The value for a row whose column c holds values[c - 1] (every column up to last_column() must be there).
    // A column value that is not finite, a division by zero or a result out of a function's domain make the
    // value NaN: the row has no value.
    double evaluate(const double* values) const;

private:
    std::string text_;
    std::vector<expr_step> steps_;
    std::vector<std::string> names_;
    std::uint32_t last_column_ = 0;

    void find_last_column();
};

// The report of a text that is no expression, for the option that gave it: the reason, then the text and a caret
// under the byte it points at, e.g. "--y=$2 /: a value is missing at the end\n  $2 /\n      ^\n".
std::string expression_error_text(std::string_view option, std::string_view text, const expr_error& error);

#endif // TREMWIL_EXPRESSION_H
