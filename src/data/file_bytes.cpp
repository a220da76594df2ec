// Mapping or reading a whole file for the data reader.
#include "data/file_bytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Closes the descriptor on every way out of open().
class fd_guard
{
public:
    explicit fd_guard(int fd) : fd_(fd) {}
    ~fd_guard()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    fd_guard(const fd_guard&) = delete;
    fd_guard& operator=(const fd_guard&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool file_bytes::open(const std::string& path)
{
    close();
    const fd_guard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat info {
    };
    if (::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (map != MAP_FAILED) {
            ::madvise(map, size, MADV_SEQUENTIAL);
            mapping_ = map;
            data_ = static_cast<const char*>(map);
            size_ = size;
            return true;
        }
    }
    return read_all(fd.get());
}

bool file_bytes::read_all(int fd)
{
    constexpr std::size_t block = 1 << 20;
    std::size_t used = 0;
    for (;;) {
        buffer_.resize(used + block);
        const ssize_t got = ::read(fd, buffer_.data() + used, block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            std::string().swap(buffer_);
            return false;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    buffer_.resize(used);
    data_ = buffer_.data();
    size_ = used;
    return true;
}

void file_bytes::close()
{
    if (mapping_ != nullptr)
        ::munmap(mapping_, size_);
    mapping_ = nullptr;
    data_ = nullptr;
    size_ = 0;
    std::string().swap(buffer_);
}
