// The usage log: one line per run, with the time and the whole command line, appended to a file.
#ifndef TREMWIL_LOGFILE_H
#define TREMWIL_LOGFILE_H

#include <string>

// Appends the log line for this run to the file "logfile" in the current directory.
void logfile(int argc, char** argv);

// Appends the log line to the named file. Runs may log in parallel into one file: the line is built in memory and
// appended with one write to a file opened for appending, so lines never interleave. A file that cannot be opened
// is tried 11 times; then "No logfile entry" goes to stderr and the run goes on. A link, a pipe or a device at the
// name is not written (no entry); a line cut short by a full disk is taken back.
void flogfile(const char* logfile, int argc, char** argv);

// A newly allocated copy of s (release it with free) with a backslash before every backslash and double quote; a
// null s gives an empty text. Null when memory runs out.
char* quote_string(const char* s);

namespace tw
{

using quote_function = char* (*)(const char*);

// The arguments part of a log line: each argument after one space, quoted when it holds a space, a comma or an
// asterisk or a control character ("--name=value" options quote only the value). Control characters in quotes are
// written as escapes (\n, \t, \r, \x1b). An argument that quote cannot copy (null result) is written unquoted.
std::string log_arguments(int argc, char** argv, quote_function quote = quote_string);

} // namespace tw

#endif // TREMWIL_LOGFILE_H
