// SIGINT and SIGTERM noted in a flag and a self-pipe while a file is followed.
#include "follow/stop_signals.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr std::array<int, 2> stopping_signals = {SIGINT, SIGTERM};

volatile std::sig_atomic_t noted = 0;
int pipe_ends[2] = {-1, -1};
std::array<bool, stopping_signals.size()> taken{};
int alive = 0; // stop_signals objects

// Only write here: it is safe in a signal handler, and a full pipe already wakes the wait.
extern "C" void note_signal(int sig)
{
    noted = sig;
    if (pipe_ends[1] >= 0) {
        const char byte = 1;
        const ssize_t ignored = write(pipe_ends[1], &byte, 1);
        static_cast<void>(ignored);
    }
}

void make_wake_pipe()
{
    if (pipe(pipe_ends) != 0) {
        pipe_ends[0] = pipe_ends[1] = -1;
        return;
    }
    for (const int end : pipe_ends) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, O_NONBLOCK);
    }
}

bool default_action(int sig)
{
    struct sigaction old {
    };
    return sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL && (old.sa_flags & SA_SIGINFO) == 0;
}

void set_action(int sig, void (*handler)(int))
{
    struct sigaction action {
    };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr); // no SA_RESTART: a blocking call returns, and the loop looks at the flag
}

} // namespace

stop_signals::stop_signals()
{
    if (alive++ > 0)
        return; // the first one alive holds the signals
    noted = 0;
    make_wake_pipe();
    for (std::size_t i = 0; i < stopping_signals.size(); ++i) {
        taken[i] = default_action(stopping_signals[i]);
        if (taken[i])
            set_action(stopping_signals[i], note_signal);
    }
}

stop_signals::~stop_signals()
{
    if (--alive > 0)
        return;
    for (std::size_t i = 0; i < stopping_signals.size(); ++i)
        if (taken[i])
            set_action(stopping_signals[i], SIG_DFL);
    for (int& end : pipe_ends) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

int stop_signals::received()
{
    return noted;
}

int stop_signals::wake_fd()
{
    return pipe_ends[0];
}

void end_by_noted_signal()
{
    const int sig = noted;
    if (sig == 0)
        return;
    std::fflush(nullptr);
    set_action(sig, SIG_DFL);
    std::raise(sig);
}
