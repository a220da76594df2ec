// The program's voice: fatal errors, warnings, the switchable reporter for user errors, and debug traces.
#ifndef TREMWIL_MESSAGES_H
#define TREMWIL_MESSAGES_H

#include <sstream>
#include <string>

#include "core/settings.h"

#define TW_PRINTF_FORMAT(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))

// Reporter for recoverable user errors; callers pass a whole message ending in "\n".
typedef void (*my_error_func)(const char* fmt, ...);

// Flushes all output, runs the cleanup hook (graphics mode's exit), writes "\nError: " and the message to
// stderr, exits with status 1.
[[noreturn]] void error(const char* fmt, ...) TW_PRINTF_FORMAT(1, 2);

// Flushes all output, writes "\nWarning: " and the message to stderr, and returns.
void warning(const char* fmt, ...) TW_PRINTF_FORMAT(1, 2);

// What error runs before its message: a layer above that holds a resource to give back (graphics mode
// restores the terminal) registers it here. Null runs nothing.
void set_error_cleanup(void (*cleanup)());

// error, unless --error-as-warning switched it to warning.
extern my_error_func error_func;

// Marks the run as failed while it goes on: a picture it was asked to save was not saved, or a data file could not
// be read, and --error-as-warning let the run continue. The run then ends with status 1.
void note_run_failure();
// 1 once note_run_failure was called, else 0; reset_settings() clears the mark.
int run_exit_status();
void clear_run_failure();

// The file-name part of a source path, so positions read "options.cpp(12)" whatever the build folder.
constexpr const char* tw_file_name(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            name = p + 1;
    return name;
}

#define TW_FILE (tw_file_name(__FILE__))

// Writes one trace line "Debug:<file>(<line>) <text>" to stderr.
void debug_line(const char* file, int line, const std::string& text);

// Trace with stream syntax, printed only when a trace level is set: TW_DEBUG("n=" << n);
#define TW_DEBUG(items)                                                                                                \
    do {                                                                                                               \
        if (debug) {                                                                                                   \
            std::ostringstream tw_trace_;                                                                              \
            tw_trace_ << items;                                                                                        \
            debug_line(TW_FILE, __LINE__, tw_trace_.str());                                                            \
        }                                                                                                              \
    } while (0)

#endif // TREMWIL_MESSAGES_H
