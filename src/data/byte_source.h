// Where the bytes of a data file come from: block after block into the reader's own buffer, so that the whole
// file never has to be in memory beside the rows parsed from it, and a file that another program truncates while
// it is read ends with an error instead of a fault. Files, pipes, devices and standard input ("-") are read with
// read(2); gzip- and zstd-compressed data, recognised by its first bytes, is unpacked on the way. Inputs that can be
// read only once are kept for the run (kept_inputs).
#ifndef TREMWIL_BYTE_SOURCE_H
#define TREMWIL_BYTE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// A failure while reading an input that did open; the message names the input.
class input_error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A byte count as people read it: "16 MiB", "4 GiB", or plain bytes when it is no whole number of either.
std::string byte_count_text(std::uint64_t bytes);

// The error for data file name holding more than max_bytes bytes.
input_error too_large_error(const std::string& name, std::uint64_t max_bytes);

class byte_source
{
public:
    byte_source() = default;
    virtual ~byte_source() = default;
    byte_source(const byte_source&) = delete;
    byte_source& operator=(const byte_source&) = delete;

    // Puts the next bytes of the input at the start of room and returns how many; 0 only at the end of the input.
    // Throws input_error when reading fails or the input lost bytes while it was read.
    virtual std::size_t next_block(std::span<char> room) = 0;
    // The size the whole input will likely have: exact for a plain regular file, estimated from the bytes
    // unpacked so far for a compressed one, 0 when nothing tells (a pipe).
    virtual std::uint64_t size_hint() const = 0;
};

// The bytes of the file at path, read with read(2); nullptr when it does not open or is a folder.
std::unique_ptr<byte_source> open_file_source(const std::string& path);

// "-", the data file name that stands for standard input.
bool is_standard_input(const std::string& name);

// Standard input, and a data file that is no regular file (a pipe, a FIFO, process substitution, a device), can be
// read only once, while a run may read a data file again (going back to it, or a data set that reads it in every
// pass). The first reading of such an input keeps its bytes as they come (compressed or not) in a temporary file
// that has no name (in $TMPDIR, else /tmp), so that they take disk space instead of memory; later readings in the
// run are served from there. Inputs are told apart by what they are, not by their names: "-", /dev/stdin and
// /dev/fd/0 are one input. Standard input that is a regular file is read again from where it stood at the first
// reading.
class kept_inputs
{
public:
    kept_inputs();
    ~kept_inputs();
    kept_inputs(const kept_inputs&) = delete;
    kept_inputs& operator=(const kept_inputs&) = delete;

    // The bytes of data file name ("-" for standard input); nullptr when a file does not open or is a folder.
    // Throws input_error when standard input cannot be read, or when a kept input is wanted again but its first
    // reading stopped early or its bytes could not be kept.
    std::unique_ptr<byte_source> open(const std::string& name);

    // What an input is: its device and inode.
    struct input_id {
        std::uint64_t dev = 0;
        std::uint64_t ino = 0;
        bool operator==(const input_id&) const = default;
    };
    struct kept_input;

private:
    std::unique_ptr<byte_source> open_standard_input();
    // The kept bytes of input id, or nullptr when it has not been read yet.
    std::unique_ptr<byte_source> kept_again(const input_id& id, const std::string& name);
    // Reads fd (which it then owns) for the first time, keeping what it gives.
    std::unique_ptr<byte_source> read_and_keep(int fd, const input_id& id, const std::string& name);

    std::vector<std::unique_ptr<kept_input>> kept_;
    std::int64_t standard_input_start_ = -1; // where regular standard input stood at the first reading
};

// The bytes of data file name, standard input for "-", unpacked when they are gzip- or zstd-compressed. max_bytes
// bounds the compressed bytes as well, so that endless compressed input that unpacks to little still ends.
// nullptr when a file does not open or is a folder. Corrupt or truncated compressed data throws input_error.
std::unique_ptr<byte_source> open_data_source(const std::string& name, std::uint64_t max_bytes, kept_inputs& inputs);

#endif // TREMWIL_BYTE_SOURCE_H
