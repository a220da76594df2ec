// Bounded string copy.
#include "portable/compat.h"

#include <cstring>

namespace tw
{

size_t strlcpy(char* d, const char* s, size_t bufsize)
{
    const size_t length = std::strlen(s);
    if (bufsize > 0) {
        const size_t copied = length < bufsize - 1 ? length : bufsize - 1;
        std::memcpy(d, s, copied);
        d[copied] = '\0';
    }
    return length;
}

} // namespace tw
