// Debug traces with the program position.
#include "print/dbg_printf.h"

#include <cstdarg>
#include <cstdio>

void dbg__printf(const char* file, const int line, const char* fmt, ...)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::fprintf(stderr, "Debug: %s(%d) ", file, line);
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
    std::fflush(stderr);
}
