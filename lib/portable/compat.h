// Small string helpers that the C library of every platform does not offer alike.
#ifndef TREMWIL_COMPAT_H
#define TREMWIL_COMPAT_H

#include <cstddef>

namespace tw
{

// Copies at most bufsize - 1 characters of s into d and ends d with a null character (nothing is written when
// bufsize is 0). Returns the length of s, so a result >= bufsize means the copy was cut.
size_t strlcpy(char* d, const char* s, size_t bufsize);

} // namespace tw

#endif // TREMWIL_COMPAT_H
