// Helpers shared by the tests: a fresh temporary folder, and running the built program in it.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace test_support
{

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes a file inside the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = -1; // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
    long peak_kb = 0; // the program's largest resident size
};

// Runs the built tremwil with the given arguments in folder dir, with standard input from /dev/null.
// env holds extra NAME=VALUE settings for the child's environment.
RunResult run_tremwil(const std::vector<std::string>& args, const std::filesystem::path& dir,
                      const std::vector<std::pair<std::string, std::string>>& env = {});

// The same in the background: the program's outputs go to files in dir until finish_tremwil collects them.
// Standard input comes from input (a FIFO there is opened by the program's process, which waits for a writer).
pid_t start_tremwil(const std::vector<std::string>& args, const std::filesystem::path& dir,
                    const std::vector<std::pair<std::string, std::string>>& env = {},
                    const std::filesystem::path& input = "/dev/null");
// The same for a shell command (the program, a pipe into it, limits set first): /bin/sh -c command, the write guard
// preloaded into everything it runs.
pid_t start_shell(const std::string& command, const std::filesystem::path& dir,
                  const std::vector<std::pair<std::string, std::string>>& env = {},
                  const std::filesystem::path& input = "/dev/null");
// Waits as long as the program runs.
inline constexpr std::chrono::milliseconds no_limit = std::chrono::milliseconds::max();
// Waits for a program started in the background, killing it and all it started after limit (its status is then -1),
// and returns its outputs.
RunResult finish_tremwil(pid_t pid, const std::filesystem::path& dir, std::chrono::milliseconds limit = no_limit);

std::string read_file(const std::filesystem::path& path);

// Runs a shell command in dir and waits for it, as start_shell starts one (a run of the program in a shell is a
// case file: tests/cases).
inline RunResult run_shell(const TempDir& dir, const std::string& command)
{
    return finish_tremwil(start_shell(command, dir.path()), dir.path());
}

// The names in a folder, sorted.
std::vector<std::string> names_in(const std::filesystem::path& folder);
// True when the shell finds the tool on PATH.
bool on_path(const std::string& tool);

inline bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// How often part occurs in text, overlapping occurrences included.
inline int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace test_support
