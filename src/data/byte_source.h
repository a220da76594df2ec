// Where the bytes of a data file come from: block after block into the reader's own buffer, so that the whole
// file never has to be in memory beside the rows parsed from it, and a file that another program truncates while
// it is read ends with an error instead of a fault. Regular files, pipes and devices are read with read(2); other
// sources (compressed data, for instance) can stand beside them behind the same interface.
#ifndef TREMWIL_BYTE_SOURCE_H
#define TREMWIL_BYTE_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

// A failure while reading an input that did open; the message names the input.
class input_error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

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
    // The size of the whole input when it is known beforehand (a regular file), otherwise 0.
    virtual std::uint64_t size_hint() const = 0;
};

// The bytes of the file at path, read with read(2); nullptr when it does not open or is a folder.
std::unique_ptr<byte_source> open_file_source(const std::string& path);

#endif // TREMWIL_BYTE_SOURCE_H
