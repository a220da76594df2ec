// Error messages with the program position.
#include "print/err_printf.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace
{

void print_error(const char* file, const int line, const char* fmt, va_list args)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::fprintf(stderr, "Error: %s(%d) ", file, line);
    std::vfprintf(stderr, fmt, args);
    std::fflush(stderr);
}

} // namespace

void err__printf(const char* file, const int line, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    print_error(file, line, fmt, args);
    va_end(args);
}

void err__exit(const char* file, const int line, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    print_error(file, line, fmt, args);
    va_end(args);
    std::exit(1);
}
