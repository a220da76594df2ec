// The column rules written the slow, literal way: a fresh classic-locale string stream per question and
// `>> double` per attempt. The fast reader is held to these results.
#ifndef TREMWIL_TESTS_STREAM_REFERENCE_H
#define TREMWIL_TESTS_STREAM_REFERENCE_H

#include <cstdint>
#include <locale>
#include <sstream>
#include <string>

namespace stream_reference
{

inline int count_columns(const std::string& line)
{
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    int count = 0;
    while (in.good()) {
        double value;
        in >> value;
        if (in.fail())
            break;
        ++count;
    }
    return count;
}

// The value of column col, or reached = false where get_value_at_col throws; attempts and last are what its
// trace prints in that case.
struct column_outcome {
    bool reached;
    double value;
    std::uint32_t attempts;
};

inline column_outcome value_at_col(const std::string& line, std::uint32_t col)
{
    if (col == 0)
        return {true, 0.0, 0};
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    double result = 0;
    std::uint32_t i = 0;
    while (i < col && in.good()) {
        in >> result;
        ++i;
    }
    return {i == col, result, i};
}

} // namespace stream_reference

#endif // TREMWIL_TESTS_STREAM_REFERENCE_H
