// error, warning, error_func and the debug trace line.
#include "core/messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iostream>

my_error_func error_func = error;

namespace
{

void (*error_cleanup)() = nullptr;
bool run_failed = false;

void flush_all()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
}

} // namespace

void error(const char* fmt, ...)
{
    flush_all();
    if (error_cleanup != nullptr)
        error_cleanup();
    std::fputs("\nError: ", stderr);
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
    std::fflush(stderr);
    std::exit(1);
}

void set_error_cleanup(void (*cleanup)())
{
    error_cleanup = cleanup;
}

void warning(const char* fmt, ...)
{
    flush_all();
    std::fputs("\nWarning: ", stderr);
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
    std::fflush(stderr);
}

void note_run_failure()
{
    run_failed = true;
}

int run_exit_status()
{
    return run_failed ? 1 : 0;
}

void clear_run_failure()
{
    run_failed = false;
}

void debug_line(const char* file, int line, const std::string& text)
{
    std::cout.flush();
    std::fflush(stdout);
    std::fprintf(stderr, "Debug:%s(%d) %s\n", file, line, text.c_str());
    std::fflush(stderr);
}
