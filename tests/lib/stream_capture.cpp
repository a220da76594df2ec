// Descriptor-level capture of a standard stream for the support-library tests.
#include "stream_capture.h"

#include <stdexcept>
#include <unistd.h>

namespace lib_tests
{

StreamCapture::StreamCapture(std::FILE* stream) : stream_(stream), file_(std::tmpfile())
{
    if (file_ == nullptr)
        throw std::runtime_error("no temporary file");
    std::fflush(stream_);
    saved_ = dup(fileno(stream_));
    dup2(fileno(file_), fileno(stream_));
}

StreamCapture::~StreamCapture()
{
    restore();
    std::fclose(file_);
}

void StreamCapture::restore()
{
    if (saved_ < 0)
        return;
    std::fflush(stream_);
    dup2(saved_, fileno(stream_));
    close(saved_);
    saved_ = -1;
}

std::string StreamCapture::text()
{
    restore();
    std::string result;
    std::rewind(file_);
    for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
        result += static_cast<char>(c);
    return result;
}

} // namespace lib_tests
