// The wait of a followed file: one poll over the file's notices (inotify, or a stream's descriptor) and the stop
// signals' pipe.
#include "follow/change_wait.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/inotify.h>
#endif

#include "follow/stop_signals.h"

namespace
{

// inotify misses changes made on another machine (a network file system): a file whose changes are awaited is
// still looked at this often.
constexpr int awaited_look_ms = 5000;

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

long long now_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

change_wait::change_wait(const followed_file& file, int period_ms) : period_ms_(std::max(period_ms, 1))
{
    if (file.is_stream()) {
        stream_fd_ = file.fd();
        return;
    }
#ifdef __linux__
    notify_fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notify_fd_ < 0)
        return;
    // The folder tells of the name: a file created or moved there, the file renamed away or removed.
    if (file.name() != "-") {
        base_name_ = base_of(file.name());
        folder_watch_ = inotify_add_watch(notify_fd_, folder_of(file.name()).c_str(),
                                          IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_MODIFY);
    }
    rewatch(file);
    if (file_watch_ < 0) {
        close(notify_fd_);
        notify_fd_ = -1;
    }
#endif
}

change_wait::~change_wait()
{
    if (notify_fd_ >= 0)
        close(notify_fd_);
}

void change_wait::rewatch(const followed_file& file)
{
#ifdef __linux__
    if (notify_fd_ < 0)
        return;
    if (file_watch_ >= 0)
        inotify_rm_watch(notify_fd_, file_watch_); // fails harmlessly when the kernel dropped it with the file
    file_watch_ = inotify_add_watch(notify_fd_, file.watched_path().c_str(),
                                    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVE_SELF | IN_DELETE_SELF);
#else
    static_cast<void>(file);
#endif
}

bool change_wait::awaits_changes() const
{
    return stream_fd_ >= 0 || notify_fd_ >= 0;
}

// Polls the notices and the stop pipe; the poll's result.
int change_wait::wait_for_notice(int timeout_ms)
{
    std::array<pollfd, 2> fds{};
    nfds_t count = 0;
    const int notice_fd = stream_fd_ >= 0 ? stream_fd_ : notify_fd_;
    if (notice_fd >= 0)
        fds[count++] = pollfd{notice_fd, POLLIN, 0};
    if (stop_signals::wake_fd() >= 0)
        fds[count++] = pollfd{stop_signals::wake_fd(), POLLIN, 0};
    return poll(fds.data(), count, timeout_ms);
}

// Reads every pending notice; true when one is about the file: its own, or its folder's of its name.
bool change_wait::relevant_notices()
{
    bool relevant = false;
#ifdef __linux__
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(notify_fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            const bool named = event.len > 0 && at + static_cast<ssize_t>(sizeof event + event.len) <= n &&
                               base_name_ == std::string(name, strnlen(name, event.len));
            relevant = relevant || event.wd != folder_watch_ || named || (event.mask & IN_Q_OVERFLOW) != 0;
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
#endif
    return relevant;
}

void change_wait::wait(int timeout_ms)
{
    const int own_limit = stream_fd_ >= 0 ? -1 : notify_fd_ >= 0 ? awaited_look_ms : period_ms_;
    if (timeout_ms < 0 || (own_limit >= 0 && own_limit < timeout_ms))
        timeout_ms = own_limit;
    const long long deadline = now_ms() + timeout_ms;
    for (;;) {
        const int left = timeout_ms < 0 ? -1 : static_cast<int>(std::max<long long>(deadline - now_ms(), 0));
        const int ready = wait_for_notice(left);
        if (ready <= 0 || stop_signals::received() != 0 || stream_fd_ >= 0 || notify_fd_ < 0)
            return; // the time is up, a signal came, or a stream has bytes
        if (relevant_notices())
            return;
    }
}
