// An Xvfb of a test's own, for tests of the window under a real X server.
#pragma once

#include <string>
#include <sys/types.h>

namespace test_support
{

// True when the shell finds the tool on PATH.
bool on_path(const std::string& tool);

// Starts Xvfb, which takes a free display number itself and names it once it accepts connections, so that
// tests running in parallel never share a server; the server stops when the object goes.
class VirtualXServer
{
public:
    VirtualXServer() = default;
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;
    ~VirtualXServer();
    bool start();
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace test_support
