// Reading a followed data file as it grows, by position for a file and as it comes for a stream.
#include "follow/followed_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "data/byte_source.h"
#include "unpack.h"

owned_fd& owned_fd::operator=(owned_fd&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

int owned_fd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void owned_fd::reset(int fd)
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = fd;
}

namespace
{

std::string system_error_text(const std::string& what, const std::string& name)
{
    return "can't " + what + " data file " + name + ": " + std::strerror(errno);
}

// A descriptor of name that is no folder, or -1.
int open_readable(const std::string& name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {
    };
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

followed_file::followed_file(std::string name, std::size_t max_line_bytes, std::size_t block_bytes)
    : name_(std::move(name)), max_line_bytes_(max_line_bytes), block_bytes_(block_bytes),
      standard_input_(is_standard_input(name_))
{
}

bool followed_file::open()
{
    return adopt(standard_input_ ? fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0) : open_readable(name_));
}

bool followed_file::adopt(int fd)
{
    fd_.reset(fd);
    struct stat info {
    };
    if (fd_.get() < 0 || fstat(fd_.get(), &info) != 0) {
        fd_.reset();
        return false;
    }
    stream_ = !S_ISREG(info.st_mode);
    dev_ = info.st_dev;
    ino_ = info.st_ino;
    // Standard input that is a file is read from where it stands.
    const off_t at = standard_input_ && !stream_ ? lseek(fd_.get(), 0, SEEK_CUR) : 0;
    offset_ = at > 0 ? static_cast<std::uint64_t>(at) : 0;
    start_over();
    block_.resize(block_bytes_);
    return true;
}

std::string followed_file::watched_path() const
{
    return standard_input_ ? "/proc/self/fd/0" : name_;
}

file_news followed_file::look(std::string& lines)
{
    return stream_ ? look_at_stream(lines) : look_at_file(lines);
}

// The file is read from its start again: its first bytes are looked at anew.
void followed_file::start_over()
{
    partial_.clear();
    first_bytes_.clear();
}

// Compressed data unpacked as it grows would need a stream the unpacker can wait on: the user can unpack it into a
// pipe instead. The packing is told by the file's first bytes, which may come a few at a time; it is told as soon
// as they name one, before a line they hold is taken.
void followed_file::check_not_compressed(const char* bytes, std::size_t count)
{
    if (first_bytes_.size() == packing_magic_bytes)
        return;
    first_bytes_.append(bytes, std::min(count, packing_magic_bytes - first_bytes_.size()));
    const auto* const first = reinterpret_cast<const std::uint8_t*>(first_bytes_.data());
    if (packing_of({first, first_bytes_.size()}) != packing::none)
        throw input_error("data file " + name_ +
                          " holds compressed data, which cannot be followed as it grows; unpack it into a pipe "
                          "(zcat, zstdcat) and follow \"-\"");
}

bool followed_file::take(const char* bytes, std::size_t count, std::string& lines)
{
    check_not_compressed(bytes, count);
    const std::size_t last_end = std::string_view(bytes, count).rfind('\n');
    const std::size_t whole = last_end == std::string_view::npos ? 0 : last_end + 1;
    if (whole > 0) {
        lines += partial_;
        lines.append(bytes, whole);
        partial_.clear();
    }
    partial_.append(bytes + whole, count - whole);
    if (partial_.size() > max_line_bytes_)
        throw input_error("a line of data file " + name_ + " is longer than " + byte_count_text(max_line_bytes_) +
                          ", the longest a line may be");
    return whole > 0;
}

file_news followed_file::look_at_stream(std::string& lines)
{
    pollfd ready{fd_.get(), POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0)
        return file_news::none;
    const ssize_t n = read(fd_.get(), block_.data(), block_.size());
    if (n < 0) {
        if (errno == EINTR || errno == EAGAIN)
            return file_news::none;
        throw input_error(system_error_text("read", name_));
    }
    if (n == 0) {
        // Its last line needs no line feed, as in a data file read whole.
        if (!partial_.empty())
            lines += partial_ + "\n";
        partial_.clear();
        return file_news::ended;
    }
    take(block_.data(), static_cast<std::size_t>(n), lines);
    return file_news::lines;
}

file_news followed_file::look_at_file(std::string& lines)
{
    const ssize_t n = pread(fd_.get(), block_.data(), block_.size(), static_cast<off_t>(offset_));
    if (n < 0) {
        if (errno == EINTR)
            return file_news::none;
        throw input_error(system_error_text("read", name_));
    }
    if (n == 0)
        return check_name_and_size(lines);
    offset_ += static_cast<std::uint64_t>(n);
    take(block_.data(), static_cast<std::size_t>(n), lines);
    return file_news::lines;
}

// At the end of what was written: a file shorter than what was read was truncated (copied and emptied), and a
// name that now stands for another file was replaced (renamed away and created anew), whose rows follow.
file_news followed_file::check_name_and_size(std::string& lines)
{
    struct stat open_info {
    };
    if (fstat(fd_.get(), &open_info) != 0)
        throw input_error(system_error_text("look at", name_));
    if (static_cast<std::uint64_t>(open_info.st_size) < offset_) {
        offset_ = 0;
        start_over();
        return file_news::truncated;
    }
    struct stat named {
    };
    if (standard_input_ || stat(name_.c_str(), &named) != 0 || (named.st_dev == dev_ && named.st_ino == ino_))
        return file_news::none; // gone for a moment while it is replaced: the old file is read meanwhile
    const int fresh = open_readable(name_);
    if (fresh < 0)
        return file_news::none;
    // The old file's last line is done: nobody writes to it once its name has gone.
    if (!partial_.empty())
        lines += partial_ + "\n";
    if (!adopt(fresh))
        throw input_error(system_error_text("look at", name_));
    return file_news::replaced;
}
