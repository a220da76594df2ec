// Fuzzing of the expression compiler and evaluator: any text either compiles or is refused with a place inside it
// (or at its end); a compiled program runs on a row of fuzz-chosen values to a finite value or NaN, its columns all
// within the row it was promised, and the error text of a refused one is built without fault.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "data/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    expression e;
    expr_error error;
    if (!e.compile(text, error)) {
        if (error.at > text.size())
            std::abort();
        (void)expression_error_text("--y", text, error);
        return 0;
    }
    for (std::size_t k = 0; k < e.names().size(); ++k)
        e.set_name_column(k, static_cast<std::uint32_t>(k % 7 + 1));
    if (e.last_column() > expression::max_column)
        std::abort();
    std::vector<double> row(e.last_column() + 1);
    for (std::size_t k = 0; k < row.size(); ++k)
        row[k] = k % 5 == 4 ? 0.0 : static_cast<double>(bytes[k % size]) - 100.0;
    const double value = e.evaluate(row.data());
    if (std::isinf(value)) {
        std::fprintf(stderr, "an infinite value came out\n");
        std::abort();
    }
    return 0;
}
