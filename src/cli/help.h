// Version line and usage text of tremwil.
#ifndef TREMWIL_HELP_H
#define TREMWIL_HELP_H

#include <string>

extern const char Version[];
extern const char Notice[];
extern const char Contact[];

// Shows the usage text for program name and ends the run: through the pager "more" when standard output is
// a terminal and --more was not given, otherwise printed directly. Ends with status, or with the pager's status
// when status is 0.
[[noreturn]] void Usage(const char* name, int status = 0);

// The usage text that Usage prints directly, with the settings now in force.
std::string usage_text(const char* name);

#endif // TREMWIL_HELP_H
