// Reading a file block by block with read(2): no mapping, so a file truncated by another program while it is
// read cannot fault; the shortfall shows at the end and is reported. Inputs that can be read only once are kept for
// the run in a file without a name, and compressed data is unpacked between the file and the reader's buffer.
#include "data/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unpack.h"

namespace
{

class file_source final : public byte_source
{
public:
    // With an offset of 0 or more the file is read from there with pread(2), leaving the descriptor's position
    // alone (standard input read again); otherwise with read(2).
    file_source(int fd, std::string path, std::uint64_t size, off_t offset = -1)
        : fd_(fd), path_(std::move(path)), size_(size), offset_(offset)
    {
    }
    ~file_source() override { ::close(fd_); }
    file_source(const file_source&) = delete;
    file_source& operator=(const file_source&) = delete;

    std::size_t next_block(std::span<char> room) override
    {
        for (;;) {
            const ssize_t got =
                offset_ < 0 ? ::read(fd_, room.data(), room.size()) : ::pread(fd_, room.data(), room.size(), offset_);
            if (got > 0) {
                delivered_ += static_cast<std::uint64_t>(got);
                offset_ = offset_ < 0 ? offset_ : offset_ + got;
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
    off_t offset_;
    std::uint64_t delivered_ = 0;
};

// A source on fd (which it then owns) named name for messages; a regular file's size counts from where the
// descriptor stands (standard input may have been read partly by the shell's caller).
std::unique_ptr<byte_source> source_on(int fd, const std::string& name)
{
    struct stat info {
    };
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::uint64_t size = 0;
    if (S_ISREG(info.st_mode)) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size - std::max<off_t>(at, 0), 0));
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    try {
        return std::make_unique<file_source>(fd, name, size);
    } catch (...) {
        ::close(fd);
        throw;
    }
}

// Where the bytes of inputs that can be read only once wait for the next reading: a file without a name, so
// that nothing is left behind however the run ends, created with O_TMPFILE or, where the file system lacks it,
// as a named file removed at once. -1 when neither works.
int make_keeping_file()
{
    const char* const from_environment = std::getenv("TMPDIR");
    const std::string folder = from_environment != nullptr && *from_environment != '\0' ? from_environment : "/tmp";
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string name = folder + "/tremwil-kept-XXXXXX";
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0)
        ::unlink(name.c_str());
    return named;
}

} // namespace

// One input that can be read only once: the bytes its first reading gave, in a file of their own.
struct kept_inputs::kept_input {
    explicit kept_input(const input_id& input) : id(input), fd(make_keeping_file())
    {
        if (fd < 0)
            lost = std::strerror(errno);
    }
    ~kept_input()
    {
        if (fd >= 0)
            ::close(fd);
    }
    kept_input(const kept_input&) = delete;
    kept_input& operator=(const kept_input&) = delete;

    // Appends bytes to the keeping file; a failure (a full disk) is remembered and matters only if the input is
    // wanted again.
    void keep(std::span<const char> bytes)
    {
        for (std::size_t done = 0; lost.empty() && done < bytes.size();) {
            const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                lost = wrote < 0 ? std::strerror(errno) : "nothing could be written";
            else
                done += static_cast<std::size_t>(wrote);
        }
        size += bytes.size();
    }

    input_id id;
    int fd;
    std::uint64_t size = 0;
    bool complete = false; // the first reading went to the end
    std::string lost;      // why the bytes could not be kept, when they could not
};

namespace
{

// An input's first reading: every block is also kept.
class keeping_source final : public byte_source
{
public:
    keeping_source(std::unique_ptr<byte_source> from, kept_inputs::kept_input& kept)
        : from_(std::move(from)), kept_(kept)
    {
    }

    std::size_t next_block(std::span<char> room) override
    {
        const std::size_t got = from_->next_block(room);
        kept_.keep({room.data(), got});
        kept_.complete = got == 0;
        return got;
    }

    std::uint64_t size_hint() const override { return from_->size_hint(); }

private:
    std::unique_ptr<byte_source> from_;
    kept_inputs::kept_input& kept_;
};

// An input again: the bytes kept the first time, read back from their file.
class kept_source final : public byte_source
{
public:
    kept_source(const kept_inputs::kept_input& kept, std::string name) : kept_(kept), name_(std::move(name)) {}

    std::size_t next_block(std::span<char> room) override
    {
        for (;;) {
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(room.size(), kept_.size - at_));
            if (wanted == 0)
                return 0;
            const ssize_t got = ::pread(kept_.fd, room.data(), wanted, static_cast<off_t>(at_));
            if (got > 0) {
                at_ += static_cast<std::uint64_t>(got);
                return static_cast<std::size_t>(got);
            }
            if (got < 0 && errno == EINTR)
                continue;
            throw input_error("cannot read data file " + name_ + " again from the copy kept of it: " +
                              (got < 0 ? std::strerror(errno) : "the copy is shorter than what was kept"));
        }
    }

    std::uint64_t size_hint() const override { return kept_.size; }

private:
    const kept_inputs::kept_input& kept_;
    std::string name_;
    std::uint64_t at_ = 0;
};

// Looks at the first bytes of its source: plain bytes pass through unchanged, compressed ones are unpacked into
// the reader's room through a buffer of compressed input.
class unpacking_source final : public byte_source
{
public:
    unpacking_source(std::unique_ptr<byte_source> from, std::string name, std::uint64_t max_bytes)
        : from_(std::move(from)), name_(std::move(name)), max_bytes_(max_bytes)
    {
    }

    std::size_t next_block(std::span<char> room) override
    {
        if (!unpacking_ && !looked_)
            look_at_start();
        return unpacking_ ? next_unpacked(room) : next_plain(room);
    }

    // The compressed size scaled by how much each compressed byte has brought so far.
    std::uint64_t size_hint() const override
    {
        const std::uint64_t size = from_->size_hint();
        if (!unpacking_)
            return size;
        if (size == 0 || used_ == 0)
            return 0;
        return static_cast<std::uint64_t>(static_cast<double>(size) * static_cast<double>(made_) /
                                          static_cast<double>(used_));
    }

private:
    static constexpr std::size_t input_bytes = std::size_t{256} << 10;
    static constexpr std::size_t output_bytes = std::size_t{256} << 10;

    void look_at_start()
    {
        looked_ = true;
        input_.resize(input_bytes);
        while (end_ < packing_magic_bytes && !ended_)
            read_input();
        const packing kind = packing_of({input_.data(), end_});
        if (kind != packing::none) {
            kind_ = kind;
            unpacking_ = std::make_unique<unpacker>(kind);
            output_.resize(output_bytes);
        }
    }

    // Appends what the source gives to the input; compressed input is held to the data file's limit too, so that
    // endless input that unpacks to little (empty members, skippable frames) still ends.
    void read_input()
    {
        const std::size_t got =
            from_->next_block({reinterpret_cast<char*>(input_.data()) + end_, input_.size() - end_});
        ended_ = got == 0;
        end_ += got;
        read_ += got;
        if (unpacking_ && read_ > max_bytes_)
            throw too_large_error(name_, max_bytes_);
    }

    std::size_t next_plain(std::span<char> room)
    {
        if (begin_ == end_)
            return from_->next_block(room);
        const std::size_t n = std::min(room.size(), end_ - begin_);
        std::memcpy(room.data(), input_.data() + begin_, n);
        begin_ += n;
        return n;
    }

    // Hands on unpacked bytes from a room of its own, filled a fixed amount at a time. Unpacking straight into the
    // reader's room would make the unpacker's path, and so the reason it gives for corrupt data, depend on how
    // much room the reader had, which depends on the number of threads: zstd decodes a whole frame at once when
    // its declared size fits, and block by block otherwise.
    std::size_t next_unpacked(std::span<char> room)
    {
        if (made_begin_ == made_end_) {
            made_begin_ = 0;
            made_end_ = unpack_into(output_);
        }
        const std::size_t n = std::min(room.size(), made_end_ - made_begin_);
        std::memcpy(room.data(), output_.data() + made_begin_, n);
        made_begin_ += n;
        return n;
    }

    std::size_t unpack_into(std::span<std::uint8_t> output)
    {
        for (;;) {
            if (begin_ == end_ && !ended_) {
                begin_ = end_ = 0;
                read_input();
            }
            const unpack_step step = unpacking_->step({input_.data() + begin_, end_ - begin_}, output);
            begin_ += step.used;
            used_ += step.used;
            made_ += step.made;
            if (!step.error.empty())
                throw input_error("data file " + name_ + ": " + step.error);
            if (step.made != 0)
                return step.made;
            if (step.used != 0)
                continue;
            if (begin_ != end_)
                throw input_error("data file " + name_ + ": corrupt " + packing_name(kind_) + " data");
            if (!ended_)
                continue;
            if (!unpacking_->at_boundary())
                throw input_error("data file " + name_ + ": " + truncated_text(kind_));
            return 0;
        }
    }

    std::unique_ptr<byte_source> from_;
    std::string name_;
    std::uint64_t max_bytes_;
    std::vector<std::uint8_t> input_;
    std::size_t begin_ = 0; // input_ from begin_ to end_ is read and not yet handed on
    std::size_t end_ = 0;
    std::vector<std::uint8_t> output_;
    std::size_t made_begin_ = 0; // output_ from made_begin_ to made_end_ is unpacked and not yet handed on
    std::size_t made_end_ = 0;
    bool looked_ = false;
    bool ended_ = false;
    std::uint64_t read_ = 0;
    std::uint64_t used_ = 0;
    std::uint64_t made_ = 0;
    packing kind_ = packing::none;
    std::unique_ptr<unpacker> unpacking_;
};

} // namespace

std::string byte_count_text(std::uint64_t bytes)
{
    constexpr std::uint64_t mib = std::uint64_t{1} << 20;
    constexpr std::uint64_t gib = std::uint64_t{1} << 30;
    if (bytes >= gib && bytes % gib == 0)
        return std::to_string(bytes / gib) + " GiB";
    if (bytes >= mib && bytes % mib == 0)
        return std::to_string(bytes / mib) + " MiB";
    return std::to_string(bytes) + " bytes";
}

input_error too_large_error(const std::string& name, std::uint64_t max_bytes)
{
    return input_error("data file " + name + " is larger than " + byte_count_text(max_bytes) +
                       ", the most one data file may hold");
}

std::unique_ptr<byte_source> open_file_source(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? nullptr : source_on(fd, path);
}

bool is_standard_input(const std::string& name)
{
    return name == "-";
}

kept_inputs::kept_inputs() = default;
kept_inputs::~kept_inputs() = default;

namespace
{

kept_inputs::input_id id_of(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace

std::unique_ptr<byte_source> kept_inputs::kept_again(const input_id& id, const std::string& name)
{
    const auto at = std::find_if(kept_.begin(), kept_.end(), [&](const auto& kept) { return kept->id == id; });
    if (at == kept_.end())
        return nullptr;
    const kept_input& kept = **at;
    if (!kept.complete)
        throw input_error("data file " + name + (is_standard_input(name) ? ": standard input" : ": it") +
                          " was not read to its end, and it cannot be read again");
    if (!kept.lost.empty())
        throw input_error("data file " + name + " can be read only once, and its bytes could not be kept for " +
                          "another reading: " + kept.lost);
    return std::make_unique<kept_source>(kept, name);
}

std::unique_ptr<byte_source> kept_inputs::read_and_keep(int fd, const input_id& id, const std::string& name)
{
    std::unique_ptr<byte_source> source = source_on(fd, name);
    if (!source)
        return nullptr;
    kept_.push_back(std::make_unique<kept_input>(id));
    return std::make_unique<keeping_source>(std::move(source), *kept_.back());
}

std::unique_ptr<byte_source> kept_inputs::open_standard_input()
{
    struct stat info {
    };
    if (::fstat(STDIN_FILENO, &info) != 0)
        throw input_error(std::string("cannot read data file -: ") + std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw input_error("cannot read data file -: standard input is a folder");
    if (auto again = kept_again(id_of(info), "-"))
        return again;
    // A copy of the descriptor: standard input itself stays open for whatever else the run does.
    const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        throw input_error(std::string("cannot read data file -: ") + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return read_and_keep(fd, id_of(info), "-");
    if (standard_input_start_ < 0)
        standard_input_start_ = std::max<off_t>(::lseek(fd, 0, SEEK_CUR), 0);
    const off_t start = static_cast<off_t>(standard_input_start_);
    try {
        return std::make_unique<file_source>(
            fd, "-", static_cast<std::uint64_t>(std::max<off_t>(info.st_size - start, 0)), start);
    } catch (...) {
        ::close(fd);
        throw;
    }
}

std::unique_ptr<byte_source> kept_inputs::open(const std::string& name)
{
    if (is_standard_input(name))
        return open_standard_input();
    // Looked at before it is opened: a FIFO opened again would wait for a writer that is gone.
    struct stat info {
    };
    if (::stat(name.c_str(), &info) != 0)
        return nullptr;
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        if (auto again = kept_again(id_of(info), name))
            return again;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (::fstat(fd, &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))
        return source_on(fd, name);
    if (auto again = kept_again(id_of(info), name)) {
        ::close(fd);
        return again;
    }
    return read_and_keep(fd, id_of(info), name);
}

std::unique_ptr<byte_source> open_data_source(const std::string& name, std::uint64_t max_bytes, kept_inputs& inputs)
{
    std::unique_ptr<byte_source> source = inputs.open(name);
    if (!source)
        return nullptr;
    return std::make_unique<unpacking_source>(std::move(source), name, max_bytes);
}
