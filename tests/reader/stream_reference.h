// The column rules written the slow, literal way: a fresh classic-locale string stream per question and
// `>> double` per attempt. The fast reader is held to these results.
#ifndef TREMWIL_TESTS_STREAM_REFERENCE_H
#define TREMWIL_TESTS_STREAM_REFERENCE_H

#include <cstdint>
#include <limits>
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

// The missing-value marks of whitespace-separated files: a failed extraction at one of these tokens gives a NaN and
// reading goes on after the token.
inline bool is_missing_mark(const std::string& token)
{
    return token == "NaN" || token == "NA" || token == "nan" || token == "null" || token == "-";
}

inline bool is_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// After a failed extraction that began at from: moves the stream past a mark token there and gives true.
inline bool take_mark(std::istringstream& in, const std::string& line, std::size_t from)
{
    while (from < line.size() && is_space(line[from]))
        ++from;
    std::size_t stop = from;
    while (stop < line.size() && !is_space(line[stop]))
        ++stop;
    if (stop == from || !is_missing_mark(line.substr(from, stop - from)))
        return false;
    in.clear();
    in.seekg(static_cast<std::streamoff>(stop));
    if (stop == line.size())
        in.setstate(std::ios::eofbit);
    return true;
}

inline column_outcome value_at_col(const std::string& line, std::uint32_t col)
{
    if (col == 0)
        return {true, 0.0, 0};
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    double result = 0;
    std::uint32_t i = 0;
    while (i < col && in.good()) {
        const auto from = static_cast<std::size_t>(in.tellg());
        in >> result;
        if (in.fail() && take_mark(in, line, from))
            result = std::numeric_limits<double>::quiet_NaN();
        ++i;
    }
    return {i == col, result, i};
}

// The values at the start of line, marks counted.
inline int count_values(const std::string& line)
{
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    int count = 0;
    while (in.good()) {
        const auto from = static_cast<std::size_t>(in.tellg());
        double value;
        in >> value;
        if (in.fail() && !take_mark(in, line, from))
            break;
        ++count;
    }
    return count;
}

} // namespace stream_reference

#endif // TREMWIL_TESTS_STREAM_REFERENCE_H
