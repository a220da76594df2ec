// Captures what the code under test writes to a standard stream, at the descriptor level.
#pragma once

#include <cstdio>
#include <string>

namespace lib_tests
{

// Redirects the descriptor of stream (stdout or stderr) into a temporary file until text() is called or the
// object goes; text() restores the stream and returns what was written.
class StreamCapture
{
public:
    explicit StreamCapture(std::FILE* stream);
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    std::string text();

private:
    void restore();
    std::FILE* stream_;
    std::FILE* file_;
    int saved_ = -1;
};

} // namespace lib_tests
