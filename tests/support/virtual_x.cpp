#include "virtual_x.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace test_support
{

namespace fs = std::filesystem;

bool on_path(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool VirtualXServer::start(int first, int last)
{
    for (int n = first; n < last; ++n) {
        const std::string num = std::to_string(n);
        // Built by appending: GCC 12 warns falsely (-Wrestrict) on a literal + string + literal sum here.
        if (fs::exists(std::string("/tmp/.X").append(num).append("-lock")) ||
            fs::exists(std::string("/tmp/.X11-unix/X").append(num)))
            continue;
        if (launch(n))
            return true;
    }
    return false;
}

VirtualXServer::~VirtualXServer()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool VirtualXServer::launch(int n)
{
    display_ = std::string(":").append(std::to_string(n));
    pid_ = fork();
    if (pid_ == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", display_.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    if (pid_ < 0)
        return false;
    const std::string socket = std::string("/tmp/.X11-unix/X").append(std::to_string(n));
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1; // lost the number to another server, or could not start
            return false;
        }
        if (fs::exists(socket))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace test_support
