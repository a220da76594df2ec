// Writing a file that replaces its target whole or not at all: a temporary file beside it, renamed over it.
#ifndef TWGR_REPLACE_FILE_H
#define TWGR_REPLACE_FILE_H

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <string>

namespace twgr
{

// Temporary files that may exist at once in one process (one being written, the others waiting to be finished).
constexpr std::size_t pending_file_limit = 8;

// Holds back, in the calling thread while alive, the signals that remove the temporary files and end the program
// (every signal whose default action ends it, the faults excepted): around the creation of a file and its registration,
// and while threads are started that must never take them.
class ending_signals_held
{
public:
    ending_signals_held();
    ~ending_signals_held();
    ending_signals_held(const ending_signals_held&) = delete;
    ending_signals_held& operator=(const ending_signals_held&) = delete;

private:
    sigset_t old_;
};

// A new file in the target's folder, created exclusively (never through a link) under a name no one else uses.
// commit() flushes it to the disk and renames it over the target, so readers and parallel writers see either the
// old file or the new one, never part of one; a link at the target name is replaced, its target left alone.
// Without a successful commit the temporary file is removed, also when a signal ends the program by its default
// action while the file exists (SIGKILL excepted). The object may be committed on another thread than the one that
// created it; no more than pending_file_limit of them can hold a file at once (stream() is null beyond).
class replacement_file
{
public:
    // Check stream() afterwards: null when the target is neither a regular file, a link nor absent, or the
    // temporary file cannot be created.
    explicit replacement_file(const char* target);
    ~replacement_file();
    replacement_file(const replacement_file&) = delete;
    replacement_file& operator=(const replacement_file&) = delete;

    std::FILE* stream() const { return stream_; }
    const std::string& target() const { return target_; }
    // True when every byte written so far left the stream's buffer for the file without an error.
    bool written();
    // True when every byte reached the disk and the file now stands at the target name.
    bool commit();

private:
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
    int slot_ = -1; // the slot of the temporary name in the table a signal removes, or -1
};

} // namespace twgr

#endif // TWGR_REPLACE_FILE_H
