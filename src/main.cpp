// Entry point of tremwil.
#include <new>

#include "cli/run_driver.h"
#include "core/messages.h"

int main(int argc, char** argv)
{
    // Whatever runs out of memory and is not handled nearer ends the run with one message and status 1, instead
    // of the abort of an uncaught exception.
    try {
        return run_tremwil(argc, argv);
    } catch (const std::bad_alloc&) {
        error("out of memory\n");
    }
}
