// Entry point of tremwil.
#include <csignal>
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include "cli/run_driver.h"
#include "core/messages.h"

namespace
{

// A closed standard descriptor would be taken by the next file the run opens (a picture being written, say), and
// every later message would land in that file: each closed one is opened on /dev/null before anything else.
void open_standard_descriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) < 0)
            _exit(1); // nothing can be said: the messages would go astray
}

// A write past the file size limit (ulimit -f) then fails with EFBIG and is reported like a full disk ("can't
// save"), and a log file past the limit loses its entry, instead of the signal ending the run.
void let_writes_past_the_size_limit_fail()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace

int main(int argc, char** argv)
{
    open_standard_descriptors();
    let_writes_past_the_size_limit_fail();
    // Whatever runs out of memory and is not handled nearer ends the run with one message and status 1, instead
    // of the abort of an uncaught exception.
    try {
        return run_tremwil(argc, argv);
    } catch (const std::bad_alloc&) {
        error("out of memory\n");
    }
}
