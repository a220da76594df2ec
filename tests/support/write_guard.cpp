// The tests' write guard: every test program links it and every run of the program under test preloads it, so that a
// slip (in the program or in a test) that would create, replace, truncate or remove anything outside the tests' own
// temporary folders ends that process with a message instead of touching the machine. The tests run as root.
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace
{

// The folders tests make: TempDir's tremwil-test-*, the cases' fixed tremwil-case-* and tremwil-golden-* with their
// lock files, the glob test's tremwil-glob-* (under /dev/shm when the system has it); and gtest's capture files.
bool inside_test_folders(const std::string& path)
{
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string bases[] = {tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp", "/tmp", "/dev/shm"};
    for (std::string base : bases) {
        char real[PATH_MAX];
        if (realpath(base.c_str(), real) != nullptr)
            base = real;
        // gtest's own files of captured output (testing::internal::CaptureStderr) are temporary too.
        if (path.starts_with(base + "/tremwil-") || path.starts_with(base + "/gtest_captured_stream."))
            return true;
    }
    // Writing to a terminal replaces nothing (script(1) opens the one it runs under).
    return path == "/dev/null" || path == "/dev/tty";
}

// Where a name points: its folder resolved, and the last part too when follow (a link is written through by open).
std::string resolved(int dirfd, const char* name, bool follow)
{
    std::string full = name;
    if (!full.starts_with("/")) {
        char base[PATH_MAX];
        const bool got = dirfd == AT_FDCWD
                             ? getcwd(base, sizeof base) != nullptr
                             : realpath(("/proc/self/fd/" + std::to_string(dirfd)).c_str(), base) != nullptr;
        full = std::string(got ? base : "?") + "/" + full;
    }
    char real[PATH_MAX];
    if (follow && realpath(full.c_str(), real) != nullptr)
        return real;
    // A link to a name that does not exist yet: open would create its target.
    for (int hops = 0; follow && hops < 40; ++hops) {
        const ssize_t n = readlink(full.c_str(), real, sizeof real - 1);
        if (n < 0)
            break;
        const std::string target(real, static_cast<std::size_t>(n));
        full = target.starts_with("/") ? target : full.substr(0, full.find_last_of('/') + 1) + target;
    }
    const auto slash = full.find_last_of('/');
    const std::string folder = slash == 0 ? "/" : full.substr(0, slash);
    if (realpath(folder.c_str(), real) == nullptr)
        return full; // a folder that does not exist: the call fails by itself, but the name still decides
    return std::string(real) + full.substr(slash);
}

// An absolute name plainly inside a test folder, decided without allocating: the program removes its temporary
// files from signal handlers, and a handler that interrupted an allocation must not allocate again.
bool plainly_inside_test_folders(const char* name)
{
    for (const char* base : {"/tmp/tremwil-", "/dev/shm/tremwil-"})
        if (std::strncmp(name, base, std::strlen(base)) == 0 && std::strstr(name, "/..") == nullptr)
            return true;
    return false;
}

void check(int dirfd, const char* name, bool follow, const char* what)
{
    if (name == nullptr || (!follow && plainly_inside_test_folders(name)))
        return;
    const std::string where = resolved(dirfd, name, follow);
    if (inside_test_folders(where))
        return;
    char message[PATH_MAX + 200];
    const int n = std::snprintf(message, sizeof message,
                                "write guard: %s of %s refused, it lies outside the tests' temporary folders\n", what,
                                where.c_str());
    if (write(2, message, static_cast<std::size_t>(n)) < 0) {
        // nothing more to say
    }
    abort();
}

// A file made with O_TMPFILE has no name and goes with its last descriptor: it touches nothing of the machine.
bool writes(int flags)
{
    return (flags & O_TMPFILE) != O_TMPFILE && (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

bool writes(const char* mode)
{
    return mode != nullptr && std::strpbrk(mode, "wa+") != nullptr;
}

template <class Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

mode_t mode_argument(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

} // namespace

extern "C" {

int open(const char* name, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (writes(flags))
        check(AT_FDCWD, name, (flags & O_NOFOLLOW) == 0, "opening for writing");
    static const auto real = next<int (*)(const char*, int, ...)>("open");
    return real(name, flags, mode);
}

int open64(const char* name, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (writes(flags))
        check(AT_FDCWD, name, (flags & O_NOFOLLOW) == 0, "opening for writing");
    static const auto real = next<int (*)(const char*, int, ...)>("open64");
    return real(name, flags, mode);
}

int openat(int dirfd, const char* name, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_argument(flags, args);
    va_end(args);
    if (writes(flags))
        check(dirfd, name, (flags & O_NOFOLLOW) == 0, "opening for writing");
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
    return real(dirfd, name, flags, mode);
}

FILE* fopen(const char* name, const char* mode)
{
    if (writes(mode))
        check(AT_FDCWD, name, true, "opening for writing");
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    return real(name, mode);
}

FILE* fopen64(const char* name, const char* mode)
{
    if (writes(mode))
        check(AT_FDCWD, name, true, "opening for writing");
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen64");
    return real(name, mode);
}

int rename(const char* from, const char* to)
{
    check(AT_FDCWD, from, false, "renaming");
    check(AT_FDCWD, to, false, "replacing");
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

int renameat(int fromfd, const char* from, int tofd, const char* to)
{
    check(fromfd, from, false, "renaming");
    check(tofd, to, false, "replacing");
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return real(fromfd, from, tofd, to);
}

int unlink(const char* name)
{
    check(AT_FDCWD, name, false, "removing");
    static const auto real = next<int (*)(const char*)>("unlink");
    return real(name);
}

int unlinkat(int dirfd, const char* name, int flags)
{
    check(dirfd, name, false, "removing");
    static const auto real = next<int (*)(int, const char*, int)>("unlinkat");
    return real(dirfd, name, flags);
}

int remove(const char* name)
{
    check(AT_FDCWD, name, false, "removing");
    static const auto real = next<int (*)(const char*)>("remove");
    return real(name);
}

} // extern "C"
