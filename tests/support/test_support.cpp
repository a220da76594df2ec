#include "test_support.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace test_support
{

TempDir::TempDir()
{
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() / ("tremwil-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& contents) const
{
    auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << contents;
    return file;
}

std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> names_in(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool on_path(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

namespace
{

std::filesystem::path out_file(const std::filesystem::path& dir)
{
    return dir / ".stdout";
}
std::filesystem::path err_file(const std::filesystem::path& dir)
{
    return dir / ".stderr";
}

// Starts argv (its first word the program's path) in dir with the outputs collected for finish_tremwil.
pid_t start_child(std::vector<std::string> argv, const std::filesystem::path& dir,
                  const std::vector<std::pair<std::string, std::string>>& env, const std::filesystem::path& input)
{
    const auto out_path = out_file(dir);
    const auto err_path = err_file(dir);
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        // A group of its own, so that a run that outlives its limit goes with everything it started.
        if (setpgid(0, 0) != 0 || chdir(dir.c_str()) != 0)
            _exit(127);
        int in = open(input.c_str(), O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        // The program's own variables come only from env: an in-process test may have set them in this process.
        for (const char* name : {"TREMWIL_FONT", "TWGRFONT", "TWGRDRV", "TWGRBIGG", "TWGRKBSYSENCODING"})
            unsetenv(name);
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
#ifdef WRITE_GUARD_LIB
        setenv("LD_PRELOAD", WRITE_GUARD_LIB, 1);
#endif
        std::vector<char*> words;
        for (auto& word : argv)
            words.push_back(word.data());
        words.push_back(nullptr);
        execv(words[0], words.data());
        _exit(127);
    }
    return pid;
}

} // namespace

pid_t start_tremwil(const std::vector<std::string>& args, const std::filesystem::path& dir,
                    const std::vector<std::pair<std::string, std::string>>& env, const std::filesystem::path& input)
{
    std::vector<std::string> argv{TREMWIL_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    return start_child(std::move(argv), dir, env, input);
}

pid_t start_shell(const std::string& command, const std::filesystem::path& dir,
                  const std::vector<std::pair<std::string, std::string>>& env, const std::filesystem::path& input)
{
    return start_child({"/bin/sh", "-c", command}, dir, env, input);
}

RunResult finish_tremwil(pid_t pid, const std::filesystem::path& dir, std::chrono::milliseconds limit)
{
    int wstatus = 0;
    pid_t got = 0;
    rusage usage{};
    if (limit == no_limit) {
        got = wait4(pid, &wstatus, 0, &usage);
    } else {
        const auto end = std::chrono::steady_clock::now() + limit;
        while ((got = wait4(pid, &wstatus, WNOHANG, &usage)) == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (got == 0) {
        kill(-pid, SIGKILL);
        wait4(pid, &wstatus, 0, &usage);
    }
    RunResult result;
    result.peak_kb = usage.ru_maxrss;
    result.status = got == pid && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.out = read_file(out_file(dir));
    result.err = read_file(err_file(dir));
    std::filesystem::remove(out_file(dir));
    std::filesystem::remove(err_file(dir));
    return result;
}

RunResult run_tremwil(const std::vector<std::string>& args, const std::filesystem::path& dir,
                      const std::vector<std::pair<std::string, std::string>>& env)
{
    return finish_tremwil(start_tremwil(args, dir, env), dir);
}

} // namespace test_support
