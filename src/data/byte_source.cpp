// Reading a file block by block with read(2): no mapping, so a file truncated by another program while it is
// read cannot fault; the shortfall shows at the end and is reported.
#include "data/byte_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

class file_source final : public byte_source
{
public:
    file_source(int fd, std::string path, std::uint64_t size) : fd_(fd), path_(std::move(path)), size_(size) {}
    ~file_source() override { ::close(fd_); }
    file_source(const file_source&) = delete;
    file_source& operator=(const file_source&) = delete;

    std::size_t next_block(std::span<char> room) override
    {
        for (;;) {
            const ssize_t got = ::read(fd_, room.data(), room.size());
            if (got > 0) {
                delivered_ += static_cast<std::uint64_t>(got);
                return static_cast<std::size_t>(got);
            }
            if (got == 0) {
                check_whole();
                return 0;
            }
            if (errno != EINTR)
                throw input_error("cannot read data file " + path_ + ": " + std::strerror(errno));
        }
    }

    std::uint64_t size_hint() const override { return size_; }

private:
    // A regular file that ends before the size it had when it was opened was cut short by someone else (log
    // rotation by copy and truncate, for instance): what was read is not the file as it was.
    void check_whole() const
    {
        if (delivered_ < size_)
            throw input_error("data file " + path_ + " shrank while it was read (" + std::to_string(size_) +
                              " bytes when opened, only " + std::to_string(delivered_) +
                              " there): was it truncated or rewritten by another program?");
    }

    int fd_;
    std::string path_;
    std::uint64_t size_;
    std::uint64_t delivered_ = 0;
};

} // namespace

std::unique_ptr<byte_source> open_file_source(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {
    };
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const std::uint64_t size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    try {
        return std::make_unique<file_source>(fd, path, size);
    } catch (...) {
        ::close(fd);
        throw;
    }
}
