// The viewing loop in a real window: the program runs on an X server of the test's own, and key presses
// save the picture, move to the next and the previous file, and quit. X tools run under `timeout`.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"
#include "virtual_x.h"

namespace
{

namespace fs = std::filesystem;
using test_support::on_path;

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(PictureWindow, KeysSaveMoveOnGoBackAndQuit)
{
    if (!on_path("Xvfb") || !on_path("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/install-deps.sh)";
    test_support::VirtualXServer server;
    ASSERT_TRUE(server.start(170, 240));
    test_support::TempDir dir;
    dir.write("a.dat", "0 0 1\n10 10 2\n");
    dir.write("b.dat", "0 0 3\n5 5 2\n");
    // Each key is a real key press over the visible window (synthetic events sent to a window may arrive
    // twice); the program then gets a moment to act on it: after a move the window is hidden and shown
    // again for the next file.
    std::string script = "cd '";
    script.append(dir.path().string()).append("'; export DISPLAY=").append(server.display());
    // In the sanitizer build: the system's D-Bus library, which SDL loads, keeps a buffer to the end.
    dir.write("lsan.supp", "leak:libdbus-1.so\n");
    script.append("; export LSAN_OPTIONS=suppressions=lsan.supp");
    script.append("; (timeout 90 '").append(TREMWIL_BIN);
    script.append("' --debug a.dat b.dat >out.txt 2>err.txt; echo $? >status.txt) &");
    script.append(" press() { timeout 20 xdotool search --sync --onlyvisible --name '^TWGR$' >/dev/null 2>&1;");
    script.append(" timeout 10 xdotool mousemove 300 300 key \"$1\" >/dev/null 2>&1; sleep 2; };");
    script.append(" press s; press space; press BackSpace; press BackSpace; press space; press s; press q; wait");
    const std::string command = std::string("bash '").append(dir.write("scenario.sh", script).string()).append("'");
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string err = test_support::read_file(dir / "err.txt");
    // The window driver at times ends the process on an X error ("BadWindow" on X_SendEvent) while the
    // program exits, whatever key ended the run; that fault is the driver's, so only it is let through here.
    const std::string status = test_support::read_file(dir / "status.txt");
    EXPECT_TRUE(status == "0\n" || (status == "1\n" && err.find("X Error of failed request") != std::string::npos))
        << status << err;
    // Passes: a, b, a (Backspace), b; the second Backspace on the first file shows it again in the same pass.
    EXPECT_EQ(occurrences(err, ") Columns: 3\n"), 4) << err;
    EXPECT_EQ(occurrences(err, ") c=8\n"), 2) << err;
    EXPECT_EQ(occurrences(err, ") c=115\n"), 2) << err;
    EXPECT_EQ(occurrences(err, ") save-and-exit a.png\n"), 1) << err;
    EXPECT_EQ(occurrences(err, ") save-and-exit b.png\n"), 1) << err;
    for (const char* name : {"a.png", "b.png"}) {
        const auto png = picture_test::read_png(dir / name);
        ASSERT_TRUE(png.has_value()) << name;
        EXPECT_EQ(png->width, 640);
        EXPECT_EQ(png->height, 480);
    }
}

} // namespace
