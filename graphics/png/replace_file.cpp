// A temporary file renamed over its target, removed on failure and when a signal ends the program during a save.
#include "png/replace_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

// The signals whose default action ends the program, which a save must outlive without leaving its temporary file
// (SIGKILL cannot be caught). The faults among them are handled but never held back: a fault while it is blocked
// ends the program at once.
constexpr std::array<int, 16> asynchronous_ending_signals = {SIGHUP,  SIGINT,    SIGQUIT, SIGABRT, SIGUSR1, SIGUSR2,
                                                             SIGPIPE, SIGALRM,   SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM,
                                                             SIGPROF, SIGSTKFLT, SIGIO,   SIGPWR};
constexpr std::array<int, 6> fault_signals = {SIGILL, SIGTRAP, SIGBUS, SIGFPE, SIGSEGV, SIGSYS};

// The real-time signals end the program too; their range is known only when the program runs.
std::vector<int> make_ending_signals()
{
    std::vector<int> all(asynchronous_ending_signals.begin(), asynchronous_ending_signals.end());
    all.insert(all.end(), fault_signals.begin(), fault_signals.end());
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        all.push_back(sig);
    return all;
}

const std::vector<int>& ending_signals()
{
    static const std::vector<int> all = make_ending_signals();
    return all;
}

sigset_t make_held_signals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int sig : ending_signals())
        if (std::find(fault_signals.begin(), fault_signals.end(), sig) == fault_signals.end())
            sigaddset(&set, sig);
    return set;
}

constexpr int name_attempts = 100;
// Room for the prefix and suffix within the 255 bytes a name may have on common file systems.
constexpr std::size_t kept_name_length = 200;

// The temporary files that a signal must remove: several saves may be pending at once (see save_finisher.h), so a
// fixed table the handler reads without locks. A slot's name is written only while the slot is free, by the
// thread that creates the file with the ending signals held; the finishing threads never take those signals.
struct pending_name {
    std::atomic<bool> set{false};
    std::array<char, PATH_MAX> name{};
};
static_assert(std::atomic<bool>::is_always_lock_free);
std::array<pending_name, twgr::pending_file_limit> pending_names;

// Only unlink, sigaction and raise here: all three are safe in a signal handler.
extern "C" void remove_then_end(int sig)
{
    for (const pending_name& slot : pending_names)
        if (slot.set.load())
            unlink(slot.name.data());
    struct sigaction fallback {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(sig, &fallback, nullptr);
    raise(sig); // delivered with the default action as soon as this handler returns
}

// Takes over the signals that would end the program at once, and returns them. A signal the program handles or
// ignores itself (a program that ignores SIGXFSZ sees a write past the file size limit fail) does not stop the
// save, which then cleans up after itself.
std::vector<int> take_over_ending_signals()
{
    std::vector<int> taken;
    for (const int sig : ending_signals()) {
        struct sigaction old {
        };
        if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL || (old.sa_flags & SA_SIGINFO) != 0)
            continue;
        struct sigaction mine {
        };
        mine.sa_handler = remove_then_end;
        sigemptyset(&mine.sa_mask);
        if (sigaction(sig, &mine, nullptr) == 0)
            taken.push_back(sig);
    }
    return taken;
}

void give_back_ending_signals(const std::vector<int>& taken)
{
    struct sigaction fallback {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int sig : taken)
        sigaction(sig, &fallback, nullptr);
}

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

// A hidden name beside the target that differs between processes and between attempts.
std::string temporary_name(const std::string& target, unsigned attempt)
{
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long mix = static_cast<unsigned long>(ticks) ^ (static_cast<unsigned long>(getpid()) << 20) ^
                              (static_cast<unsigned long>(attempt) * 2654435761UL);
    return folder_of(target) + "/." + base_of(target).substr(0, kept_name_length) + ".tmp" + std::to_string(getpid()) +
           "-" + std::to_string(mix % 1000000007UL);
}

// What stands at the target name: nothing, a regular file or a link may be replaced; anything else (a folder, a
// device, a pipe) is not a picture.
struct target_state {
    bool replaceable = false;
    bool regular = false;
    struct stat info {
    };
};

target_state look_at_target(const std::string& target)
{
    target_state state;
    if (lstat(target.c_str(), &state.info) != 0) {
        state.replaceable = errno == ENOENT;
        return state;
    }
    state.regular = S_ISREG(state.info.st_mode);
    state.replaceable = state.regular || S_ISLNK(state.info.st_mode);
    return state;
}

// A picture saved again keeps who may read it: the replaced file's owner where the program may give it (else its
// group, where allowed) and its permission bits (the set-id bits dropped: a picture is no program). Set before a
// byte is written, so the new picture is never readable more widely than the old one. A new file, or one replacing
// a link, keeps the mode the umask gives.
void take_over_access(int fd, const target_state& old)
{
    if (!old.regular)
        return;
    // Where neither the owner nor the group may be given, the file stays the program's own; its mode below still
    // keeps others out as before. A file system without modes keeps the umask's.
    const bool owned =
        fchown(fd, old.info.st_uid, old.info.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), old.info.st_gid) == 0;
    const bool moded = fchmod(fd, old.info.st_mode & 0777) == 0;
    static_cast<void>(owned && moded);
}

// The signals are taken over while at least one temporary file exists; the count and the slots' owners change
// under this lock, never in the handler.
std::mutex registry_lock;
std::size_t registered_files = 0;
std::vector<int> taken_signals;

// A free slot holding name, or -1 when every slot is taken or the name does not fit.
int register_temporary(const std::string& name)
{
    if (name.size() >= PATH_MAX)
        return -1;
    const std::lock_guard<std::mutex> lock(registry_lock);
    for (std::size_t i = 0; i < pending_names.size(); ++i) {
        pending_name& slot = pending_names[i];
        if (slot.set.load())
            continue;
        std::copy(name.begin(), name.end(), slot.name.begin());
        slot.name[name.size()] = '\0';
        slot.set.store(true);
        if (registered_files++ == 0)
            taken_signals = take_over_ending_signals();
        return static_cast<int>(i);
    }
    return -1;
}

void unregister_temporary(int slot)
{
    const std::lock_guard<std::mutex> lock(registry_lock);
    pending_names[static_cast<std::size_t>(slot)].set.store(false);
    if (--registered_files == 0) {
        give_back_ending_signals(taken_signals);
        taken_signals = {};
    }
}

} // namespace

namespace twgr
{

ending_signals_held::ending_signals_held()
{
    static const sigset_t held = make_held_signals();
    pthread_sigmask(SIG_BLOCK, &held, &old_);
}

ending_signals_held::~ending_signals_held()
{
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

replacement_file::replacement_file(const char* target) : target_(target != nullptr ? target : "")
{
    if (target_.empty() || target_.back() == '/')
        return;
    const target_state old = look_at_target(target_);
    if (!old.replaceable)
        return;
    const ending_signals_held held;
    for (unsigned attempt = 0; attempt < name_attempts; ++attempt) {
        temporary_ = temporary_name(target_, attempt);
        // O_EXCL refuses any existing name, a link included, so nothing is ever written through a link.
        const int fd = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            break;
        take_over_access(fd, old);
        slot_ = register_temporary(temporary_);
        if (slot_ < 0) {
            close(fd);
            unlink(temporary_.c_str());
            break;
        }
        stream_ = fdopen(fd, "wb");
        if (stream_ == nullptr) {
            close(fd);
            discard();
        }
        return;
    }
    temporary_.clear();
}

replacement_file::~replacement_file()
{
    discard();
}

bool replacement_file::written()
{
    return stream_ != nullptr && std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
}

bool replacement_file::commit()
{
    if (stream_ == nullptr)
        return false;
    bool whole = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    // The rename must not become visible before the bytes do, or a crash could leave an empty picture.
    if (whole && fsync(fileno(stream_)) != 0 && errno != EINVAL)
        whole = false;
    whole = std::fclose(stream_) == 0 && whole;
    stream_ = nullptr;
    if (!whole || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        discard();
        return false;
    }
    temporary_.clear();
    discard();
    return true;
}

void replacement_file::discard()
{
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
    if (slot_ >= 0) {
        unregister_temporary(slot_);
        slot_ = -1;
    }
}

} // namespace twgr
