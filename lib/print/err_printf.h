// Error messages that carry the position in the program where they were raised.
#ifndef TREMWIL_ERR_PRINTF_H
#define TREMWIL_ERR_PRINTF_H

// Writes "Error: <file>(<line>) " and the formatted message to stderr, after flushing stdout and stderr so that
// earlier output is not overtaken. Returns; the caller decides whether the run ends.
void err__printf(const char* file, const int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// err__printf, then the run ends with status 1.
[[noreturn]] void err__exit(const char* file, const int line, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

#endif // TREMWIL_ERR_PRINTF_H
