// The whole content of a file as one read-only byte range: mapped when the file is a regular one, read into
// memory otherwise (pipes, character devices, files whose size the system does not know).
#ifndef TREMWIL_FILE_BYTES_H
#define TREMWIL_FILE_BYTES_H

#include <cstddef>
#include <string>
#include <string_view>

class file_bytes
{
public:
    file_bytes() = default;
    ~file_bytes() { close(); }
    file_bytes(const file_bytes&) = delete;
    file_bytes& operator=(const file_bytes&) = delete;

    // Opens and takes in the file; false when it cannot be opened or read (a folder, for instance).
    bool open(const std::string& path);
    // Lets go of the content (unmaps it or frees it).
    void close();

    std::string_view bytes() const { return {data_, size_}; }

private:
    bool read_all(int fd);

    const char* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr; // non-null while data_ points into a mapping
    std::string buffer_;      // the content when it was read rather than mapped
};

#endif // TREMWIL_FILE_BYTES_H
