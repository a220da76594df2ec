#include "virtual_x.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support
{

namespace
{

// The line the server writes into the pipe once it is ready: its display number. Empty when the server
// ended without one, or (a safety net against a hang) when none came in a minute.
std::string read_report(int fd)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::string line;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0 || read(fd, &c, 1) != 1)
            return {};
        if (c == '\n')
            return line;
        line += c;
    }
}

} // namespace

bool on_path(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

VirtualXServer::~VirtualXServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

// A number picked here from the lock and socket files could be taken by another test's server between the look
// and the server's start; the server itself binds the first free one.
bool VirtualXServer::start()
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const std::string report_fd = std::to_string(report[1]);
    pid_ = fork();
    if (pid_ == 0) {
        fcntl(report[1], F_SETFD, 0); // the server's end stays open across exec
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        // -r: keys do not repeat, so that a key whose release comes late on a loaded machine is still one press.
        execlp("Xvfb", "Xvfb", "-displayfd", report_fd.c_str(), "-r", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               nullptr);
        _exit(127);
    }
    close(report[1]);
    const std::string number = pid_ > 0 ? read_report(report[0]) : std::string();
    close(report[0]);
    if (number.empty())
        return false;
    display_ = ":" + number;
    return true;
}

} // namespace test_support
