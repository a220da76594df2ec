// An Xvfb of a test's own, for tests of the window under a real X server.
#pragma once

#include <string>
#include <sys/types.h>

namespace test_support
{

// True when the shell finds the tool on PATH.
bool on_path(const std::string& tool);

// Starts Xvfb on the first free display number in [first, last) and stops it when the object goes.
// Tests that may run in parallel use ranges of their own.
class VirtualXServer
{
public:
    VirtualXServer() = default;
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;
    ~VirtualXServer();
    bool start(int first, int last);
    const std::string& display() const { return display_; }

private:
    bool launch(int n);
    pid_t pid_ = -1;
    std::string display_;
};

} // namespace test_support
