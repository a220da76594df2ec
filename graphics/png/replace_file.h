// Writing a file that replaces its target whole or not at all: a temporary file beside it, renamed over it.
#ifndef TWGR_REPLACE_FILE_H
#define TWGR_REPLACE_FILE_H

#include <cstdio>
#include <string>

namespace twgr
{

// A new file in the target's folder, created exclusively (never through a link) under a name no one else uses.
// commit() flushes it to the disk and renames it over the target, so readers and parallel writers see either the
// old file or the new one, never part of one; a link at the target name is replaced, its target left alone.
// Without a successful commit the temporary file is removed, also when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the
// program while the file exists.
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
    // True when every byte reached the disk and the file now stands at the target name.
    bool commit();

private:
    void discard();

    std::string target_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
    bool registered_ = false; // the temporary name is the one a signal removes
};

} // namespace twgr

#endif // TWGR_REPLACE_FILE_H
