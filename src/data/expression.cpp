// Expressions over a data row: a recursive-descent parser that emits a stack program as it goes, and the loop that
// runs the program. Precedence, lowest first: ||, &&, comparisons, + -, * / %, signs and !, ^ (right to left).
#include "data/expression.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace
{

struct function_entry {
    std::string_view name;
    expr_op op;
    int arguments; // -1: two or more
};

constexpr function_entry functions[] = {
    {"abs", expr_op::abs, 1},     {"sqrt", expr_op::sqrt, 1},   {"exp", expr_op::exp, 1},  {"log", expr_op::log, 1},
    {"log10", expr_op::log10, 1}, {"sin", expr_op::sin, 1},     {"cos", expr_op::cos, 1},  {"floor", expr_op::floor, 1},
    {"ceil", expr_op::ceil, 1},   {"atan2", expr_op::atan2, 2}, {"min", expr_op::min, -1}, {"max", expr_op::max, -1},
};

struct binary_entry {
    std::string_view token;
    expr_op op;
};

constexpr binary_entry comparisons[] = {
    {"<=", expr_op::less_equal}, {">=", expr_op::greater_equal}, {"==", expr_op::equal},
    {"!=", expr_op::not_equal},  {"<", expr_op::less},           {">", expr_op::greater},
};
constexpr binary_entry sums[] = {{"+", expr_op::add}, {"-", expr_op::subtract}};
constexpr binary_entry products[] = {{"*", expr_op::multiply}, {"/", expr_op::divide}, {"%", expr_op::modulo}};

bool is_name_start(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

bool is_name_char(char c)
{
    return is_name_start(c) || is_digit(c) || c == '.';
}

// Thrown inside the parser only; compile turns it into its result.
struct parse_failure {
    expr_error error;
};

class parser
{
public:
    parser(std::string_view text, std::vector<expr_step>& steps, std::vector<std::string>& names)
        : text_(text), steps_(steps), names_(names)
    {
    }

    void parse_whole()
    {
        skip_blanks();
        if (pos_ == text_.size())
            fail("the expression is empty");
        parse_or();
        skip_blanks();
        if (pos_ != text_.size())
            fail(text_[pos_] == ')' ? "this parenthesis closes none" : "an operator is missing before this");
    }

private:
    std::string_view text_;
    std::vector<expr_step>& steps_;
    std::vector<std::string>& names_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
    std::size_t stack_ = 0; // values the program has on its stack at this step

    [[noreturn]] void fail(std::string what) { fail_at(pos_, std::move(what)); }
    [[noreturn]] void fail_at(std::size_t at, std::string what) { throw parse_failure{{std::move(what), at}}; }

    void skip_blanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }

    bool take(std::string_view token)
    {
        skip_blanks();
        if (text_.substr(pos_, token.size()) != token)
            return false;
        pos_ += token.size();
        return true;
    }

    // Steps that push take one more place on the stack, operators of n operands give back n - 1.
    void emit(expr_step step, int pushed)
    {
        stack_ = static_cast<std::size_t>(static_cast<long>(stack_) + pushed);
        if (stack_ > expression::max_stack)
            fail("the expression holds too many values at once");
        steps_.push_back(step);
    }

    void emit_op(expr_op op, int operands) { emit({.op = op}, 1 - operands); }

    // One level of nesting more, for parentheses, calls, signs and powers.
    struct nested {
        explicit nested(parser& p) : p_(p)
        {
            if (++p_.nesting_ > expression::max_nesting)
                p_.fail("the expression is nested too deeply");
        }
        ~nested() { --p_.nesting_; }
        nested(const nested&) = delete;
        nested& operator=(const nested&) = delete;
        parser& p_;
    };

    // a || b and a && b leave 0 or 1, and skip b when a decides.
    template <void (parser::*operand)()> void parse_logical(std::string_view token, expr_op jump_op)
    {
        (this->*operand)();
        while (take(token)) {
            const std::size_t jump_at = steps_.size();
            emit_op(jump_op, 2); // the fall-through takes the left operand off
            (this->*operand)();
            emit_op(expr_op::to_bool, 1);
            steps_[jump_at].jump = static_cast<std::uint32_t>(steps_.size());
        }
    }

    void parse_or() { parse_logical<&parser::parse_and>("||", expr_op::or_jump); }
    void parse_and() { parse_logical<&parser::parse_comparison>("&&", expr_op::and_jump); }

    template <std::size_t n> const binary_entry* take_operator(const binary_entry (&table)[n])
    {
        skip_blanks();
        for (const binary_entry& entry : table)
            if (text_.substr(pos_, entry.token.size()) == entry.token) {
                pos_ += entry.token.size();
                return &entry;
            }
        return nullptr;
    }

    void parse_comparison()
    {
        parse_sum();
        for (const binary_entry* op = take_operator(comparisons); op != nullptr; op = take_operator(comparisons)) {
            parse_sum();
            emit_op(op->op, 2);
        }
        if (pos_ < text_.size() && text_[pos_] == '=')
            fail("a comparison for equality is written ==");
    }

    void parse_sum()
    {
        parse_product();
        for (const binary_entry* op = take_operator(sums); op != nullptr; op = take_operator(sums)) {
            parse_product();
            emit_op(op->op, 2);
        }
    }

    void parse_product()
    {
        parse_unary();
        for (const binary_entry* op = take_operator(products); op != nullptr; op = take_operator(products)) {
            parse_unary();
            emit_op(op->op, 2);
        }
    }

    // Signs bind less tightly than ^: -2^2 is -4.
    void parse_unary()
    {
        const nested level(*this);
        if (take("-")) {
            parse_unary();
            emit_op(expr_op::negate, 1);
        } else if (take("+")) {
            parse_unary();
        } else if (!next_is("!=") && take("!")) {
            parse_unary();
            emit_op(expr_op::logical_not, 1);
        } else {
            parse_power();
        }
    }

    bool next_is(std::string_view token)
    {
        skip_blanks();
        return text_.substr(pos_, token.size()) == token;
    }

    void parse_power()
    {
        parse_primary();
        if (take("^")) {
            parse_unary();
            emit_op(expr_op::power, 2);
        }
    }

    void parse_primary()
    {
        skip_blanks();
        if (pos_ == text_.size())
            fail("a value is missing at the end");
        const char c = text_[pos_];
        if (c == '(') {
            parse_parenthesis();
        } else if (c == '$') {
            parse_column();
        } else if (is_digit(c) || c == '.') {
            parse_number();
        } else if (is_name_start(c)) {
            parse_name_or_call();
        } else {
            fail("a value is missing here");
        }
    }

    void parse_parenthesis()
    {
        const nested level(*this);
        const std::size_t open = pos_++;
        parse_or();
        if (!take(")"))
            fail_at(open, "this parenthesis is not closed");
    }

    void parse_number()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (is_digit(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            std::size_t e = pos_ + 1;
            if (e < text_.size() && (text_[e] == '+' || text_[e] == '-'))
                ++e;
            if (e < text_.size() && is_digit(text_[e])) {
                pos_ = e;
                while (pos_ < text_.size() && is_digit(text_[pos_]))
                    ++pos_;
            }
        }
        double value = 0;
        const char* first = text_.data() + start;
        const char* last = text_.data() + pos_;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec == std::errc::result_out_of_range)
            fail_at(start, "this number is out of range");
        if (ec != std::errc() || end != last)
            fail_at(start, "this is no number");
        if (pos_ < text_.size() && is_name_char(text_[pos_]))
            fail("a name starting with a digit is written ${...}");
        emit({.op = expr_op::constant, .value = value}, 1);
    }

    // "$N" (N from 1) or "${any name}".
    void parse_column()
    {
        const std::size_t start = pos_++;
        if (pos_ < text_.size() && text_[pos_] == '{') {
            const std::size_t close = text_.find('}', pos_);
            if (close == std::string_view::npos)
                fail_at(start, "this ${ has no closing }");
            const std::string_view name = text_.substr(pos_ + 1, close - pos_ - 1);
            if (name.empty())
                fail_at(start, "the name in ${} is empty");
            pos_ = close + 1;
            emit_name(name);
            return;
        }
        std::uint32_t column = 0;
        if (pos_ == text_.size() || !is_digit(text_[pos_]))
            fail_at(start, "$ comes before a column number ($2) or a name in braces (${name})");
        while (pos_ < text_.size() && is_digit(text_[pos_])) {
            column = column * 10 + static_cast<std::uint32_t>(text_[pos_++] - '0');
            if (column > expression::max_column)
                fail_at(start, "this column number is too large");
        }
        if (column == 0)
            fail_at(start, "columns are counted from 1");
        emit({.op = expr_op::column, .column = column}, 1);
    }

    void emit_name(std::string_view name)
    {
        auto found = std::find(names_.begin(), names_.end(), name);
        if (found == names_.end())
            found = names_.insert(names_.end(), std::string(name));
        emit({.op = expr_op::column, .name = static_cast<std::uint32_t>(found - names_.begin()) + 1}, 1);
    }

    void parse_name_or_call()
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && is_name_char(text_[pos_]))
            ++pos_;
        const std::string_view name = text_.substr(start, pos_ - start);
        if (!next_is("(")) {
            emit_name(name);
            return;
        }
        const auto entry = std::find_if(std::begin(functions), std::end(functions),
                                        [name](const function_entry& f) { return f.name == name; });
        if (entry == std::end(functions))
            fail_at(start, "there is no function " + std::string(name) +
                               " (abs sqrt exp log log10 sin cos atan2 min max floor ceil)");
        parse_call(*entry, start);
    }

    void parse_call(const function_entry& f, std::size_t start)
    {
        const nested level(*this);
        take("(");
        int count = 0;
        do {
            parse_or();
            // min and max of many take two at a time.
            if (++count >= 2 && f.arguments == -1)
                emit_op(f.op, 2);
        } while (take(","));
        if (!take(")"))
            fail(pos_ == text_.size() ? "the call of " + std::string(f.name) + " is not closed"
                                      : "a comma or closing parenthesis is missing here");
        const bool fits = f.arguments == -1 ? count >= 2 : count == f.arguments;
        if (!fits)
            fail_at(start, std::string(f.name) + " takes " +
                               (f.arguments == -1  ? std::string("two or more values")
                                : f.arguments == 1 ? std::string("one value")
                                                   : std::string("two values")));
        if (f.arguments != -1)
            emit_op(f.op, f.arguments);
    }
};

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();

double unary(expr_op op, double a)
{
    switch (op) {
    case expr_op::negate:
        return -a;
    case expr_op::logical_not:
        return a == 0 ? 1 : 0;
    case expr_op::to_bool:
        return a != 0 ? 1 : 0;
    case expr_op::abs:
        return std::fabs(a);
    case expr_op::sqrt:
        return a < 0 ? no_value : std::sqrt(a);
    case expr_op::exp:
        return std::exp(a);
    case expr_op::log:
        return a <= 0 ? no_value : std::log(a);
    case expr_op::log10:
        return a <= 0 ? no_value : std::log10(a);
    case expr_op::sin:
        return std::sin(a);
    case expr_op::cos:
        return std::cos(a);
    case expr_op::floor:
        return std::floor(a);
    case expr_op::ceil:
        return std::ceil(a);
    default:
        return no_value;
    }
}

double binary(expr_op op, double a, double b)
{
    switch (op) {
    case expr_op::add:
        return a + b;
    case expr_op::subtract:
        return a - b;
    case expr_op::multiply:
        return a * b;
    case expr_op::divide:
        return b == 0 ? no_value : a / b;
    case expr_op::modulo:
        return b == 0 ? no_value : std::fmod(a, b);
    case expr_op::power:
        return std::pow(a, b);
    case expr_op::less:
        return a < b;
    case expr_op::less_equal:
        return a <= b;
    case expr_op::greater:
        return a > b;
    case expr_op::greater_equal:
        return a >= b;
    case expr_op::equal:
        return a == b;
    case expr_op::not_equal:
        return a != b;
    case expr_op::atan2:
        return std::atan2(a, b);
    case expr_op::min:
        return std::min(a, b);
    case expr_op::max:
        return std::max(a, b);
    default:
        return no_value;
    }
}

bool is_binary(expr_op op)
{
    return (op >= expr_op::add && op <= expr_op::not_equal) || op >= expr_op::atan2;
}

} // namespace

bool expression::compile(std::string_view text, expr_error& error)
{
    *this = expression();
    if (text.size() > max_length) {
        error = {"the expression is " + std::to_string(text.size()) + " bytes long, more than the " +
                     std::to_string(max_length) + " it may be",
                 max_length};
        return false;
    }
    try {
        parser(text, steps_, names_).parse_whole();
    } catch (const parse_failure& failure) {
        *this = expression();
        error = failure.error;
        return false;
    }
    text_ = std::string(text);
    find_last_column();
    return true;
}

void expression::set_name_column(std::size_t k, std::uint32_t column)
{
    for (expr_step& step : steps_)
        if (step.op == expr_op::column && step.name == k + 1)
            step.column = column;
    find_last_column();
}

void expression::find_last_column()
{
    last_column_ = 0;
    for (const expr_step& step : steps_)
        if (step.op == expr_op::column)
            last_column_ = std::max(last_column_, step.column);
}

std::vector<std::uint32_t> expression::columns() const
{
    std::vector<std::uint32_t> list;
    for (const expr_step& step : steps_)
        if (step.op == expr_op::column && step.column != 0)
            list.push_back(step.column);
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

double expression::evaluate(const double* values) const
{
    double stack[max_stack];
    std::size_t top = 0; // values on the stack
    const std::size_t count = steps_.size();
    for (std::size_t at = 0; at < count; ++at) {
        const expr_step& step = steps_[at];
        double result = 0;
        switch (step.op) {
        case expr_op::constant:
            stack[top++] = step.value;
            continue;
        case expr_op::column:
            result = values[step.column - 1];
            ++top;
            break;
        case expr_op::and_jump:
        case expr_op::or_jump:
            if ((stack[top - 1] != 0) == (step.op == expr_op::or_jump)) {
                stack[top - 1] = stack[top - 1] != 0 ? 1 : 0;
                at = step.jump - 1;
            } else {
                --top;
            }
            continue;
        default:
            if (is_binary(step.op)) {
                --top;
                result = binary(step.op, stack[top - 1], stack[top]);
            } else {
                result = unary(step.op, stack[top - 1]);
            }
            break;
        }
        // A missing value, a division by zero or a result out of range ends here: nothing after it can mend it.
        if (!std::isfinite(result))
            return no_value;
        stack[top - 1] = result;
    }
    return stack[0];
}

std::string expression_error_text(std::string_view option, std::string_view text, const expr_error& error)
{
    std::string report = std::string(option) + "=" + std::string(text.substr(0, 60)) +
                         (text.size() > 60 ? "...: " : ": ") + error.what + "\n";
    if (text.size() > expression::max_length)
        return report;
    // The caret counts characters, not bytes: the continuation bytes of UTF-8 take no column.
    std::string shown = "  ";
    std::string caret = "  ";
    for (std::size_t k = 0; k <= text.size(); ++k) {
        const unsigned char c = k < text.size() ? static_cast<unsigned char>(text[k]) : ' ';
        const bool continuation = (c & 0xC0) == 0x80;
        if (k < text.size())
            shown += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
        if (k < error.at && !continuation)
            caret += ' ';
    }
    return report + shown + "\n" + caret + "^\n";
}
