// The program in its window on an X server of the test's own, started in the background with --debug in a folder of
// its own. Every wait polls what the program reports in its trace or what the X server reports of its windows,
// never a time; the limits only end a hang. X tools run under `timeout`: an X client can otherwise hang.
#pragma once

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"
#include "virtual_x.h"

namespace test_support
{

// A picture composed. It is written once the window is shown and input is kept (keys sent before are lost).
inline const std::string composed = ") plotting dataset 0\n";

class WindowTest : public ::testing::Test
{
protected:
    static constexpr std::chrono::seconds limit{60};

    void SetUp() override
    {
        if (!on_path("Xvfb") || !on_path("xdotool") || !on_path("xwininfo") || !on_path("import"))
            GTEST_SKIP() << "Xvfb, xdotool, x11-utils and imagemagick are needed (scripts/install-deps.sh)";
        ASSERT_TRUE(server_.start());
    }
    void TearDown() override
    {
        if (pid_ > 0)
            finish_tremwil(pid_, dir_.path(), std::chrono::milliseconds(0));
    }

    // Starts the program with --debug on the test's server.
    void start_in_window(std::vector<std::string> args)
    {
        args.insert(args.begin(), "--debug");
        // The sanitizer build: the system's D-Bus library, which SDL loads, keeps buffers to the end.
        pid_ = start_tremwil(
            args, dir_.path(),
            {{"DISPLAY", server_.display()}, {"LSAN_OPTIONS", "suppressions=" SOURCE_DIR "/tests/lsan.supp"}});
    }
    RunResult finish()
    {
        auto r = finish_tremwil(pid_, dir_.path(), limit);
        pid_ = -1;
        return r;
    }
    std::string err() const { return read_file(dir_ / ".stderr"); }

    // Runs an X tool on the test's server; its exit status.
    int x_tool(const std::string& command) const
    {
        const std::string line = "DISPLAY=" + server_.display() + " timeout " + std::to_string(limit.count()) + " " +
                                 command + " >" + (dir_ / "x.out").string() + " 2>/dev/null";
        const int st = std::system(line.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }

    // Waits until the trace holds the part more than `before` times, or the program has ended.
    bool await(const std::string& part, int before) const
    {
        eventually([&] { return occurrences(err(), part) > before || !still_running(pid_); });
        return occurrences(err(), part) > before;
    }
    // The id of the window of that name once it is shown (xdotool finds no window named in UTF-8 alone, as the
    // question box is).
    std::string window(const std::string& name) const
    {
        std::string id;
        eventually([&] {
            const std::string info = x_tool("xwininfo -name " + name) == 0 ? read_file(dir_ / "x.out") : "";
            const auto at = info.find("Window id: ");
            if (at != std::string::npos && info.find("IsViewable") != std::string::npos)
                id = info.substr(at + 11, info.find(' ', at + 11) - at - 11);
            return !id.empty();
        });
        return id;
    }
    // What the program's window shows now.
    std::optional<png_image> window_picture() const
    {
        const std::string id = window("TWGR");
        const std::string shot = (dir_ / "shot.png").string();
        return !id.empty() && x_tool("import -window " + id + " -depth 8 PNG24:" + shot) == 0 ? read_png(shot)
                                                                                              : std::nullopt;
    }

    VirtualXServer server_;
    TempDir dir_;
    pid_t pid_ = -1;
};

} // namespace test_support
