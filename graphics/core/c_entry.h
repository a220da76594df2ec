// The edge between twgr's C interface and the C++ behind it: C callers cannot unwind, so an allocation failure
// (or a size the standard containers refuse) inside an entry becomes that entry's documented failure result.
#ifndef TWGR_C_ENTRY_H
#define TWGR_C_ENTRY_H

#include <exception>
#include <utility>

namespace twgr
{

// body's result, or failure when body throws.
template <class Result, class Body> Result result_or(Result failure, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception&) {
        return failure;
    }
}

// Runs body; an entry without a result does nothing more when it throws.
template <class Body> void or_nothing(Body&& body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (const std::exception&) {
    }
}

} // namespace twgr

#endif // TWGR_C_ENTRY_H
