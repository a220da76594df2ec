// The data file a run follows: kept open, read from where the last reading stopped, and followed by name when it
// is replaced (renamed away and created anew) or truncated (copied and emptied). Standard input ("-") and pipes
// are read as they come until their end.
#ifndef TREMWIL_FOLLOWED_FILE_H
#define TREMWIL_FOLLOWED_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// A file descriptor closed when it goes.
class owned_fd
{
public:
    owned_fd() = default;
    explicit owned_fd(int fd) : fd_(fd) {}
    ~owned_fd() { reset(); }
    owned_fd(owned_fd&& other) noexcept : fd_(other.release()) {}
    owned_fd& operator=(owned_fd&& other) noexcept;
    owned_fd(const owned_fd&) = delete;
    owned_fd& operator=(const owned_fd&) = delete;

    int get() const { return fd_; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// What one look at the file found.
enum class file_news {
    none,      // nothing new, or only part of a line
    lines,     // whole lines (more may wait: look again)
    replaced,  // another file now has the name: it is open and read from its start
    truncated, // the file shrank below what was read: it is read again from its start
    ended,     // a pipe or standard input reached its end (the last part of a line counts as a line)
};

class followed_file
{
public:
    // A file of name ("-" for standard input), not yet open. Lines longer than max_line_bytes end the run, as in
    // a data file read whole; one look reads at most block_bytes.
    followed_file(std::string name, std::size_t max_line_bytes, std::size_t block_bytes);

    // Opens it; false when it does not open or is a folder.
    bool open();
    // Reads the next bytes: whole lines are appended to lines, the part of a line after them waits for its end.
    // Throws input_error when reading fails, a line is too long or the file holds compressed data.
    file_news look(std::string& lines);

    const std::string& name() const { return name_; }
    // Whether it is a stream read as it comes (standard input or a pipe) rather than a file read by position.
    bool is_stream() const { return stream_; }
    // The descriptor read; a stream's turns readable when it has bytes.
    int fd() const { return fd_.get(); }
    // The path whose changes mean news: the name, or for standard input the file it stands for.
    std::string watched_path() const;

private:
    // Reads fd (which it then owns) from its start; false when it is no readable file.
    bool adopt(int fd);
    file_news look_at_stream(std::string& lines);
    file_news look_at_file(std::string& lines);
    file_news check_name_and_size(std::string& lines);
    // Takes bytes: the whole lines go to lines, the rest is kept; false when they ended nothing.
    bool take(const char* bytes, std::size_t count, std::string& lines);
    void check_not_compressed(const char* bytes, std::size_t count);
    void start_over();

    std::string name_;
    std::size_t max_line_bytes_;
    std::size_t block_bytes_;
    owned_fd fd_;
    bool stream_ = false;
    bool standard_input_ = false;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    std::uint64_t offset_ = 0; // bytes read of a file
    std::string partial_;      // the last line read, still without its end
    std::string first_bytes_;  // of this file, as many as tell compressed data from plain
    std::vector<char> block_;  // room for one look's bytes
};

#endif // TREMWIL_FOLLOWED_FILE_H
