// Ending a followed run on SIGINT or SIGTERM: the signal is noted and wakes the wait, and the run stops at its next
// step with its last picture whole, instead of dying in the middle of one.
#ifndef TREMWIL_STOP_SIGNALS_H
#define TREMWIL_STOP_SIGNALS_H

// While alive, SIGINT and SIGTERM (those whose action is still the default: a signal the shell ignores for a
// background job stays ignored) are noted instead of ending the program. Several may be alive at once (in one
// thread): the signals are held from the first one's start to the last one's end.
class stop_signals
{
public:
    stop_signals();
    ~stop_signals();
    stop_signals(const stop_signals&) = delete;
    stop_signals& operator=(const stop_signals&) = delete;

    // The signal noted, or 0.
    static int received();
    // A descriptor that turns readable once a signal is noted, for poll; -1 when no pipe could be made (the wait
    // then still ends by EINTR or by its timeout).
    static int wake_fd();
};

// Ends the program by the signal noted, with its default action, so that whoever started it sees how it ended;
// returns when no signal was noted.
void end_by_noted_signal();

#endif // TREMWIL_STOP_SIGNALS_H
