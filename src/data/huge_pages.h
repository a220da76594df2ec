// Advice for large buffers that are filled front to back right after they are made.
#ifndef TREMWIL_HUGE_PAGES_H
#define TREMWIL_HUGE_PAGES_H

#include <cstdint>
#include <vector>

#include <sys/mman.h>

// Asks for huge pages over the whole 2 MiB blocks inside the vector's room: filling it then takes a few page
// faults instead of thousands. Only advice; where it is not taken nothing changes.
template <typename T> void advise_huge_pages(const std::vector<T>& v)
{
    constexpr std::uintptr_t huge = std::uintptr_t{1} << 21;
    const auto first = (reinterpret_cast<std::uintptr_t>(v.data()) + huge - 1) & ~(huge - 1);
    const auto last = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity()) & ~(huge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

#endif // TREMWIL_HUGE_PAGES_H
