// Prints every long option of the option table, one a line, with a trailing '=' when it takes a value. The build
// makes the shell completions from this list, and the install check holds the man page against it, so an option
// added to the table reaches both without anyone remembering to copy it.
#include <cstdio>

#include "cli/options.h"

int main()
{
    for (const option* opt = long_opts; opt->name != nullptr; ++opt)
        std::printf("--%s%s\n", opt->name, opt->has_arg == no_argument ? "" : "=");
    return 0;
}
