// The process-wide scratch block that scan-line reads return their pixels in.
#include "core/twgr_internal.h"

#include <cstdlib>

namespace
{

void* _GrTempBuffer = nullptr;
std::size_t _GrTempBufferBytes = 0;

} // namespace

void* _GrTempBufferAlloc(std::size_t size)
{
    if (size <= _GrTempBufferBytes)
        return _GrTempBuffer;
    // realloc leaves the old block untouched when it fails, so earlier results stay valid.
    void* grown = std::realloc(_GrTempBuffer, size);
    if (grown == nullptr)
        return nullptr;
    _GrTempBuffer = grown;
    _GrTempBufferBytes = size;
    return grown;
}
