// Debug traces that carry the position in the program where they were raised.
#ifndef TREMWIL_DBG_PRINTF_H
#define TREMWIL_DBG_PRINTF_H

// Writes "Debug: <file>(<line>) " and the formatted message to stderr, after flushing stdout and stderr.
// Always prints: callers test the trace level first.
void dbg__printf(const char* file, const int line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

#endif // TREMWIL_DBG_PRINTF_H
